// The player as a person plays it: the real engine loop on an X server of the test's own, the
// shipped input mappings and projectile archetypes, and real key and mouse events through it.
// Held movement keys move and turn the player, the mouse button fires toward the pointer, and
// every weapon key changes the kind of shot.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/Engine.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "game/GameComposition.h"
#include "gameplay/BoomerangBehavior.h"
#include "gameplay/FlameBehavior.h"
#include "gameplay/PlayerInput.h"
#include "gameplay/Weapon.h"
#include "graphics/Sprite.h"
#include "graphics/Texture.h"
#include "physics/Physics.h"
#include "physics/Transform.h"
#include "support/InGameTest.h"
#include "support/SceneJson.h"

namespace {

constexpr double kRadiansToDegrees = 57.29577951308232;
constexpr int kLeft = DisplayWindow::kLeftButton;

std::string ArenaScene() {
    return nlohmann::json{{"Player", PlayerJson(0, 0, 200, 600.0)}}.dump(2);
}

class PlayerInGameTest : public InGameTest {
protected:
    void SetUp() override {
        const std::filesystem::path shipped = std::filesystem::path(TARNWICK_SOURCE_DIR) / "Data";
        for (const char* file : {"DefaultInputMappings.txt", "PistolBullet.json",
                                 "RifleBullet.json", "SniperBullet.json", "ShotgunBullet.json",
                                 "FlamethrowerFlame.json", "CurveballBoomerang.json"}) {
            std::filesystem::copy_file(shipped / file, tree.root() / "Data" / file);
        }
        tree.WriteFile("Data/Scenes/Arena.json", ArenaScene());
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Play.json");
        tree.WriteFile("Data/EngineSettingFiles/Play.json",
                       R"({"defaultEntityFile": "Scenes/Arena.json", "runOnStart": "1", "showTools": "0"})");
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
};

TEST_F(PlayerInGameTest, KeysMoveAndTurnThePlayerAndTheMouseFiresEachWeaponTowardThePointer) {
    Entity* player = nullptr;
    Transform* transform = nullptr;
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

    Do([&] {
        player = SceneSystem::Instance().currentScene->children.at(0);
        transform = player->GetComponent<Transform>();
    });
    PointAt(900, 150);
    const auto heading = [&] { return player->GetComponent<PlayerInput>()->orientation; };
    // The sprite turns towards the pointer, wherever the player walks.
    const auto facesThePointer = [&] {
        const Vector2 toPointer =
            engine.mouseObject->GetComponent<Transform>()->GetWorldPosition() -
            transform->GetWorldPosition();
        const float expected =
            static_cast<float>(std::atan2(toPointer.y, toPointer.x) * 180.0 / 3.14159265358979) -
            90.0f;
        return std::abs(transform->rotation - expected) < 0.5f;
    };
    KeyDown("d");
    Until([&] { return transform->position.x > 300.0f && heading() == 270 && facesThePointer(); });
    KeyUp("d");
    KeyDown("w");
    KeyDown("a");
    Until([&] { return heading() == 45 && transform->position.y > 200.0f && facesThePointer(); });
    KeyUp("w");
    KeyUp("a");
    Until([&] {
        const Vector2 velocity = player->GetComponent<Physics>()->velocity;
        return velocity == Vector2{} && heading() == 0 && facesThePointer();
    });
    // The pistol, as the scene starts, fires toward the pointer.
    Do(snapshot);
    ButtonDown(kLeft);
    Until([&] {
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
        return true;
    });
    ButtonUp(kLeft);
    // Every other weapon key: held until the player's weapon has changed, then the trigger.
    std::int32_t weaponBefore = 0;
    for (const char* key : {"2", "3", "4", "5", "6"}) {
        Do([&] { weaponBefore = player->GetComponent<Weapon>()->weaponType; });
        KeyDown(key);
        Until([&] { return player->GetComponent<Weapon>()->weaponType != weaponBefore; });
        KeyUp(key);
        Do(snapshot);
        ButtonDown(kLeft);
        Until([&] {
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
            return true;
        });
        ButtonUp(kLeft);
    }

    Play();
    EXPECT_EQ(observed, (std::vector<std::string>{"pistol_bullet.png", "rifle_bullet.png",
                                                  "sniper_bullet.png", "shotgun_pellet.png x5",
                                                  "flame.png flame", "boomerang.png boomerang"}));
}

}  // namespace
