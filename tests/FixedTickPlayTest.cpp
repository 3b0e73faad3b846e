// The shipped level played at frame rates far apart, with a stall: the simulation advances in
// ticks of a fixed length, so the pistol fires as often whatever the frame time, and nothing is
// carried through the level's walls by a long frame.

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "engine/Engine.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/PlayerInput.h"
#include "physics/Physics.h"
#include "physics/Transform.h"
#include "support/GameRun.h"
#include "support/InGameTest.h"
#include "testbed/SceneChild.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The shipped first level is 30 x 17 cells of 128 units, cell (0, 0) centred at (-1920, -1088),
// walled all round: the open floor lies within these bounds.
constexpr float kOpenHalfWidth = 1920.0f - 64.0f;
constexpr float kOpenHalfHeight = 1088.0f - 64.0f;
// Five seconds of play.
constexpr std::uint64_t kPhaseTicks = 300;

struct Phase {
    const char* what;
    std::chrono::milliseconds frameDelay;
    // A stall of a second this many ticks into the phase; 0 for none.
    std::uint64_t stallAtTick;
};
constexpr Phase kPhases[] = {
    {"2 ms frames", 2ms, 0},
    {"60 ms frames", 60ms, 0},
    {"2 ms frames and a stall", 2ms, 100},
};

class FixedTickPlayTest : public InGameTest {
protected:
    FixedTickPlayTest() {
        const fs::path data = fs::path(TARNWICK_SOURCE_DIR) / "Data";
        for (const auto& entry : fs::recursive_directory_iterator(data)) {
            const fs::path relative = fs::relative(entry.path(), data);
            if (entry.is_regular_file() && relative.begin()->string() != "EngineSettingFiles") {
                tree.WriteFile(fs::path("Data") / relative, ReadFileText(entry.path()));
            }
        }
        // As the player sees the game: no tool window takes the clicks at the screen's edges.
        tree.WriteFile("Data/EngineSettingFiles/Settings.json",
                       R"({"defaultEntityFile": "", "runOnStart": "1", "showTools": "0"})");
    }

    static Entity* Find(const std::string& name) { return SceneChildNamed(name); }
};

// The player walks left into the level's wall and fires the pistol into it throughout.
TEST_F(FixedTickPlayTest, PistolFiresAsOftenAtAnyFrameRateAndNothingLeavesTheWalls) {
    std::size_t phase = 0;
    std::uint64_t phaseStart = 0;
    std::int32_t lastCounter = 0;
    std::vector<int> shots(std::size(kPhases), 0);
    float leftmostPlayer = 0.0f;
    bool stalled = false;
    probe.onUpdate = [&](int) {
        const Entity* player = Find("Player");
        if (player == nullptr || phaseStart == 0 || phase >= std::size(kPhases)) {
            return;
        }
        // A shot resets the counter to the weapon's cool-down.
        const std::int32_t counter = player->GetComponent<PlayerInput>()->fireCounter;
        if (counter > lastCounter) {
            ++shots[phase];
        }
        lastCounter = counter;
        leftmostPlayer =
            std::min(leftmostPlayer, player->GetComponent<Transform>()->GetWorldPosition().x);
    };
    probe.onRender = [&](int) {
        if (phase >= std::size(kPhases) || phaseStart == 0) {
            return;
        }
        std::this_thread::sleep_for(kPhases[phase].frameDelay);
        const std::uint64_t into = engine.tickCount - phaseStart;
        if (kPhases[phase].stallAtTick != 0 && into >= kPhases[phase].stallAtTick && !stalled) {
            stalled = true;
            std::this_thread::sleep_for(1s);
        }
    };

    Until([&] { return WindowFocused() && Find("Player") != nullptr; });
    Do([&] {
        engine.ticksPerFrame = 0;
        // The level's enemies stand still: the player plays alone.
        for (Entity* child : SceneSystem::Instance().currentScene->children) {
            if (auto* enemy = child->GetComponent<BasicEnemyBehavior>()) {
                enemy->moveSpeed = 0.0f;
            }
        }
        leftmostPlayer = Find("Player")->GetComponent<Transform>()->GetWorldPosition().x;
    });
    // The player is drawn at the window's centre; the pointer to its left aims at the wall.
    PointAt(100, 360);
    KeyDown("a");
    ButtonDown(DisplayWindow::kLeftButton);
    for (std::size_t p = 0; p < std::size(kPhases); ++p) {
        Do([&, p] {
            phase = p;
            phaseStart = engine.tickCount;
        });
        Until([&] { return engine.tickCount - phaseStart >= kPhaseTicks; });
    }
    Do([&] { phase = std::size(kPhases); });
    ButtonUp(DisplayWindow::kLeftButton);
    KeyUp("a");
    Do([&] {
        engine.running = false;
        EXPECT_TRUE(stalled);
        for (std::size_t p = 0; p < std::size(kPhases); ++p) {
            SCOPED_TRACE(kPhases[p].what);
            EXPECT_GT(shots[p], 3) << "the pistol fired all along";
            EXPECT_LE(std::abs(shots[p] - shots[0]), 1) << "shots in 5 s of play";
        }
        EXPECT_GT(leftmostPlayer, -kOpenHalfWidth) << "the player stayed on the floor's side";
        // Every body, the player and every shot still flying, is inside the walls.
        for (const Entity* child : SceneSystem::Instance().currentScene->children) {
            if (child->GetComponent<Physics>() == nullptr) {
                continue;
            }
            const Vector2 at = child->GetComponent<Transform>()->GetWorldPosition();
            EXPECT_LT(std::abs(at.x), kOpenHalfWidth) << child->name;
            EXPECT_LT(std::abs(at.y), kOpenHalfHeight) << child->name;
        }
    });
    Play([] { SceneSystem::Instance().ChangeScene("MainScene.json"); });
}

// The level's four enemies packed against the player, who stands at the left wall: however hard
// the solid crowd pushes, the player is never pushed into or through the wall.
TEST_F(FixedTickPlayTest, ACrowdPressingThePlayerAgainstAWallCannotPushItIn) {
    // Column 1 of row 2 is open floor; the wall's face is at x = -1856.
    const Vector2 atTheWall{-1856.0f + 70.0f, -832.0f};
    float leftmost = atTheWall.x;
    int ticks = 0;
    probe.onUpdate = [&](int) {
        const Entity* player = Find("Player");
        if (player == nullptr || ticks == 0) {
            return;
        }
        leftmost = std::min(leftmost, player->GetComponent<Transform>()->GetWorldPosition().x);
        for (const Entity* child : SceneSystem::Instance().currentScene->children) {
            if (child->GetComponent<BasicEnemyBehavior>() != nullptr) {
                EXPECT_GT(child->GetComponent<Transform>()->GetWorldPosition().x, -kOpenHalfWidth)
                    << child->name;
            }
        }
        ++ticks;
    };
    Until([&] { return Find("Player") != nullptr; });
    Do([&] {
        Entity* player = Find("Player");
        player->GetComponent<PlayerInput>()->isInvincible = true;
        player->GetComponent<Transform>()->SetPosition(atTheWall);
        float x = atTheWall.x + 130.0f;
        for (Entity* child : SceneSystem::Instance().currentScene->children) {
            if (child->GetComponent<BasicEnemyBehavior>() != nullptr) {
                child->GetComponent<Transform>()->SetPosition({x, atTheWall.y});
                x += 10.0f;
            }
        }
        ticks = 1;
    });
    Until([&] { return ticks > 300; });
    Do([&] {
        engine.running = false;
        EXPECT_GE(leftmost, -kOpenHalfWidth) << "the player's centre crossed the wall's face";
        EXPECT_GT(leftmost, -kOpenHalfWidth + 40.0f) << "the player was pushed into the wall";
    });
    Play([] { SceneSystem::Instance().ChangeScene("MainScene.json"); });
}

// A tap on a menu button: the game is stopped while the button goes down and up, so both reach it
// in one event poll, as a touchpad tap or a quick click at a low frame rate does. The click is
// held for one tick and the button takes it.
TEST(TapTest, AButtonPressedAndReleasedWithinOneFrameTakesTheClick) {
    GameRun run;
    run.CopyShippedTree();
    ASSERT_TRUE(run.StartOn("MenuScene.json"));
    run.window().PointAt(540, 360);
    ASSERT_TRUE(WaitUntil([&] { return run.Output().find("OnHover") != std::string::npos; }, 20s))
        << "the Start button never saw the pointer";
    ASSERT_TRUE(run.Signal(SIGSTOP));
    run.window().Send({"mousedown", "1", "mouseup", "1"});
    ASSERT_TRUE(run.Signal(SIGCONT));
    EXPECT_TRUE(run.WaitForScene("MainScene.json")) << run.Trace();
    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0);
}

}  // namespace
