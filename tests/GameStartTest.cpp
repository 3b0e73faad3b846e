// The real game executable started on a throw-away data tree whose settings name a start scene:
// what its trace log shows of the start, and a clean exit through its window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entities/ComponentLists.h"
#include "entities/VirtualComponentListSystem.h"
#include "support/GameRun.h"
#include "support/TraceMessages.h"

namespace {

const std::string kSwitchToStartScene = std::string(kSceneSwitchTrace) + "Opening.json";

// The start-up lines of the engine, the component lists and the scene system, errors included.
bool IsStartLine(const std::string& message) {
    return message.starts_with("Engine::Initialize") || message.ends_with("::Initialize") ||
           message.find("SceneSystem::ChangeScene") != std::string::npos;
}

TEST(GameStartTest, TracesTheStartInOrderUpToTheStartSceneAndClosesThroughItsWindow) {
    GameRun run;
    run.CopyStockTree();
    run.WriteStartSettings("Scenes/Opening.json", "1");
    run.WriteFile("Data/Scenes/Opening.json",
                  R"({"Title": {"Transform": {"Transform": {"position": {"x": 0, "y": 0},
                      "rotation": 0, "scale": {"x": 1, "y": 1}}, "Update layer": 2}}})");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForTrace(kSwitchToStartScene)) << run.Trace() << run.Errors();

    std::vector<std::string> expected{"Engine::Initialize"};
    for (const VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
        expected.push_back(list->GetName() + "::Initialize");
    }
    for (const char* system :
         {"SystemType::INPUT_SYSTEM", "SystemType::INPUT_STATE_SYSTEM",
          "SystemType::COLLIDER_SYSTEM", "SystemType::SCENE_SYSTEM", "SystemType::CHEAT_SYSTEM",
          "SystemType::AUDIO_SYSTEM", "SystemType::DEBUG_DRAW_SYSTEM",
          "SystemType::WINDOW_MODE_SYSTEM", "SystemType::WINDOW_CREATION_SYSTEM",
          "SystemType::DEBUG_SYSTEM", "SystemType::EDITOR_SYSTEM", "SystemType::DEBUG_SYSTEM",
          "LiveReloadSystem"}) {
        expected.push_back(std::string("Engine::Initialize - Initialized system: ") + system);
    }
    expected.push_back(kSwitchToStartScene);
    std::vector<std::string> startLines;
    for (const std::string& message : run.TraceLines()) {
        if (IsStartLine(message)) {
            startLines.push_back(message);
        }
    }
    EXPECT_EQ(startLines, expected);

    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0);
}

}  // namespace
