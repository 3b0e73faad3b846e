#pragma once
// A named node of the scene tree. It owns its children and records at most one component per
// type; the components themselves live in their type's list. Destruction is deferred: Destroy
// marks the subtree, and the sweep over the engine's root frees it at the start of the next
// frame.

#include <cstdint>
#include <string>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/UpdateLayer.h"
#include "entities/ComponentEntry.h"

class VirtualComponentListSystem;
template <class T>
class ComponentListSystem;

class Entity {
public:
    explicit Entity(std::string name);
    // Frees the children (last first), queues the removal of every component with its list and
    // clears their owner links. The components live until their lists' next flush. The scene
    // system is told first, so that it never keeps a freed scene as its current one.
    ~Entity();
    Entity(const Entity&) = delete;
    Entity& operator=(const Entity&) = delete;

    // Queues `component` for addition to its list and records it under its type, replacing any
    // previous entry of that type (the previous component is left where it is).
    template <class T>
    void AddComponent(T* component, UpdateLayer layer = UpdateLayer::AVERAGE);

    // The component recorded under type T, or null. Never creates an entry.
    template <class T>
    T* GetComponent() const;

    // Erases the entry of the given type, whatever component it names; used by the lists when
    // they carry out a removal.
    void RemoveComponentEntry(VirtualComponentListSystem* type);

    // Appends the child and makes this entity its parent (a previous parent is not told).
    void AddChild(Entity* child);

    // Marks this entity and every descendant for destruction. Nothing is freed yet.
    void Destroy();

    // The sweep: frees every marked child (with its subtree) and recurses into the others. The
    // entity it starts on is never freed by it.
    void RemoveDestroyedChildren();

    // The entity as an entity-file object: component entries, then children (no generated
    // component or child, no child marked destroyed).
    static nlohmann::json to_json(const Entity& entity);
    // Fills `entity` from an entity-file object (components and children read so far stay when
    // reading fails part way).
    static void from_json(const nlohmann::json& value, Entity& entity);
    // The same for the content of the file at `file`, which its read errors name.
    static void from_json(const nlohmann::json& value, Entity& entity, const std::string& file);

    // Never reused and never reset, not even by an engine restart.
    static std::int32_t nextEntityId;
    // Entities constructed and not yet freed.
    static std::int32_t liveEntityCount;

    std::int32_t id;
    std::string name;
    std::unordered_map<VirtualComponentListSystem*, ComponentEntry> components;
    std::vector<Entity*> children;
    Entity* parent = nullptr;
    bool destroyed = false;
    // Made by a component from its own data (a tile map's tiles), and made again whenever that
    // data is read: it is never written to an entity file, or a saved scene would hold the tiles
    // twice once loaded.
    bool generated = false;
};

// The templates below look into a component (its dynamic type), so they need the complete class.
#include "entities/Component.h"
#include "entities/ComponentListSystem.h"

template <class T>
void Entity::AddComponent(T* component, UpdateLayer layer) {
    component->owner = this;
    ComponentListSystem<T>& list = ComponentListSystem<T>::Instance();
    list.QueueAddition(component, layer);
    components[&list] = ComponentEntry{component, layer};
}

template <class T>
T* Entity::GetComponent() const {
    const auto found = components.find(&ComponentListSystem<T>::Instance());
    if (found == components.end()) {
        return nullptr;
    }
    Component* component = found->second.component;
    // The entry under T's list holds a T, or a type derived from it; the exact type, by far the
    // common case, is recognised without the full cast.
    if (component != nullptr && typeid(*component) == typeid(T)) {
        return static_cast<T*>(component);
    }
    return dynamic_cast<T*>(component);
}
