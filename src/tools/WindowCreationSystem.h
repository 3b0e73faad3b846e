#pragma once
// Keeps the tool windows (appended by the tool systems in their Initialize) and draws the
// visible ones every frame into the open GUI frame. Owns the windows: they are deleted at its
// shutdown and recreated at the next engine start.

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
    void ShutDown() override;

    std::vector<std::unique_ptr<Window>> windows;

private:
    WindowCreationSystem();

    // The fixed test window: a dropdown with a right-click popup, drawn before the others.
    std::unique_ptr<WindowObject> testDropdown;
};
