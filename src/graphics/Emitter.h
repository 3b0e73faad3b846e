#pragma once
// A point light at its entity's world position. The graphics system gathers every live emitter
// once per frame (after the update, before drawing), so a change shows in the same frame.

#include "engine/Vector3.h"
#include "entities/Component.h"

class Emitter : public Component {
public:
    static constexpr const char* kComponentName = "Emitter";

    Emitter();

    std::unique_ptr<Component> Clone() const override;
    // The colour is stored as three flat keys ("color.x", ...), not a nested object.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    float radius = 0.0f;
    Vector3 color{1.0f, 1.0f, 1.0f};
};
