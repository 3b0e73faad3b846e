#pragma once
// Keeps the tool windows (appended by the tool systems in their Initialize) and draws the
// visible ones every frame into the open GUI frame. Owns the windows: they are deleted at its
// shutdown and recreated at the next engine start. Also the one switch for every tool at once
// (TOGGLETOOLS): all windows and the debug outlines and lines drawn over the game.

#include <memory>
#include <vector>

#include "engine/NamedSystem.h"
#include "tools/Window.h"

class WindowCreationSystem : public NamedSystem<SystemType::WINDOW_CREATION_SYSTEM> {
public:
    static WindowCreationSystem& Instance();

    void Initialize() override;
    void Update(float dt) override;
    void Render() override;
    // TOGGLETOOLS: hides every tool when all are shown, and shows them all otherwise.
    void HandleMessage(const InputMessage& message) override;
    void ShutDown() override;

    // Shows or hides every tool window (the fixed test window too) and the debug drawing over the
    // game: collider outlines (the pointer's circle and the walls' lines among them), text-box
    // outlines, and free debug lines such as the aim line.
    void ShowAllTools(bool show);
    bool AllToolsShown() const;

    std::vector<std::unique_ptr<Window>> windows;
    bool testWindowVisible = true;

private:
    WindowCreationSystem();

    // The fixed test window: a dropdown with a right-click popup, drawn before the others.
    std::unique_ptr<WindowObject> testDropdown;
};
