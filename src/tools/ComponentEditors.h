#pragma once
// What the editor's "Add Component:" and "Remove Component:" boxes can do: for every component
// type, by its class name, an operation that adds a new component of the type to an entity and
// one that removes the entity's component of the type. Generated from ComponentTypes.def, so a
// new component type is editable as soon as it is declared there and its class is listed in
// ComponentClasses.h.

#include <map>
#include <string>

class Entity;

struct ComponentEditor {
    // Attaches a new component in update layer AVERAGE, built as the entity reader builds one
    // before it applies any keys. A component of the same type that the entity had is removed
    // from its list at the next flush.
    void (*add)(Entity& entity);
    // Queues the removal of the entity's component of the type; nothing when it has none.
    void (*remove)(Entity& entity);
};

// One entry per component type, keyed by the exact (case-sensitive) class name. Built during
// static initialization and never changed.
extern const std::map<std::string, ComponentEditor> componentEditors;
