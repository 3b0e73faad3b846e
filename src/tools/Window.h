#pragma once
// A titled tool window: its content is one section of widgets, built once and drawn every frame
// while the window is visible. The title is also the window's identity for the GUI library.

#include <memory>
#include <optional>
#include <string>

#include "engine/Vector2.h"
#include "engine/WindowRenderState.h"
#include "tools/WindowSection.h"

class Window {
public:
    explicit Window(std::string name);
    // The editor's windows derive from this one and are deleted through it.
    virtual ~Window() = default;

    // Appends to the root section's children.
    void AddObject(std::unique_ptr<WindowObject> object);
    // Begins the GUI window, draws the root section and ends the window.
    void Draw();

    std::string name;
    std::unique_ptr<WindowSection> root;
    WindowRenderState renderState = WindowRenderState::VISIBLE;
    // Where the window first appears, in window pixels from the top left; the user may move it
    // afterwards. Unset: the GUI library's own placement.
    std::optional<Vector2> initialPosition;
    std::optional<Vector2> initialSize;
};
