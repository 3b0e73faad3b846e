// Leaving a scene of N entities (Transform, Physics, circle Collider each, as a level's tiles and
// shots carry), against taking the same entities into their lists.
//
// Engine: the scene's top entity is marked destroyed, the sweep frees the tree and the next flush
// shuts every component down and takes it out of its list. Removing one component from its list
// once cost a search of the list, so leaving a level of 262 144 cells took minutes; both sides
// must now grow alike with N, and the ratio stay flat.
//
// Baseline: the flush that takes the same N entities' components into their lists (each starts
// with its Initialize); building the entities is not measured.

#include <benchmark/benchmark.h>

#include <string>

#include "BenchEngine.h"
#include "engine/Engine.h"
#include "entities/Entity.h"
#include "physics/ColliderCircle.h"
#include "physics/Physics.h"
#include "physics/Transform.h"

namespace {

// Entities under one new top entity, attached to the engine's root, components queued.
Entity* BuildScene(int count) {
    auto* scene = new Entity("BenchScene");
    for (int i = 0; i < count; ++i) {
        auto* entity = new Entity("Cell" + std::to_string(i));
        auto* transform = new Transform();
        transform->SetPosition({static_cast<float>(i % 512) * 8.0f, static_cast<float>(i / 512)});
        entity->AddComponent(transform);
        entity->AddComponent(new Physics());
        entity->AddComponent(new ColliderCircle());
        scene->AddChild(entity);
    }
    Engine::Instance().originEntity->AddChild(scene);
    return scene;
}

void Leave(Entity* scene) {
    scene->Destroy();
    Engine::Instance().originEntity->RemoveDestroyedChildren();
    BenchEngine::Flush();
}

void BM_SceneTeardown_Engine(benchmark::State& state) {
    if (BenchEngine::Get() == nullptr) {
        state.SkipWithError("the engine could not start");
        return;
    }
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Entity* scene = BuildScene(count);
        BenchEngine::Flush();
        state.ResumeTiming();
        Leave(scene);
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_SceneTeardown_Baseline(benchmark::State& state) {
    if (BenchEngine::Get() == nullptr) {
        state.SkipWithError("the engine could not start");
        return;
    }
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Entity* scene = BuildScene(count);
        state.ResumeTiming();
        BenchEngine::Flush();
        state.PauseTiming();
        Leave(scene);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(BM_SceneTeardown_Engine)
    ->Arg(5000)
    ->Arg(20000)
    ->Arg(262144)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneTeardown_Baseline)
    ->Arg(5000)
    ->Arg(20000)
    ->Arg(262144)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
