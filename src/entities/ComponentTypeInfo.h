#pragma once
// Per-type facts about the component types beyond their numbers: the place of each type's list
// in the engine's fan-out order, and the key under which the entity reader recognises it. Both
// are generated from ComponentTypes.def.

#include <array>
#include <optional>
#include <string_view>

#include "engine/ComponentType.h"

struct ComponentTypeInfo {
    ComponentType type = ComponentType::Animator;
    // The class name, as declared.
    std::string_view name;
    // The entity-file member key the type is read from. The three collider kinds share
    // "Collider".
    std::string_view jsonKey;
    // False for the types the entity reader has no key for: a member named jsonKey is read as a
    // child entity, and such components are only added through the editor.
    bool hasReaderKey = false;
};

// Every component type once, in the fixed order in which the engine initializes, flushes,
// updates, renders, sends messages to and shuts down the component lists. The last entry is
// SoundEffect (see ComponentTypes.def).
inline constexpr std::array<ComponentTypeInfo, kComponentTypeCount> kComponentTypesInFanOutOrder =
    [] {
        std::array<ComponentTypeInfo, kComponentTypeCount> order{};
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey) \
    order[fanOutPosition] = {ComponentType::Name, #Name, jsonKey, true};
#define COMPONENT_TYPE_NO_READER_KEY(Name, value, fanOutPosition, jsonKey) \
    order[fanOutPosition] = {ComponentType::Name, #Name, jsonKey, false};
#include "entities/ComponentTypes.def"
        return order;
    }();

// The component type the entity reader builds for a member key, or nullopt when the member is a
// child entity (any other key, including the names of the types without a reader key).
// "Collider" gives ComponentType::Collider: the reader then picks the circle, rectangle or line
// kind from the member's data. Keys are case-sensitive.
std::optional<ComponentType> ComponentTypeFromJsonKey(std::string_view key);
