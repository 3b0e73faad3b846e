#pragma once
// A short-lived flame whose light and hit circle grow by a fixed step every update (not every
// second, so they keep growing while paused) up to their limits. It dies on walls, balls and
// enemies, and when its lifetime runs out.

#include "entities/Component.h"

class FlameBehavior : public Component {
public:
    static constexpr const char* kComponentName = "FlameBehavior";
    static constexpr double kDefaultLifeTime = 1.0;
    static constexpr float kDefaultMaxGlowStrength = 1.0f;
    static constexpr float kDefaultMaxColliderSize = 1.0f;
    static constexpr float kInitialGlowStrength = 0.5f;
    static constexpr float kInitialColliderSize = 0.1f;
    static constexpr float kGlowStep = 0.5f;
    static constexpr float kColliderStep = 0.1f;

    FlameBehavior();
    FlameBehavior(double lifeTime, float maxGlowStrength, float maxColliderSize);

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    void OnCollision(Collider* other) override;
    // The current glow and collider size are not saved.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    double lifeTime = kDefaultLifeTime;
    // The light radius given to the entity's Emitter.
    float glowStrength = kInitialGlowStrength;
    float maxGlowStrength = kDefaultMaxGlowStrength;
    // The radius given to the entity's ColliderCircle.
    float colliderSize = kInitialColliderSize;
    float maxColliderSize = kDefaultMaxColliderSize;
};
