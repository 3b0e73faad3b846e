// One whole session of the real `game` executable, scripted as a person would have it: start,
// play the first level (the menu's Start button, move, shoot), open the editor and save an
// entity with "Save To:", restart from the Engine Settings window and quit through the window.
// The run must end cleanly: status 0 and nothing on standard error. In the sanitized build
// (scripts/test --sanitize) this is the leak check of a whole run, since LeakSanitizer reports
// at the exit of the game. Screenshots of each step are kept under build/e2e-screenshots/.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/GameRun.h"
#include "support/Screenshot.h"
#include "support/TraceMessages.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using namespace std::chrono_literals;

constexpr const char* kSavedName = "ScriptedRun.json";
constexpr int kLeft = DisplayWindow::kLeftButton;
constexpr auto kHoverLimit = 20s;
constexpr auto kSaveLimit = 20s;
constexpr auto kShotLimit = 20s;
// How long D is held down to walk.
constexpr auto kWalkHold = 600ms;

// Window pixels of the widgets used, in the 1080 x 720 game window. The tool windows open at
// fixed places (the Hierarchy and the Inspector on the left, Engine Settings on the right) and
// ImGui lays their rows out one line apart.
struct Point {
    int x;
    int y;
};
constexpr Point kStartButton{540, 360};
constexpr Point kAim{900, 360};
constexpr Point kRootHeader{150, 53};
constexpr Point kSceneSelect{57, 76};
constexpr Point kSaveToBox{160, 351};
constexpr Point kRestartButton{890, 357};
constexpr Point kEditButton{972, 379};
// Where the tool windows stand.
constexpr PixelArea kHierarchyArea{0, 0, 240, 300};
constexpr PixelArea kInspectorArea{0, 300, 240, 720};
constexpr PixelArea kSettingsArea{840, 320, 1080, 660};

std::vector<std::string> Keys(const json& object) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : object.items()) {
        keys.push_back(key);
    }
    return keys;
}

class ScriptedRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        run.CopyShippedTree();
        fs::remove(run.WorkingTree() / "Data" / kSavedName);
    }

    // A click on a tool window is the GUI's alone: the game traces no input for it. Done once
    // the part of the window that the click changes shows a change.
    void ClickTool(Point at, PixelArea changes) {
        const Screenshot before = run.window().Shot("before-tool-click");
        run.window().PointAt(at.x, at.y);
        run.window().ButtonDown(kLeft);
        run.window().ButtonUp(kLeft);
        const Screenshot after = run.window().ShotWhen(
            "after-tool-click",
            [&](const Screenshot& shot) { return shot.Differences(before, changes) > 0; },
            kShotLimit);
        EXPECT_GT(after.Differences(before, changes), 0)
            << "the click at " << at.x << ", " << at.y << " changed nothing";
    }

    GameRun run;
};

TEST_F(ScriptedRunTest, PlayEditSaveRestartAndQuitEndCleanly) {
    ASSERT_TRUE(run.StartOn("MenuScene.json"));
    const json level =
        json::parse(ReadFileText(run.WorkingTree() / "Data" / "Scenes" / "MainScene.json"));

    // Play: the menu's Start button opens the first level; invincible, so the level's enemies
    // cannot end it early; move and shoot.
    run.window().PointAt(kStartButton.x, kStartButton.y);
    ASSERT_TRUE(
        WaitUntil([&] { return run.Output().find("OnHover") != std::string::npos; }, kHoverLimit))
        << "the Start button sees the pointer";
    run.PressButton(kLeft, "CLICK");
    ASSERT_TRUE(run.WaitForScene("MainScene.json")) << run.Errors();
    run.KeyDown("shift", "SHIFT");
    run.PressKey("i", "_INVINCIBILITY_ON");
    run.KeyUp("shift", "SHIFT");
    const Screenshot before = run.window().Shot("1-level");
    run.PressKey("d", "RIGHT", kWalkHold);
    EXPECT_NE(run.window().ShotWhen(
                  "2-moved", [&](const Screenshot& shot) { return shot != before; }, kShotLimit),
              before)
        << "the player walks on screen";
    const std::size_t clicks = CountOccurrences(run.Trace(), InputSentTrace("CLICK", true));
    run.window().PointAt(kAim.x, kAim.y);
    for (int shot = 0; shot < 3; ++shot) {
        run.PressButton(kLeft, "CLICK");
    }
    EXPECT_GE(CountOccurrences(run.Trace(), InputSentTrace("CLICK", true)), clicks + 3)
        << "three shots fired";
    run.window().Shot("3-shot");

    // The shipped game opens without its tools: F4 shows them all.
    run.PressKey("F4", "TOGGLETOOLS");

    // Edit: the level as its file has it, held still.
    ClickTool(kEditButton, kSettingsArea);
    ASSERT_TRUE(WaitUntil(
        [&] {
            return run.Trace().find("Edit: Scenes/MainScene.json loaded from its file") !=
                   std::string::npos;
        },
        kSaveLimit))
        << run.Errors();

    // The editor: F1 hides and shows it; open the root's row, select the level's entity (the
    // root's first child) and save it under a typed name.
    run.PressKey("F1", "TOGGLEEDITOR");
    run.PressKey("F1", "TOGGLEEDITOR");
    ClickTool(kRootHeader, kHierarchyArea);
    ClickTool(kSceneSelect, kInspectorArea);
    run.window().Shot("4-selected");
    ClickTool(kSaveToBox, kInspectorArea);
    run.window().Type(kSavedName);
    // Enter is bound to no input: it is held until the save it asks for is there.
    run.window().KeyDown("Return");
    const bool saved =
        WaitUntil([&] { return fs::exists(run.PerUserData() / kSavedName); }, kSaveLimit);
    run.window().KeyUp("Return");
    ASSERT_TRUE(saved) << "the selected entity was saved";
    run.window().Shot("5-saved");
    // What was saved is the level: the scene's entities are its children.
    const json savedEntity = json::parse(ReadFileText(run.PerUserData() / kSavedName));
    EXPECT_EQ(Keys(savedEntity), Keys(level)) << savedEntity.dump(2);

    // Restart from the Engine Settings window: the engine shuts down and starts again, with a
    // new trace log, on the start scene. A click on a tool window is the GUI's alone: the restart
    // itself shows that the button took it.
    run.window().PointAt(kRestartButton.x, kRestartButton.y);
    run.window().ButtonDown(kLeft);
    run.window().ButtonUp(kLeft);
    ASSERT_TRUE(run.WaitForScene("MenuScene.json")) << run.Errors();
    EXPECT_EQ(run.Trace().find(std::string(kSceneSwitchTrace) + "MainScene.json"),
              std::string::npos);
    run.window().Shot("6-restarted");

    // Quit through the window, as a window manager asks.
    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0) << run.Errors();
    EXPECT_EQ(run.Errors(), "") << "nothing on standard error: no sanitizer report, no failure";
    EXPECT_TRUE(fs::exists(run.WorkingTree() / "Data" / kSavedName))
        << "the save was mirrored back";
}

}  // namespace
