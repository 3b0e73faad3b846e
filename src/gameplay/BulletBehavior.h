#pragma once
// A timed straight shot: the entity is destroyed when its lifetime runs out or when it touches a
// border, a ball or an enemy. The motion itself is the entity's Physics velocity.

#include "entities/Component.h"

class BulletBehavior : public Component {
public:
    static constexpr const char* kComponentName = "BulletBehavior";
    static constexpr double kDefaultLifeTime = 1.0;

    BulletBehavior();
    explicit BulletBehavior(double lifeTime);

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    void OnCollision(Collider* other) override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // The countdown every timed projectile shares: a positive lifetime loses dt (0 while paused)
    // and destroys `owner` when it reaches zero; one that starts at or below zero never expires.
    static void CountDown(double& lifeTime, float dt, Entity* owner);

    double lifeTime = kDefaultLifeTime;
};
