#include "gameplay/ContactRules.h"

#include <string_view>

#include "entities/Entity.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "physics/Collider.h"

namespace {

// True when the other collider's entity is named with `word`, or is an enemy.
bool NamedOrEnemy(const Collider* other, std::string_view word) {
    const Entity* entity = other != nullptr ? other->owner : nullptr;
    if (entity == nullptr) {
        return false;
    }
    return entity->name.find(word) != std::string::npos ||
           entity->name.find("Ball") != std::string::npos ||
           entity->GetComponent<BasicEnemyBehavior>() != nullptr;
}

}  // namespace

bool BulletDiesOn(const Collider* other) {
    return NamedOrEnemy(other, "Border");
}

bool FlameDiesOn(const Collider* other) {
    return NamedOrEnemy(other, "Wall");
}
