#include "gameplay/PlayerInput.h"

#include <array>
#include <utility>

#include "engine/Engine.h"
#include "engine/InputType.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "entities/SceneSystem.h"
#include "gameplay/DiagonalSpeed.h"
#include "gameplay/GameMaster.h"
#include "gameplay/Heading.h"
#include "gameplay/Weapon.h"
#include "gameplay/WeaponType.h"
#include "graphics/DebugDrawSystem.h"
#include "graphics/Sprite.h"
#include "input/InputStateSystem.h"
#include "physics/Physics.h"
#include "physics/Transform.h"

namespace {

// Weapon keys in priority order: the first one held wins.
constexpr std::array<std::pair<InputType, WeaponType>, 7> kWeaponKeys{{
    {InputType::_CUSTOM, WeaponType::CUSTOM},
    {InputType::_PISTOL, WeaponType::PISTOL},
    {InputType::_RIFLE, WeaponType::RIFLE},
    {InputType::_SNIPER, WeaponType::SNIPER},
    {InputType::_FLAMETHROWER, WeaponType::FLAMETHROWER},
    {InputType::_SHOTGUN, WeaponType::SHOTGUN},
    {InputType::_CURVEBALL, WeaponType::CURVEBALL},
}};

}  // namespace

PlayerInput::PlayerInput() : PlayerInput(0.0f) {}

PlayerInput::PlayerInput(float speed)
    : Component(kComponentName), speed(speed), diagonalSpeed(DiagonalSpeed(speed)) {}

std::unique_ptr<Component> PlayerInput::Clone() const {
    return std::make_unique<PlayerInput>(*this);
}

void PlayerInput::ComputeMovement() {
    const bool left = IsHeld(InputType::LEFT);
    const bool right = IsHeld(InputType::RIGHT);
    const bool up = IsHeld(InputType::UP);
    const bool down = IsHeld(InputType::DOWN);
    const float s = speed;
    const float d = diagonalSpeed;
    // Tested top to bottom: LEFT wins over RIGHT, and DOWN over UP. Opposite pairs stop the
    // player but keep its recorded direction; nothing held records north.
    auto face = [this](Orientation facing) { orientation = static_cast<std::int32_t>(facing); };
    if (left && down) {
        moveVelocity = {-d, -d};
        face(Orientation::SOUTH_WEST);
    } else if (left && up) {
        moveVelocity = {-d, d};
        face(Orientation::NORTH_WEST);
    } else if (left && right) {
        moveVelocity = {0.0f, 0.0f};
    } else if (left) {
        moveVelocity = {-s, 0.0f};
        face(Orientation::WEST);
    } else if (right && down) {
        moveVelocity = {d, -d};
        face(Orientation::SOUTH_EAST);
    } else if (right && up) {
        moveVelocity = {d, d};
        face(Orientation::NORTH_EAST);
    } else if (right) {
        moveVelocity = {s, 0.0f};
        face(Orientation::EAST);
    } else if (up && down) {
        moveVelocity = {0.0f, 0.0f};
    } else if (up) {
        moveVelocity = {0.0f, s};
        face(Orientation::NORTH);
    } else if (down) {
        moveVelocity = {0.0f, -s};
        face(Orientation::SOUTH);
    } else {
        moveVelocity = {0.0f, 0.0f};
        face(Orientation::NORTH);
    }
    isMoving = moveVelocity.x * moveVelocity.x + moveVelocity.y * moveVelocity.y > 0.0f;
}

void PlayerInput::SelectWeapon() {
    // SHIFT turns the weapon keys into cheat keys.
    if (IsHeld(InputType::SHIFT)) {
        return;
    }
    Weapon* weapon = owner->GetComponent<Weapon>();
    if (weapon == nullptr) {
        return;
    }
    for (const auto& [input, type] : kWeaponKeys) {
        if (IsHeld(input)) {
            weapon->weaponType = static_cast<std::int32_t>(type);
            return;
        }
    }
}

void PlayerInput::Initialize() {
    if (const auto carried = GameMaster::TakeCarriedWeapon()) {
        if (Weapon* weapon = owner != nullptr ? owner->GetComponent<Weapon>() : nullptr) {
            weapon->weaponType = *carried;
        }
    }
}

void PlayerInput::FaceThePointer(Transform& transform) const {
    const Entity* pointer = Engine::Instance().mouseObject;
    Transform* at = pointer != nullptr ? pointer->GetComponent<Transform>() : nullptr;
    if (at == nullptr) {
        return;
    }
    const Vector2 toPointer = at->GetWorldPosition() - transform.GetWorldPosition();
    if (toPointer.x == 0.0f && toPointer.y == 0.0f) {
        return;
    }
    transform.SetRotation(static_cast<float>(HeadingOf(toPointer)) - kSpriteHeadingOffset);
}

void PlayerInput::ContinueDying(float dt) {
    if (Physics* physics = owner->GetComponent<Physics>()) {
        physics->velocity = {0.0f, 0.0f};
    }
    if (deathSecondsLeft <= 0.0f) {
        return;
    }
    deathSecondsLeft -= dt;
    if (deathSecondsLeft <= 0.0f) {
        deathSecondsLeft = 0.0f;
        SceneSystem::Instance().ChangeScene(kLoseScene);
    }
}

void PlayerInput::Update(float dt) {
    if (owner == nullptr || Engine::Instance().paused) {
        return;
    }
    if (IsDying()) {
        ContinueDying(dt);
        return;
    }
    ComputeMovement();
    SelectWeapon();
    if (fireCounter > 0) {
        --fireCounter;
    }
    if (IsHeld(InputType::CLICK) && fireCounter <= 0) {
        if (Weapon* weapon = owner->GetComponent<Weapon>()) {
            weapon->Fire();
            fireCounter = weapon->coolDown;
        }
    }
    Transform* transform = owner->GetComponent<Transform>();
    if (transform != nullptr) {
        FaceThePointer(*transform);
    }
    if (Physics* physics = owner->GetComponent<Physics>()) {
        physics->velocity = moveVelocity;
    }
    if (transform != nullptr) {
        const Vector2 from = transform->GetWorldPosition();
        DebugDrawSystem::Instance().AddLine(from, from + kDebugLineOffset);
    }
}

void PlayerInput::Render() {
    Sprite* sprite = owner != nullptr ? owner->GetComponent<Sprite>() : nullptr;
    if (sprite == nullptr) {
        return;
    }
    if (!IsDying()) {
        sprite->color = {1.0f, 1.0f, 1.0f};
        return;
    }
    // Struck red, then fading out as the lose screen approaches.
    const float gone = 1.0f - deathSecondsLeft / kDeathSeconds;
    sprite->color = {1.0f, 0.25f, 0.2f};
    sprite->alpha = gone * kDeathFade;
}

void PlayerInput::TakeHit() {
    if (isInvincible || owner == nullptr || IsDying()) {
        return;
    }
    deathSecondsLeft = kDeathSeconds;
    moveVelocity = {0.0f, 0.0f};
    isMoving = false;
    if (Physics* physics = owner->GetComponent<Physics>()) {
        physics->velocity = {0.0f, 0.0f};
    }
}

void PlayerInput::FromJson(const nlohmann::json& data) {
    ReadJsonFloat(data, "speed", speed);
    diagonalSpeed = DiagonalSpeed(speed);
    ReadJsonInt(data, "orientation", orientation);
    ReadJsonFloat(data, "maxHealth", maxHealth);
}

nlohmann::json PlayerInput::ToJson() const {
    return nlohmann::json{{"speed", speed}, {"orientation", orientation}, {"maxHealth", maxHealth}};
}
