#pragma once
// The whole rigid-body integration: velocity and acceleration integrated once per update into
// the owner's Transform (semi-implicit Euler). No mass, damping or speed limit; whatever sets
// the velocity owns it.

#include "engine/Vector2.h"
#include "entities/Component.h"

class Physics : public Component {
public:
    static constexpr const char* kComponentName = "Physics";

    Physics();

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    Vector2 velocity{};
    Vector2 acceleration{};
    // The transform's local position at the start of the last update, and the one it set.
    Vector2 oldPosition{};
    Vector2 newPosition{};
};
