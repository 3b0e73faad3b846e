// A tile-map level as a player meets it: a scene file with a tile map, a ball and a player, run on
// the real engine loop on an X server of the test's own. The map builds itself in its first
// frames, its wall outline stops a solid ball, and a real right click walks the player around the
// wall to the clicked cell.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/Engine.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "gameplay/NavigationGraph.h"
#include "gameplay/Pathfinding.h"
#include "physics/ColliderLine.h"
#include "physics/Physics.h"
#include "physics/Transform.h"
#include "support/InGameTest.h"
#include "testbed/SceneChild.h"
#include "support/TraceMessages.h"

namespace {

using nlohmann::json;

// 7 x 5 cells of 200 units, floor (4) everywhere but a wall (5) up the middle column from the
// bottom row to the fourth; rows count from the bottom, as the route graph numbers its nodes.
// Cell points lie at (col x 200 - 700, row x 200 - 500); the wall spans x -200 .. 0 and
// y -600 .. 200.
constexpr int kColumns = 7;
constexpr int kRows = 5;
constexpr int kCell = 200;
constexpr float kWallLeft = -200.0f;
constexpr float kRadius = 32.0f;
// The player starts on node 7 (row 1, column 0) and is sent to node 13 (row 1, column 6), at
// world (500, -300): window pixel (681, 460).
constexpr std::int32_t kStartNode = 7;
constexpr std::int32_t kGoalNode = 13;
constexpr int kGoalPixelX = 681;
constexpr int kGoalPixelY = 460;
// Of the engine's own time: long enough for the ball to reach the wall and lean on it.
constexpr float kSettleSeconds = 2.5f;

json LevelMap() {
    std::vector<int> cells(kColumns * kRows, 4);
    // The file lists the rows top first.
    for (int row = 0; row < 4; ++row) {
        cells[(kRows - 1 - row) * kColumns + 3] = 5;
    }
    const auto tile = [](int id, const char* archetype) {
        return json{
            {"id", id},
            {"image", std::string("../tiles/") + archetype + ".png"},
            {"imagewidth", 32},
            {"imageheight", 32},
            {"properties", {{{"name", "archetype"}, {"type", "string"}, {"value", archetype}}}}};
    };
    return json{
        {"width", kColumns},
        {"height", kRows},
        {"tilewidth", kCell},
        {"tileheight", kCell},
        {"layers", {{{"data", cells}}, {{"data", std::vector<int>(cells.size())}}}},
        {"tilesets", {{{"firstgid", 1}, {"tiles", {tile(3, "floor"), tile(4, "border")}}}}}};
}

json Entry(const std::string& name, json data) {
    return {{name, std::move(data)}, {"Update layer", 2}};
}

json Vector(float x, float y) {
    return {{"x", x}, {"y", y}};
}

json Mover(Vector2 position, Vector2 velocity) {
    return {
        {"Transform", Entry("Transform", {{"position", Vector(position.x, position.y)},
                                          {"rotation", 0},
                                          {"scale", Vector(80.0f, 80.0f)}})},
        {"Physics", Entry("Physics", {{"velocity", Vector(velocity.x, velocity.y)},
                                      {"acceleration", Vector(0, 0)},
                                      {"oldPosition", Vector(0, 0)},
                                      {"newPosition", Vector(0, 0)}})},
        {"Collider", Entry("Collider", {{"type", 0},
                                        {"relativePos", Vector(0, 0)},
                                        {"radius", kRadius / 80.0f},
                                        {"is solid", true}})},
    };
}

std::string LevelScene(const std::string& mapFile = "level.json") {
    json player = Mover({-700.0f, -300.0f}, {0.0f, 0.0f});
    player["PlayerInput"] = Entry("PlayerInput", {{"speed", 600.0}});
    player["Pathfinding"] = Entry("Pathfinding", {{"followSpeed", 500.0}});
    return json{
        {"Walls",
         {{"Transform",
           Entry("Transform",
                 {{"position", Vector(0, 0)}, {"rotation", 0}, {"scale", Vector(1, 1)}})},
          {"Tilemap", Entry("Tilemap", {{"filepath", mapFile}})}}},
        // On the bottom row, heading right into the wall.
        {"Ball", Mover({-500.0f, -500.0f}, {300.0f, 0.0f})},
        {"Player", player},
    }
        .dump(2);
}

class TilemapInGameTest : public InGameTest {
protected:
    void SetUp() override {
        std::filesystem::copy_file(
            std::filesystem::path(TARNWICK_SOURCE_DIR) / "Data" / "DefaultInputMappings.txt",
            tree.root() / "Data" / "DefaultInputMappings.txt");
        tree.WriteFile("Data/Tilemaps/level.json", LevelMap().dump(2));
        tree.WriteFile("Data/Scenes/Level.json", LevelScene());
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Play.json");
        tree.WriteFile("Data/EngineSettingFiles/Play.json",
                       R"({"defaultEntityFile": "Scenes/Level.json", "runOnStart": "1"})");
    }
};

TEST_F(TilemapInGameTest, WallsStopABallAndARightClickWalksThePlayerAroundThem) {
    float start = 0.0f;
    bool settling = true;
    bool walking = false;
    float ballFurthest = -1.0e9f;
    std::size_t wallColliders = 0;
    std::size_t wallCells = 0;
    bool routePlanned = false;
    bool arrived = false;
    std::vector<std::int32_t> visited;
    const auto playerNode = [] {
        return Pathfinding::NodeOfPoint(
            SceneChildNamed("Player")->GetComponent<Transform>()->GetWorldPosition());
    };
    const auto route = [] { return SceneChildNamed("Player")->GetComponent<Pathfinding>(); };

    // Watched after the collision pass of every frame. The ball only while the loop runs
    // undisturbed: the input below is sent from inside a frame, and a frame stretched that long
    // (a sanitized build, a busy machine) carries a body leaning on a wall across the wall's
    // line, as any frame that long would.
    probe.onUpdate = [&](int) {
        if (settling) {
            ballFurthest = std::max(ballFurthest,
                                    SceneChildNamed("Ball")->GetComponent<Transform>()->position.x);
        }
        if (walking && (visited.empty() || playerNode() != visited.back())) {
            visited.push_back(playerNode());
        }
    };
    Until([&] { return engine.totalTime - start > kSettleSeconds; });
    Do([&] {
        settling = false;
        wallCells = SceneChildNamed("Walls")->children.size();
        for (const auto& layer : ComponentListSystem<ColliderLine>::Instance().Layers()) {
            wallColliders += layer.size();
        }
    });
    PointAt(kGoalPixelX, kGoalPixelY);
    // The right button is held until the player has a route.
    ButtonDown(DisplayWindow::kRightButton);
    Until([&] {
        routePlanned = !route()->path.empty();
        walking = routePlanned;
        return routePlanned;
    });
    ButtonUp(DisplayWindow::kRightButton);
    Until([&] {
        if (!route()->path.empty()) {
            return false;
        }
        arrived =
            playerNode() == kGoalNode &&
            SceneChildNamed("Player")->GetComponent<Physics>()->velocity == Vector2{0.0f, 0.0f};
        return true;
    });
    Play([&] { start = engine.totalTime; });

    EXPECT_EQ(wallColliders, 1u) << "one outline for the whole map";
    EXPECT_EQ(wallCells, static_cast<std::size_t>(kColumns * kRows)) << "floor and wall objects";
    EXPECT_LT(ballFurthest, kWallLeft - kRadius + 0.5f) << "the ball never entered the wall";
    EXPECT_GT(ballFurthest, kWallLeft - kRadius - 10.0f) << "the ball reached the wall";

    EXPECT_TRUE(routePlanned) << "the right click planned a route";
    ASSERT_FALSE(visited.empty());
    EXPECT_EQ(visited.front(), kStartNode);
    EXPECT_TRUE(arrived) << "stopped on node " << visited.back();
    for (std::int32_t node : visited) {
        EXPECT_FALSE(node % kColumns == 3 && node / kColumns < 4)
            << "walked through wall cell " << node;
    }

    const std::vector<std::string> trace = TraceMessages(tree.perUserData() / "Trace_Log.txt");
    EXPECT_EQ(std::count(trace.begin(), trace.end(), Pathfinding::kGraphCreatedTrace), 1);
    for (const std::string& line : trace) {
        EXPECT_FALSE(line.starts_with("ERROR: ")) << line;
    }
}

TEST_F(TilemapInGameTest, AMapAndTileSetUnderTheEditorsOwnFileNamesLoadInTheRunningGame) {
    // The level saved as "level.tmj", its tile set moved into "sets/level.tsj" and named by the
    // map with its first id: the game reads both from its per-user copy of the data.
    json level = LevelMap();
    json tileSet = level["tilesets"][0];
    tileSet.erase("firstgid");
    level["tilesets"] = {{{"firstgid", 1}, {"source", "sets/level.tsj"}}};
    tree.WriteFile("Data/Tilemaps/sets/level.tsj", tileSet.dump(2));
    tree.WriteFile("Data/Tilemaps/level.tmj", level.dump(2));
    tree.WriteFile("Data/Scenes/Level.json", LevelScene("level.tmj"));

    const std::filesystem::path log = tree.perUserData() / "Trace_Log.txt";
    const auto reported = [&log] {
        const std::vector<std::string> trace = TraceMessages(log);
        return std::any_of(trace.begin(), trace.end(),
                           [](const std::string& line) { return line.starts_with("ERROR: "); });
    };
    std::size_t wallCells = 0;
    Until([&] {
        wallCells = SceneChildNamed("Walls")->children.size();
        return wallCells > 0 || reported();
    });
    Play();

    EXPECT_EQ(wallCells, static_cast<std::size_t>(kColumns * kRows)) << "floor and wall objects";
    for (const std::string& line : TraceMessages(log)) {
        EXPECT_FALSE(line.starts_with("ERROR: ")) << line;
    }
}

}  // namespace
