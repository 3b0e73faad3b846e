#include "gameplay/BasicEnemyBehavior.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "entities/SceneSystem.h"
#include "gameplay/BulletBehavior.h"
#include "gameplay/ChaseField.h"
#include "gameplay/FlameBehavior.h"
#include "gameplay/GameMaster.h"
#include "gameplay/PlayerInput.h"
#include "graphics/GraphicsSystem.h"
#include "graphics/Sprite.h"
#include "physics/Collider.h"
#include "physics/ColliderCircle.h"
#include "physics/Physics.h"
#include "physics/Transform.h"

namespace {

constexpr float kDegreesPerRadian = 180.0f / std::numbers::pi_v<float>;
// The art faces up (north) unrotated; rotation counts degrees counter-clockwise from there.
constexpr float kArtFacing = 90.0f;

// Enemies that are alive now or about to join the list, stopping once `limit` are found.
int CountLiveEnemies(int limit) {
    const auto& list = ComponentListSystem<BasicEnemyBehavior>::Instance();
    int live = 0;
    for (const auto& layer : list.Layers()) {
        for (const BasicEnemyBehavior* enemy : layer) {
            if (enemy->IsAlive() && ++live >= limit) {
                return live;
            }
        }
    }
    for (const auto& record : list.Pending()) {
        if (record.add && record.component->IsAlive() && ++live >= limit) {
            return live;
        }
    }
    return live;
}

// The player's position: the first live player of the lowest layer that has one, else the
// camera's (menus, scenes without a player).
Vector2 ChaseTarget() {
    for (const auto& layer : ComponentListSystem<PlayerInput>::Instance().Layers()) {
        for (const PlayerInput* player : layer) {
            Entity* entity = player->owner;
            Transform* transform = entity != nullptr ? entity->GetComponent<Transform>() : nullptr;
            if (transform != nullptr && !entity->destroyed) {
                return transform->GetWorldPosition();
            }
        }
    }
    const Vector3& camera = GraphicsSystem::Instance().camera.position;
    return {camera.x, camera.y};
}

// The reach of the entity's circle collider, as the collision pass scales it; 0 without one.
float BodyRadius(const Entity& entity, const Transform& transform) {
    const ColliderCircle* circle = entity.GetComponent<ColliderCircle>();
    if (circle == nullptr) {
        return 0.0f;
    }
    return std::abs(std::max(transform.scale.x, transform.scale.y) * circle->radius);
}

// `current` turned towards `wanted` (both degrees) by at most `most` degrees, in (-180, 180].
float TurnTowards(float current, float wanted, float most) {
    float difference = std::remainder(wanted - current, 360.0f);
    difference = std::clamp(difference, -most, most);
    return std::remainder(current + difference, 360.0f);
}

}  // namespace

BasicEnemyBehavior::BasicEnemyBehavior() : Component(kComponentName) {}

std::unique_ptr<Component> BasicEnemyBehavior::Clone() const {
    return std::make_unique<BasicEnemyBehavior>(*this);
}

bool BasicEnemyBehavior::IsAlive() const {
    return owner != nullptr && !owner->destroyed && !bursting;
}

void BasicEnemyBehavior::Update(float dt) {
    if (owner == nullptr) {
        return;
    }
    if (bursting) {
        GrowBurst(dt);
        return;
    }
    CountDownFlash(dt);
    Chase(dt);
}

void BasicEnemyBehavior::Chase(float dt) {
    Transform* transform = owner->GetComponent<Transform>();
    Physics* physics = owner->GetComponent<Physics>();
    if (transform == nullptr || physics == nullptr) {
        return;
    }
    const Vector2 position = transform->GetWorldPosition();
    const Vector2 waypoint = ChaseField::Instance().NextWaypoint(position, ChaseTarget(),
                                                                 BodyRadius(*owner, *transform));
    const Vector2 toWaypoint = waypoint - position;
    const float distance = std::hypot(toWaypoint.x, toWaypoint.y);
    // Standing on the point there is nowhere to run: stand still rather than divide by zero.
    if (!(distance > 0.0f)) {
        physics->velocity = {};
        return;
    }
    physics->velocity = toWaypoint * (moveSpeed / distance);
    const float heading = std::atan2(toWaypoint.y, toWaypoint.x) * kDegreesPerRadian - kArtFacing;
    transform->SetRotation(TurnTowards(transform->rotation, heading, kTurnDegreesPerSecond * dt));
}

void BasicEnemyBehavior::CountDownFlash(float dt) {
    if (flashTimeLeft <= 0.0f) {
        return;
    }
    flashTimeLeft -= dt;
    if (flashTimeLeft <= 0.0f) {
        flashTimeLeft = 0.0f;
        if (Sprite* sprite = owner->GetComponent<Sprite>()) {
            sprite->color = restingColor;
        }
    }
}

void BasicEnemyBehavior::OnCollision(Collider* other) {
    // A dying enemy reacts to nothing more: it has been counted out once.
    Entity* touching = other != nullptr ? other->owner : nullptr;
    if (!IsAlive() || touching == nullptr) {
        return;
    }
    // Boomerangs do no damage.
    if (touching->GetComponent<BulletBehavior>() != nullptr ||
        touching->GetComponent<FlameBehavior>() != nullptr) {
        TakeShot();
    }
    if (PlayerInput* player = touching->GetComponent<PlayerInput>();
        player != nullptr && IsAlive()) {
        player->TakeHit();
    }
}

void BasicEnemyBehavior::TakeShot() {
    health -= 1.0f;
    if (health > 0.0f) {
        StartFlash();
        return;
    }
    CompleteLevelIfLast();
    StartBurst();
}

void BasicEnemyBehavior::StartFlash() {
    Sprite* sprite = owner->GetComponent<Sprite>();
    if (sprite == nullptr) {
        return;
    }
    // A hit during a flash lengthens it; the tint to return to is the one from before the first.
    if (flashTimeLeft <= 0.0f) {
        restingColor = sprite->color;
    }
    flashTimeLeft = kFlashSeconds;
    sprite->color = kFlashColor;
}

void BasicEnemyBehavior::StartBurst() {
    bursting = true;
    burstTime = 0.0f;
    flashTimeLeft = 0.0f;
    if (Physics* physics = owner->GetComponent<Physics>()) {
        physics->velocity = {};
    }
    if (Transform* transform = owner->GetComponent<Transform>()) {
        burstScale = transform->scale;
    }
    if (Sprite* sprite = owner->GetComponent<Sprite>()) {
        sprite->color = kBurstColor;
    }
    // Its colliders leave at the next flush; until then (the rest of this collision pass) the
    // checks above keep it from hurting or being hurt again.
    for (const auto& [list, entry] : owner->components) {
        if (dynamic_cast<Collider*>(entry.component) != nullptr) {
            list->RemoveComponent(entry);
        }
    }
}

void BasicEnemyBehavior::GrowBurst(float dt) {
    burstTime += dt;
    if (burstTime >= kBurstSeconds) {
        owner->Destroy();
        return;
    }
    const float progress = burstTime / kBurstSeconds;
    if (Transform* transform = owner->GetComponent<Transform>()) {
        transform->SetScale(burstScale * (1.0f + (kBurstGrowth - 1.0f) * progress));
    }
    if (Sprite* sprite = owner->GetComponent<Sprite>()) {
        sprite->alpha = progress;
    }
}

void BasicEnemyBehavior::CompleteLevelIfLast() const {
    // Runs while this enemy is still alive and counted, so the last one finds exactly itself.
    if (CountLiveEnemies(2) != 1) {
        return;
    }
    GameMaster::CompleteLevel();
}

void BasicEnemyBehavior::FromJson(const nlohmann::json& data) {
    ReadJsonFloat(data, "moveSpeed", moveSpeed);
    ReadJsonFloat(data, "health", health);
    ReadJsonFloat(data, "damage", damage);
}

nlohmann::json BasicEnemyBehavior::ToJson() const {
    return nlohmann::json{{"moveSpeed", moveSpeed}, {"health", health}, {"damage", damage}};
}
