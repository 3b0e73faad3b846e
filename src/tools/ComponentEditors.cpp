#include "tools/ComponentEditors.h"

#include <algorithm>
#include <memory>
#include <type_traits>

#include "engine/UpdateLayer.h"
#include "entities/ComponentClasses.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"

namespace {

// The reader constructs these two from a name it finds in the entry (a tile map's file is
// applied later, through its data; a sound effect's sound is fixed at construction); without an
// entry they start with the empty name. Every other type starts from its default constructor: a
// GameMaster then names "help", a line collider has no points.
template <class T>
constexpr bool kStartsFromAName = std::is_same_v<T, Tilemap> || std::is_same_v<T, SoundEffect>;

template <class T>
std::unique_ptr<T> NewAsTheReaderStartsIt() {
    if constexpr (kStartsFromAName<T>) {
        return std::make_unique<T>(std::string());
    } else {
        return std::make_unique<T>();
    }
}

template <class T>
void RemoveComponentOfType(Entity& entity) {
    ComponentListSystem<T>& list = ComponentListSystem<T>::Instance();
    if (const auto found = entity.components.find(&list); found != entity.components.end()) {
        list.RemoveComponent(found->second);
    }
}

template <class T>
const ComponentEntry* FindComponentOfType(const Entity& entity) {
    ComponentListSystem<T>& list = ComponentListSystem<T>::Instance();
    const auto found = entity.components.find(&list);
    if (found == entity.components.end()) {
        return nullptr;
    }
    const Component* component = found->second.component;
    const bool leaving = std::any_of(list.Pending().begin(), list.Pending().end(),
                                     [component](const auto& record) {
                                         return !record.add && record.component == component;
                                     });
    return leaving ? nullptr : &found->second;
}

template <class T>
Component* AddComponentOfType(Entity& entity, UpdateLayer layer) {
    ComponentListSystem<T>& list = ComponentListSystem<T>::Instance();
    if (const auto found = entity.components.find(&list); found != entity.components.end()) {
        // The entity records one component per type, so the new one takes this one's place: it
        // leaves its list at the next flush. Without an owner, carrying out that removal leaves
        // alone the entity's entry, which by then names the new component; and the entity, once
        // freed, no longer owns a component it cannot reach.
        list.RemoveComponent(found->second);
        found->second.component->owner = nullptr;
    }
    T* added = NewAsTheReaderStartsIt<T>().release();
    entity.AddComponent(added, layer);
    return added;
}

std::map<std::string, ComponentEditor> BuildComponentEditors() {
    std::map<std::string, ComponentEditor> editors;
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey) \
    editors.emplace(#Name,                                   \
                    ComponentEditor{&FindComponentOfType<Name>, &AddComponentOfType<Name>,  \
                                    &RemoveComponentOfType<Name>});
#include "entities/ComponentTypes.def"
    return editors;
}

}  // namespace

const std::map<std::string, ComponentEditor> componentEditors = BuildComponentEditors();
