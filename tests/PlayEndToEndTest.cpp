// The shipped game played end to end as a person would: the real `game` executable on an X
// server of the test's own, driven with real input, watched through screenshots, the trace log,
// its console and its exit status. The screenshots are kept under build/e2e-screenshots/ for a
// person to look at. The first level is replaced by a small arena built from the shipped player,
// so a scripted player can meet its one enemy.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/ArenaLevel.h"
#include "support/GameRun.h"
#include "support/Screenshot.h"
#include "support/TraceMessages.h"
#include "support/WaveRecording.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using namespace std::chrono_literals;

constexpr int kLeft = DisplayWindow::kLeftButton;
// The game window is 1080 x 720 and shows 3 world units a pixel. The menu's Start button sits at
// its centre, and so does the lose scene's Menu button; Quit is below Start: world (0, -400) is
// window pixel (540, 493).
constexpr int kCentreX = 540;
constexpr int kCentreY = 360;
constexpr int kQuitY = 493;
// In the arena the view is held inside the level's bottom-left corner, centred on (-364, -72):
// the arena's row (y -960) is window row 656. Aimed along it at the enemy right of the player.
constexpr int kAimX = 900;
constexpr int kArenaRowY = 656;
constexpr PixelArea kStartButton{440, 320, 640, 400};
constexpr PixelArea kBottomLeft{0, 600, 300, 720};
constexpr PixelArea kMiddle{300, 100, 700, 600};
// The game's part of the window, left of the tool windows.
constexpr PixelArea kPlayfield{0, 0, 760, 720};
// Right of and below the player after its walk in the second level: the camera follows it
// across, and holds at the level's middle up and down (the level is shorter than the view), so
// it stands at window (540, 552); the shots fly toward the pointer at (900, 656).
constexpr PixelArea kRightOfPlayer{540, 460, 1080, 720};
constexpr Rgb kBlack{0, 0, 0};
constexpr int kButtonLitPixels = 500;
constexpr int kUnchangedNoise = 50;
constexpr int kNewScenePixels = 20000;
constexpr int kScrolledPixels = 2000;
constexpr int kShotsPixels = 50;
constexpr auto kShotLimit = 20s;
constexpr auto kHoverLimit = 20s;
// How long D is held down to walk.
constexpr auto kWalkHold = 400ms;

struct WeaponKey {
    const char* key;
    const char* input;
};
constexpr WeaponKey kOtherWeapons[] = {{"2", "_RIFLE"},
                                       {"3", "_SNIPER"},
                                       {"4", "_SHOTGUN"},
                                       {"5", "_FLAMETHROWER"},
                                       {"6", "_CURVEBALL"}};

class PlayEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        run.CopyShippedTree();
        run.RecordSound();
    }

    void WriteArena(double enemyDistance, double enemySpeed) const {
        WriteArenaLevel(run.WorkingTree(), enemyDistance, enemySpeed);
    }

    // Menu buttons print a line each time the pointer comes over one.
    bool WaitForHovers(std::size_t count) {
        return WaitUntil([&] { return CountOccurrences(run.Output(), "OnHover") >= count; },
                         kHoverLimit);
    }

    // A picture of the window once it differs from `reference` inside `area` by more than
    // `pixels`.
    Screenshot ShotDiffering(const std::string& name, const Screenshot& reference,
                             const PixelArea& area, int pixels) {
        return run.window().ShotWhen(
            name,
            [&](const Screenshot& shot) { return shot.Differences(reference, area) > pixels; },
            kShotLimit);
    }

    GameRun run;
};

TEST_F(PlayEndToEndTest, MenuStartsTheLevelWhereThePlayerMovesFiresAndClearsItToTheNextLevel) {
    WriteArena(1500.0, 20.0);
    ASSERT_TRUE(run.StartOn("MenuScene.json"));
    // Away from the buttons: the X server starts the pointer in the middle of its screen, which
    // falls on the Start button's corner. Once every hover has ended, nothing is lit.
    run.window().PointAt(20, 700);
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::string output = run.Output();
            return CountOccurrences(output, "OnHover") == CountOccurrences(output, "OffHover");
        },
        kHoverLimit));
    const std::size_t hoversBefore = CountOccurrences(run.Output(), "OnHover");
    // The window is black before the game's first frame; the menu is drawn once its Start button
    // and the backdrop's bottom left corner show.
    const Screenshot menu = run.window().ShotWhen(
        "1-menu",
        [](const Screenshot& shot) {
            return shot.Unlike(kBlack, kStartButton) > kButtonLitPixels &&
                   shot.Unlike(kBlack, kBottomLeft) > kButtonLitPixels;
        },
        kShotLimit);
    run.window().PointAt(kCentreX, kCentreY);
    ASSERT_TRUE(WaitForHovers(hoversBefore + 1)) << "the Start button never saw the pointer";
    const Screenshot hovered =
        ShotDiffering("2-start-hovered", menu, kStartButton, kButtonLitPixels);
    EXPECT_GT(hovered.Differences(menu, kStartButton), kButtonLitPixels)
        << "the Start button lights up";
    EXPECT_LT(hovered.Differences(menu, kBottomLeft), kUnchangedNoise)
        << "the rest stays as it was";

    run.PressButton(kLeft, "CLICK");
    ASSERT_TRUE(run.WaitForScene("MainScene.json"));
    const Screenshot level = ShotDiffering("3-level", menu, kMiddle, kNewScenePixels);
    EXPECT_GT(level.Differences(menu, kMiddle), kNewScenePixels) << "the level replaced the menu";

    // The pistol, held toward the enemy on the right until the level is cleared.
    run.window().PointAt(kAimX, kArenaRowY);
    run.ButtonDown(kLeft, "CLICK");
    const bool cleared = run.WaitForScene("Level2Scene.json");
    run.ButtonUp(kLeft, "CLICK");
    ASSERT_TRUE(cleared) << "the last enemy's death opens the next level";
    // Invincible from here on, so the checks below are not cut short by the level's enemies.
    run.KeyDown("shift", "SHIFT");
    run.PressKey("i", "_INVINCIBILITY_ON");
    run.KeyUp("shift", "SHIFT");
    const Screenshot next = ShotDiffering("4-next-level", level, kPlayfield, kNewScenePixels);
    EXPECT_GT(next.Differences(level, kPlayfield), kNewScenePixels) << "another level";

    // Moving right: the camera follows the player, so the level shifts on screen.
    run.PressKey("d", "RIGHT", kWalkHold);
    const Screenshot moved = ShotDiffering("5-moved", next, kPlayfield, kScrolledPixels);
    EXPECT_GT(moved.Differences(next, kPlayfield), kScrolledPixels)
        << "the view followed the player";

    // Every weapon key changes the shot; the trace shows the trigger being pulled.
    for (const WeaponKey& weapon : kOtherWeapons) {
        run.PressKey(weapon.key, weapon.input);
        run.PressButton(kLeft, "CLICK");
    }
    EXPECT_GE(CountOccurrences(run.Trace(), InputSentTrace("CLICK", true)), 6u);
    run.ButtonDown(kLeft, "CLICK");
    const Screenshot firing = ShotDiffering("6-firing", moved, kRightOfPlayer, kShotsPixels);
    run.ButtonUp(kLeft, "CLICK");
    EXPECT_GT(firing.Differences(moved, kRightOfPlayer), kShotsPixels) << "shots on screen";

    // Closed through its window like any program; the shots were heard by the player.
    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0);
    EXPECT_GT(WaveRecording(run.SoundFile()).Peak(), 0.05f) << "the shots are audible";
}

TEST_F(PlayEndToEndTest, EnemysTouchLosesTheMenuButtonReturnsAndQuitEndsTheProgramCleanly) {
    WriteArena(400.0, 600.0);
    ASSERT_TRUE(run.StartOn("MenuScene.json"));
    run.Click(kCentreX, kCentreY);
    ASSERT_TRUE(run.WaitForScene("MainScene.json"));
    ASSERT_TRUE(run.WaitForScene("LoseScene.json")) << "the enemy reached the player";
    // The lose scene's Menu button, under the pointer where Start was, lights up once drawn.
    ASSERT_TRUE(WaitForHovers(2)) << "the Menu button never saw the pointer";
    run.window().Shot("1-lost");
    run.Click(kCentreX, kCentreY);
    ASSERT_TRUE(run.WaitForScene("MenuScene.json"));
    run.Click(kCentreX, kQuitY);
    EXPECT_EQ(run.Wait(), 0) << run.Errors();
    // The run's data was mirrored back into the working tree, ending with the exit lines.
    const std::vector<std::string> trace =
        TraceMessages(run.WorkingTree() / "Data" / "Trace_Log.txt");
    ASSERT_GE(trace.size(), 3u);
    // The log is mirrored during the exit, after its "Try" line.
    EXPECT_EQ(trace.back(), "Try");
    EXPECT_NE(
        std::find(trace.begin(), trace.end(), std::string(kSceneSwitchTrace) + "LoseScene.json"),
        trace.end());
}

}  // namespace
