#include "entities/ComponentLists.h"

#include <array>
#include <cstddef>

#include "engine/ComponentType.h"
#include "entities/ComponentClasses.h"
#include "entities/ComponentListSystem.h"

namespace {

template <class T>
VirtualComponentListSystem* ListOf() {
    if constexpr (kIsBuiltComponent<T>) {
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
