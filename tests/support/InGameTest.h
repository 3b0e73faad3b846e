#pragma once
// Base fixture for tests that run the real engine loop in this process and drive it with real X
// input: a private X display that the engine's window opens on (DISPLAY points at it), that
// window found and focused in the first engine pass, and a script of steps played inside the
// frame loop after the stock systems.
//
// The input steps send through the X server and then wait until the engine has taken the input
// in at its event poll: GLFW's key and button state, the GUI's pointer position. The step after
// that runs in a frame whose every system has seen the input, however long the frames take.

#include <chrono>
#include <functional>
#include <string>
#include <utility>

#include "support/DisplayWindow.h"
#include "support/EnginePassTest.h"
#include "support/PrivateDisplay.h"
#include "support/StepRunner.h"

class InGameTest : public EnginePassTest {
protected:
    // How long one step may wait for what it waits on.
    static constexpr std::chrono::milliseconds kStepLimit{60000};

    InGameTest();

    // Runs engine passes (as RunPasses) with the script registered in each; in the first, the
    // window is found and focused before `eachPass` runs. Fails the test when a step did not come
    // true in time.
    void Play(const std::function<void()>& eachPass = {});

    // Script steps, played in the order added, each in a later frame than the one before.
    void Do(std::function<void()> action);
    void Until(std::function<bool()> condition);
    // A window pixel (x, y from the top left), found when the step runs: where a widget was
    // drawn, say.
    using Place = std::function<std::pair<int, int>()>;

    // Moves the pointer to a window pixel; done once the GUI reads the pointer there (the
    // engine's pointer entity follows it in the same frame).
    void PointAt(int x, int y);
    void PointAt(Place where);
    // Keys by their X names ("w", "shift", "F1", "Return"); each is done once GLFW reports the key
    // in its new state, which the frame's GUI and input system have then taken in.
    void KeyDown(const std::string& key);
    void KeyUp(const std::string& key);
    // Down, and let go as soon as GLFW reports it down: held for one event poll, as a quick
    // press is, so the GUI sees one press and no key repeat however long the frames take.
    void PressKey(const std::string& key);
    // X mouse buttons (DisplayWindow::kLeftButton, ...), done as keys are.
    void ButtonDown(int button);
    void ButtonUp(int button);
    // The pointer moved there, and the button pressed as PressKey presses a key.
    void Click(int x, int y, int button = DisplayWindow::kLeftButton);
    void Click(Place where, int button = DisplayWindow::kLeftButton);
    // Text typed into whatever has the keyboard; the characters reach the program in order,
    // before any input sent after them.
    void Type(const std::string& text);

    // The window pixel that shows world point `at` now, from the pointer's own rule for the other
    // way round (an affine map: two samples give it).
    static std::pair<int, int> WindowPixelOf(Vector2 at);

    // Whether GLFW reports the window focused, the key or the button down now.
    bool WindowFocused() const;
    bool KeyIsDown(const std::string& key) const;
    bool ButtonIsDown(int button) const;

    PrivateDisplay display;
    DisplayWindow window;
    StepRunner script{kStepLimit};
};
