// Per-frame bookkeeping costs, each beside the cheapest thing that does the same job:
// - a timed span (start + stop of a named stopwatch in a group) against two raw clock reads;
// - a component list's update of N components against a plain loop of the same virtual calls.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "engine/StopwatchRegistry.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "physics/Transform.h"

namespace {

void BM_RawClockPair(benchmark::State& state) {
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto stop = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(stop - start);
    }
}
BENCHMARK(BM_RawClockPair);

void BM_StopwatchSpanInGroup(benchmark::State& state) {
    for (auto _ : state) {
        StartStopwatch({"Update Component Systems"}, "ComponentListSystem<Transform>");
        benchmark::DoNotOptimize(
            StopStopwatch({"Update Component Systems"}, "ComponentListSystem<Transform>"));
    }
}
BENCHMARK(BM_StopwatchSpanInGroup);

// Counts its updates so the loop cannot be optimised away.
class CountingTransform : public Transform {
public:
    void Update(float dt) override { ticks += dt; }
    float ticks = 0.0f;
};

void BM_PlainVirtualLoop(benchmark::State& state) {
    std::vector<std::unique_ptr<Component>> components;
    for (int i = 0; i < state.range(0); ++i) {
        components.push_back(std::make_unique<CountingTransform>());
    }
    for (auto _ : state) {
        for (const auto& component : components) {
            component->Update(0.016f);
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlainVirtualLoop)->Arg(100)->Arg(1000);

void BM_ComponentListUpdate(benchmark::State& state) {
    auto& list = ComponentListSystem<Transform>::Instance();
    std::vector<std::unique_ptr<Entity>> owners;
    for (int i = 0; i < state.range(0); ++i) {
        owners.push_back(std::make_unique<Entity>("Bench"));
        owners.back()->AddComponent<Transform>(new CountingTransform(),
                                               static_cast<UpdateLayer>(i % 5));
    }
    list.FlushPending();
    for (auto _ : state) {
        list.Update(0.016f);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    owners.clear();
    list.ShutDown();
}
BENCHMARK(BM_ComponentListUpdate)->Arg(100)->Arg(1000);

}  // namespace
