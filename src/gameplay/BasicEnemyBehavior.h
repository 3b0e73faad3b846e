#pragma once
// An enemy that runs straight at the camera's position, loses one hit point per bullet or flame
// that touches it, kills the player on contact, and ends the level when the last enemy dies.

#include "entities/Component.h"

class BasicEnemyBehavior : public Component {
public:
    static constexpr const char* kComponentName = "BasicEnemyBehavior";
    static constexpr float kDefaultMoveSpeed = 100.0f;
    static constexpr float kDefaultHealth = 10.0f;
    static constexpr float kDefaultDamage = 1.0f;

    BasicEnemyBehavior();

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    void OnCollision(Collider* other) override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    float moveSpeed = kDefaultMoveSpeed;
    float health = kDefaultHealth;
    // Stored and saved; the player dies at the first touch whatever it says.
    float damage = kDefaultDamage;

private:
    // Switches to the level's next scene when this dying enemy is the last live one.
    void CompleteLevelIfLast() const;
};
