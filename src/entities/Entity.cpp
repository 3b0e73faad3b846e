#include "entities/Entity.h"

#include "entities/Component.h"
#include "entities/SceneSystem.h"
#include "entities/VirtualComponentListSystem.h"

namespace {
// Matches the map's designed shape: a few component types per entity.
constexpr std::size_t kInitialComponentBuckets = 8;
}  // namespace

std::int32_t Entity::nextEntityId = 0;
std::int32_t Entity::liveEntityCount = 0;

Entity::Entity(std::string name) : id(nextEntityId++), name(std::move(name)) {
    components.max_load_factor(1.0f);
    components.reserve(kInitialComponentBuckets);
    ++liveEntityCount;
}

Entity::~Entity() {
    SceneSystem::Instance().ForgetFreedScene(this);
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        delete *child;
    }
    for (auto& [type, entry] : components) {
        type->RemoveComponent(entry);
        entry.component->owner = nullptr;
    }
    --liveEntityCount;
}

void Entity::RemoveComponentEntry(VirtualComponentListSystem* type) {
    components.erase(type);
}

void Entity::AddChild(Entity* child) {
    children.push_back(child);
    child->parent = this;
}

void Entity::Destroy() {
    destroyed = true;
    for (Entity* child : children) {
        child->Destroy();
    }
}

void Entity::RemoveDestroyedChildren() {
    for (std::size_t i = children.size(); i-- > 0;) {
        Entity* child = children[i];
        if (child->destroyed) {
            delete child;
            children.erase(children.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            child->RemoveDestroyedChildren();
        }
    }
}
