// Route planning over the navigation graph (neighbour order, breadth-first ties, corners that are
// never cut, blocked ends, the conversions between points and nodes, the step counts, nearest
// open cells and clear straight paths that enemies chase by) and click-to-move: planning
// on a right click, following the route with Physics to the goal, cancelling by keyboard, the
// debug lines of the remaining route, and the speed read from entity files.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "entities/Entity.h"
#include "gameplay/NavigationGraph.h"
#include "gameplay/Pathfinding.h"
#include "gameplay/PlayerInput.h"
#include "graphics/DebugDrawSystem.h"
#include "physics/Physics.h"
#include "physics/Transform.h"
#include "support/GameplayTest.h"
#include "support/TraceMessages.h"

namespace {

using Route = std::vector<std::int32_t>;

constexpr std::int32_t X = NavigationGraph::kBlockedNode;
const std::vector<std::int32_t> kOpen3x3(9, 0);
const std::vector<std::int32_t> kCentreBlocked{0, 0, 0, 0, X, 0, 0, 0, 0};

NavigationGraph Grid3x3(std::vector<std::int32_t> cells) {
    return NavigationGraph(std::move(cells), 3, 3, {0.0f, 0.0f}, 10.0f, 10.0f);
}

struct RouteCase {
    const char* name;
    std::vector<std::int32_t> cells;
    std::int32_t start;
    std::int32_t goal;
    Route route;
};

TEST(NavigationGraphTest, BreadthFirstRoutesTakeTheFirstShortestInNeighbourOrder) {
    const std::vector<RouteCase> cases{
        {"open, corner to corner goes diagonally", kOpen3x3, 0, 8, {0, 4, 8}},
        {"open, along the bottom row", kOpen3x3, 0, 2, {0, 1, 2}},
        {"centre blocked: over 1 and 2 before 3 and 6", kCentreBlocked, 0, 8, {0, 1, 2, 5, 8}},
        {"1 and 3 blocked: the diagonal would cut both corners",
         {0, X, 0, X, 0, 0, 0, 0, 0},
         0,
         4,
         {}},
        {"1 blocked: around the corner, not across it",
         {0, X, 0, 0, 0, 0, 0, 0, 0},
         0,
         4,
         {0, 3, 4}},
        {"a blocked start is still left", kCentreBlocked, 4, 0, {4, 0}},
        {"a blocked goal is never reached", kCentreBlocked, 0, 4, {}},
        {"start and goal the same", kOpen3x3, 5, 5, {5}},
        {"goal beyond the last node", kOpen3x3, 0, 9, {}},
        {"negative start", kOpen3x3, -1, 4, {}},
    };
    for (const RouteCase& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Grid3x3(row.cells).FindPath(row.start, row.goal), row.route);
    }
}

struct NeighbourCase {
    std::int32_t node;
    Route neighbours;
};

TEST(NavigationGraphTest, NeighboursComeStraightFirstThenTheDiagonalsBetweenThem) {
    const NavigationGraph open = Grid3x3(kOpen3x3);
    const std::vector<NeighbourCase> cases{
        {4, {1, 5, 7, 3, 2, 8, 6, 0}}, {0, {1, 3, 4}}, {8, {5, 7, 4}}, {2, {5, 1, 4}},
        {7, {4, 8, 6, 5, 3}},
    };
    for (const NeighbourCase& row : cases) {
        SCOPED_TRACE(row.node);
        const NavigationGraph::Neighbours found = open.OpenNeighbours(row.node);
        EXPECT_EQ(Route(found.nodes.begin(), found.nodes.begin() + found.count), row.neighbours);
    }
}

struct PointCase {
    const char* name;
    Vector2 point;
    std::int32_t node;
};

TEST(NavigationGraphTest, EveryPointFallsInACellAndOutsidePointsClampToTheBorder) {
    // 3 x 3 cells of 32 x 16 placed at (100, 50): points lie at -1.5, -0.5 and 0.5 cells from
    // the origin along each axis, as the tile map places its cell objects.
    const NavigationGraph graph(kOpen3x3, 3, 3, {100.0f, 50.0f}, 32.0f, 16.0f);
    EXPECT_EQ(graph.PointOfNode(0), (Vector2{52.0f, 26.0f}));
    EXPECT_EQ(graph.PointOfNode(4), (Vector2{84.0f, 42.0f}));
    EXPECT_EQ(graph.PointOfNode(5), (Vector2{116.0f, 42.0f})) << "columns run along x";
    EXPECT_EQ(graph.PointOfNode(7), (Vector2{84.0f, 58.0f})) << "rows run up";
    for (std::int32_t node = 0; node < 9; ++node) {
        EXPECT_EQ(graph.NodeOfPoint(graph.PointOfNode(node)), node);
    }

    constexpr float kHuge = std::numeric_limits<float>::max();
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    const float nan = std::nanf("");
    const std::vector<PointCase> cases{
        // The centre cell spans x 68 .. 100 and y 34 .. 50.
        {"just inside the centre cell's right edge", {99.5f, 42.0f}, 4},
        {"just past it", {100.5f, 42.0f}, 5},
        {"just inside its lower edge", {84.0f, 34.5f}, 4},
        {"just below it", {84.0f, 33.5f}, 1},
        {"far left and below", {-1.0e6f, -1.0e6f}, 0},
        {"far right and above", {1.0e6f, 1.0e6f}, 8},
        {"far left at the middle row", {-1.0e6f, 42.0f}, 3},
        {"largest floats", {kHuge, -kHuge}, 2},
        {"infinities", {kInfinity, kInfinity}, 8},
        {"NaN", {nan, nan}, 0},
    };
    for (const PointCase& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(graph.NodeOfPoint(row.point), row.node);
    }
}

TEST(NavigationGraphTest, EmptyOrFlatGraphsStillAnswerWithoutFault) {
    const NavigationGraph empty;
    EXPECT_EQ(empty.PointOfNode(3), (Vector2{0.0f, 0.0f}));
    EXPECT_EQ(empty.NodeOfPoint({500.0f, -20.0f}), 0);
    EXPECT_EQ(empty.OpenNeighbours(0).count, 0u);
    EXPECT_TRUE(empty.FindPath(0, 0).empty());

    // A map scaled to nothing: every offset divides by zero.
    const NavigationGraph flat(kOpen3x3, 3, 3, {0.0f, 0.0f}, 0.0f, 0.0f);
    EXPECT_EQ(flat.NodeOfPoint({5.0f, 5.0f}), 8);
    EXPECT_EQ(flat.NodeOfPoint({-5.0f, -5.0f}), 0);
    EXPECT_EQ(flat.NodeOfPoint({0.0f, 0.0f}), 0);
}

TEST(NavigationGraphTest, CreateGraphReplacesTheSharedGraph) {
    Pathfinding::CreateGraph(kOpen3x3, 3, 3, {0.0f, 0.0f}, 10.0f, 10.0f);
    EXPECT_EQ(Pathfinding::FindPath(0, 8), (Route{0, 4, 8}));
    Pathfinding::CreateGraph(kCentreBlocked, 3, 3, {0.0f, 0.0f}, 10.0f, 10.0f);
    EXPECT_EQ(Pathfinding::FindPath(0, 8), (Route{0, 1, 2, 5, 8}));
    EXPECT_EQ(Pathfinding::NodeOfPoint({5.0f, -15.0f}), 2);
    EXPECT_EQ(Pathfinding::PointOfNode(8), (Vector2{5.0f, 5.0f}));
}

// The questions of many followers heading for one goal, on the 3 x 3 map of 10-unit cells with
// its centre blocked: cell i is centred at (10 * (i % 3) - 15, 10 * (i / 3) - 15).
TEST(NavigationGraphTest, StepsToAGoalCountEveryRouteAtOnceAndLeaveNoStaleCounts) {
    const NavigationGraph graph = Grid3x3(kCentreBlocked);
    constexpr std::int32_t U = NavigationGraph::kUnreached;
    std::vector<std::int32_t> steps;
    std::vector<std::int32_t> queue;
    graph.StepsTo(0, steps, queue);
    EXPECT_EQ(steps, (Route{0, 1, 2, 1, U, 3, 2, 3, 4}));
    // The same vectors again, for another goal: nothing of the first search stays.
    graph.StepsTo(8, steps, queue);
    EXPECT_EQ(steps, (Route{4, 3, 2, 3, U, 1, 2, 1, 0}));
    graph.StepsTo(9, steps, queue);
    EXPECT_EQ(steps, Route(9, U)) << "a goal that is no node";
    // Every count is the length of the route FindPath finds.
    graph.StepsTo(2, steps, queue);
    for (std::int32_t node = 0; node < 9; ++node) {
        const Route route = graph.FindPath(2, node);
        EXPECT_EQ(steps[static_cast<std::size_t>(node)],
                  route.empty() ? U : static_cast<std::int32_t>(route.size()) - 1)
            << "node " << node;
    }
}

TEST(NavigationGraphTest, NearestOpenNodeSearchesRingByRingNearestCentreFirst) {
    std::vector<std::int32_t> ringed(25, 0);
    for (std::int32_t node : {6, 7, 8, 11, 12, 13, 16, 17, 18}) {
        ringed[static_cast<std::size_t>(node)] = X;
    }
    const NavigationGraph fiveByFive(ringed, 5, 5, {0.0f, 0.0f}, 10.0f, 10.0f);
    const NavigationGraph centreBlocked = Grid3x3(kCentreBlocked);
    const NavigationGraph closed = Grid3x3(std::vector<std::int32_t>(9, X));
    const struct {
        const char* name;
        const NavigationGraph& graph;
        std::int32_t node;
        std::int32_t nearest;
    } cases[] = {
        {"an open node is its own", centreBlocked, 3, 3},
        {"straight neighbours before diagonals, the lower first", centreBlocked, 4, 1},
        {"two rings out, straight below first", fiveByFive, 12, 2},
        {"nothing open", closed, 4, NavigationGraph::kNoNode},
        {"no node", centreBlocked, 9, NavigationGraph::kNoNode},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.graph.NearestOpenNode(row.node), row.nearest);
    }
}

TEST(NavigationGraphTest, ClearPathKeepsTheWholeBodyOffBlockedCellsAndInsideTheMap) {
    const NavigationGraph graph = Grid3x3(kCentreBlocked);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* name;
        Vector2 from;
        Vector2 to;
        float radius;
        bool clear;
    } cases[] = {
        {"along the open bottom row", {-15.0f, -15.0f}, {5.0f, -15.0f}, 0.0f, true},
        {"across the blocked centre", {-15.0f, -15.0f}, {5.0f, 5.0f}, 0.0f, false},
        {"through the blocked cell's corner point", {-15.0f, -5.0f}, {-5.0f, -15.0f}, 0.0f, false},
        {"a body narrower than the row", {-15.0f, -15.0f}, {5.0f, -15.0f}, 4.0f, true},
        {"a body reaching into the centre", {-15.0f, -15.0f}, {5.0f, -15.0f}, 6.0f, false},
        {"a body wider than the map", {-15.0f, -15.0f}, {5.0f, -15.0f}, 1e30f, false},
        {"no length, on open floor", {-15.0f, -15.0f}, {-15.0f, -15.0f}, 3.0f, true},
        {"no length, in the blocked cell", {-5.0f, -5.0f}, {-5.0f, -5.0f}, 0.0f, false},
        {"ending outside the map", {-15.0f, -15.0f}, {100.0f, -15.0f}, 0.0f, false},
        {"starting outside the map", {-15.0f, -100.0f}, {-15.0f, -15.0f}, 0.0f, false},
        {"not a number", {nan, -15.0f}, {5.0f, -15.0f}, 0.0f, false},
        {"a negative radius", {-15.0f, -15.0f}, {5.0f, -15.0f}, -1.0f, false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(graph.ClearPath(row.from, row.to, row.radius), row.clear);
        EXPECT_EQ(graph.ClearPath(row.to, row.from, row.radius), row.clear) << "backwards";
    }
    EXPECT_FALSE(NavigationGraph().ClearPath({0.0f, 0.0f}, {1.0f, 1.0f}, 0.0f)) << "no graph";
    const NavigationGraph flat(kOpen3x3, 3, 3, {0.0f, 0.0f}, 0.0f, 0.0f);
    EXPECT_FALSE(flat.ClearPath({0.0f, 0.0f}, {1.0f, 1.0f}, 1.0f)) << "cells of no size";
}

// A player on a 5 x 3 map of 100-unit cells centred on the origin, with a wall across the lower
// two rows of the middle column:
//   row 2:  10 11 12 13 14
//   row 1:   5  6  X  8  9
//   row 0:   0  1  X  3  4
class PathfindingTest : public GameplayTest {
protected:
    static constexpr float kFollowSpeed = 400.0f;
    static constexpr float kDt = 1.0f / 60.0f;

    void SetUp() override {
        GameplayTest::SetUp();
        Pathfinding::CreateGraph({0, 0, X, 0, 0, 0, 0, X, 0, 0, 0, 0, 0, 0, 0}, 5, 3, {0.0f, 0.0f},
                                 100.0f, 100.0f);
        player = AddEntity("Player", Pathfinding::PointOfNode(0));
        physics = new Physics();
        player->AddComponent(physics);
        input = new PlayerInput(300.0f);
        player->AddComponent(input);
        pathfinding = new Pathfinding();
        pathfinding->followSpeed = kFollowSpeed;
        player->AddComponent(pathfinding);
        FlushAllLists();
        transform = player->GetComponent<Transform>();
    }

    // One frame in the lists' update order: Physics, PlayerInput, then Pathfinding last.
    void Frame() {
        physics->Update(kDt);
        input->Update(kDt);
        pathfinding->Update(kDt);
    }

    // Right click held for one frame with the pointer over `goal`.
    void ClickAt(std::int32_t goal) {
        PlacePointer(Pathfinding::PointOfNode(goal));
        SetHeld(InputType::RIGHT_CLICK, true);
        Frame();
        SetHeld(InputType::RIGHT_CLICK, false);
    }

    std::int32_t Node() const { return Pathfinding::NodeOfPoint(transform->GetWorldPosition()); }

    Entity* player = nullptr;
    Transform* transform = nullptr;
    Physics* physics = nullptr;
    PlayerInput* input = nullptr;
    Pathfinding* pathfinding = nullptr;
};

TEST_F(PathfindingTest, RightClickPlansARouteThatIsFollowedAroundTheWallToTheGoal) {
    ClickAt(4);
    EXPECT_EQ(pathfinding->path.front(), 0);
    EXPECT_EQ(pathfinding->path.back(), 4);
    EXPECT_EQ(pathfinding->lastStartNode, 0);
    EXPECT_EQ(pathfinding->lastGoalNode, 4);

    std::vector<std::int32_t> visited{Node()};
    int frames = 0;
    for (; frames < 600 && !pathfinding->path.empty(); ++frames) {
        Frame();
        const float speed = std::hypot(physics->velocity.x, physics->velocity.y);
        ASSERT_TRUE(std::isfinite(speed));
        ASSERT_LE(speed, kFollowSpeed * 1.0001f);
        if (Node() != visited.back()) {
            visited.push_back(Node());
        }
    }
    ASSERT_TRUE(pathfinding->path.empty()) << "the route ends";
    EXPECT_EQ(Node(), 4) << "at the goal";
    EXPECT_EQ(physics->velocity, (Vector2{0.0f, 0.0f})) << "and stops there";
    for (std::int32_t node : visited) {
        EXPECT_TRUE(Pathfinding::Graph().IsOpen(node)) << "walked into wall cell " << node;
    }
    EXPECT_GE(visited.size(), 5u) << "the wall is passed over the top row";
}

TEST_F(PathfindingTest, HeldRightClickReplansWhenThePointerMovesToAnotherCell) {
    PlacePointer(Pathfinding::PointOfNode(4));
    SetHeld(InputType::RIGHT_CLICK, true);
    Frame();
    ASSERT_EQ(pathfinding->path.back(), 4);
    PlacePointer(Pathfinding::PointOfNode(10));
    Frame();
    EXPECT_EQ(pathfinding->path, (Route{0, 5, 10}));
    EXPECT_EQ(pathfinding->lastGoalNode, 10);
    EXPECT_EQ(pathfinding->pathIndex, 1);
}

TEST_F(PathfindingTest, MovementKeyCancelsTheRouteAndKeepsTheKeyboardsVelocity) {
    ClickAt(4);
    Frame();
    ASSERT_FALSE(pathfinding->path.empty());
    ASSERT_NE(physics->velocity, (Vector2{0.0f, 0.0f}));

    SetHeld(InputType::LEFT, true);
    Frame();
    EXPECT_TRUE(pathfinding->path.empty());
    EXPECT_EQ(physics->velocity, (Vector2{-300.0f, 0.0f}));

    SetHeld(InputType::LEFT, false);
    Frame();
    EXPECT_EQ(physics->velocity, (Vector2{0.0f, 0.0f})) << "the route does not come back";
}

struct CancelCase {
    const char* name;
    // The right click stays held (pointer on node 4) until the player stands in this node.
    std::int32_t cancelledIn;
    // Whether the right click is still held while the key is, and after it is released.
    bool heldThroughTheKey;
};

void PrintTo(const CancelCase& c, std::ostream* out) {
    *out << c.name;
}

class PathfindingCancelTest : public PathfindingTest,
                              public ::testing::WithParamInterface<CancelCase> {};

// After a movement key cancels a route without the player leaving its cell, the same click plans
// the route again: the ends of a cancelled route stand for no route held.
TEST_P(PathfindingCancelTest, ClickingTheSameCellAfterACancelledRoutePlansItAgain) {
    const CancelCase& c = GetParam();
    PlacePointer(Pathfinding::PointOfNode(4));
    SetHeld(InputType::RIGHT_CLICK, true);
    Frame();
    for (int frames = 0; frames < 600 && Node() != c.cancelledIn; ++frames) {
        Frame();
    }
    ASSERT_EQ(Node(), c.cancelledIn);
    ASSERT_FALSE(pathfinding->path.empty());
    SetHeld(InputType::RIGHT_CLICK, c.heldThroughTheKey);

    SetHeld(InputType::LEFT, true);
    Frame();
    SetHeld(InputType::LEFT, false);
    ASSERT_TRUE(pathfinding->path.empty()) << "the key cancels the route";
    ASSERT_EQ(Node(), c.cancelledIn) << "without leaving the cell";

    if (c.heldThroughTheKey) {
        Frame();
        SetHeld(InputType::RIGHT_CLICK, false);
    } else {
        ClickAt(4);
    }
    ASSERT_FALSE(pathfinding->path.empty()) << "the same cell is planned again";
    EXPECT_EQ(pathfinding->path.front(), c.cancelledIn);
    EXPECT_EQ(pathfinding->path.back(), 4);
    EXPECT_NE(physics->velocity, (Vector2{0.0f, 0.0f})) << "and followed";
    for (int frames = 0; frames < 600 && !pathfinding->path.empty(); ++frames) {
        Frame();
    }
    EXPECT_EQ(Node(), 4) << "to the goal";
}

INSTANTIATE_TEST_SUITE_P(Cancellations, PathfindingCancelTest,
                         ::testing::Values(CancelCase{"InTheStartCell", 0, false},
                                           CancelCase{"InALaterCellReachedWithTheClickHeld", 5,
                                                      false},
                                           CancelCase{"WithTheClickHeldThroughTheKey", 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PathfindingTest, WithoutPlayerInputARouteIsPlannedButNeverFollowed) {
    ComponentListSystem<PlayerInput>::Instance().RemoveComponent(
        player->components.at(&ComponentListSystem<PlayerInput>::Instance()));
    FlushAllLists();
    ASSERT_EQ(player->GetComponent<PlayerInput>(), nullptr);
    physics->velocity = {7.0f, 7.0f};
    PlacePointer(Pathfinding::PointOfNode(3));
    SetHeld(InputType::RIGHT_CLICK, true);
    pathfinding->Update(kDt);
    EXPECT_EQ(pathfinding->path.back(), 3);
    EXPECT_EQ(physics->velocity, (Vector2{7.0f, 7.0f}));
}

TEST_F(PathfindingTest, FollowerExactlyOnItsNextPointStandsStillAndMovesOn) {
    transform->SetPosition(Pathfinding::PointOfNode(1));
    pathfinding->path = {0, 1, 6};
    pathfinding->pathIndex = 1;
    physics->velocity = {123.0f, 456.0f};
    pathfinding->Update(kDt);
    EXPECT_EQ(physics->velocity, (Vector2{0.0f, 0.0f}));
    EXPECT_EQ(pathfinding->pathIndex, 2);

    pathfinding->Update(kDt);
    EXPECT_EQ(physics->velocity, (Vector2{0.0f, kFollowSpeed})) << "on to node 6, straight up";
}

TEST_F(PathfindingTest, RenderDrawsTheRemainingRouteFromTheNodeLastLeft) {
    std::vector<Vector2>& lines = DebugDrawSystem::Instance().points;
    const auto point = [](std::int32_t node) { return Pathfinding::PointOfNode(node); };
    pathfinding->path = {0, 5, 11, 12, 13};
    pathfinding->pathIndex = 2;
    lines.clear();
    pathfinding->Render();
    EXPECT_EQ(lines, (std::vector<Vector2>{point(5), point(11), point(11), point(12), point(12),
                                           point(13)}));

    pathfinding->pathIndex = 5;
    lines.clear();
    pathfinding->Render();
    EXPECT_TRUE(lines.empty()) << "a finished route draws nothing";
}

TEST_F(PathfindingTest, FollowSpeedIsReadSavedAndKeptWhenMissing) {
    Pathfinding read;
    read.FromJson({{"followSpeed", 250.5}});
    EXPECT_FLOAT_EQ(read.followSpeed, 250.5f);
    EXPECT_TRUE(read.ToJson().at("followSpeed").is_number_float());
    EXPECT_EQ(read.ToJson(), (nlohmann::json{{"followSpeed", 250.5f}}));

    const std::string log = DataDirectory + "Trace_Log.txt";
    std::filesystem::remove(log);
    read.FromJson(nlohmann::json::object());
    EXPECT_FLOAT_EQ(read.followSpeed, 250.5f) << "a missing speed keeps the one it had";
    const std::vector<std::string> lines = TraceMessages(log);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "WARNING: Json key does not exist. Tried to deserialize key followSpeed");

    Entity* loaded = AddEntity("Loaded", {0.0f, 0.0f});
    Entity::from_json(
        {{"Pathfinding", {{"Pathfinding", {{"followSpeed", 90}}}, {"Update layer", 2}}}}, *loaded);
    ASSERT_NE(loaded->GetComponent<Pathfinding>(), nullptr);
    EXPECT_FLOAT_EQ(loaded->GetComponent<Pathfinding>()->followSpeed, 90.0f);
}

TEST_F(PathfindingTest, CloneCopiesTheRouteButNotTheEntity) {
    ClickAt(4);
    const std::unique_ptr<Component> copy = pathfinding->Clone();
    const auto* clone = dynamic_cast<const Pathfinding*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->owner, nullptr);
    EXPECT_EQ(clone->path, pathfinding->path);
    EXPECT_EQ(clone->pathIndex, pathfinding->pathIndex);
    EXPECT_EQ(clone->lastGoalNode, 4);
    EXPECT_EQ(clone->followSpeed, kFollowSpeed);
}

}  // namespace
