#pragma once
// Base of all behaviour. A component belongs to one entity (`owner`) but is stored, updated,
// drawn and deleted by the ComponentListSystem of its concrete type; the entity only maps the
// type to it. Every hook has an empty default except the JSON pair, which each type must give.

#include <cstdint>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "engine/MessageHandler.h"

class Collider;
class Entity;

class Component : public MessageHandler {
public:
    explicit Component(std::string name);
    virtual ~Component() = default;

    // A new, unattached copy (no entity map, no list); null for types that cannot be copied.
    virtual std::unique_ptr<Component> Clone() const;
    // Once, when the component enters its list at a pending-flush.
    virtual void Initialize();
    virtual void Update(float dt);
    virtual void Render();
    // Once, just before the list deletes the component.
    virtual void ShutDown();
    virtual void OnCollision(Collider* other);
    // Applies / returns the component's own keys (not the entity envelope).
    virtual void FromJson(const nlohmann::json& data) = 0;
    virtual nlohmann::json ToJson() const = 0;

    // The type's component name ("Collider" for every collider kind, "Transform" for
    // TransformUI): the entity-file key and the list's name come from it.
    std::string name;
    Entity* owner = nullptr;
    // Made by another component from its own data (a tile map's wall outline), and made again
    // whenever that data is read: never written to an entity file.
    bool generated = false;
    // Where the component stands with its list; only the list changes it. kIn from the flush
    // that adds it; kLeaving from its removal to the end of that flush, when it is deleted. A
    // copy (Clone) is a new component, out of every list: the state is not copied.
    enum class ListState : std::uint8_t { kOut, kIn, kLeaving };
    struct ListMark {
        ListState state = ListState::kOut;
        ListMark() = default;
        ListMark(const ListMark& /*other*/) {}
        ListMark& operator=(const ListMark& /*other*/) { return *this; }
    };
    ListMark listMark;

protected:
    Component(const Component&) = default;
    Component& operator=(const Component&) = default;
};
