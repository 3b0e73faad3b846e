#pragma once
// The player character's brain. Every update it polls the held-input table, moves in eight
// directions at a fixed speed through the entity's Physics, faces its direction of travel,
// selects the Weapon's type and pulls its trigger within a cooldown counted in updates. An enemy
// that touches it calls TakeHit.

#include <cstdint>

#include "engine/Orientation.h"
#include "engine/Vector2.h"
#include "entities/Component.h"

class PlayerInput : public Component {
public:
    static constexpr const char* kComponentName = "PlayerInput";
    static constexpr float kDefaultMaxHealth = 10.0f;
    // The aim debug line runs from the player to this offset.
    static constexpr Vector2 kDebugLineOffset{100.0f, 100.0f};
    static constexpr const char* kLoseScene = "LoseScene.json";

    // Speed 0, as the entity loader and the editor create it.
    PlayerInput();
    explicit PlayerInput(float speed);

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    // Draws the player untinted: runs before the Sprite list renders.
    void Render() override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // The player dies at the first hit unless invincible: the entity is destroyed and the game
    // switches to the lose scene.
    void TakeHit();

    float speed = 0.0f;
    float diagonalSpeed = 0.0f;
    Vector2 moveVelocity{};
    std::int32_t orientation = static_cast<std::int32_t>(Orientation::NORTH);
    bool isMoving = false;
    std::int32_t fireCounter = 0;
    float maxHealth = kDefaultMaxHealth;
    bool isInvincible = false;

private:
    // Sets moveVelocity, orientation and isMoving from the held direction inputs.
    void ComputeMovement();
    void SelectWeapon();
};
