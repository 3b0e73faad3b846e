// What the fuzz targets (fuzz/, scripts/fuzz) have seen, replayed through the running engine: each
// input a target ever crashed on (tests/data/fuzz-crashes/<target>/) and each seed of its corpus
// (fuzz/corpus/<target>/) is fed to the loader that target feeds, the way the game reaches it (a
// scene switch, an asset named by a scene, a restart). The engine goes on through every one of
// them, and reports each crash input in the trace, naming the file.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/DataDirectories.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "support/ChildProcess.h"
#include "support/EnginePassTest.h"
#include "support/SceneJson.h"
#include "support/TraceMessages.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

// Frames each input is given before the next: a tile map builds in its second update.
constexpr int kFramesPerInput = 5;

// How the game reaches the file a target fuzzes.
enum class Route {
    // Switched to as a scene.
    kScene,
    // Named as an asset by a scene that is switched to: the scene's subject carries `subject`
    // with the file's name in place of the marker "@FILE@".
    kSceneAsset,
    // Read by the engine's initialization: the file is put in place and the engine restarts.
    kRestart,
};

struct Target {
    const char* name;
    Route route;
    // Where the input goes, below the per-user data or shaders folder; "@N@" is the input's
    // number, so that every input has a name of its own.
    bool inShaders;
    const char* file;
    json subject;
};

struct Input {
    fs::path source;
    bool crashed;
};

// The settings target reads each input twice, as the settings file the router names and as the
// router itself; the others read it once, in the file of the target.
enum class Role { kFile, kRouter };

struct Reading {
    std::size_t input;
    Role role;
};

constexpr const char* kRouterFile = "EngineSettingFiles/SettingsRouter.txt";

std::vector<Target> Targets() {
    const auto sprite = [](const char* key) {
        json entry = SpriteJson("milk.png");
        entry["Sprite"][key] = "@FILE@";
        return json{{"Transform", TransformJson(0, 0, 10)}, {"Sprite", entry}};
    };
    return {
        {"EntityReaderFuzz", Route::kScene, false, "Scenes/Replay@N@.json", {}},
        {"InputMappingFuzz", Route::kRestart, false, "DefaultInputMappings.txt", {}},
        {"EngineSettingsFuzz", Route::kRestart, false, "EngineSettingFiles/Replay.json", {}},
        {"MeshFuzz", Route::kSceneAsset, false, "Meshes/Replay@N@.json", sprite("mesh")},
        {"ShaderDescriptorFuzz", Route::kSceneAsset, true, "Replay@N@.json", sprite("shader")},
        {"TilemapFuzz", Route::kSceneAsset, false, "Tilemaps/Replay@N@.json",
         {{"Transform", TransformJson(0, 0, 1)},
          {"Tilemap", EntryJson("Tilemap", {{"filepath", "@FILE@"}})}}},
    };
}

std::vector<Input> Inputs(const std::string& target) {
    std::vector<Input> inputs;
    const fs::path source = TARNWICK_SOURCE_DIR;
    for (const auto& [folder, crashed] :
         {std::pair{source / "tests" / "data" / "fuzz-crashes" / target, true},
          std::pair{source / "fuzz" / "corpus" / target, false}}) {
        if (!fs::is_directory(folder)) {
            continue;
        }
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(folder)) {
            files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            inputs.push_back({file, crashed});
        }
    }
    return inputs;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

void PrintTo(const Target& target, std::ostream* out) {
    *out << target.name;
}

std::string TargetName(const ::testing::TestParamInfo<Target>& info) {
    return info.param.name;
}

class FuzzReplayTest : public EnginePassTest, public ::testing::WithParamInterface<Target> {
protected:
    FuzzReplayTest() {
        // The game's own data, so that a seed made from a shipped scene finds its tile map,
        // archetypes and meshes.
        fs::copy(fs::path(TARNWICK_SOURCE_DIR) / "Data", tree.root() / "Data",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Settings.json");
        tree.WriteFile("Data/EngineSettingFiles/Settings.json",
                       json{{"defaultEntityFile", ""}, {"runOnStart", "1"}}.dump());
    }

    // The name an input is written under, relative to the per-user data or shaders folder.
    std::string FileName(std::size_t index) const {
        return Replace(GetParam().file, "@N@", std::to_string(index));
    }

    fs::path FilePath(std::size_t index) const {
        return fs::path(GetParam().inShaders ? ShadersDirectory : DataDirectory) /
               FileName(index);
    }

    static bool ReadsTwice(const Target& target) {
        return std::string(target.name) == "EngineSettingsFuzz";
    }

    // How a report about the file names it.
    std::string Marker(const Reading& reading) const {
        if (reading.role == Role::kRouter) {
            return kRouterFile;
        }
        const std::string name = FileName(reading.input);
        return GetParam().route == Route::kScene ? fs::path(name).filename().string() : name;
    }

    void Place(const Reading& reading, const Input& input) const {
        const fs::path path =
            reading.role == Role::kRouter ? fs::path(DataDirectory) / kRouterFile
                                          : FilePath(reading.input);
        fs::create_directories(path.parent_path());
        fs::copy_file(input.source, path, fs::copy_options::overwrite_existing);
        if (reading.role == Role::kFile && ReadsTwice(GetParam())) {
            std::ofstream(fs::path(DataDirectory) / kRouterFile)
                << fs::path(FileName(reading.input)).filename().string();
        }
    }

    void Read(std::size_t index) {
        const Target& target = GetParam();
        switch (target.route) {
            case Route::kScene:
                SceneSystem::Instance().ChangeScene(fs::path(FileName(index)).filename().string());
                break;
            case Route::kSceneAsset: {
                const std::string scene = "Holder" + std::to_string(index) + ".json";
                const std::string name = fs::path(FileName(index)).filename().string();
                const json subject = json::parse(Replace(target.subject.dump(), "@FILE@", name));
                std::ofstream(DataDirectory + "Scenes/" + scene) << json{{"Subject", subject}};
                SceneSystem::Instance().ChangeScene(scene);
                break;
            }
            case Route::kRestart:
                engine.running = false;
                engine.restart = true;
                break;
        }
    }

    std::vector<std::string> ReportsNaming(const std::vector<std::string>& entries,
                                           const std::string& marker) const {
        std::vector<std::string> reports;
        for (const std::string& entry : entries) {
            if ((entry.starts_with("WARNING: ") || entry.starts_with("ERROR: ")) &&
                entry.find(marker) != std::string::npos) {
                reports.push_back(entry);
            }
        }
        return reports;
    }

    std::vector<std::string> Trace() const {
        return TraceEntries(tree.perUserData() / "Trace_Log.txt");
    }
};

TEST_P(FuzzReplayTest, TheEngineGoesOnThroughEveryInputAndReportsEachCrashInput) {
    const Target& target = GetParam();
    const std::vector<Input> inputs = Inputs(target.name);
    ASSERT_FALSE(inputs.empty()) << "no seed corpus for " << target.name;
    std::vector<Reading> readings;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        readings.push_back({i, Role::kFile});
        if (ReadsTwice(target)) {
            readings.push_back({i, Role::kRouter});
        }
    }
    const bool restarts = target.route == Route::kRestart;

    // The trace entries that show each reading. A restart empties the log, so each pass's log is
    // taken before the next reading; without restarts the whole run's log serves every reading.
    std::vector<std::vector<std::string>> traces(readings.size());
    std::size_t next = 0;
    int passes = 0;
    RunPasses([&] {
        ++passes;
        probe.onUpdate = [&](int frame) {
            if (frame % kFramesPerInput != 0) {
                return;
            }
            if (restarts && next > 0) {
                traces[next - 1] = Trace();
            }
            if (next == readings.size()) {
                engine.running = false;
                return;
            }
            const Reading& reading = readings[next++];
            Place(reading, inputs[reading.input]);
            Read(reading.input);
        };
    });

    EXPECT_EQ(next, readings.size()) << "the engine stopped before the last input";
    if (restarts) {
        EXPECT_EQ(passes, static_cast<int>(readings.size()) + 1);
    } else {
        std::fill(traces.begin(), traces.end(), Trace());
    }
    for (std::size_t i = 0; i < readings.size(); ++i) {
        if (!inputs[readings[i].input].crashed) {
            continue;
        }
        SCOPED_TRACE(inputs[readings[i].input].source.string());
        EXPECT_FALSE(ReportsNaming(traces[i], Marker(readings[i])).empty())
            << ::testing::PrintToString(traces[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFuzzTarget, FuzzReplayTest, ::testing::ValuesIn(Targets()),
                         TargetName);

}  // namespace
