#pragma once
// The number of each component type. The enumerators come from entities/ComponentTypes.def, the
// one list of component types.

#include <cstddef>
#include <cstdint>

enum class ComponentType : std::int32_t {
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey) Name = value,
#include "entities/ComponentTypes.def"
};

// The values are 0 to kComponentTypeCount - 1, so they can index per-type tables.
inline constexpr std::size_t kComponentTypeCount = 0
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey) +1
#include "entities/ComponentTypes.def"
    ;
