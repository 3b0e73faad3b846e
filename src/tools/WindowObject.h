#pragma once
// Base of every widget of the tool windows. The widget trees are built once by the tool systems
// and drawn again every frame in the GUI library's immediate mode: Draw indents, runs the
// object's onDraw callback (which may refresh its content), lets the object draw itself (Update)
// and then applies its traits, which act on the last item the object drew.

#include <functional>
#include <memory>
#include <vector>

#include "tools/WindowObjectTrait.h"

class WindowObject;

using WindowObjectCallback = std::function<void(WindowObject&)>;

// What every widget is built from besides its own arguments.
struct WindowObjectDescription {
    float indent = 0.0f;
    // Always callable: a description without behaviour gets a callback that does nothing.
    WindowObjectCallback onDraw = [](WindowObject&) {};
    std::vector<std::unique_ptr<WindowObjectTrait>> traits;
};

// Red outlines around text items and dropdown headers, for laying out windows. Process-wide,
// on at start, switched from the engine settings window.
extern bool showTextboxes;

class WindowObject {
public:
    explicit WindowObject(WindowObjectDescription description);
    virtual ~WindowObject() = default;
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;

    // Draws the widget's own content; empty here.
    virtual void Update();

    void Draw();

    float indent = 0.0f;
    WindowObjectCallback onDraw;
    std::vector<std::unique_ptr<WindowObjectTrait>> traits;

protected:
    // Outlines the last drawn item in red when showTextboxes is set.
    static void OutlineLastItem();
};
