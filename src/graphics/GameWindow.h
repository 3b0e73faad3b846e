#pragma once
// The application window and its OpenGL 3.3 core context: opening it with the GL entry points
// loaded, the key, mouse-button and framebuffer-size callbacks, the framebuffer size those
// callbacks keep, the switch between a window and the full screen, the event poll and the buffer
// swap.

#include <string>

struct GLFWwindow;

class GameWindow {
public:
    static constexpr int kInitialWidth = 1080;
    static constexpr int kInitialHeight = 720;
    static constexpr const char* kTitle = "Tarnwick";

    // Opens the window at its initial size, makes its context current, loads the GL entry points
    // and installs the callbacks: keys and mouse buttons go to the input system, framebuffer
    // sizes to the graphics system. Returns why it failed (no window then), or an empty string.
    std::string Open();
    // Destroys the window and ends GLFW; nothing happens when no window is open.
    void Close();
    bool IsOpen() const { return handle != nullptr; }

    bool ShouldClose() const;
    // Runs the callbacks of every event that arrived since the last poll.
    void PollEvents();
    void SwapBuffers();

    // Switches between the window and the whole primary monitor at the monitor's current video
    // mode; back in a window it takes the size and place it had before. The framebuffer-size
    // callback reports the new size. Nothing happens while no window is open or without a monitor.
    void ToggleFullscreen();
    bool IsFullscreen() const;

    // Takes a new framebuffer size; a zero side keeps its previous value, so a minimised window
    // keeps its last size.
    void Resize(int newWidth, int newHeight);

    // The window passes for its GLFW handle wherever code talks to GLFW itself (the GUI backend,
    // cursor and key queries); null while no window is open.
    operator GLFWwindow*() const { return handle; }

    // Framebuffer size in pixels.
    int width = 0;
    int height = 0;

private:
    struct Placement {
        int x = 0;
        int y = 0;
        int width = kInitialWidth;
        int height = kInitialHeight;
    };

    GLFWwindow* handle = nullptr;
    // Where the window stood before it went full screen.
    Placement windowed;
};
