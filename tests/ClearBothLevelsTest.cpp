// A scripted player clears the shipped game, the way a person plays it: from the menu's Start
// button through both levels to the win screen, with the rifle, aiming each shot at the nearest
// living enemy and stepping back from enemies that come close, through real X input on the real
// engine loop. The run is recorded with the game's own recorder into
// build/recordings/clear-both-levels.jsonl: tests/data keeps a copy that the suite replays with the
// game executable (RecordedSessionTest); refresh that copy from here when play changes.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <string>
#include <utility>

#include "engine/Engine.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/Button.h"
#include "gameplay/PlayerInput.h"
#include "graphics/GraphicsSystem.h"
#include "physics/Transform.h"
#include "replay/ReplayRunSystem.h"
#include "support/InGameTest.h"
#include "testbed/SceneChild.h"

namespace {

namespace fs = std::filesystem;

// Closer than this, the scripted player steps away from the enemy while it shoots.
constexpr float kBackOffDistance = 520.0f;

struct Target {
    Entity* enemy = nullptr;
    float distance = std::numeric_limits<float>::max();
};

class ClearBothLevelsTest : public InGameTest {
protected:
    void SetUp() override { tree.CopyShippedData(); }


    static Transform* LivingPlayer() {
        for (const auto& layer : ComponentListSystem<PlayerInput>::Instance().Layers()) {
            for (PlayerInput* player : layer) {
                if (player->owner != nullptr && !player->owner->destroyed && !player->IsDying()) {
                    return player->owner->GetComponent<Transform>();
                }
            }
        }
        return nullptr;
    }

    static Target Nearest(Vector2 from) {
        Target nearest;
        for (const auto& layer : ComponentListSystem<BasicEnemyBehavior>::Instance().Layers()) {
            for (BasicEnemyBehavior* enemy : layer) {
                if (!enemy->IsAlive()) {
                    continue;
                }
                const Vector2 d = enemy->owner->GetComponent<Transform>()->position - from;
                const float distance = std::hypot(d.x, d.y);
                if (distance < nearest.distance) {
                    nearest = {enemy->owner, distance};
                }
            }
        }
        return nearest;
    }

    // One frame of play: aim at the nearest enemy, keep the trigger down, and walk away from it
    // when it is close. True once the win screen is up.
    bool PlayOneFrame() {
        const std::string& scene = SceneSystem::Instance().currentSceneName;
        EXPECT_NE(scene, "LoseScene.json") << "the scripted player was caught";
        if (scene == "WinScene.json" || scene == "LoseScene.json") {
            ReleaseEverything();
            return true;
        }
        KeepAPictureOfTheFirstHitFlashAndBurst();
        Transform* player = LivingPlayer();
        const Target target = player != nullptr ? Nearest(player->position) : Target{};
        if (target.enemy == nullptr) {
            Walk(0.0f, 0.0f);
            return false;
        }
        const Vector2 at = target.enemy->GetComponent<Transform>()->position;
        const auto [x, y] = WindowPixelOf(at);
        if (std::abs(x - aimX) + std::abs(y - aimY) > 2) {
            window.PointAt(x, y);
            aimX = x;
            aimY = y;
        }
        if (!triggerDown) {
            window.ButtonDown(DisplayWindow::kLeftButton);
            triggerDown = true;
        }
        const Vector2 away = player->position - at;
        if (target.distance < kBackOffDistance) {
            Walk(away.x, away.y);
        } else {
            Walk(0.0f, 0.0f);
        }
        return false;
    }

    // For a person to look at: a picture while an enemy flashes from a hit it survived, and one
    // while an enemy bursts. The window shows the frame drawn last, so the picture is taken a
    // frame after the flash or burst is first seen (both last several frames).
    void KeepAPictureOfTheFirstHitFlashAndBurst() {
        if (flashSeen == Picture::kSeen) {
            window.Shot("hit-flash");
            flashSeen = Picture::kTaken;
        }
        if (burstSeen == Picture::kSeen) {
            window.Shot("death-burst");
            burstSeen = Picture::kTaken;
        }
        for (const auto& layer : ComponentListSystem<BasicEnemyBehavior>::Instance().Layers()) {
            for (BasicEnemyBehavior* enemy : layer) {
                if (flashSeen == Picture::kNone && enemy->IsAlive() && enemy->flashTimeLeft > 0.0f) {
                    flashSeen = Picture::kSeen;
                }
                if (burstSeen == Picture::kNone && enemy->bursting) {
                    burstSeen = Picture::kSeen;
                }
            }
        }
    }

    // Holds the movement keys of the direction (dx, dy), lets go of the others.
    void Walk(float dx, float dy) {
        const float slack = 0.4f * std::hypot(dx, dy);
        Hold("d", dx > slack);
        Hold("a", dx < -slack);
        Hold("w", dy > slack);
        Hold("s", dy < -slack);
    }

    void Hold(const std::string& key, bool down) {
        bool& held = keys[key];
        if (held != down) {
            down ? window.KeyDown(key) : window.KeyUp(key);
            held = down;
        }
    }

    void ReleaseEverything() {
        Walk(0.0f, 0.0f);
        if (triggerDown) {
            window.ButtonUp(DisplayWindow::kLeftButton);
            triggerDown = false;
        }
    }

    std::map<std::string, bool> keys;
    bool triggerDown = false;
    enum class Picture { kNone, kSeen, kTaken };
    Picture flashSeen = Picture::kNone;
    Picture burstSeen = Picture::kNone;
    int aimX = -1;
    int aimY = -1;
};

TEST_F(ClearBothLevelsTest, AimedFireClearsBothLevelsAndTheRunIsRecorded) {
    // Two levels of play take minutes on a loaded machine; a step of play waits that long.
    script.LimitEachStepTo(std::chrono::minutes(8));
    const fs::path recordings = fs::path(TARNWICK_SOURCE_DIR) / "build" / "recordings";
    fs::create_directories(recordings);
    const fs::path recording = recordings / "clear-both-levels.jsonl";
    std::string error;
    ASSERT_TRUE(ReplayRunSystem::Instance().StartRecording(recording.string(), error)) << error;

    Until([&] {
        return SceneSystem::Instance().currentSceneName == "MenuScene.json" &&
               SceneChildNamed("StartButton") != nullptr;
    });
    PointAt([&] {
        return WindowPixelOf(SceneChildNamed("StartButton")->GetComponent<Transform>()->position);
    });
    Until([&] { return SceneChildNamed("StartButton")->GetComponent<Button>()->wasHovered; });
    ButtonDown(DisplayWindow::kLeftButton);
    ButtonUp(DisplayWindow::kLeftButton);
    Until([&] { return LivingPlayer() != nullptr; });
    PressKey("2");  // the rifle, which the second level takes over
    Until([&] { return PlayOneFrame(); });
    std::string endedOn;
    Do([&] { endedOn = SceneSystem::Instance().currentSceneName; });
    // Registered after the engine started its systems, as the game registers it last among them;
    // so it is started here.
    Play([] {
        Engine::Instance().RegisterSystem(&ReplayRunSystem::Instance());
        ReplayRunSystem::Instance().Initialize();
    });

    EXPECT_EQ(endedOn, "WinScene.json");
    EXPECT_TRUE(fs::exists(recording));
}

}  // namespace
