#pragma once
// The "Engine Settings Window": restart the engine, pause and resume it, switch and edit the
// start settings file, save the current scene, and switch the two drawing aids (collider and
// text-box outlines) in a section the user can reorder. Settings edits are written to disk at
// once and take effect at the next restart; pause and the toggles act immediately.

#include <memory>

#include <nlohmann/json.hpp>

#include "engine/NamedSystem.h"

class Window;
class WindowObject;

// Identified as DEBUG_SYSTEM, like the DebugSystem: the settings window is one more debugging
// tool for the developer, not a kind of system of its own. The two therefore share a name: it
// appears twice among the initialized systems (the ninth and the eleventh line), and they time
// into one "Update Control Systems" and one "Render Control Systems" entry, which holds the time
// of this system, the one that stops last.
class EngineSettingsSystem : public NamedSystem<SystemType::DEBUG_SYSTEM> {
public:
    static EngineSettingsSystem& Instance();

    // Rebuilds the editable copy of the loaded settings and the window.
    void Initialize() override;
    void Update(float dt) override;
    void Render() override;
    // TOGGLESETTINGS shows or hides this window together with the fixed test window.
    void HandleMessage(const InputMessage& message) override;
    void ShutDown() override;

    // "Settings Path: " submitted: points the router at `name` (creating that settings file with
    // the defaults when it is empty) and shows its values. Takes effect at the next restart. A
    // name that is not a plain file name inside the settings folder (SettingsNameFault) is
    // refused with one trace error, and no file is touched.
    void SwitchSettingsFile(const std::string& name);
    // Writes the loaded scene to the file it was loaded from ("Scenes/" + its name), in one
    // step. Refused in Play, whose scene holds live play state; says what it did in `saveStatus`
    // and the trace log.
    void SaveCurrentScene();
    // Edit: the loaded scene is read again from its file (the play state thrown away, the undo
    // history with it) and held paused. Play: it runs. Nothing happens when already there.
    void EnterEdit();
    void EnterPlay();
    // "Open Scene: " submitted: loads Scenes/`name` in the current mode. A name that is not a
    // ".json" file inside the scenes folder is refused with one trace error.
    void OpenScene(const std::string& name);

    Window* settingsWindow = nullptr;
    nlohmann::json settingsJson;
    // What the last "Save Current Scene" did, shown under the button.
    std::string saveStatus;

private:
    EngineSettingsSystem() = default;

    std::unique_ptr<Window> CreateEngineSettingsWindow();
    std::unique_ptr<WindowObject> CreateEngineSettingsSection();
    static std::unique_ptr<WindowObject> CreateToggleDropdown();
};
