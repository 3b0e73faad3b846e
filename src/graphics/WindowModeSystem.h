#pragma once
// Turns the TOGGLE_FULLSCREEN input into the game window's switch between a window and the full
// screen. It is registered with the engine because inputs reach only registered systems and
// components; the window itself belongs to the graphics system, which the program drives outside
// the engine.

#include "engine/NamedSystem.h"

class WindowModeSystem : public NamedSystem<SystemType::WINDOW_MODE_SYSTEM> {
public:
    static WindowModeSystem& Instance();

    // A press switches; the release does nothing, so holding the key switches once.
    void HandleMessage(const InputMessage& message) override;

private:
    WindowModeSystem() = default;
};
