// The player as a person plays it: the real engine loop on an X server of the test's own, the
// shipped input mappings and projectile archetypes, and real key and mouse events from xdotool.
// Held movement keys move and turn the player, the mouse button fires toward the pointer, and
// every weapon key changes the kind of shot.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/Engine.h"
#include "engine/Program.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "game/GameComposition.h"
#include "gameplay/BoomerangBehavior.h"
#include "gameplay/FlameBehavior.h"
#include "gameplay/PlayerInput.h"
#include "gameplay/Weapon.h"
#include "graphics/GraphicsSystem.h"
#include "graphics/Sprite.h"
#include "graphics/Texture.h"
#include "physics/Physics.h"
#include "physics/Transform.h"
#include "support/GameTree.h"
#include "support/PrivateDisplay.h"
#include "support/SceneJson.h"
#include "support/StepRunner.h"

namespace {

constexpr double kRadiansToDegrees = 57.29577951308232;
// Generous bounds in frames for a reaction that takes one or two.
constexpr int kStepFrameLimit = 3000;

std::string ArenaScene() {
    return nlohmann::json{{"Player", PlayerJson(0, 0, 200, 600.0)}}.dump(2);
}

class PlayerInGameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(display.name().empty()) << "no private X server";
        setenv("DISPLAY", display.name().c_str(), 1);
        const std::filesystem::path shipped = std::filesystem::path(TARNWICK_SOURCE_DIR) / "Data";
        for (const char* file : {"DefaultInputMappings.txt", "PistolBullet.json",
                                 "RifleBullet.json", "SniperBullet.json", "ShotgunBullet.json",
                                 "FlamethrowerFlame.json", "CurveballBoomerang.json"}) {
            std::filesystem::copy_file(shipped / file, tree.root() / "Data" / file);
        }
        tree.WriteFile("Data/Scenes/Arena.json", ArenaScene());
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Play.json");
        tree.WriteFile("Data/EngineSettingFiles/Play.json",
                       R"({"defaultEntityFile": "Scenes/Arena.json", "runOnStart": "1"})");
        ASSERT_TRUE(program.StartUp());
    }
    void TearDown() override { GraphicsSystem::Instance().ShutDown(); }

    void X(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "/usr/bin/xdotool");
        EXPECT_EQ(display.Run(arguments), 0) << arguments[1];
    }

    // The root's children spawned as projectiles (the scene is the other child).
    std::vector<Entity*> Projectiles() const {
        std::vector<Entity*> found;
        for (Entity* child : engine.originEntity->children) {
            if (child != SceneSystem::Instance().currentScene && !child->destroyed) {
                found.push_back(child);
            }
        }
        return found;
    }

    static std::string TextureOf(const Entity* projectile) {
        const Sprite* sprite = projectile->GetComponent<Sprite>();
        return sprite != nullptr && sprite->texture != nullptr ? sprite->texture->name : "";
    }

    PrivateDisplay display;
    GameTree tree;
    Program program{GameComposition()};
    Engine& engine = Engine::Instance();
    StepRunner runner{kStepFrameLimit};
};

TEST_F(PlayerInGameTest, KeysMoveAndTurnThePlayerAndTheMouseFiresEachWeaponTowardThePointer) {
    Entity* player = nullptr;
    Transform* transform = nullptr;
    std::string window;
    // Entity ids, which are never reused (a freed projectile's address may be).
    std::vector<std::int32_t> before;
    const auto snapshot = [&] {
        before.clear();
        for (Entity* projectile : Projectiles()) {
            before.push_back(projectile->id);
        }
    };
    // New projectiles since the trigger was pulled.
    const auto newShots = [&] {
        std::vector<Entity*> shots;
        for (Entity* projectile : Projectiles()) {
            if (std::find(before.begin(), before.end(), projectile->id) == before.end()) {
                shots.push_back(projectile);
            }
        }
        return shots;
    };
    std::vector<std::string> observed;

    auto& steps = runner.steps;
    steps.push_back([&] {
        player = SceneSystem::Instance().currentScene->children.at(0);
        transform = player->GetComponent<Transform>();
        X({"mousemove", "--window", window, "900", "150"});
        X({"keydown", "d"});
        return true;
    });
    steps.push_back([&] {
        return transform->position.x > 300.0f && transform->rotation == 270.0f;
    });
    steps.push_back([&] {
        X({"keyup", "d"});
        X({"keydown", "w"});
        X({"keydown", "a"});
        return true;
    });
    steps.push_back([&] { return transform->rotation == 45.0f && transform->position.y > 200.0f; });
    steps.push_back([&] {
        X({"keyup", "w"});
        X({"keyup", "a"});
        return true;
    });
    steps.push_back([&] {
        const Vector2 velocity = player->GetComponent<Physics>()->velocity;
        return velocity == Vector2{} && transform->rotation == 0.0f;
    });
    // The pistol, as the scene starts, fires toward the pointer.
    steps.push_back([&] {
        snapshot();
        X({"mousedown", "1"});
        return true;
    });
    steps.push_back([&] {
        const std::vector<Entity*> shots = newShots();
        if (shots.empty()) {
            return false;
        }
        const Vector2 pointer = engine.mouseObject->GetComponent<Transform>()->position;
        const Vector2 from = transform->position;
        const Vector2 velocity = shots[0]->GetComponent<Physics>()->velocity;
        const double expected = std::atan2(pointer.y - from.y, pointer.x - from.x);
        const double actual = std::atan2(velocity.y, velocity.x);
        EXPECT_NEAR(actual * kRadiansToDegrees, expected * kRadiansToDegrees, 1.0);
        observed.push_back(TextureOf(shots[0]));
        X({"mouseup", "1"});
        return true;
    });
    // Every other weapon key: hold it a moment, then pull the trigger.
    for (const char* key : {"2", "3", "4", "5", "6"}) {
        steps.push_back([&, key] {
            X({"keydown", key});
            return true;
        });
        steps.push_back([&, key, frames = 0]() mutable { return ++frames > 5; });
        steps.push_back([&, key] {
            X({"keyup", key});
            snapshot();
            X({"mousedown", "1"});
            return true;
        });
        steps.push_back([&] {
            const std::vector<Entity*> shots = newShots();
            if (shots.empty()) {
                return false;
            }
            std::string kind = TextureOf(shots[0]);
            if (shots[0]->GetComponent<FlameBehavior>() != nullptr) {
                kind += " flame";
            }
            if (shots[0]->GetComponent<BoomerangBehavior>() != nullptr) {
                kind += " boomerang";
            }
            if (shots.size() > 1) {
                kind += " x" + std::to_string(shots.size());
            }
            observed.push_back(kind);
            X({"mouseup", "1"});
            return true;
        });
    }

    program.RunEnginePasses([&] {
        engine.RegisterSystem(&runner);
        ASSERT_EQ(display.Run({"/usr/bin/xdotool", "search", "--name", "^Tarnwick$"}, &window), 0);
        window = window.substr(0, window.find('\n'));
        ASSERT_EQ(display.Run({"/usr/bin/xdotool", "windowfocus", "--sync", window}), 0);
    });
    EXPECT_EQ(runner.failedStep, -1) << "a step never came true";
    EXPECT_EQ(observed, (std::vector<std::string>{
                            "pistol_bullet.png", "rifle_bullet.png", "sniper_bullet.png",
                            "shotgun_pellet.png x5", "flame.png flame", "boomerang.png boomerang"}));
}

}  // namespace
