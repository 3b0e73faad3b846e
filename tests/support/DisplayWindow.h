#pragma once
// One top-level window on a private X display, as a person meets it: found by its title and the
// process that opened it, given the keyboard focus, driven with real input through the X server
// (xdotool's XTEST events, the path a keyboard and a mouse take) and photographed. Every input
// call returns once the X server has taken the events, in the order they were sent; when the
// program has seen them is for the caller to await, on the program's own state.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/PrivateDisplay.h"
#include "support/Screenshot.h"

class DisplayWindow {
public:
    // X mouse buttons as xdotool numbers them.
    static constexpr int kLeftButton = 1;
    static constexpr int kMiddleButton = 2;
    static constexpr int kRightButton = 3;

    DisplayWindow(PrivateDisplay& display, std::string title, int owner);

    // Waits until the window is on the screen (mapped); false when it did not appear in time.
    bool Find(std::chrono::milliseconds timeout);
    // Gives it the keyboard focus; returns once the X server reports the focus there.
    bool Focus();

    // Where the window stands on the screen and its size, as the X server has them; nothing when
    // they could not be read.
    struct Geometry {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Geometry&) const = default;
    };
    std::optional<Geometry> GetGeometry();
    // Asks for a new size, as a person dragging the window's corner; returns once the X server
    // reports the window at that size.
    bool Resize(int width, int height);

    // A window pixel counted from the top left.
    void PointAt(int x, int y);
    // Keys by their X names as xdotool takes them ("w", "shift", "F1", "Return", "BackSpace").
    void KeyDown(const std::string& key);
    void KeyUp(const std::string& key);
    void ButtonDown(int button);
    void ButtonUp(int button);
    // Characters typed one after another, as the keyboard sends them.
    void Type(const std::string& text);
    // xdotool commands sent by one client, so nothing else reaches the X server between them.
    void Send(std::vector<std::string> commands);

    // The window's pixels now, also kept under build/e2e-screenshots/ for a person to look at,
    // named after the running test and `name`.
    Screenshot Shot(const std::string& name);
    // Pictures taken again until one shows what `wanted` looks for, or the time runs out: the
    // last one. For a program in another process only; a program that runs in the caller's own
    // thread draws nothing while the caller waits.
    Screenshot ShotWhen(const std::string& name,
                        const std::function<bool(const Screenshot&)>& wanted,
                        std::chrono::milliseconds timeout);

    // Asks the window to close the way a window manager does (WM_DELETE_WINDOW); false when no
    // such window exists.
    bool Close();

private:
    Screenshot TryShot(const std::string& name);

    PrivateDisplay& display;
    std::string title;
    int owner;
    std::string window;
};
