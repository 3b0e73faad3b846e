#pragma once
// Turns its entity to face another entity. The angle is taken from the origin of the target's
// local space to the target (not from the tracker's own position), and a tracker below another
// entity than the root takes back its parent's own rotation, so that the sprite's world heading
// is the computed one. Without a target (as the editor adds it) it leaves the rotation alone.

#include "engine/Vector2.h"
#include "entities/Component.h"

class Entity;

class Tracker : public Component {
public:
    static constexpr const char* kComponentName = "Tracker";
    // A sprite drawn unrotated faces north, 90 degrees from the x axis.

    Tracker();

    // The copy tracks the same target.
    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // Set by code only, never saved. Whoever sets it clears it before the target is freed: the
    // tracker cannot tell a freed entity from a live one.
    Entity* target = nullptr;
    // The target's local position seen at the last update.
    Vector2 targetPosition{0.0f, 0.0f};
    // Degrees given to the entity's Transform at the last update.
    float angle = 0.0f;
};
