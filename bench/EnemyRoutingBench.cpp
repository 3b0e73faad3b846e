// N enemies chasing a moving player round the walls of one level, one tick at a time: the enemy
// component's update, which steers every enemy over the one step field shared by all of them
// (searched again only when the player enters another cell), against the plain way, a
// breadth-first route from every enemy's cell to the player's, planned again every tick. Both
// sides take the same straight run where nothing stands between an enemy and the player. Between
// ticks (untimed) the player walks round the level, entering a new cell every few ticks; the
// enemies are not moved, so both sides answer the same questions every tick. Geometry only: no
// window is opened.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/Vector2.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/NavigationGraph.h"
#include "gameplay/Pathfinding.h"
#include "gameplay/PlayerInput.h"
#include "physics/ColliderCircle.h"
#include "physics/Physics.h"
#include "physics/Transform.h"

namespace {

// A level of 64 x 36 cells of 128 units: a wall border and walls of 6 cells with gaps between
// them, every fourth row and column, so most enemies have no straight line to the player.
constexpr int kColumns = 64;
constexpr int kRows = 36;
constexpr float kCell = 128.0f;
constexpr std::int32_t kFloor = 1;
constexpr float kTick = 1.0f / 60.0f;
// The shipped enemy's body and speed.
constexpr float kEnemySize = 150.0f;
constexpr float kEnemyRadius = 0.42f;
constexpr float kEnemySpeed = 260.0f;
// The player crosses a cell in this many ticks.
constexpr float kPlayerStep = kCell / 8.0f;

bool IsWall(int column, int row) {
    if (row == 0 || column == 0 || row == kRows - 1 || column == kColumns - 1) {
        return true;
    }
    const bool wallRow = row % 4 == 0 && column % 8 != 0;
    const bool wallColumn = column % 4 == 0 && row % 8 != 2;
    return wallRow || wallColumn;
}

std::vector<std::int32_t> LevelCells() {
    std::vector<std::int32_t> cells;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            cells.push_back(IsWall(column, row) ? NavigationGraph::kBlockedNode : kFloor);
        }
    }
    return cells;
}

class Level {
public:
    explicit Level(int count) {
        Pathfinding::CreateGraph(LevelCells(), kColumns, kRows, {0.0f, 0.0f}, kCell, kCell);
        const NavigationGraph& graph = Pathfinding::Graph();
        for (std::int32_t node = 0; node < kColumns * kRows; ++node) {
            if (graph.IsOpen(node)) {
                floor.push_back(node);
            }
        }
        player = AddEntity("Player", graph.PointOfNode(floor.front()));
        player->AddComponent(new PlayerInput());
        std::mt19937 random(2024);
        std::uniform_int_distribution<std::size_t> cell(0, floor.size() - 1);
        for (int i = 0; i < count; ++i) {
            Entity* enemy =
                AddEntity("Enemy" + std::to_string(i), graph.PointOfNode(floor[cell(random)]));
            enemy->GetComponent<Transform>()->scale = {kEnemySize, kEnemySize};
            auto* circle = new ColliderCircle();
            circle->radius = kEnemyRadius;
            enemy->AddComponent(circle);
            auto* behavior = new BasicEnemyBehavior();
            behavior->moveSpeed = kEnemySpeed;
            enemy->AddComponent(behavior);
            enemy->AddComponent(new Physics());
            enemies.push_back(enemy);
        }
        Flush();
    }

    ~Level() {
        entities.clear();
        Flush();
    }

    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    // One tick of the player's walk: along the open cells in order, a step at a time.
    void MovePlayer() {
        const NavigationGraph& graph = Pathfinding::Graph();
        Transform* transform = player->GetComponent<Transform>();
        const Vector2 goal = graph.PointOfNode(floor[next]);
        const Vector2 offset = goal - transform->position;
        const float distance = std::hypot(offset.x, offset.y);
        if (distance <= kPlayerStep) {
            transform->SetPosition(goal);
            next = (next + 1) % floor.size();
            return;
        }
        transform->SetPosition(transform->position + offset * (kPlayerStep / distance));
    }

    Entity* player = nullptr;
    std::vector<Entity*> enemies;

private:
    Entity* AddEntity(const std::string& name, Vector2 at) {
        auto* entity = new Entity(name);
        auto* transform = new Transform();
        transform->SetPosition(at);
        entity->AddComponent(transform);
        entities.emplace_back(entity);
        return entity;
    }

    static void Flush() {
        ComponentListSystem<Transform>::Instance().FlushPending();
        ComponentListSystem<ColliderCircle>::Instance().FlushPending();
        ComponentListSystem<BasicEnemyBehavior>::Instance().FlushPending();
        ComponentListSystem<Physics>::Instance().FlushPending();
        ComponentListSystem<PlayerInput>::Instance().FlushPending();
    }

    std::vector<std::unique_ptr<Entity>> entities;
    std::vector<std::int32_t> floor;
    std::size_t next = 0;
};

// The plain way for one enemy: straight when nothing stands between, else its own route.
void PlanOwnRoute(Entity& enemy, Vector2 target) {
    const NavigationGraph& graph = Pathfinding::Graph();
    Transform* transform = enemy.GetComponent<Transform>();
    const Vector2 from = transform->position;
    const float radius = kEnemySize * kEnemyRadius;
    Vector2 waypoint = target;
    if (!graph.ClearPath(from, target, radius)) {
        const std::vector<std::int32_t> route =
            graph.FindPath(graph.NodeOfPoint(from), graph.NodeOfPoint(target));
        if (route.size() > 1) {
            waypoint = graph.PointOfNode(route[1]);
        }
    }
    const Vector2 offset = waypoint - from;
    const float distance = std::hypot(offset.x, offset.y);
    enemy.GetComponent<Physics>()->velocity =
        distance > 0.0f ? offset * (kEnemySpeed / distance) : Vector2{};
}

void BM_EnemyRouting_Engine(benchmark::State& state) {
    Level level(static_cast<int>(state.range(0)));
    auto& enemies = ComponentListSystem<BasicEnemyBehavior>::Instance();
    for (auto _ : state) {
        state.PauseTiming();
        level.MovePlayer();
        state.ResumeTiming();
        enemies.Update(kTick);
    }
}
BENCHMARK(BM_EnemyRouting_Engine)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_EnemyRouting_Baseline(benchmark::State& state) {
    Level level(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        level.MovePlayer();
        state.ResumeTiming();
        const Vector2 target = level.player->GetComponent<Transform>()->position;
        for (Entity* enemy : level.enemies) {
            PlanOwnRoute(*enemy, target);
        }
    }
}
BENCHMARK(BM_EnemyRouting_Baseline)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);

}  // namespace
