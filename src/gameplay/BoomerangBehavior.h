#pragma once
// A shot that flies straight for a share of its life and then bends smoothly towards a second
// direction, reaching it as its life runs out; its speed never changes. It dies like a bullet.

#include "engine/Vector2.h"
#include "entities/Component.h"

class BoomerangBehavior : public Component {
public:
    static constexpr const char* kComponentName = "BoomerangBehavior";
    static constexpr double kDefaultLifeTime = 1.0;
    static constexpr float kDefaultStraightRatio = 0.0f;

    BoomerangBehavior();
    BoomerangBehavior(double lifeTime, float straightRatio);

    std::unique_ptr<Component> Clone() const override;
    // Takes the initial direction from the velocity the weapon gave, and the remaining-life value
    // at which bending starts.
    void Initialize() override;
    void Update(float dt) override;
    void OnCollision(Collider* other) override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    double lifeTime = kDefaultLifeTime;
    float straightRatio = kDefaultStraightRatio;
    // Unit direction the flight bends towards; set by the weapon at spawn.
    Vector2 curveDirection{};
    float curveStartTime = 0.0f;
    // Unit direction of the spawn velocity; (0, 0) for a boomerang spawned at rest.
    Vector2 initialDirection{};
};
