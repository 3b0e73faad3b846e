#include "entities/ComponentTypeInfo.h"

#include <cstddef>

namespace {

// A repeated fan-out position would silently overwrite another type's entry, and a repeated
// number would give two types the same identity; either leaves some number missing here.
constexpr bool EveryTypeListedOnce() {
    for (std::size_t value = 0; value < kComponentTypeCount; ++value) {
        std::size_t seen = 0;
        for (const ComponentTypeInfo& info : kComponentTypesInFanOutOrder) {
            if (static_cast<std::size_t>(info.type) == value) {
                ++seen;
            }
        }
        if (seen != 1) {
            return false;
        }
    }
    return true;
}
static_assert(EveryTypeListedOnce(),
              "ComponentTypes.def: numbers and fan-out positions must each be 0..count-1, "
              "every one used once");

// A key names the reader type called like it. Shared keys (like "Collider") therefore need such a
// type, or their members could not be read at all; EveryReaderKeyResolves checks that.
constexpr std::optional<ComponentType> FindReaderType(std::string_view key) {
    for (const ComponentTypeInfo& info : kComponentTypesInFanOutOrder) {
        if (info.hasReaderKey && info.name == key && info.jsonKey == key) {
            return info.type;
        }
    }
    return std::nullopt;
}

constexpr bool EveryReaderKeyResolves() {
    for (const ComponentTypeInfo& info : kComponentTypesInFanOutOrder) {
        if (info.hasReaderKey && !FindReaderType(info.jsonKey)) {
            return false;
        }
    }
    return true;
}
static_assert(EveryReaderKeyResolves(),
              "ComponentTypes.def: every reader key must be the name of a type read from it");

}  // namespace

std::optional<ComponentType> ComponentTypeFromJsonKey(std::string_view key) {
    return FindReaderType(key);
}
