#include "entities/ComponentLists.h"

#include <array>

#include "engine/ComponentType.h"
#include "entities/ComponentClasses.h"
#include "entities/ComponentListSystem.h"

namespace {

using FanOut = std::array<VirtualComponentListSystem*, kComponentTypeCount>;

// Every list takes part in the fan-out exactly once: the positions of the declaration are
// distinct and below the number of types, so together they fill every place.
constexpr bool FanOutPositionsFillEveryPlace() {
    std::array<bool, kComponentTypeCount> taken{};
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey)              \
    if (fanOutPosition >= kComponentTypeCount || taken[fanOutPosition]) { \
        return false;                                                     \
    }                                                                     \
    taken[fanOutPosition] = true;
#include "entities/ComponentTypes.def"
    return true;
}
static_assert(FanOutPositionsFillEveryPlace(), "a fan-out position is repeated or out of range");

FanOut BuildFanOut() {
    FanOut byPosition{};
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey) \
    byPosition[fanOutPosition] = &ComponentListSystem<Name>::Instance();
#include "entities/ComponentTypes.def"
    return byPosition;
}

}  // namespace

std::span<VirtualComponentListSystem* const> ComponentListsInFanOutOrder() {
    static const FanOut fanOut = BuildFanOut();
    return fanOut;
}
