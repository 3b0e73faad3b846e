#pragma once
// A timed object: it destroys itself when its lifetime runs out (the countdown stops while
// paused) and, like a flame, when it touches a wall, a ball or an enemy. It draws its entity's
// sprite untinted. Nothing here moves it; its motion, if any, is its Physics velocity.

#include <cstdint>

#include "engine/Orientation.h"
#include "engine/Vector2.h"
#include "entities/Component.h"

class BasicBehavior : public Component {
public:
    static constexpr const char* kComponentName = "BasicBehavior";
    static constexpr float kDefaultSpeed = 10.0f;
    static constexpr double kDefaultLifeTime = 1.0;

    BasicBehavior();

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    // Runs before the Sprite list renders.
    void Render() override;
    void OnCollision(Collider* other) override;
    // Reads speed, lifeTime, target and orientation, then derives diagonalSpeed.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    float speed = kDefaultSpeed;
    // The per-axis speed of a diagonal move at `speed`; derived, never saved.
    float diagonalSpeed = 0.0f;
    // Seconds left; one that starts at or below zero never runs out.
    double lifeTime = kDefaultLifeTime;
    // Stored, saved and loaded; no rule reads them.
    Vector2 target{0.0f, 0.0f};
    std::int32_t orientation = static_cast<std::int32_t>(Orientation::INVALID);
};
