#pragma once

// Live reload: a file the run uses, changed on disk while the game runs, is picked up within a
// second. The designer edits the working tree (Data/, Shaders/, Assets/), so that is what is
// watched, through the kernel's file notifications. A changed data file is first taken into the
// run's per-user copy (RunMirror::Take, which keeps an unsaved run version beside it), so the run
// reads what the designer saved and the exit has nothing to hand back over it. Then:
// textures, shaders, meshes and sounds are replaced in place; tile maps are rebuilt; archetypes
// and scenes are read again, and the current scene is loaded again in Edit (in Play the change
// applies on returning to Edit); input mappings and settings are read again. One trace line per
// reload names the file; a file that no longer loads keeps the old one with one trace error.

#include <string>

#include "engine/ControlSystem.h"
#include "engine/FileWatcher.h"
#include "engine/ReloadResult.h"

class LiveReloadSystem : public ControlSystem {
public:
    static LiveReloadSystem& Instance();

    const std::string& GetName() const override;
    // Starts watching the working tree's folders.
    void Initialize() override;
    // Takes the changes that have settled and reloads what they concern.
    void Update(float dt) override;
    void ShutDown() override;

    // The trace lines' prefix.
    static constexpr const char* kTrace = "LiveReload - ";

private:
    LiveReloadSystem() = default;

    // `path` as the watcher gives it: a working-tree path ("Data/Tilemaps/Level1.json").
    void Apply(const std::string& path);
    ReloadResult Reload(const std::string& path);
    ReloadResult ReloadDataFile(const std::string& relative);
    ReloadResult ReloadScene(const std::string& fileKey, const std::string& path);
    ReloadResult ReloadTilemaps(const std::string& name);
    ReloadResult ReloadInputMappings();
    void Report(const std::string& path, const ReloadResult& result);

    FileWatcher watcher;
};
