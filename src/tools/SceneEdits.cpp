#include "tools/SceneEdits.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <utility>
#include <vector>

#include "engine/Engine.h"
#include "engine/TraceLog.h"
#include "entities/Component.h"
#include "entities/ComponentEntry.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "tools/ComponentEditors.h"
#include "tools/EditHistory.h"

namespace {

using json = nlohmann::json;

constexpr const char* kConvertError = "Failed To Convert Entry To Valid Field: ";
constexpr const char* kAddTrace = "EditorSystem - Add Component: ";
constexpr const char* kRemoveTrace = "EditorSystem - Remove Component: ";
constexpr const char* kDeleteTrace = "EditorSystem - Delete Entity: ";
constexpr int kReportIndent = 2;

std::string JsonText(const json& value, int indent = -1) {
    return value.dump(indent, ' ', false, json::error_handler_t::replace);
}

// For reports: the value at `pointer`, or null when the change left nothing there.
std::string ValueAt(const json& data, const json::json_pointer& pointer) {
    try {
        return JsonText(data.at(pointer), kReportIndent);
    } catch (const json::exception&) {
        return JsonText(nullptr);
    }
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The list a component is recorded under in its owner, which tells apart types that share a
// component name (the collider kinds).
VirtualComponentListSystem* ListOf(const Component& component) {
    if (component.owner == nullptr) {
        return nullptr;
    }
    for (const auto& [list, entry] : component.owner->components) {
        if (entry.component == &component) {
            return list;
        }
    }
    return nullptr;
}

// A step's way back to a component state: hands `data` to the entity's component of the list.
EditHistory::Action RestoreComponent(std::int32_t entityId, VirtualComponentListSystem* list,
                                     json data) {
    return [entityId, list, data = std::move(data)] {
        Entity* entity = EditHistory::Instance().Find(entityId);
        if (entity == nullptr) {
            return false;
        }
        const auto found = entity->components.find(list);
        if (found == entity->components.end() || found->second.component == nullptr) {
            return false;
        }
        try {
            found->second.component->FromJson(data);
        } catch (const std::exception& error) {
            TraceLog::Error(kConvertError + std::string(error.what()));
            return false;
        }
        return true;
    };
}

const ComponentEditor* EditorOf(const std::string& typeName, const char* trace) {
    const auto found = componentEditors.find(typeName);
    if (found == componentEditors.end()) {
        TraceLog::Warning(trace + Quoted(typeName) + " names no component type");
        return nullptr;
    }
    return &found->second;
}

// The entity with `id`, handed to `action`; false when it is gone.
EditHistory::Action OnEntity(std::int32_t id, std::function<bool(Entity&)> action) {
    return [id, action = std::move(action)] {
        Entity* entity = EditHistory::Instance().Find(id);
        return entity != nullptr && action(*entity);
    };
}

}  // namespace

namespace SceneEdits {

void ChangeComponent(Component& component, const json::json_pointer& at,
                     const std::function<void(json&)>& change, const std::string& what) {
    const json before = component.ToJson();
    json data = before;
    try {
        change(data);
        component.FromJson(data);
    } catch (const std::exception&) {
        TraceLog::Error(kConvertError + ValueAt(data, at));
    }
    VirtualComponentListSystem* list = ListOf(component);
    json after = component.ToJson();
    if (list == nullptr || after == before) {
        return;
    }
    const std::int32_t id = component.owner->id;
    EditHistory::Instance().Record(what + " of " + component.owner->name,
                                   RestoreComponent(id, list, before),
                                   RestoreComponent(id, list, std::move(after)));
}

bool AddComponent(Entity& entity, const std::string& typeName) {
    const ComponentEditor* editor = EditorOf(typeName, kAddTrace);
    if (editor == nullptr) {
        return false;
    }
    if (editor->find(entity) != nullptr) {
        TraceLog::Warning(kAddTrace + entity.name + " already has a " + typeName +
                          "; nothing changed");
        return false;
    }
    editor->add(entity, UpdateLayer::AVERAGE);
    EditHistory::Instance().Record(
        "Add Component " + typeName + " to " + entity.name,
        OnEntity(entity.id,
                 [editor](Entity& owner) {
                     editor->remove(owner);
                     return true;
                 }),
        OnEntity(entity.id, [editor](Entity& owner) {
            return editor->add(owner, UpdateLayer::AVERAGE) != nullptr;
        }));
    return true;
}

bool RemoveComponent(Entity& entity, const std::string& typeName) {
    const ComponentEditor* editor = EditorOf(typeName, kRemoveTrace);
    if (editor == nullptr) {
        return false;
    }
    const ComponentEntry* entry = editor->find(entity);
    if (entry == nullptr || entry->component == nullptr) {
        return false;
    }
    const json before = entry->component->ToJson();
    const UpdateLayer layer = entry->layer;
    editor->remove(entity);
    EditHistory::Instance().Record(
        "Remove Component " + typeName + " from " + entity.name,
        OnEntity(entity.id,
                 [editor, layer, before](Entity& owner) {
                     try {
                         editor->add(owner, layer)->FromJson(before);
                     } catch (const std::exception& error) {
                         TraceLog::Error(kConvertError + std::string(error.what()));
                     }
                     return true;
                 }),
        OnEntity(entity.id, [editor](Entity& owner) {
            editor->remove(owner);
            return true;
        }));
    return true;
}

Entity* AddChild(Entity& parent, const std::string& name) {
    auto* child = new Entity(name);
    parent.AddChild(child);
    const std::int32_t childId = child->id;
    EditHistory::Instance().Record(
        "Add Child " + name + " to " + parent.name,
        OnEntity(childId,
                 [](Entity& added) {
                     added.Destroy();
                     return true;
                 }),
        OnEntity(parent.id, [childId, name](Entity& owner) {
            auto* again = new Entity(name);
            owner.AddChild(again);
            EditHistory::Instance().Renamed({childId}, *again);
            return true;
        }));
    return child;
}

bool DeleteEntity(Entity& entity) {
    const Engine& engine = Engine::Instance();
    if (&entity == engine.originEntity || &entity == engine.mouseObject ||
        &entity == SceneSystem::Instance().currentScene || entity.parent == nullptr) {
        TraceLog::Warning(kDeleteTrace + entity.name +
                          " is not deleted: the engine's own entities and the scene's top entity "
                          "stay (open another scene to replace it)");
        return false;
    }
    Entity& parent = *entity.parent;
    const auto place = std::find(parent.children.begin(), parent.children.end(), &entity);
    const auto index = static_cast<std::size_t>(place - parent.children.begin());
    json saved = Entity::to_json(entity);
    std::vector<std::int32_t> ids = EditHistory::IdsInPreOrder(entity);
    const std::string name = entity.name;
    entity.Destroy();
    EditHistory::Instance().Record(
        "Delete Entity " + name,
        OnEntity(parent.id,
                 [index, saved = std::move(saved), ids, name](Entity& owner) {
                     auto* rebuilt = new Entity(name);
                     try {
                         Entity::from_json(saved, *rebuilt);
                     } catch (const std::exception& error) {
                         TraceLog::Error(kDeleteTrace + name + " could not be built again: " +
                                         error.what());
                         delete rebuilt;
                         return false;
                     }
                     const std::size_t at = std::min(index, owner.children.size());
                     owner.children.insert(owner.children.begin() + static_cast<long>(at),
                                           rebuilt);
                     rebuilt->parent = &owner;
                     EditHistory::Instance().Renamed(ids, *rebuilt);
                     return true;
                 }),
        OnEntity(ids.front(), [](Entity& again) {
            again.Destroy();
            return true;
        }));
    return true;
}

}  // namespace SceneEdits
