#include "tools/EngineSettingsSystem.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "SharedDependencies/Source/FileHandler.h"
#include "SharedDependencies/Source/Stream.h"
#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "engine/EngineSettings.h"
#include "engine/InputMessage.h"
#include "engine/InputType.h"
#include "engine/TraceLog.h"
#include "entities/Entity.h"
#include "entities/EntityFiles.h"
#include "entities/SceneSystem.h"
#include "physics/Collider.h"
#include "tools/EditHistory.h"
#include "tools/UniqueId.h"
#include "tools/Window.h"
#include "tools/WindowButton.h"
#include "tools/WindowCheckbox.h"
#include "tools/WindowCreationSystem.h"
#include "tools/WindowDropdown.h"
#include "tools/WindowInputText.h"
#include "tools/WindowText.h"

#include <imgui.h>

namespace {

constexpr const char* kWindowName = "Engine Settings Window";
constexpr const char* kDefaultEntityFileKey = "defaultEntityFile";
constexpr const char* kRunOnStartKey = "runOnStart";
constexpr const char* kTicksPerSecondKey = "ticksPerSecond";
constexpr const char* kShowToolsKey = "showTools";
constexpr const char* kToggleOrderKey = "RearrangeToggles";
constexpr float kSectionIndent = 15.0f;
constexpr int kJsonIndent = 2;
constexpr const char* kSaveSceneError = "EngineSettingsSystem::SaveCurrentScene - Scene not saved: ";
constexpr const char* kSaveSceneTrace = "EngineSettingsSystem::SaveCurrentScene - Saved ";
constexpr const char* kModeTrace = "EngineSettingsSystem - ";
constexpr const char* kOpenSceneError = "EngineSettingsSystem::OpenScene - ";
constexpr const char* kScenesFolder = "Scenes/";
constexpr const char* kSceneExtension = ".json";
// The identities of widgets whose labels change.
constexpr const char* kEditPlayId = "###EditPlay";
constexpr const char* kSaveSceneId = "###SaveCurrentScene";
constexpr const char* kUndoId = "###Undo";
constexpr const char* kRedoId = "###Redo";
constexpr const char* kSwitchError = "EngineSettingsSystem::SwitchSettingsFile - ";

// Right of the game window, below the performance and input windows.
constexpr Vector2 kWindowPosition{840.0f, 320.0f};
constexpr Vector2 kWindowSize{240.0f, 340.0f};

using Objects = std::vector<std::unique_ptr<WindowObject>>;

std::string ReadRouter() {
    try {
        Stream router(RouterPath(), Stream::kReadWriteAppend);
        std::string content;
        router.ReadAll(content);
        return content;
    } catch (const std::exception&) {
        return "";
    }
}

WindowObjectDescription Drawn(WindowObjectCallback onDraw) {
    WindowObjectDescription description;
    description.onDraw = std::move(onDraw);
    return description;
}

}  // namespace

EngineSettingsSystem& EngineSettingsSystem::Instance() {
    static auto* system = new EngineSettingsSystem();
    return *system;
}

void EngineSettingsSystem::Initialize() {
    settingsJson = {{kDefaultEntityFileKey, EngineSettings::defaultEntityFile},
                    {kRunOnStartKey, EngineSettings::runOnStart ? "1" : "0"}};
    // Shown and saved with the rest, so that a save from this window keeps a tick rate the file
    // sets; a file without one is saved without one.
    if (EngineSettings::ticksPerSecond != EngineSettings::kDefaultTicksPerSecond) {
        settingsJson[kTicksPerSecondKey] = nlohmann::json(EngineSettings::ticksPerSecond).dump();
    }
    // Likewise a game that opens without its tools stays one after a save from here.
    if (!EngineSettings::showTools) {
        settingsJson[kShowToolsKey] = "0";
    }
    auto window = CreateEngineSettingsWindow();
    settingsWindow = window.get();
    WindowCreationSystem& windows = WindowCreationSystem::Instance();
    windows.windows.push_back(std::move(window));
    // Every tool window exists by now (this system starts after the others that make them).
    windows.ShowAllTools(EngineSettings::showTools);
}

void EngineSettingsSystem::Update(float /*dt*/) {}

void EngineSettingsSystem::Render() {}

void EngineSettingsSystem::HandleMessage(const InputMessage& message) {
    if (message.input != InputType::TOGGLESETTINGS || !message.pressed) {
        return;
    }
    WindowCreationSystem& windows = WindowCreationSystem::Instance();
    const bool show = settingsWindow == nullptr
                          ? !windows.testWindowVisible
                          : settingsWindow->renderState != WindowRenderState::VISIBLE;
    if (settingsWindow != nullptr) {
        settingsWindow->renderState =
            show ? WindowRenderState::VISIBLE : WindowRenderState::INVISIBLE;
    }
    windows.testWindowVisible = show;
}

void EngineSettingsSystem::ShutDown() {
    // The window itself is deleted by the window creation system.
    settingsWindow = nullptr;
}

std::unique_ptr<Window> EngineSettingsSystem::CreateEngineSettingsWindow() {
    auto window = std::make_unique<Window>(kWindowName);
    window->initialPosition = kWindowPosition;
    window->initialSize = kWindowSize;
    window->root->childIndent = kSectionIndent;
    window->AddObject(std::make_unique<WindowButton>("Restart", [](WindowButton&) {
        Engine& engine = Engine::Instance();
        // The frame completes, the engine shuts down and starts again.
        engine.running = false;
        engine.restart = true;
    }));
    window->AddObject(std::make_unique<WindowCheckbox>(
        "Pause", Engine::Instance().paused,
        [this](WindowCheckbox&) {
            Engine& engine = Engine::Instance();
            // Edit is a pause with the file's scene: letting go of it is Play.
            if (engine.editing && engine.paused) {
                EnterPlay();
            } else {
                engine.paused = !engine.paused;
            }
        },
        Drawn([](WindowObject& object) {
            static_cast<WindowCheckbox&>(object).checked = Engine::Instance().paused;
            ImGui::SameLine();
        })));
    // The mode, and the button that leaves it for the other.
    window->AddObject(std::make_unique<WindowButton>(
        std::string("Play") + kEditPlayId,
        [this](WindowButton&) {
            if (Engine::Instance().editing) {
                EnterPlay();
            } else {
                EnterEdit();
            }
        },
        Drawn([](WindowObject& object) {
            const bool editing = Engine::Instance().editing;
            ImGui::TextUnformatted(editing ? "Editing:" : "Playing:");
            ImGui::SameLine();
            static_cast<WindowButton&>(object).label =
                std::string(editing ? "Play" : "Back to Edit") + kEditPlayId;
        })));
    // The editor's history, also on Ctrl+Z and Ctrl+Y; each shows how many steps it holds.
    window->AddObject(std::make_unique<WindowButton>(
        std::string("Undo") + kUndoId, [](WindowButton&) { EditHistory::Instance().Undo(); },
        Drawn([](WindowObject& object) {
            static_cast<WindowButton&>(object).label =
                "Undo (" + std::to_string(EditHistory::Instance().UndoSteps()) + ")" + kUndoId;
        })));
    window->AddObject(std::make_unique<WindowButton>(
        std::string("Redo") + kRedoId, [](WindowButton&) { EditHistory::Instance().Redo(); },
        Drawn([](WindowObject& object) {
            ImGui::SameLine();
            static_cast<WindowButton&>(object).label =
                "Redo (" + std::to_string(EditHistory::Instance().RedoSteps()) + ")" + kRedoId;
        })));
    window->AddObject(CreateEngineSettingsSection());
    window->AddObject(CreateToggleDropdown());
    return window;
}

std::unique_ptr<WindowObject> EngineSettingsSystem::CreateEngineSettingsSection() {
    Objects children;
    children.push_back(std::make_unique<WindowInputText>(
        "Settings Path: ", MakeUniqueId(),
        [this](WindowInputText& box) { SwitchSettingsFile(box.buffer); },
        Drawn([](WindowObject& object) {
            static_cast<WindowInputText&>(object).value = ReadRouter();
        }),
        true));
    for (const auto& [key, member] : settingsJson.items()) {
        children.push_back(std::make_unique<WindowInputText>(
            key, MakeUniqueId(),
            [this, key = key](WindowInputText& box) {
                settingsJson[key] = box.buffer;
                SaveSettings(settingsJson);
            },
            Drawn([this, key = key](WindowObject& object) {
                const nlohmann::json& shown = settingsJson[key];
                static_cast<WindowInputText&>(object).value =
                    shown.is_string() ? shown.get<std::string>() : shown.dump();
            }),
            true));
    }
    children.push_back(std::make_unique<WindowInputText>(
        "Open Scene: ", MakeUniqueId(), [this](WindowInputText& box) { OpenScene(box.buffer); },
        Drawn([](WindowObject& object) {
            static_cast<WindowInputText&>(object).value = SceneSystem::Instance().currentSceneName;
        }),
        true));
    // Names the file it writes: the loaded scene's own.
    children.push_back(std::make_unique<WindowButton>(
        std::string("Save Current Scene") + kSaveSceneId,
        [this](WindowButton&) { SaveCurrentScene(); },
        Drawn([](WindowObject& object) {
            const std::string& scene = SceneSystem::Instance().currentSceneName;
            static_cast<WindowButton&>(object).label =
                "Save Current Scene\n" + (scene.empty() ? "(no scene)" : kScenesFolder + scene) +
                kSaveSceneId;
        })));
    children.push_back(std::make_unique<WindowText>(
        "", Drawn([this](WindowObject& object) {
            static_cast<WindowText&>(object).text = saveStatus;
        })));
    return std::make_unique<WindowSection>(std::move(children), kSectionIndent);
}

std::unique_ptr<WindowObject> EngineSettingsSystem::CreateToggleDropdown() {
    Objects toggles;
    toggles.push_back(std::make_unique<WindowCheckbox>(
        "Show Debug Colliders", Collider::showDebugColliders,
        [](WindowCheckbox&) { Collider::showDebugColliders = !Collider::showDebugColliders; }));
    toggles.push_back(std::make_unique<WindowCheckbox>(
        "Show Textboxes", showTextboxes, [](WindowCheckbox&) { showTextboxes = !showTextboxes; }));
    return std::make_unique<WindowDropdown>(
        "Toggles",
        std::make_unique<WindowSection>(std::move(toggles), kSectionIndent,
                                        WindowObjectDescription{}, kToggleOrderKey));
}

void EngineSettingsSystem::SwitchSettingsFile(const std::string& name) {
    // Checked before the router is touched: a refused name leaves every file as it was.
    if (const std::optional<std::string> fault = SettingsNameFault(name)) {
        TraceLog::Error(kSwitchError + *fault);
        return;
    }
    try {
        FileHandler::ReplaceFile(RouterPath(), name);
        const std::string path = SettingsPath(name);
        std::string text;
        {
            Stream settings(path, Stream::kReadWriteAppend);
            settings.ReadAll(text);
        }
        if (text.empty()) {
            text = DefaultSettingsJson().dump(kJsonIndent);
            FileHandler::ReplaceFile(path, text);
        }
        const nlohmann::json parsed = nlohmann::json::parse(text);
        std::vector<std::string> refused;
        for (auto& [key, value] : settingsJson.items()) {
            const auto member = parsed.is_object() ? parsed.find(key) : parsed.end();
            // A setting is a plain value. An array or object is not taken: copying, showing or
            // saving it recurses once per level, and a file can nest deeper than the stack.
            if (member != parsed.end() && member->is_structured()) {
                refused.push_back("\"" + key + "\"");
            }
            value = member != parsed.end() && !member->is_structured() ? *member : nlohmann::json();
        }
        if (!refused.empty()) {
            std::string members;
            for (const std::string& key : refused) {
                members += (members.empty() ? "" : ", ") + key;
            }
            TraceLog::Error(kSwitchError + path + ": " + members +
                            " not taken: a setting is a string, not an array or object");
        }
    } catch (const std::exception& error) {
        TraceLog::Error(kSwitchError + name + ": " + error.what());
    }
}

void EngineSettingsSystem::SaveCurrentScene() {
    const SceneSystem& scenes = SceneSystem::Instance();
    const Entity* scene = scenes.currentScene;
    if (scene == nullptr || scenes.currentSceneName.empty()) {
        saveStatus = "Not saved: no scene is loaded";
        TraceLog::Warning(kSaveSceneError + saveStatus);
        return;
    }
    const std::string file = kScenesFolder + scenes.currentSceneName;
    if (!Engine::Instance().editing) {
        saveStatus = "Not saved: switch to Edit first";
        TraceLog::Warning(kSaveSceneError + file +
                          ": in Play the scene holds live play state; switch to Edit to save");
        return;
    }
    try {
        const std::string text = Entity::to_json(*scene).dump(
            kJsonIndent, ' ', false, nlohmann::json::error_handler_t::replace);
        FileHandler::ReplaceFile(DataDirectory + file, text);
        ReloadEntityFile(file);
        EditHistory::Instance().MarkSaved();
        saveStatus = "Saved " + file;
        TraceLog::Log(kSaveSceneTrace + file);
    } catch (const std::exception& error) {
        saveStatus = "Not saved: see the trace log";
        TraceLog::Error(kSaveSceneError + file + ": " + error.what());
    }
}

void EngineSettingsSystem::EnterEdit() {
    Engine& engine = Engine::Instance();
    if (engine.editing) {
        return;
    }
    engine.editing = true;
    engine.paused = true;
    SceneSystem& scenes = SceneSystem::Instance();
    const std::string name = scenes.currentSceneName;
    if (name.empty()) {
        TraceLog::Log(std::string(kModeTrace) + "Edit: no scene is loaded");
        return;
    }
    // Read from the disk, not the cache: the file is what Edit shows.
    try {
        ReloadEntityFile(kScenesFolder + name);
    } catch (const std::exception& error) {
        TraceLog::Error(std::string(kModeTrace) + "Edit: " + kScenesFolder + name +
                        " could not be read again (" + error.what() +
                        "); the scene is loaded as it was last read");
    }
    TraceLog::Log(std::string(kModeTrace) + "Edit: " + kScenesFolder + name +
                  " loaded from its file");
    // What play made outside the scene goes with it: the shots fly under the root entity.
    for (Entity* child : engine.originEntity->children) {
        if (child != engine.mouseObject && child != scenes.currentScene) {
            child->Destroy();
        }
    }
    scenes.ChangeScene(name);
}

void EngineSettingsSystem::EnterPlay() {
    Engine& engine = Engine::Instance();
    if (!engine.editing) {
        return;
    }
    engine.editing = false;
    engine.paused = false;
    TraceLog::Log(std::string(kModeTrace) + "Play");
    if (EditHistory::Instance().HasUnsavedSteps()) {
        TraceLog::Warning(std::string(kModeTrace) +
                          "Play: the scene has unsaved edits; back in Edit the scene is read "
                          "from its file again, without them");
    }
}

void EngineSettingsSystem::OpenScene(const std::string& name) {
    const std::filesystem::path path(name);
    const bool inside = !name.empty() && path.is_relative() &&
                        std::none_of(path.begin(), path.end(),
                                     [](const std::filesystem::path& part) {
                                         return part == "..";
                                     });
    if (!inside || path.extension() != kSceneExtension) {
        TraceLog::Error(kOpenSceneError + std::string("\"") + name +
                        "\" is not a scene: give a \".json\" file inside the Scenes folder");
        return;
    }
    SceneSystem::Instance().ChangeScene(name);
}
