// The game flow as a person plays it, on the real engine loop with real X input on a private X
// server: the shipped menu's Start button opens the shipped first level (walls built from its
// tile map stop the player, enemies run at it); shooting the last enemy of a level opens the
// level's next scene; an enemy's touch opens the lose scene, whose Menu button returns to the
// menu; a right click plans a route around a wall that the player then follows. A fire button held
// through a lose screen presses nothing there, a click in a button's corner presses it, and the
// weapon the player chose carries into the next level.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/Engine.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/Button.h"
#include "gameplay/Hud.h"
#include "gameplay/Pathfinding.h"
#include "gameplay/PlayerInput.h"
#include "gameplay/Weapon.h"
#include "gameplay/WeaponType.h"
#include "graphics/GraphicsSystem.h"
#include "physics/ColliderLine.h"
#include "physics/Physics.h"
#include "physics/Transform.h"
#include "support/ChildProcess.h"
#include "support/InGameTest.h"
#include "testbed/SceneChild.h"
#include "support/SceneJson.h"
#include "support/TraceMessages.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

constexpr int kTile = 128;
constexpr int kLeft = DisplayWindow::kLeftButton;
constexpr int kRight = DisplayWindow::kRightButton;
// The window is 1080 x 720 pixels over 3240 x 2160 world units, centred on the camera.
constexpr int kCentreX = 540;
constexpr int kCentreY = 360;
constexpr float kPixelsPerUnitX = 1080.0f / 3240.0f;
constexpr float kPixelsPerUnitY = 720.0f / 2160.0f;
// A player that has not come nearer the wall for this long (the engine's own time) stands at it.
constexpr float kStillSeconds = 0.5f;
// The HUD's colour for a level's announcement (unlit: drawn as it is).
constexpr Rgb kAnnounceColour{255, 235, 191};

json Solid(double radius) {
    return EntryJson("Collider", {{"type", 0},
                                  {"relativePos", VectorJson(0, 0)},
                                  {"radius", radius},
                                  {"is solid", true}});
}

// A level drawn as text rows (top row first): '#' wall, '.' floor.
json TileMap(const std::vector<std::string>& rows) {
    json data = json::array();
    for (const std::string& row : rows) {
        for (char cell : row) {
            data.push_back(cell == '#' ? 5 : 1);
        }
    }
    const auto tile = [](int id, const char* image, const char* archetype) {
        return json{{"id", id}, {"image", std::string("../Assets/Textures/") + image},
                    {"imagewidth", 32}, {"imageheight", 32},
                    {"properties", json::array({{{"name", "archetype"}, {"value", archetype}}})}};
    };
    json tiles = json::array();
    tiles.push_back(tile(0, "bricks.png", "floor"));
    tiles.push_back(tile(4, "border.png", "border"));
    const int width = static_cast<int>(rows[0].size());
    const int height = static_cast<int>(rows.size());
    return {{"width", width}, {"height", height}, {"tilewidth", kTile}, {"tileheight", kTile},
            {"layers", json::array({{{"data", data}},
                                    {{"data", json::array_t(data.size(), 0)}}})},
            {"tilesets", json::array({{{"firstgid", 1}, {"tiles", tiles}}})}};
}

// World position of a cell of such a level (the tile map at the origin), column and row counted
// from the top left as drawn.
Vector2 Cell(const std::vector<std::string>& rows, int column, int rowFromTop) {
    const int height = static_cast<int>(rows.size());
    const int width = static_cast<int>(rows[0].size());
    const int row = height - 1 - rowFromTop;
    return {static_cast<float>(column * kTile - kTile * width * 0.5),
            static_cast<float>(row * kTile - kTile * height * 0.5)};
}

class GameFlowTest : public InGameTest {
protected:
    void SetUp() override { tree.CopyShippedData(); }

    // Starts on the given scene instead of the shipped start scene.
    void StartOn(const std::string& scene) const {
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "FlowTest.json");
        tree.WriteFile("Data/EngineSettingFiles/FlowTest.json",
                       json{{"defaultEntityFile", "Scenes/" + scene},
                            {"runOnStart", "1"},
                            {"showTools", "0"}}
                           .dump());
    }

    // A level of the test's own: the tile map, a player at a cell, enemies at cells, and the
    // scene that follows it.
    void WriteArena(const std::string& scene, const std::vector<std::string>& rows,
                    std::pair<int, int> playerCell, const std::vector<std::pair<int, int>>& enemies,
                    double enemySpeed, const std::string& next) const {
        tree.WriteFile("Data/Tilemaps/" + scene, TileMap(rows).dump());
        const Vector2 p = Cell(rows, playerCell.first, playerCell.second);
        json player = PlayerJson(p.x, p.y, 150, 600.0);
        player["Collider"] = Solid(0.42);
        player["Camera"] = EntryJson("Camera", nullptr);
        player["Pathfinding"] = EntryJson("Pathfinding", {{"followSpeed", 600.0}});
        json level = {{"BorderWalls", {{"Transform", TransformJson(0, 0, 1)},
                                       {"Tilemap", EntryJson("Tilemap", {{"filepath", scene}})}}},
                      {"Level", {{"GameMaster", EntryJson("GameMaster", {{"nextSceneName", next}})}}},
                      {"Player", player}};
        int n = 0;
        for (const auto& [column, row] : enemies) {
            const Vector2 e = Cell(rows, column, row);
            level["Enemy" + std::to_string(n++)] = {
                {"Transform", TransformJson(e.x, e.y, 150)},
                {"Physics", PhysicsJson()},
                {"Sprite", SpriteJson("enemy.png")},
                {"BasicEnemyBehavior",
                 EntryJson("BasicEnemyBehavior", {{"moveSpeed", enemySpeed}, {"health", 2.0}})},
                {"Collider", Solid(0.42)}};
        }
        tree.WriteFile("Data/Scenes/" + scene, level.dump(2));
    }

    std::string SceneOnScreen() const {
        return LastSceneSwitch(TraceMessages(tree.perUserData() / "Trace_Log.txt"));
    }

    static Entity* Named(const std::string& name) { return SceneChildNamed(name); }

    static std::vector<Entity*> Enemies() {
        std::vector<Entity*> found;
        for (const auto& layer : ComponentListSystem<BasicEnemyBehavior>::Instance().Layers()) {
            for (BasicEnemyBehavior* enemy : layer) {
                if (enemy->owner != nullptr && !enemy->owner->destroyed) {
                    found.push_back(enemy->owner);
                }
            }
        }
        return found;
    }


    static std::size_t ButtonPresses(const std::string& output) {
        return CountOccurrences(output, "button pressed\n");
    }

    // Steps that point at the window's centre, wait until the scene's button `name` is hovered,
    // and press and release the left mouse button over it.
    void PressCentreButton(const std::string& name) {
        PointAt(kCentreX, kCentreY);
        Until([name] {
            Entity* button = Named(name);
            return button != nullptr && button->GetComponent<Button>()->wasHovered;
        });
        ButtonDown(kLeft);
        ButtonUp(kLeft);
    }
};

TEST_F(GameFlowTest, StartButtonOpensTheFirstLevelWhoseWallsStopThePlayerAndWhoseEnemiesChase) {
    Transform* player = nullptr;
    float stoppedAtX = 0.0f;
    float startDistance = 0.0f;
    float closest = 0.0f;
    const auto nearestEnemy = [&] {
        float distance = 1e9f;
        for (Entity* enemy : Enemies()) {
            const Vector2 d = enemy->GetComponent<Transform>()->position - player->position;
            distance = std::min(distance, std::hypot(d.x, d.y));
        }
        return distance;
    };
    // The shipped menu: the Start button sits at the window's centre.
    Until([&] { return SceneOnScreen() == "MenuScene.json"; });
    PressCentreButton("StartButton");
    Until([&] { return SceneOnScreen() == "MainScene.json"; });
    // The level's wall outline is built from its tile map.
    Until([&] {
        Entity* walls = Named("BorderWalls");
        Entity* hero = Named("Player");
        if (walls == nullptr || hero == nullptr || walls->GetComponent<ColliderLine>() == nullptr) {
            return false;
        }
        player = hero->GetComponent<Transform>();
        EXPECT_FALSE(Enemies().empty());
        startDistance = nearestEnemy();
        return true;
    });
    // Invincible, so the chase can be watched without dying.
    KeyDown("shift");
    PressKey("i");
    KeyUp("shift");
    Until([&] {
        closest = nearestEnemy();
        return closest < startDistance;
    });
    // The nuke clears the level of enemies, so none jostles the player in the wall test.
    KeyDown("shift");
    KeyDown("n");
    Until([&] { return Enemies().empty(); });
    KeyUp("n");
    KeyUp("shift");
    // Walking left into the outer wall: the player stops at it and never enters it.
    KeyDown("a");
    Until([&, lastProgress = 0.0f, leftmost = 1e9f]() mutable {
        if (player->position.x < leftmost - 0.5f) {
            lastProgress = engine.totalTime;
        }
        leftmost = std::min(leftmost, player->position.x);
        stoppedAtX = leftmost;
        return engine.totalTime - lastProgress > kStillSeconds;
    });
    KeyUp("a");
    Play();
    EXPECT_LT(closest, startDistance) << "the nearest enemy came closer";
    // The shipped level is 30 columns of 128 units centred on the origin: the inner edge of the
    // left wall lies at x = -1920 + 64 = -1856, and the player's circle (radius 63) stays out.
    EXPECT_GT(stoppedAtX, -1856.0f + 60.0f);
    EXPECT_LT(stoppedAtX, -1856.0f + 80.0f) << "it walked all the way to the wall";
}

const std::vector<std::string> kOpenArena{
    "############",
    "#..........#",
    "#..........#",
    "#..........#",
    "#..........#",
    "#..........#",
    "############",
};

TEST_F(GameFlowTest, ShootingTheLastEnemyOpensTheLevelsNextScene) {
    // Two slow enemies in a row to the right of the player; the pointer to the right as well.
    WriteArena("Arena.json", kOpenArena, {2, 3}, {{8, 3}, {10, 3}}, 40.0, "WinScene.json");
    StartOn("Arena.json");
    Until([&] { return Named("Player") != nullptr && Enemies().size() == 2; });
    // The camera follows the player, so the player is at the window's centre.
    PointAt(1000, kCentreY);
    ButtonDown(kLeft);
    Until([&] {
        EXPECT_NE(SceneOnScreen(), "LoseScene.json");
        return SceneOnScreen() == "WinScene.json";
    });
    ButtonUp(kLeft);
    Do([&] { window.Shot("win-screen"); });
    Play();
    const std::string trace = ReadFileText(tree.perUserData() / "Trace_Log.txt");
    EXPECT_EQ(CountOccurrences(trace, std::string(kSceneSwitchTrace) + "WinScene.json"), 1u);
}

TEST_F(GameFlowTest, AnEnemysTouchOpensTheLoseSceneWhoseMenuButtonReturnsToTheMenu) {
    WriteArena("Arena.json", kOpenArena, {2, 3}, {{5, 3}}, 500.0, "WinScene.json");
    StartOn("Arena.json");
    Until([&] { return SceneOnScreen() == "LoseScene.json"; });
    Do([&] { EXPECT_EQ(Named("Player"), nullptr) << "the player is gone with the level"; });
    PressCentreButton("MenuButton");
    Until([&] { return SceneOnScreen() == "MenuScene.json"; });
    Play();
}

TEST_F(GameFlowTest, RightClickRouteGoesAroundAWallToThePointedCell) {
    const std::vector<std::string> rows{
        "############",
        "#....#.....#",
        "#....#.....#",
        "#....#.....#",
        "#..........#",
        "#....#.....#",
        "############",
    };
    WriteArena("Maze.json", rows, {2, 2}, {}, 0.0, "WinScene.json");
    StartOn("Maze.json");
    const Vector2 goalPoint = Cell(rows, 8, 2);
    // The camera follows the player, who stands still on its cell until the click: the goal's
    // window pixel is its distance from the player's cell, scaled.
    const Vector2 startPoint = Cell(rows, 2, 2);
    const int goalX = kCentreX + static_cast<int>((goalPoint.x - startPoint.x) * kPixelsPerUnitX);
    const int goalY = kCentreY - static_cast<int>((goalPoint.y - startPoint.y) * kPixelsPerUnitY);
    Transform* player = nullptr;
    Pathfinding* follower = nullptr;
    // Nodes are numbered once the tile map has built its graph.
    int goal = -1;
    std::vector<int> route;
    bool enteredWall = false;
    probe.onUpdate = [&](int) {
        if (player == nullptr) {
            return;
        }
        const int node = Pathfinding::NodeOfPoint(player->position);
        const int column = node % 12;
        const int rowFromTop = 6 - node / 12;
        enteredWall = enteredWall || rows[rowFromTop][column] == '#';
    };
    Until([&] {
        Entity* hero = Named("Player");
        Entity* walls = Named("BorderWalls");
        if (hero == nullptr || walls == nullptr || walls->GetComponent<ColliderLine>() == nullptr) {
            return false;
        }
        player = hero->GetComponent<Transform>();
        follower = hero->GetComponent<Pathfinding>();
        goal = Pathfinding::NodeOfPoint(goalPoint);
        return true;
    });
    PointAt(goalX, goalY);
    // The right button is held until the player has its route.
    ButtonDown(kRight);
    Until([&] {
        route = follower->path;
        return !route.empty();
    });
    ButtonUp(kRight);
    Until([&] {
        const Vector2 velocity = player->owner->GetComponent<Physics>()->velocity;
        return follower->path.empty() && velocity == Vector2{} &&
               Pathfinding::NodeOfPoint(player->position) == goal;
    });
    Play();
    ASSERT_FALSE(route.empty());
    EXPECT_EQ(route.back(), goal);
    // The only way through the wall column is the gap in the second row from the bottom.
    const int gap = Pathfinding::NodeOfPoint(Cell(rows, 5, 4));
    EXPECT_NE(std::find(route.begin(), route.end(), gap), route.end());
    EXPECT_FALSE(enteredWall);
}

// An enemy's touch while the fire button is held: the button is let go over the lose screen's
// Menu button, which must not take that release as a press; a click of its own does.
TEST_F(GameFlowTest, AFireButtonHeldIntoTheLoseScreenPressesNothingThere) {
    WriteArena("Arena.json", kOpenArena, {2, 3}, {{5, 3}}, 500.0, "WinScene.json");
    StartOn("Arena.json");
    Until([&] { return Named("Player") != nullptr; });
    // The lose screen's Menu button lies at the window's centre.
    PointAt(kCentreX, kCentreY);
    ButtonDown(kLeft);
    Until([&] {
        Entity* button = Named("MenuButton");
        return SceneOnScreen() == "LoseScene.json" && button != nullptr &&
               button->GetComponent<Button>()->wasHovered;
    });
    float releasedAt = 0.0f;
    CaptureStdout();
    ButtonUp(kLeft);
    Do([&] { releasedAt = engine.totalTime; });
    // Long enough for a press to have acted: a scene switch is at most a tick away.
    Until([&] { return engine.totalTime - releasedAt > 0.5f; });
    std::string afterRelease;
    Do([&] {
        afterRelease = GetCapturedStdout();
        EXPECT_EQ(SceneOnScreen(), "LoseScene.json");
        CaptureStdout();
    });
    PressCentreButton("MenuButton");
    Until([&] { return SceneOnScreen() == "MenuScene.json"; });
    Play();
    const std::string afterClick = GetCapturedStdout();
    EXPECT_EQ(ButtonPresses(afterRelease), 0u) << afterRelease;
    EXPECT_EQ(ButtonPresses(afterClick), 1u) << afterClick;
}

// The hit area is the button's rectangle: a point near its corner lies outside any circle that
// fits the button's height, and still presses it.
TEST_F(GameFlowTest, AClickNearAButtonsCornerPressesIt) {
    Until([&] { return SceneOnScreen() == "MenuScene.json" && Named("StartButton") != nullptr; });
    Place corner = [&] {
        Transform* button = Named("StartButton")->GetComponent<Transform>();
        const Vector2 centre = button->GetWorldPosition();
        // 92% of the way to the top right corner of the drawn rectangle.
        return WindowPixelOf({centre.x + button->scale.x * 0.46f,
                              centre.y + button->scale.y * 0.46f});
    };
    PointAt(corner);
    Until([&] { return Named("StartButton")->GetComponent<Button>()->wasHovered; });
    // Hovered, the button grows a little: the same point is still well inside it.
    ButtonDown(kLeft);
    ButtonUp(kLeft);
    Until([&] { return SceneOnScreen() == "MainScene.json"; });
    Play();
}

// The weapon chosen in a level is the one the player holds in the next; the next level announces
// itself with its name over the play.
TEST_F(GameFlowTest, TheChosenWeaponCarriesIntoTheNextLevel) {
    WriteArena("Arena.json", kOpenArena, {2, 3}, {{6, 3}}, 40.0, "Level2Scene.json");
    StartOn("Arena.json");
    Until([&] { return Named("Player") != nullptr && Enemies().size() == 1; });
    PressKey("3");  // the sniper
    Until([&] {
        return Named("Player")->GetComponent<Weapon>()->weaponType ==
               static_cast<std::int32_t>(WeaponType::SNIPER);
    });
    Place enemy = [&] { return WindowPixelOf(Enemies().at(0)->GetComponent<Transform>()->position); };
    PointAt(enemy);
    ButtonDown(kLeft);
    Until([&] { return SceneOnScreen() == "Level2Scene.json" && Named("Player") != nullptr; });
    ButtonUp(kLeft);
    std::int32_t carried = -1;
    Do([&] { carried = Named("Player")->GetComponent<Weapon>()->weaponType; });
    // Once the level is built, and while its name is still on the screen.
    Until([&] {
        Entity* walls = Named("BorderWalls");
        return walls != nullptr && walls->GetComponent<ColliderLine>() != nullptr;
    });
    Screenshot announced;
    Screenshot later;
    Do([&] {
        EXPECT_GT(Named("HeadsUpDisplay")->GetComponent<Hud>()->announceSecondsLeft, 1.0f);
        announced = window.Shot("level2-announcement");
    });
    Until([&] { return Named("HeadsUpDisplay")->GetComponent<Hud>()->announceSecondsLeft == 0.0f; });
    Do([&] { later = window.Shot("level2-after-the-announcement"); });
    Play();
    EXPECT_EQ(carried, static_cast<std::int32_t>(WeaponType::SNIPER));
    // "LEVEL 2" in large letters, unlit, in the announcement's own colour.
    EXPECT_GT(announced.CountColour(kAnnounceColour), 2000);
    EXPECT_LT(later.CountColour(kAnnounceColour), 50);
}

}  // namespace
