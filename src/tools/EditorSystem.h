#pragma once
// The editor over the running scene. Its "Hierarchy" window shows the entity tree under the
// engine's root: per entity a small button that selects it and a header that opens onto its
// children, with "Delete Entity" on a right click. Its "Inspector" window shows the selected
// entity: its name, a "Save To:" box, one dropdown per component with a box for every field of
// the component's JSON form, and boxes that add or remove components and add a child. A field is
// edited through the component's own JSON: the editor changes one value of ToJson(), addressed by
// a JSON pointer, and hands the whole object back to FromJson().
//
// Widgets that are rebuilt (open subtrees of the Hierarchy, the whole Inspector every frame) get
// the same hidden identifiers again, derived from the address of the entity or component they
// show, so the GUI library keeps their state (an open header stays open, a box keeps its text).

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/NamedSystem.h"
#include "tools/Window.h"

class Component;
class Entity;

class EditorSystem : public NamedSystem<SystemType::EDITOR_SYSTEM> {
public:
    static EditorSystem& Instance();

    // Selects the engine's root entity and creates both windows anew (the previous ones went
    // with the window-creation system's shutdown, which owns them).
    void Initialize() override;
    // Forgets the selected entity once it is marked destroyed: this runs before the sweep that
    // frees it.
    void PreUpdate() override;
    // A TOGGLEEDITOR press shows or hides both windows.
    void HandleMessage(const InputMessage& message) override;
    // The windows are deleted by the window-creation system right after this.
    void ShutDown() override;

    // Owned by the window-creation system's list.
    Window* hierarchyWindow = nullptr;
    Window* inspectorWindow = nullptr;
    // Shown in the Inspector; null when nothing is selected.
    Entity* inspected = nullptr;

private:
    EditorSystem() = default;

    Window* CreateHierarchyWindow();
    Window* CreateInspectorWindow();
    // One row of the Hierarchy (select button, header) with the entity's children below it,
    // built when the header is open.
    std::unique_ptr<WindowSection> CreateEntityHierarchySection(Entity* entity);
    std::unique_ptr<WindowSection> CreateEntityInspectorSection(Entity* entity);
    // The field editors of one component, from its current JSON.
    std::unique_ptr<WindowSection> CreateComponentSection(Component* component);
    // Appends to `output` the editors of `value`, found at `pointer` in the component's JSON:
    // a header and the members one level deeper for an object, an X button per element (and a
    // Push Back button when the array carries a template entry) for an array, a box for anything
    // else. `pointer` is restored before returning.
    void CreateFieldTexts(std::vector<std::unique_ptr<WindowObject>>& output,
                          const nlohmann::json& value, Component* component,
                          const std::string& identity, nlohmann::json::json_pointer& pointer);

    // Set right after an array element's X button is made, so that the element's header or box,
    // made next, is drawn on the same line as the button; taking it clears it.
    bool sameLineNext = false;
};
