#pragma once
// The changes the editor makes to the running scene, each carried out and recorded in the
// EditHistory so that it can be undone and redone: a change to a component's JSON (a field, an X,
// a Push Back), adding and removing a component, adding a child, deleting an entity. Refusals and
// failures are reported in the trace log with one line each and change nothing.

#include <functional>
#include <string>

#include <nlohmann/json.hpp>

class Component;
class Entity;

namespace SceneEdits {

// Applies `change` to the component's current JSON and hands the result back to the component
// (FromJson). A change that throws, or that the component rejects, is reported with the value at
// `at`; the component keeps whatever its reader applied before it stopped, and that is what is
// recorded. `what` names the change in the history ("Transform /position/x").
void ChangeComponent(Component& component, const nlohmann::json::json_pointer& at,
                     const std::function<void(nlohmann::json&)>& change, const std::string& what);

// By the exact class name. An unknown name, or a type the entity already has, is reported and
// changes nothing. Returns whether a component was added.
bool AddComponent(Entity& entity, const std::string& typeName);
// An unknown name is reported; a type the entity does not have changes nothing.
bool RemoveComponent(Entity& entity, const std::string& typeName);
Entity* AddChild(Entity& parent, const std::string& name);
// Marks the entity and its subtree destroyed (freed at the next sweep). The engine's own
// entities and the loaded scene's top entity are refused: the scene is replaced by opening
// another, not deleted.
bool DeleteEntity(Entity& entity);

}  // namespace SceneEdits
