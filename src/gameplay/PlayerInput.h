#pragma once
// The player character's brain. Every update it polls the held-input table, moves in eight
// directions at a fixed speed through the entity's Physics (`orientation` records the direction of
// travel), turns its sprite towards the pointer it aims at, selects the Weapon's type and pulls its
// trigger within a cooldown counted in updates. An enemy that touches it calls TakeHit: the player
// stops, shows its death for kDeathSeconds of simulated time, and then the lose scene follows.
// While the engine is paused it does nothing, so no shot leaves a frozen world.

#include <cstdint>

#include "engine/Orientation.h"
#include "engine/Vector2.h"
#include "entities/Component.h"

class Transform;

class PlayerInput : public Component {
public:
    static constexpr const char* kComponentName = "PlayerInput";
    static constexpr float kDefaultMaxHealth = 10.0f;
    // The aim debug line runs from the player to this offset.
    static constexpr Vector2 kDebugLineOffset{100.0f, 100.0f};
    static constexpr const char* kLoseScene = "LoseScene.json";
    // Long enough to see what killed you, short enough not to wait for the menu.
    static constexpr float kDeathSeconds = 0.9f;
    // How far the dying player fades (1 would be invisible) by the time the lose screen comes.
    static constexpr float kDeathFade = 0.8f;

    // Speed 0, as the entity loader and the editor create it.
    PlayerInput();
    explicit PlayerInput(float speed);

    std::unique_ptr<Component> Clone() const override;
    // Takes up the weapon the previous level ended with (see GameMaster::CompleteLevel).
    void Initialize() override;
    void Update(float dt) override;
    // Draws the player untinted, or in its death colours while it dies: runs before the Sprite
    // list renders.
    void Render() override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // The player dies at the first hit unless invincible: it stops and cannot fire, and after
    // kDeathSeconds of updates the game switches to the lose scene. Later hits change nothing.
    void TakeHit();
    bool IsDying() const { return deathSecondsLeft >= 0.0f; }

    float speed = 0.0f;
    float diagonalSpeed = 0.0f;
    Vector2 moveVelocity{};
    std::int32_t orientation = static_cast<std::int32_t>(Orientation::NORTH);
    bool isMoving = false;
    std::int32_t fireCounter = 0;
    float maxHealth = kDefaultMaxHealth;
    bool isInvincible = false;
    // Below zero while alive; counts down to zero while dying.
    float deathSecondsLeft = -1.0f;

private:
    // Sets moveVelocity, orientation and isMoving from the held direction inputs.
    void ComputeMovement();
    void SelectWeapon();
    // Turns the entity towards the pointer; with the pointer on the player it keeps its rotation.
    void FaceThePointer(Transform& transform) const;
    void ContinueDying(float dt);
};
