#pragma once
// An enemy: it runs at the player (the entity of the first PlayerInput; the camera's position
// when there is no player) around the level's walls, over the shared chase field, and faces the
// way it runs. It loses one hit point per bullet or flame that touches it and flashes bright
// for a moment at each hit it survives; it kills the player on contact; and it ends the level
// when the last enemy dies. A dead enemy bursts: for a few ticks it keeps its place, grows and
// fades, with no collider and no longer counted, then its entity is destroyed.

#include "engine/Vector2.h"
#include "engine/Vector3.h"
#include "entities/Component.h"

class BasicEnemyBehavior : public Component {
public:
    static constexpr const char* kComponentName = "BasicEnemyBehavior";
    static constexpr float kDefaultMoveSpeed = 100.0f;
    static constexpr float kDefaultHealth = 10.0f;
    static constexpr float kDefaultDamage = 1.0f;
    // The hit flash: the sprite's tint while it lasts (the lighting multiplies it, so it is far
    // above white to read as a flash under the dimmest light).
    static constexpr float kFlashSeconds = 0.1f;
    static constexpr Vector3 kFlashColor{5.0f, 5.0f, 5.0f};
    // The death burst: its length, the size it grows to (times the size at death) and its tint;
    // it fades from opaque to clear as it grows.
    static constexpr float kBurstSeconds = 0.25f;
    static constexpr float kBurstGrowth = 2.0f;
    static constexpr Vector3 kBurstColor{5.0f, 3.5f, 1.5f};
    // How fast it turns to face the way it runs.
    static constexpr float kTurnDegreesPerSecond = 540.0f;

    BasicEnemyBehavior();

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    void OnCollision(Collider* other) override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // Whether it still counts: not bursting and not destroyed.
    bool IsAlive() const;

    float moveSpeed = kDefaultMoveSpeed;
    float health = kDefaultHealth;
    // Stored and saved; the player dies at the first touch whatever it says.
    float damage = kDefaultDamage;

    // Neither is saved. Seconds left of the hit flash, and the sprite's tint to return to after.
    float flashTimeLeft = 0.0f;
    Vector3 restingColor{1.0f, 1.0f, 1.0f};
    // Set from the fatal hit on; burstTime counts the burst's seconds, burstScale is the size it
    // grows from.
    bool bursting = false;
    float burstTime = 0.0f;
    Vector2 burstScale{1.0f, 1.0f};

private:
    void Chase(float dt);
    void CountDownFlash(float dt);
    void TakeShot();
    void StartFlash();
    void StartBurst();
    void GrowBurst(float dt);
    // Switches to the level's next scene when this dying enemy is the last live one.
    void CompleteLevelIfLast() const;
};
