#pragma once
// The editor over the running scene: the "Hierarchy" window, which selects an entity, and the
// "Inspector" window, which shows and edits the selected one. This system owns what the two
// share: the selection, which it drops once the entity is marked destroyed, and the TOGGLEEDITOR
// key that shows or hides both, and the keys of the undo history. It creates both windows at every engine start; the
// window-creation system owns and draws them.

#include "engine/NamedSystem.h"
#include "tools/Window.h"

class Entity;

class EditorSystem : public NamedSystem<SystemType::EDITOR_SYSTEM> {
public:
    static EditorSystem& Instance();

    // Selects the engine's root entity and creates both windows anew (the previous ones went
    // with the window-creation system's shutdown, which owns them).
    void Initialize() override;
    // Forgets the selected entity once it is marked destroyed: this runs before the sweep that
    // frees it. Empties the undo history when another scene is loaded.
    void PreUpdate() override;
    // Ctrl+Z undoes the latest editor change, Ctrl+Y or Ctrl+Shift+Z redoes it: once per GUI
    // frame, while the editor is shown and no text box has the keyboard (a text box keeps its
    // own undo).
    void Render() override;
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
};
