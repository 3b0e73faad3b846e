// The collision pass (ColliderSystem::Update) against the straightforward all-pairs pass it must
// reproduce report for report (testbed/AllPairsCollisionPass.h), on the same scene: N moving
// circle colliders, half of them solid, in two update layers, inside a tile map's solid wall
// outline. Between passes (untimed) every circle moves by its velocity and turns back at the
// map's edge; both sides see the same frames, since both passes push bodies out alike. Colliders
// are geometry only, so no window is opened.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/UpdateLayer.h"
#include "engine/Vector2.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "gameplay/Tilemap.h"
#include "physics/ColliderCircle.h"
#include "physics/ColliderLine.h"
#include "physics/ColliderSystem.h"
#include "physics/Transform.h"

#include "testbed/AllPairsCollisionPass.h"

namespace {

// A level of 64 x 36 tiles of 64 units: a wall border, and 2 x 2 pillars on a regular pattern.
constexpr int kColumns = 64;
constexpr int kRows = 36;
constexpr int kTile = 64;
constexpr float kSmallestRadius = 6.0f;
constexpr float kLargestRadius = 14.0f;
constexpr float kFastest = 4.0f;
constexpr float kSolidShare = 0.5f;

// The wall outline a tile map builds for this level.
std::vector<Vector2> WallOutline() {
    Tilemap map("");
    map.width = kColumns;
    map.height = kRows;
    map.tileWidth = kTile;
    map.tileHeight = kTile;
    map.firstLayer.assign(static_cast<std::size_t>(kColumns * kRows), 1);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const bool border =
                row == 0 || column == 0 || row == kRows - 1 || column == kColumns - 1;
            const bool pillar = row % 8 >= 4 && row % 8 < 6 && column % 10 >= 5 && column % 10 < 7;
            if (border || pillar) {
                map.firstLayer[static_cast<std::size_t>(row * kColumns + column)] =
                    Tilemap::kWallCell;
            }
        }
    }
    return map.WallOutline();
}

class Scene {
public:
    explicit Scene(int count) {
        auto* walls = new Entity("BorderWalls");
        auto* wallTransform = new Transform();
        wallTransform->isStatic = true;
        walls->AddComponent(wallTransform);
        auto* outline = new ColliderLine();
        outline->vertices = WallOutline();
        outline->isSolid = true;
        walls->AddComponent(outline, UpdateLayer::AVERAGE);
        entities.emplace_back(walls);

        std::mt19937 random(2024);
        std::uniform_real_distribution<float> x(-halfWidth, halfWidth);
        std::uniform_real_distribution<float> y(-halfHeight, halfHeight);
        std::uniform_real_distribution<float> radius(kSmallestRadius, kLargestRadius);
        std::uniform_real_distribution<float> speed(-kFastest, kFastest);
        std::uniform_real_distribution<float> share(0.0f, 1.0f);
        for (int i = 0; i < count; ++i) {
            auto* entity = new Entity("Ball" + std::to_string(i));
            auto* transform = new Transform();
            transform->SetPosition({x(random), y(random)});
            entity->AddComponent(transform);
            auto* circle = new ColliderCircle();
            circle->radius = radius(random);
            circle->isSolid = share(random) < kSolidShare;
            entity->AddComponent(circle, i % 2 == 0 ? UpdateLayer::AVERAGE : UpdateLayer::SLOW);
            entities.emplace_back(entity);
            bodies.push_back(transform);
            velocities.push_back({speed(random), speed(random)});
        }
        Flush();
    }

    ~Scene() {
        entities.clear();
        Flush();
    }

    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // One frame of movement.
    void Move() {
        for (std::size_t i = 0; i < bodies.size(); ++i) {
            Vector2 at = bodies[i]->position + velocities[i];
            Vector2& velocity = velocities[i];
            if (at.x < -halfWidth || at.x > halfWidth) {
                velocity.x = -velocity.x;
            }
            if (at.y < -halfHeight || at.y > halfHeight) {
                velocity.y = -velocity.y;
            }
            bodies[i]->SetPosition(at);
        }
    }

private:
    static void Flush() {
        ComponentListSystem<Transform>::Instance().FlushPending();
        ComponentListSystem<ColliderCircle>::Instance().FlushPending();
        ComponentListSystem<ColliderLine>::Instance().FlushPending();
    }

    // Inside the border walls.
    const float halfWidth = (kColumns / 2 - 1) * kTile;
    const float halfHeight = (kRows / 2 - 1) * kTile;
    std::vector<std::unique_ptr<Entity>> entities;
    std::vector<Transform*> bodies;
    std::vector<Vector2> velocities;
};

template <void (*Pass)()>
void RunCollision(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        scene.Move();
        state.ResumeTiming();
        Pass();
    }
}

void EnginePass() {
    ColliderSystem::Instance().Update(0.0f);
}

void AllPairsPass() {
    // The engine's steps that keep bodies out of walls run around either pass.
    ColliderSystem::KeepBodiesOutOfWalls();
    RunAllPairsCollisionPass();
    ColliderSystem::KeepBodiesOutOfWalls();
    ColliderSystem::SettleAgainstWalls();
}

void BM_Collision_Engine(benchmark::State& state) {
    RunCollision<EnginePass>(state);
}
BENCHMARK(BM_Collision_Engine)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_Collision_Baseline(benchmark::State& state) {
    RunCollision<AllPairsPass>(state);
}
BENCHMARK(BM_Collision_Baseline)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
