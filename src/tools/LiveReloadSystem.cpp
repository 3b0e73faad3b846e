#include "tools/LiveReloadSystem.h"

#include <exception>
#include <fstream>
#include <string_view>

#include "audio/Sound.h"
#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "engine/EngineSettings.h"
#include "engine/RunMirror.h"
#include "engine/TraceLog.h"
#include "entities/ComponentListSystem.h"
#include "entities/EntityFiles.h"
#include "entities/SceneSystem.h"
#include "gameplay/Tilemap.h"
#include "graphics/Mesh.h"
#include "graphics/Shader.h"
#include "graphics/Texture.h"
#include "input/InputSystem.h"
#include "tools/EditHistory.h"

namespace {
const std::string kName = "LiveReloadSystem";
// The working tree's folders, as the game finds them from where it runs.
constexpr const char* kDataRoot = "Data";
constexpr const char* kShadersRoot = "Shaders";
constexpr const char* kAssetsRoot = "Assets";
constexpr std::string_view kDataPrefix = "Data/";
constexpr std::string_view kShadersPrefix = "Shaders/";
constexpr std::string_view kTexturesPrefix = "Assets/Textures/";
constexpr std::string_view kSoundsPrefix = "Assets/Sounds/";
constexpr std::string_view kScenesPrefix = "Scenes/";
constexpr std::string_view kTilemapsPrefix = "Tilemaps/";
constexpr std::string_view kMeshesPrefix = "Meshes/";
constexpr std::string_view kSettingsPrefix = "EngineSettingFiles/";
constexpr std::string_view kJsonExtension = ".json";
constexpr std::string_view kTileMapExtension = ".tmj";
constexpr std::string_view kTileSetExtension = ".tsj";
constexpr const char* kInputMappingsFile = "DefaultInputMappings.txt";
constexpr const char* kTraceLogFile = "Trace_Log.txt";

std::string_view After(std::string_view text, std::string_view prefix) {
    return text.substr(prefix.size());
}
}  // namespace

LiveReloadSystem& LiveReloadSystem::Instance() {
    static LiveReloadSystem instance;
    return instance;
}

const std::string& LiveReloadSystem::GetName() const {
    return kName;
}

void LiveReloadSystem::Initialize() {
    std::string problem;
    if (!watcher.Watch({kDataRoot, kShadersRoot, kAssetsRoot}, problem)) {
        std::string message = kTrace;
        message += "changed files are not picked up while the game runs: the file notifications "
                   "cannot be had (";
        message += problem;
        message += ")";
        TraceLog::Warning(message);
    }
}

void LiveReloadSystem::Update(float /*dt*/) {
    for (const std::string& path : watcher.TakeChanges()) {
        Apply(path);
    }
}

void LiveReloadSystem::ShutDown() {
    watcher.Stop();
}

void LiveReloadSystem::Apply(const std::string& path) {
    for (RunMirror* mirror : RunMirror::Running()) {
        bool covered = false;
        const RunMirror::Report taken = mirror->Take(path, covered);
        for (const std::string& warning : taken.warnings) {
            TraceLog::Warning(kTrace + warning);
        }
        if (!taken.failed.empty()) {
            TraceLog::Error(kTrace + path + " could not be taken into the run's copy (" +
                            taken.failed.front() + "); the old one is kept");
            return;
        }
        if (covered && !taken.copied) {
            // The run's copy already holds this version: the run has it.
            return;
        }
        if (covered) {
            break;
        }
    }
    Report(path, Reload(path));
}

ReloadResult LiveReloadSystem::Reload(const std::string& path) {
    const std::string_view view(path);
    try {
        if (view.starts_with(kDataPrefix)) {
            return ReloadDataFile(std::string(After(view, kDataPrefix)));
        }
        if (view.starts_with(kShadersPrefix)) {
            // A descriptor goes by its name in the folder, a stage source by its path.
            const std::string descriptor(After(view, kShadersPrefix));
            return view.ends_with(kJsonExtension) ? ReloadShaders(descriptor)
                                                  : ReloadShaders(path);
        }
        if (view.starts_with(kTexturesPrefix)) {
            return ReloadTexture(std::string(After(view, kTexturesPrefix)));
        }
        if (view.starts_with(kSoundsPrefix)) {
            return ReloadSound(std::string(After(view, kSoundsPrefix)));
        }
    } catch (const std::exception& error) {
        return ReloadResult::Failed(error.what());
    }
    return ReloadResult::NotInUse();
}

ReloadResult LiveReloadSystem::ReloadDataFile(const std::string& relative) {
    const std::string_view view(relative);
    if (view.starts_with(kTilemapsPrefix)) {
        return ReloadTilemaps(std::string(After(view, kTilemapsPrefix)));
    }
    if (view.starts_with(kMeshesPrefix)) {
        return ReloadMesh(std::string(After(view, kMeshesPrefix)));
    }
    if (view.starts_with(kSettingsPrefix)) {
        // The settings are what a start reads (start scene, tick rate, tools shown).
        return ReloadEngineSettings() ? ReloadResult::Reloaded()
                                      : ReloadResult::Failed("the settings do not read", true);
    }
    if (relative == kInputMappingsFile) {
        return ReloadInputMappings();
    }
    if (relative == kTraceLogFile ||
        !(view.ends_with(kJsonExtension) || view.ends_with(kTileMapExtension))) {
        return ReloadResult::NotInUse();
    }
    if (view.starts_with(kScenesPrefix)) {
        return ReloadScene(relative, std::string(kDataPrefix) + relative);
    }
    // An archetype: what is made from it from now on is made from the new file.
    if (!IsEntityFileCached(relative)) {
        return ReloadResult::NotInUse();
    }
    ReloadEntityFile(relative);
    return ReloadResult::Reloaded();
}

ReloadResult LiveReloadSystem::ReloadScene(const std::string& fileKey, const std::string& path) {
    SceneSystem& scenes = SceneSystem::Instance();
    const std::string name = fileKey.substr(kScenesPrefix.size());
    const bool current = scenes.currentScene != nullptr && scenes.currentSceneName == name;
    if (!current) {
        if (!IsEntityFileCached(fileKey)) {
            return ReloadResult::NotInUse();
        }
        ReloadEntityFile(fileKey);
        return ReloadResult::Reloaded();
    }
    if (!Engine::Instance().editing) {
        // Play is not interrupted: Edit reads the scene's file again anyway.
        TraceLog::Log(kTrace + path + " changed: it applies on returning to Edit");
        return ReloadResult::NotInUse();
    }
    if (EditHistory::Instance().HasUnsavedSteps()) {
        TraceLog::Warning(kTrace + path + " changed on disk, but the editor holds unsaved " +
                          "edits of the scene: it is not loaded again (saving the scene writes " +
                          "the editor's version over the change; undo the edits to load it)");
        return ReloadResult::NotInUse();
    }
    ReloadEntityFile(fileKey);
    scenes.ChangeScene(name);
    return ReloadResult::Reloaded();
}

ReloadResult LiveReloadSystem::ReloadTilemaps(const std::string& name) {
    ReloadResult result = ReloadResult::NotInUse();
    // A tile set kept in a file of its own may serve any map: every map is built again.
    const bool tileSet = std::string_view(name).ends_with(kTileSetExtension);
    for (const auto& layer : ComponentListSystem<Tilemap>::Instance().Layers()) {
        for (Tilemap* map : layer) {
            if (map->filepath != name && !tileSet) {
                continue;
            }
            if (!map->ReloadFile()) {
                // Every map of the file reads it alike.
                return ReloadResult::Failed("it does not read", true);
            }
            result = ReloadResult::Reloaded();
        }
    }
    return result;
}

ReloadResult LiveReloadSystem::ReloadInputMappings() {
    InputSystem& input = InputSystem::Instance();
    const auto kept = input.bindings;
    const std::string path = DataDirectory + kInputMappingsFile;
    std::ifstream file(path);
    if (!file) {
        return ReloadResult::Failed("it cannot be opened");
    }
    if (!input.LoadMappings(file, path)) {
        input.bindings = kept;
        return ReloadResult::Failed("it does not read", true);
    }
    return ReloadResult::Reloaded();
}

void LiveReloadSystem::Report(const std::string& path, const ReloadResult& result) {
    switch (result.outcome) {
        case ReloadResult::Outcome::kNotInUse:
            return;
        case ReloadResult::Outcome::kReloaded:
            TraceLog::Log(kTrace + std::string("reloaded ") + path);
            return;
        case ReloadResult::Outcome::kFailed:
            if (result.traced) {
                TraceLog::Log(kTrace + path + " no longer loads; the old one is kept");
            } else {
                TraceLog::Error(kTrace + path + " no longer loads (" + result.problem +
                                "); the old one is kept");
            }
            return;
    }
}
