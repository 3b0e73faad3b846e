#include "entities/ComponentLists.h"

#include <array>
#include <cstddef>

#include "engine/ComponentType.h"
#include "entities/ComponentClasses.h"
#include "entities/ComponentListSystem.h"

// Every type of the declaration is named here; only those with a complete class have a list.
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey) class Name;
#include "entities/ComponentTypes.def"

namespace {

template <class T>
constexpr bool kIsBuilt = requires {
    sizeof(T);
};

template <class T>
VirtualComponentListSystem* ListOf() {
    if constexpr (kIsBuilt<T>) {
        return &ComponentListSystem<T>::Instance();
    } else {
        return nullptr;
    }
}

struct FanOut {
    std::array<VirtualComponentListSystem*, kComponentTypeCount> lists{};
    std::size_t count = 0;
};

FanOut BuildFanOut() {
    std::array<VirtualComponentListSystem*, kComponentTypeCount> byPosition{};
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey) \
    byPosition[fanOutPosition] = ListOf<Name>();
#include "entities/ComponentTypes.def"
    FanOut fanOut;
    for (VirtualComponentListSystem* list : byPosition) {
        if (list != nullptr) {
            fanOut.lists[fanOut.count++] = list;
        }
    }
    return fanOut;
}

}  // namespace

std::span<VirtualComponentListSystem* const> ComponentListsInFanOutOrder() {
    static const FanOut fanOut = BuildFanOut();
    return {fanOut.lists.data(), fanOut.count};
}
