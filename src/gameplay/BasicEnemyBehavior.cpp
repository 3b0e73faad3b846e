#include "gameplay/BasicEnemyBehavior.h"

#include <cmath>

#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "entities/SceneSystem.h"
#include "gameplay/BulletBehavior.h"
#include "gameplay/FlameBehavior.h"
#include "gameplay/GameMaster.h"
#include "gameplay/PlayerInput.h"
#include "graphics/GraphicsSystem.h"
#include "physics/Collider.h"
#include "physics/Physics.h"
#include "physics/Transform.h"

namespace {

bool IsLive(const BasicEnemyBehavior* enemy) {
    return enemy->owner != nullptr && !enemy->owner->destroyed;
}

// Enemies that are alive now or about to join the list, stopping once `limit` are found.
int CountLiveEnemies(int limit) {
    const auto& list = ComponentListSystem<BasicEnemyBehavior>::Instance();
    int live = 0;
    for (const auto& layer : list.Layers()) {
        for (const BasicEnemyBehavior* enemy : layer) {
            if (IsLive(enemy) && ++live >= limit) {
                return live;
            }
        }
    }
    for (const auto& record : list.Pending()) {
        if (record.add && IsLive(record.component) && ++live >= limit) {
            return live;
        }
    }
    return live;
}

}  // namespace

BasicEnemyBehavior::BasicEnemyBehavior() : Component(kComponentName) {}

std::unique_ptr<Component> BasicEnemyBehavior::Clone() const {
    return std::make_unique<BasicEnemyBehavior>(*this);
}

void BasicEnemyBehavior::Update(float /*dt*/) {
    if (owner == nullptr) {
        return;
    }
    Transform* transform = owner->GetComponent<Transform>();
    Physics* physics = owner->GetComponent<Physics>();
    if (transform == nullptr || physics == nullptr) {
        return;
    }
    const Vector3& camera = GraphicsSystem::Instance().camera.position;
    const Vector2 toCamera = Vector2{camera.x, camera.y} - transform->position;
    const float distance = std::sqrt(toCamera.x * toCamera.x + toCamera.y * toCamera.y);
    // Standing on the camera there is nowhere to run: stand still rather than divide by zero.
    physics->velocity = distance > 0.0f ? toCamera * (moveSpeed / distance) : Vector2{};
}

void BasicEnemyBehavior::OnCollision(Collider* other) {
    // A dying enemy reacts to nothing more in the frame it dies: it has been counted out once.
    Entity* touching = other != nullptr ? other->owner : nullptr;
    if (owner == nullptr || owner->destroyed || touching == nullptr) {
        return;
    }
    // Boomerangs do no damage.
    if (touching->GetComponent<BulletBehavior>() != nullptr ||
        touching->GetComponent<FlameBehavior>() != nullptr) {
        health -= 1.0f;
        if (health <= 0.0f) {
            CompleteLevelIfLast();
            owner->Destroy();
        }
    }
    if (PlayerInput* player = touching->GetComponent<PlayerInput>()) {
        player->TakeHit();
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
