// The game's own data as it ships: every scene starts on the real engine and runs a few frames
// (tile maps build, projectiles are fired) without a single missing-key warning or trace error.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "audio/FMODAudio.h"
#include "engine/Engine.h"
#include "engine/Program.h"
#include "entities/Entity.h"
#include "entities/EntityFiles.h"
#include "game/GameComposition.h"
#include "graphics/GraphicsSystem.h"
#include "support/GameTree.h"
#include "support/StepRunner.h"
#include "support/TraceMessages.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kTextureLoaded = "WARNING: Texture loaded fine";

// Warnings and errors of the trace log; the texture loader reports every success as a warning,
// which says nothing about the data.
std::vector<std::string> Complaints(const fs::path& log) {
    std::vector<std::string> found;
    for (const std::string& line : TraceMessages(log)) {
        if ((line.starts_with("WARNING: ") || line.starts_with("ERROR: ")) &&
            !line.starts_with(kTextureLoaded)) {
            found.push_back(line);
        }
    }
    return found;
}

TEST(ShippedDataTest, EveryShippedSceneAndArchetypeLoadsWithoutAComplaint) {
    GameTree tree;
    fs::copy(fs::path(TARNWICK_SOURCE_DIR) / "Data", tree.root() / "Data",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    std::vector<std::string> scenes;
    for (const auto& entry : fs::directory_iterator(tree.root() / "Data" / "Scenes")) {
        scenes.push_back(entry.path().filename().string());
    }
    std::vector<std::string> archetypes;
    for (const auto& entry : fs::directory_iterator(tree.root() / "Data")) {
        if (entry.path().extension() == ".json") {
            archetypes.push_back(entry.path().filename().string());
        }
    }
    ASSERT_GE(scenes.size(), 5u);
    ASSERT_EQ(archetypes.size(), 6u);

    // Whether a sound device opens is the machine's business, not the data's: the null output
    // opens everywhere, so its start-up warning, which goes to the first pass's log, stays away.
    setenv("ALSOFT_DRIVERS", "null", 1);
    Program program{GameComposition()};
    ASSERT_TRUE(program.StartUp());
    Engine& engine = Engine::Instance();
    for (const std::string& scene : scenes) {
        SCOPED_TRACE(scene);
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Check.json");
        tree.WriteFile("Data/EngineSettingFiles/Check.json",
                       nlohmann::json{{"defaultEntityFile", "Scenes/" + scene}, {"runOnStart", "1"}}
                           .dump(2));
        // The per-user copy was made at start; the settings are read from there.
        fs::copy(tree.root() / "Data" / "EngineSettingFiles",
                 tree.perUserData() / "EngineSettingFiles",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        StepRunner runner{100};
        for (int frame = 0; frame < 5; ++frame) {
            runner.steps.push_back([] { return true; });
        }
        engine.restart = true;
        program.RunEnginePasses([&] {
            engine.RegisterSystem(&runner);
            for (const std::string& archetype : archetypes) {
                delete LoadEntity(archetype);
            }
        });
        EXPECT_EQ(Complaints(tree.perUserData() / "Trace_Log.txt"), std::vector<std::string>{});
    }
    GraphicsSystem::Instance().ShutDown();
    FMODAudio::Instance().ShutDown();
}

}  // namespace
