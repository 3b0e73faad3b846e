// The real game executable started on a throw-away data tree whose settings name a start scene:
// what its trace log shows of the start, and a clean exit through its window.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "entities/ComponentLists.h"
#include "entities/VirtualComponentListSystem.h"
#include "support/ChildProcess.h"
#include "support/StockData.h"
#include "support/TempDirectory.h"
#include "support/TraceMessages.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kSwitchToStartScene =
    "SceneSystem::ChangeScene - Switching to scene: Opening.json";

// The start-up lines of the engine, the component lists and the scene system, errors included.
bool IsStartLine(const std::string& message) {
    return message.starts_with("Engine::Initialize") || message.ends_with("::Initialize") ||
           message.find("SceneSystem::ChangeScene") != std::string::npos;
}

TEST(GameStartTest, TracesTheStartInOrderUpToTheStartSceneAndClosesThroughItsWindow) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (scripts/test gives one)";
    TempDirectory temp;
    const std::filesystem::path game = temp.path() / "game";
    const std::filesystem::path xdg = temp.path() / "xdg";
    temp.WriteFile("game/Data/EngineSettingFiles/SettingsRouter.txt", "Start.json");
    temp.WriteFile("game/Data/EngineSettingFiles/Start.json",
                   "{\n  \"defaultEntityFile\": \"Scenes/Opening.json\",\n"
                   "  \"runOnStart\": \"1\"\n}");
    temp.WriteFile("game/Data/Scenes/Opening.json",
                   R"({"Title": {"Transform": {"Transform": {"position": {"x": 0, "y": 0},
                       "rotation": 0, "scale": {"x": 1, "y": 1}}, "Update layer": 2}}})");
    std::filesystem::create_directories(game / "Shaders");
    CopyStockData(game);

    ChildProcess child({{TARNWICK_GAME_EXECUTABLE},
                        game,
                        {{"XDG_DATA_HOME", xdg.string()}},
                        temp.path() / "out.txt",
                        temp.path() / "err.txt"});
    const auto traceLog = xdg / "OrreryTestDirectory" / "Data" / "Trace_Log.txt";
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadFileText(traceLog).find(kSwitchToStartScene) != std::string::npos; }, 20s))
        << ReadFileText(traceLog) << ReadFileText(temp.path() / "err.txt");

    std::vector<std::string> expected{"Engine::Initialize"};
    for (const VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
        expected.push_back(list->GetName() + "::Initialize");
    }
    for (const char* system :
         {"SystemType::INPUT_SYSTEM", "SystemType::INPUT_STATE_SYSTEM",
          "SystemType::COLLIDER_SYSTEM", "SystemType::SCENE_SYSTEM", "SystemType::CHEAT_SYSTEM",
          "SystemType::AUDIO_SYSTEM", "SystemType::DEBUG_DRAW_SYSTEM",
          "SystemType::WINDOW_CREATION_SYSTEM", "SystemType::DEBUG_SYSTEM",
          "SystemType::EDITOR_SYSTEM", "SystemType::DEBUG_SYSTEM"}) {
        expected.push_back(std::string("Engine::Initialize - Initialized system: ") + system);
    }
    expected.push_back(kSwitchToStartScene);
    std::vector<std::string> startLines;
    for (const std::string& message : TraceMessages(traceLog)) {
        if (IsStartLine(message)) {
            startLines.push_back(message);
        }
    }
    EXPECT_EQ(startLines, expected);

    ASSERT_TRUE(WaitUntil(
        [&] {
            ChildProcess closer(
                {{TARNWICK_CLOSE_WINDOW, "Tarnwick", std::to_string(child.Pid())}, {}, {}, {}, {}});
            return closer.Wait(10s) == 0;
        },
        20s));
    EXPECT_EQ(child.Wait(20s), 0);
}

}  // namespace
