// Enemies: chasing the camera, losing a hit point per bullet or flame, killing the player on
// contact, and ending the level when the last live enemy dies.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "entities/Entity.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/BoomerangBehavior.h"
#include "gameplay/BulletBehavior.h"
#include "gameplay/FlameBehavior.h"
#include "gameplay/GameMaster.h"
#include "gameplay/PlayerInput.h"
#include "graphics/GraphicsSystem.h"
#include "physics/ColliderCircle.h"
#include "physics/Physics.h"
#include "support/ChildProcess.h"
#include "support/GameplayTest.h"
#include "support/TraceMessages.h"

namespace {

class EnemyTest : public GameplayTest {
protected:
    void SetUp() override {
        GameplayTest::SetUp();
        for (const char* scene : {"LoseScene.json", "Level2.json"}) {
            tree.WriteFile(std::string("Data/Scenes/") + scene, "{}");
        }
    }

    BasicEnemyBehavior* AddEnemy(float health, UpdateLayer layer = UpdateLayer::AVERAGE) const {
        Entity* entity = AddEntity("Grunt", {0.0f, 0.0f});
        auto* enemy = new BasicEnemyBehavior();
        enemy->health = health;
        entity->AddComponent(enemy, layer);
        entity->AddComponent(new ColliderCircle());
        return enemy;
    }

    // A projectile-like entity whose collider the enemy is told about.
    template <class Behavior>
    Collider* AddShot(const char* name) const {
        Entity* entity = AddEntity(name, {0.0f, 0.0f});
        entity->AddComponent(new Behavior());
        auto* collider = new ColliderCircle();
        entity->AddComponent(collider);
        return collider;
    }

    std::size_t Switches(const std::string& scene) const {
        return CountOccurrences(ReadFileText(DataDirectory + "Trace_Log.txt"),
                                kSceneSwitchTrace + scene);
    }
};

TEST_F(EnemyTest, BulletsAndFlamesCostAHitPointEachAndBoomerangsNone) {
    BasicEnemyBehavior* enemy = AddEnemy(5.0f);
    Collider* bullet = AddShot<BulletBehavior>("Bullet");
    Collider* flame = AddShot<FlameBehavior>("Flame");
    Collider* boomerang = AddShot<BoomerangBehavior>("Boomerang");
    FlushAllLists();
    for (int hit = 0; hit < 3; ++hit) {
        enemy->OnCollision(boomerang);
    }
    EXPECT_FLOAT_EQ(enemy->health, 5.0f);
    enemy->OnCollision(flame);
    EXPECT_FLOAT_EQ(enemy->health, 4.0f) << "a flame contact counts once";
    for (int hit = 0; hit < 3; ++hit) {
        enemy->OnCollision(bullet);
    }
    EXPECT_FALSE(enemy->owner->destroyed) << "one hit point left";
    enemy->OnCollision(bullet);
    EXPECT_TRUE(enemy->owner->destroyed) << "the fifth hit";
    enemy->OnCollision(bullet);
    EXPECT_FLOAT_EQ(enemy->health, 0.0f) << "a dying enemy takes no more hits";
}

TEST_F(EnemyTest, TouchingThePlayerKillsItUnlessInvincible) {
    BasicEnemyBehavior* enemy = AddEnemy(10.0f);
    Entity* player = AddEntity("Player", {0.0f, 0.0f});
    auto* input = new PlayerInput(100.0f);
    player->AddComponent(input);
    auto* body = new ColliderCircle();
    player->AddComponent(body);
    FlushAllLists();

    input->isInvincible = true;
    enemy->OnCollision(body);
    EXPECT_FALSE(player->destroyed);
    EXPECT_EQ(Switches("LoseScene.json"), 0u);

    input->isInvincible = false;
    enemy->OnCollision(body);
    EXPECT_TRUE(input->IsDying()) << "the lose scene follows once its death has been shown";
    EXPECT_FLOAT_EQ(enemy->health, 10.0f) << "the player's touch does the enemy no harm";
}

TEST_F(EnemyTest, LevelEndsOnlyWhenTheLastLiveEnemyDies) {
    Entity* level = AddEntity("Level", {0.0f, 0.0f});
    level->AddComponent(new GameMaster("Level2.json"));
    // Three enemies in one layer and one in another.
    std::vector<BasicEnemyBehavior*> enemies{AddEnemy(1.0f), AddEnemy(1.0f), AddEnemy(1.0f),
                                             AddEnemy(1.0f, UpdateLayer::SLOWEST)};
    Collider* bullet = AddShot<BulletBehavior>("Bullet");
    FlushAllLists();

    for (std::size_t killed = 0; killed < enemies.size(); ++killed) {
        EXPECT_EQ(Switches("Level2.json"), 0u) << killed << " killed";
        enemies[killed]->OnCollision(bullet);
        // Two of them die in the same frame, before the sweep frees the first.
        if (killed % 2 == 1) {
            Engine::Instance().originEntity->RemoveDestroyedChildren();
            FlushAllLists();
        }
    }
    EXPECT_EQ(Switches("Level2.json"), 1u);
}

TEST_F(EnemyTest, EnemyRunsAtTheCameraAndStandsStillOnIt) {
    BasicEnemyBehavior* enemy = AddEnemy(1.0f);
    auto* physics = new Physics();
    enemy->owner->AddComponent(physics);
    enemy->moveSpeed = 100.0f;
    graphics.camera.position = {300.0f, 400.0f, 0.0f};
    enemy->Update(0.016f);
    EXPECT_FLOAT_EQ(physics->velocity.x, 60.0f);
    EXPECT_FLOAT_EQ(physics->velocity.y, 80.0f);

    graphics.camera.position = {0.0f, 0.0f, 0.0f};
    enemy->Update(0.016f);
    EXPECT_EQ(physics->velocity, (Vector2{0.0f, 0.0f}));
}

}  // namespace
