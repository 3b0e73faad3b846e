#pragma once
// The tool-GUI library system: owns the GUI context and its window and OpenGL backends, opens
// the GUI frame in its update (before the engine update, during which the tool windows are
// drawn) and draws the frame over the game in its render. Driven directly by the frame loop,
// never registered with the engine, and alive across engine restarts.

#include "engine/NamedSystem.h"

struct GLFWwindow;

// Named by SystemType value 2, REPLAY_STORAGE_SYSTEM. The enumeration is the fixed table of the
// engine's system identities and has no entry for the GUI driver; value 2 belongs to replay
// storage, which this engine does not have, so the GUI system takes that place rather than widen
// the table. The odd name shows nowhere: this system is never registered, so no engine trace line
// or stopwatch key carries it.
class IMGUISystem : public NamedSystem<SystemType::REPLAY_STORAGE_SYSTEM> {
public:
    static IMGUISystem& Instance();

    // Without a window there is no GUI context, and every hook does nothing.
    void Initialize() override;
    void Update(float dt) override;
    void Render() override;
    void ShutDown() override;

    // Between Update and Render of a frame: tool windows may be drawn.
    bool IsFrameOpen() const { return frameOpen; }

    // A text box is being typed into (the keyboard belongs to the GUI then).
    static bool TextBoxHasKeyboard();
    // The pointer is over a window the GUI drew, or the GUI holds it.
    bool HasPointer() const;

    GLFWwindow* window = nullptr;

private:
    IMGUISystem() = default;
    void CloseMissedPopups();

    bool ready = false;
    bool frameOpen = false;
};
