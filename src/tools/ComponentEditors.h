#pragma once
// What the editor's "Add Component:" and "Remove Component:" boxes can do: for every component
// type, by its class name, an operation that adds a new component of the type to an entity and
// one that removes the entity's component of the type. Generated from ComponentTypes.def, so a
// new component type is editable as soon as it is declared there and its class is listed in
// ComponentClasses.h.

#include <map>
#include <string>

#include "engine/UpdateLayer.h"

class Component;
class Entity;
struct ComponentEntry;

struct ComponentEditor {
    // The entity's entry of the type, unless its removal is already queued (the entry stays until
    // the list's next flush, but the component is as good as gone); null otherwise.
    const ComponentEntry* (*find)(const Entity& entity);
    // Attaches a new component in `layer` (the editor's boxes use AVERAGE), built as the entity
    // reader builds one before it applies any keys, and returns it. A component of the same type
    // that the entity had is removed from its list at the next flush.
    Component* (*add)(Entity& entity, UpdateLayer layer);
    // Queues the removal of the entity's component of the type; nothing when it has none.
    void (*remove)(Entity& entity);
};

// One entry per component type, keyed by the exact (case-sensitive) class name. Built during
// static initialization and never changed.
extern const std::map<std::string, ComponentEditor> componentEditors;
