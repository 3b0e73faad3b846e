#pragma once
// The editor's "Inspector" window: the selected entity's name, a "Save To:" box, one dropdown per
// component with a box for every field of the component's JSON form, and boxes that add or remove
// components and add a child. A field is edited through the component's own JSON: one value of
// ToJson(), addressed by a JSON pointer, is changed and the whole object handed back to
// FromJson(). The content is rebuilt every frame, so it always shows the selection as it is now.

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tools/Window.h"

class Component;
class Entity;

class InspectorWindow : public Window {
public:
    // Shows whatever `selection` points at when a frame is drawn; nothing while it is null.
    explicit InspectorWindow(Entity*& selection);

private:
    std::unique_ptr<WindowSection> CreateEntitySection(Entity* entity);
    // The field editors of one component, from its current JSON.
    std::unique_ptr<WindowSection> CreateComponentSection(Component* component);
    // Appends to `output` the editors of `value`, found at `pointer` in the component's JSON:
    // a header and the members one level deeper for an object, an X button per element (and a
    // Push Back button when the array carries a template entry) for an array, a box for anything
    // else. `pointer` is restored before returning.
    void CreateFieldTexts(std::vector<std::unique_ptr<WindowObject>>& output,
                          const nlohmann::json& value, Component* component,
                          const std::string& identity, nlohmann::json::json_pointer& pointer);

    Entity*& selection;
    // Set right after an array element's X button is made, so that the element's header or box,
    // made next, is drawn on the same line as the button; taking it clears it.
    bool sameLineNext = false;
};
