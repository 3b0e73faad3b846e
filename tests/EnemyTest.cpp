// Enemies: chasing the player around walls (the camera when there is no player), losing a hit
// point per bullet or flame with a flash, killing the player on contact, bursting when they die,
// and ending the level when the last live enemy dies.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/BoomerangBehavior.h"
#include "gameplay/BulletBehavior.h"
#include "gameplay/FlameBehavior.h"
#include "gameplay/GameMaster.h"
#include "gameplay/NavigationGraph.h"
#include "gameplay/Pathfinding.h"
#include "gameplay/PlayerInput.h"
#include "graphics/GraphicsSystem.h"
#include "graphics/Mesh.h"
#include "graphics/Shader.h"
#include "graphics/Sprite.h"
#include "graphics/Texture.h"
#include "physics/ColliderCircle.h"
#include "physics/Physics.h"
#include "physics/Transform.h"
#include "support/ChildProcess.h"
#include "support/EnginePassTest.h"
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
    EXPECT_TRUE(enemy->IsAlive()) << "one hit point left";
    enemy->OnCollision(bullet);
    EXPECT_FALSE(enemy->IsAlive()) << "the fifth hit";
    EXPECT_TRUE(enemy->bursting) << "the fifth hit";
    enemy->OnCollision(bullet);
    EXPECT_FLOAT_EQ(enemy->health, 0.0f) << "a dying enemy takes no more hits";
}

// The burst keeps the dead enemy in place for its length, without its collider and harmless to
// the player, and then destroys it.
TEST_F(EnemyTest, ADeadEnemyBurstsInPlaceWithoutItsColliderThenGoes) {
    BasicEnemyBehavior* enemy = AddEnemy(1.0f);
    auto* physics = new Physics();
    physics->velocity = {50.0f, 0.0f};
    enemy->owner->AddComponent(physics);
    Collider* bullet = AddShot<BulletBehavior>("Bullet");
    Entity* player = AddEntity("Player", {0.0f, 0.0f});
    auto* input = new PlayerInput(100.0f);
    player->AddComponent(input);
    auto* body = new ColliderCircle();
    player->AddComponent(body);
    FlushAllLists();

    enemy->OnCollision(bullet);
    EXPECT_EQ(physics->velocity, (Vector2{0.0f, 0.0f})) << "it keeps its place";
    enemy->OnCollision(body);
    EXPECT_FALSE(player->destroyed) << "a bursting enemy kills no one";
    FlushAllLists();
    EXPECT_EQ(enemy->owner->GetComponent<ColliderCircle>(), nullptr);

    constexpr float kTick = 1.0f / 60.0f;
    constexpr int kMostTicks = 100;
    int ticks = 0;
    while (!enemy->owner->destroyed && ticks < kMostTicks) {
        enemy->Update(kTick);
        ++ticks;
    }
    EXPECT_TRUE(enemy->owner->destroyed);
    EXPECT_NEAR(static_cast<float>(ticks) * kTick, BasicEnemyBehavior::kBurstSeconds, kTick);
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

// The lines of a text.
std::vector<std::string> Rows(const std::string& text) {
    std::vector<std::string> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        rows.push_back(line);
    }
    return rows;
}

// A small level of 128-unit cells around the origin, drawn as the level scripts draw them: '#'
// a wall, '.' floor; the first row of text is the top row. A pillar stands in the middle and the
// cell right of the walls on the right is a closed pocket.
const std::vector<std::string> kPillarMap = Rows(
    "#########\n"
    "#.....###\n"
    "#..#..#.#\n"
    "#.....###\n"
    "#########\n");
constexpr float kCell = 128.0f;
// The shipped enemy's body: a circle of 0.42 on a 150-unit entity.
constexpr float kShippedRadius = 0.42f;
constexpr float kShippedSize = 150.0f;
constexpr float kTick = 1.0f / 60.0f;

void CreateGraph(const std::vector<std::string>& rows) {
    std::vector<std::int32_t> nodes;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        for (char cell : *row) {
            nodes.push_back(cell == '#' ? NavigationGraph::kBlockedNode : 1);
        }
    }
    const auto columns = rows.empty() ? 0 : static_cast<std::int32_t>(rows.front().size());
    Pathfinding::CreateGraph(std::move(nodes), columns, static_cast<std::int32_t>(rows.size()),
                             {0.0f, 0.0f}, kCell, kCell);
}

// The centre of the cell at `column`, `row` (row 0 at the bottom) of the pillar map.
Vector2 Centre(int column, int row) {
    const auto columns = static_cast<float>(kPillarMap.front().size());
    const auto rows = static_cast<float>(kPillarMap.size());
    return {(static_cast<float>(column) - columns * 0.5f) * kCell,
            (static_cast<float>(row) - rows * 0.5f) * kCell};
}

Vector2 Direction(Vector2 from, Vector2 to) {
    const Vector2 offset = to - from;
    const float length = std::hypot(offset.x, offset.y);
    return {offset.x / length, offset.y / length};
}

class EnemyRouteTest : public EnemyTest {
protected:
    // An enemy at `at` running at 100 units a second, with the shipped body when `withBody`.
    BasicEnemyBehavior* AddRunner(Vector2 at, bool withBody) const {
        Entity* entity = AddEntity("Runner", at);
        auto* enemy = new BasicEnemyBehavior();
        enemy->moveSpeed = 100.0f;
        entity->AddComponent(enemy);
        entity->AddComponent(new Physics());
        if (withBody) {
            entity->GetComponent<Transform>()->scale = {kShippedSize, kShippedSize};
            auto* circle = new ColliderCircle();
            circle->radius = kShippedRadius;
            entity->AddComponent(circle);
        }
        return enemy;
    }

    Entity* AddPlayer(Vector2 at) const {
        Entity* player = AddEntity("Player", at);
        player->AddComponent(new PlayerInput(100.0f));
        return player;
    }

    // The unit direction the enemy runs in after one update.
    static Vector2 RunDirection(BasicEnemyBehavior* enemy) {
        enemy->Update(kTick);
        const Vector2 velocity = enemy->owner->GetComponent<Physics>()->velocity;
        return {velocity.x / enemy->moveSpeed, velocity.y / enemy->moveSpeed};
    }
};

struct RouteCase {
    const char* what;
    bool withGraph;
    Vector2 enemy;
    Vector2 player;
    bool withBody;
    // Where the enemy must run: the centre of a cell, or at the player when there is none.
    std::optional<Vector2> waypoint;
};

TEST_F(EnemyRouteTest, RunsAtThePlayerOrAtTheNextCellOfARouteAroundTheWalls) {
    const Vector2 farLeft = Centre(0, 2) - Vector2{1000.0f, 0.0f};
    // Just above the middle of the cell: a thin line from Centre(1, 2) passes 3 units over the
    // pillar's corner.
    const Vector2 nearCorner = Centre(5, 3) + Vector2{0.0f, 51.2f};
    const std::optional<Vector2> atPlayer;
    const RouteCase cases[] = {
        {"no graph: straight, even through where a wall would be", false, Centre(1, 2),
         Centre(5, 2), false, atPlayer},
        {"a clear corridor as wide as the body: straight", true, Centre(1, 1), Centre(5, 1), true,
         atPlayer},
        {"the pillar between: round it, first cell down and right", true, Centre(1, 2),
         Centre(5, 2), false, Centre(2, 1)},
        {"a thin line passes the pillar's corner: straight", true, Centre(1, 2), nearCorner, false,
         atPlayer},
        {"the body would graze the pillar's corner: round it", true, Centre(1, 2), nearCorner, true,
         Centre(2, 3)},
        {"player outside the map: towards the open cell nearest it", true, Centre(5, 2), farLeft,
         false, Centre(4, 3)},
        {"player inside the pillar: towards the open cell nearest it", true, Centre(1, 3),
         Centre(3, 2), false, Centre(1, 2)},
        {"enemy outside the map: straight", true, farLeft, Centre(5, 2), false, atPlayer},
        {"enemy inside the pillar: straight", true, Centre(3, 2), Centre(5, 2), false, atPlayer},
        {"player in the closed pocket, out of reach: straight", true, Centre(1, 2), Centre(7, 2),
         false, atPlayer},
    };
    for (const RouteCase& c : cases) {
        SCOPED_TRACE(c.what);
        CreateGraph(c.withGraph ? kPillarMap : std::vector<std::string>{});
        BasicEnemyBehavior* enemy = AddRunner(c.enemy, c.withBody);
        Entity* player = AddPlayer(c.player);
        FlushAllLists();
        const Vector2 expected = Direction(c.enemy, c.waypoint.value_or(c.player));
        const Vector2 run = RunDirection(enemy);
        EXPECT_NEAR(run.x, expected.x, 1e-4f);
        EXPECT_NEAR(run.y, expected.y, 1e-4f);
        enemy->owner->Destroy();
        player->Destroy();
        Engine::Instance().originEntity->RemoveDestroyedChildren();
        FlushAllLists();
    }
}

// The routes are planned once for every enemy, and planned again when the player enters another
// cell or the level's graph is replaced: no enemy follows a stale plan.
TEST_F(EnemyRouteTest, RoutesFollowThePlayerAcrossCellsAndANewGraph) {
    CreateGraph(kPillarMap);
    BasicEnemyBehavior* above = AddRunner(Centre(3, 3), false);
    BasicEnemyBehavior* below = AddRunner(Centre(3, 1), false);
    Entity* player = AddPlayer(Centre(3, 1));
    FlushAllLists();
    EXPECT_EQ(RunDirection(below), (Vector2{0.0f, 0.0f})) << "on the player";
    // Round the pillar's right side: the first step is the cell to the right.
    const Vector2 round = RunDirection(above);
    EXPECT_NEAR(round.x, 1.0f, 1e-4f);
    EXPECT_NEAR(round.y, 0.0f, 1e-4f);

    player->GetComponent<Transform>()->SetPosition(Centre(3, 3));
    EXPECT_EQ(RunDirection(above), (Vector2{0.0f, 0.0f})) << "the player came to it";
    const Vector2 back = RunDirection(below);
    EXPECT_NEAR(back.x, 1.0f, 1e-4f);
    EXPECT_NEAR(back.y, 0.0f, 1e-4f);

    // The same level with the pillar gone: straight up.
    std::vector<std::string> open = kPillarMap;
    open[2][3] = '.';
    CreateGraph(open);
    const Vector2 up = RunDirection(below);
    EXPECT_NEAR(up.x, 0.0f, 1e-4f);
    EXPECT_NEAR(up.y, 1.0f, 1e-4f);
}

// Without a player the camera is the target, as in scenes that have none.
TEST_F(EnemyRouteTest, RunsAtThePlayerRatherThanTheCamera) {
    CreateGraph({});
    BasicEnemyBehavior* enemy = AddRunner({0.0f, 0.0f}, false);
    graphics.camera.position = {-300.0f, 0.0f, 0.0f};
    AddPlayer({0.0f, 400.0f});
    FlushAllLists();
    const Vector2 run = RunDirection(enemy);
    EXPECT_NEAR(run.x, 0.0f, 1e-4f);
    EXPECT_NEAR(run.y, 1.0f, 1e-4f);
}

// The enemy turns to face where it runs, at its turning rate: the art looks up unrotated.
TEST_F(EnemyRouteTest, TurnsToFaceTheWayItRuns) {
    CreateGraph({});
    BasicEnemyBehavior* enemy = AddRunner({0.0f, 0.0f}, false);
    AddPlayer({1000.0f, 0.0f});
    FlushAllLists();
    Transform* transform = enemy->owner->GetComponent<Transform>();
    enemy->Update(kTick);
    EXPECT_NEAR(transform->rotation, -BasicEnemyBehavior::kTurnDegreesPerSecond * kTick, 1e-3f)
        << "one tick's turn towards the right";
    for (int tick = 0; tick < 60; ++tick) {
        enemy->Update(kTick);
    }
    EXPECT_NEAR(transform->rotation, -90.0f, 1e-3f) << "facing right";
}

// The enemy's look on the real frame loop and window, read back from the framebuffer: the
// shipped enemy art, 300 units wide at the origin (the window's centre), lit only by the ambient
// light, hit by a real bullet through the collision pass.
class EnemyLookTest : public EnginePassTest {
protected:
    static constexpr int kCentreX = 540;
    static constexpr int kCentreY = 360;
    // Frames to watch after the shot, well past the flash and the burst.
    static constexpr int kWatchedFrames = 40;

    BasicEnemyBehavior* AddTarget(float health) {
        Entity& entity = AddEntity("Grunt", {0.0f, 0.0f}, {300.0f, 300.0f});
        entity.AddComponent(new Sprite(GetMesh(Sprite::kDefaultMesh), GetTexture("enemy.png"),
                                       GetShader(Sprite::kDefaultShader)));
        auto* circle = new ColliderCircle();
        circle->radius = kShippedRadius;
        entity.AddComponent(circle);
        auto* enemy = new BasicEnemyBehavior();
        enemy->health = health;
        entity.AddComponent(enemy);
        return enemy;
    }

    void Shoot() {
        Entity& bullet = AddEntity("Bullet", {0.0f, 0.0f});
        auto* circle = new ColliderCircle();
        circle->radius = 5.0f;
        bullet.AddComponent(circle);
        bullet.AddComponent(new BulletBehavior());
    }

    // How far right of the centre, along the centre row, the last lit pixel lies.
    int Reach() const {
        constexpr int kFurthest = 200;
        int reach = 0;
        for (int x = 0; x <= kFurthest; ++x) {
            if (ReadPixel(kCentreX + x, kCentreY).Brightness() > 0) {
                reach = x;
            }
        }
        return reach;
    }

    // The centre pixel from the frame after the one that shot, kWatchedFrames frames long.
    std::vector<Pixel> WatchAShot(float health, std::vector<int>* reaches = nullptr) {
        std::vector<Pixel> centre;
        int shotFrame = 0;
        probe.onRender = [&](int frame) {
            if (shotFrame == 0) {
                before = ReadPixel(kCentreX, kCentreY);
                restingReach = Reach();
                Shoot();
                shotFrame = frame;
                return;
            }
            centre.push_back(ReadPixel(kCentreX, kCentreY));
            if (reaches != nullptr) {
                reaches->push_back(Reach());
            }
            if (frame - shotFrame >= kWatchedFrames) {
                engine.running = false;
            }
        };
        RunPasses([&] {
            engine.paused = false;
            AddTarget(health);
        });
        return centre;
    }

    Pixel before;
    int restingReach = 0;
};

TEST_F(EnemyLookTest, AHitItSurvivesFlashesItBrightForATenthOfASecond) {
    const std::vector<Pixel> centre = WatchAShot(2.0f);
    ASSERT_EQ(centre.size(), static_cast<std::size_t>(kWatchedFrames));
    ASSERT_GT(before.Brightness(), 0) << "the enemy is drawn at the centre";
    // One tick per frame: the flash shows from the frame of the hit for about 0.1 s of ticks.
    std::size_t flashing = 0;
    while (flashing < centre.size() && centre[flashing].Brightness() > 2 * before.Brightness()) {
        ++flashing;
    }
    const auto flashTicks = static_cast<std::size_t>(BasicEnemyBehavior::kFlashSeconds * 60.0f);
    EXPECT_GE(flashing, flashTicks - 1);
    EXPECT_LE(flashing, flashTicks + 1);
    for (std::size_t frame = flashing; frame < centre.size(); ++frame) {
        SCOPED_TRACE("frame " + std::to_string(frame) + " after the shot");
        EXPECT_EQ(centre[frame].r, before.r);
        EXPECT_EQ(centre[frame].g, before.g);
        EXPECT_EQ(centre[frame].b, before.b);
    }
}

TEST_F(EnemyLookTest, ItsDeathBurstsWarmGrowingAndFadingWhereItStoodThenNothing) {
    std::vector<int> reaches;
    const std::vector<Pixel> centre = WatchAShot(1.0f, &reaches);
    ASSERT_EQ(centre.size(), static_cast<std::size_t>(kWatchedFrames));
    ASSERT_GT(restingReach, 0);
    // The frames in which anything is drawn at the centre: the burst, from the hit on.
    std::size_t burst = 0;
    while (burst < centre.size() && centre[burst].Brightness() > 0) {
        ++burst;
    }
    const auto burstTicks = static_cast<std::size_t>(BasicEnemyBehavior::kBurstSeconds * 60.0f);
    EXPECT_GE(burst, burstTicks - 1);
    EXPECT_LE(burst, burstTicks + 1);
    ASSERT_GE(burst, 2u);
    EXPECT_GT(centre.front().Brightness(), 2 * before.Brightness()) << "a bright burst";
    EXPECT_GT(centre.front().r, centre.front().b) << "a warm burst";
    EXPECT_LT(centre[burst - 1].Brightness(), centre.front().Brightness()) << "fading";
    const int widest = *std::max_element(reaches.begin(), reaches.begin() + burst);
    EXPECT_GE(widest * 2, restingReach * 3) << "growing to half as wide again and more";
    for (std::size_t frame = burst; frame < centre.size(); ++frame) {
        EXPECT_EQ(centre[frame].Brightness(), 0) << "frame " << frame << ": gone";
        EXPECT_EQ(reaches[frame], 0) << "frame " << frame << ": gone";
    }
}

// The shipped first level, reduced to its player and one enemy behind a wall: the enemy stands
// in the pocket right of the wall that runs down from the top at column 13, on the player's row
// (cell row 5 from the top), with the wall between them. Running straight at the player would pin
// it against the wall for good; it must run round and reach the player, which loses the game.
class EnemyLevelTest : public EnginePassTest {
protected:
    // Cell centres of the shipped first level (30 x 17 cells of 128 units around the origin).
    static Vector2 LevelCell(int column, int rowFromTop) {
        return {static_cast<float>(column) * 128.0f - 1920.0f,
                static_cast<float>(16 - rowFromTop) * 128.0f - 1088.0f};
    }

    void WriteLevel(Vector2 player, Vector2 enemy) const {
        namespace fs = std::filesystem;
        const fs::path source = fs::path(TARNWICK_SOURCE_DIR) / "Data";
        for (const char* folder : {"Scenes", "Tilemaps"}) {
            fs::copy(source / folder, tree.root() / "Data" / folder,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        }
        using json = nlohmann::json;
        const json shipped = json::parse(ReadFileText(source / "Scenes" / "MainScene.json"));
        json level = {{"BorderWalls", shipped.at("BorderWalls")},
                      {"Level", shipped.at("Level")},
                      {"Player", shipped.at("Player")},
                      {"Enemy0", shipped.at("Enemy0")}};
        level["Player"]["Transform"]["Transform"]["position"] = {{"x", player.x}, {"y", player.y}};
        level["Enemy0"]["Transform"]["Transform"]["position"] = {{"x", enemy.x}, {"y", enemy.y}};
        tree.WriteFile("Data/Scenes/BehindTheWall.json", level.dump(2));
    }
};

TEST_F(EnemyLevelTest, AnEnemyBehindAWallRunsRoundItAndReachesThePlayer) {
    const Vector2 playerAt = LevelCell(10, 5);
    const Vector2 enemyAt = LevelCell(15, 5);
    WriteLevel(playerAt, enemyAt);
    // A straight run takes two seconds; this is ten times as long.
    constexpr std::uint64_t kMostTicks = 60 * 20;
    bool sawTheWall = false;
    bool lost = false;
    std::uint64_t start = 0;
    probe.onUpdate = [&](int) {
        lost = SceneSystem::Instance().currentSceneName == PlayerInput::kLoseScene;
        if (lost || engine.tickCount - start > kMostTicks) {
            engine.running = false;
            return;
        }
        // Once the level's graph is built: no straight line joins the two.
        if (Pathfinding::Graph().columns > 0 && !sawTheWall) {
            sawTheWall = !Pathfinding::Graph().ClearPath(enemyAt, playerAt, 0.0f);
        }
    };
    RunPasses([&] {
        engine.paused = false;
        SceneSystem::Instance().ChangeScene("BehindTheWall.json");
        start = engine.tickCount;
    });
    EXPECT_TRUE(sawTheWall) << "the wall stands between them";
    EXPECT_TRUE(lost) << "the enemy never reached the player";
}

}  // namespace
