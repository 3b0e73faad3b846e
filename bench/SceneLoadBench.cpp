// Switching to a scene of N entities (Transform, Sprite, circle Collider), against parsing the
// same file with the JSON library alone.
//
// Engine: the file is read and parsed as on a first switch to it (the entity-file cache is
// refreshed from disk, as a first switch fills it), SceneSystem::ChangeScene builds the entities,
// and the next frame's sweep and flush take every component into its list (each starts with its
// Initialize). Removing the scene again is not measured.
//
// Baseline: the whole file read into memory and parsed with nlohmann::json, nothing else.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

#include "BenchEngine.h"
#include "entities/EntityFiles.h"
#include "entities/SceneSystem.h"

namespace {

// Entities as the game's scenes write them, with every key present.
nlohmann::json SceneOf(int count) {
    nlohmann::json scene = nlohmann::json::object();
    for (int i = 0; i < count; ++i) {
        const double x = -1800.0 + 36.0 * (i % 100);
        const double y = -1000.0 + 40.0 * (i / 100);
        scene["Entity" + std::to_string(i)] = {
            {"Transform",
             {{"Transform",
               {{"position", {{"x", x}, {"y", y}}},
                {"rotation", 0.0},
                {"scale", {{"x", 24.0}, {"y", 24.0}}}}},
              {"Update layer", 2}}},
            {"Sprite",
             {{"Sprite",
               {{"alpha", 0.0},
                {"color", {{"x", 1.0}, {"y", 1.0}, {"z", 1.0}}},
                {"frameIndex", 0},
                {"mesh", "1x1Mesh.json"},
                {"shader", "LightingShader.json"},
                {"texture", i % 2 == 0 ? "milk.png" : "enemy.png"},
                {"textureOffset", {{"x", 0.0}, {"y", 0.0}}}}},
              {"Update layer", 3}}},
            {"Collider",
             {{"Collider",
               {{"is solid", i % 3 == 0},
                {"radius", 0.42},
                {"relativePos", {{"x", 0.0}, {"y", 0.0}}},
                {"type", 0}}},
              {"Update layer", 2}}}};
    }
    return scene;
}

std::string SceneName(int count) {
    return "Bench" + std::to_string(count) + "Scene.json";
}

// Written into the per-user copy the running engine reads, once per size.
std::string WriteScene(const BenchEngine& bench, int count) {
    const std::string name = SceneName(count);
    const std::filesystem::path path = bench.tree.PerUserData() / "Scenes" / name;
    if (!std::filesystem::exists(path)) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << SceneOf(count).dump(2);
    }
    return name;
}

void BM_SceneLoad_Engine(benchmark::State& state) {
    BenchEngine* bench = BenchEngine::Get();
    if (bench == nullptr) {
        state.SkipWithError("the engine could not start");
        return;
    }
    const int count = static_cast<int>(state.range(0));
    const std::string name = WriteScene(*bench, count);
    SceneSystem& scenes = SceneSystem::Instance();

    for (auto _ : state) {
        ReloadEntityFile("Scenes/" + name);
        scenes.ChangeScene(name);
        BenchEngine::Flush();

        state.PauseTiming();
        if (scenes.currentScene == nullptr ||
            scenes.currentScene->children.size() != static_cast<std::size_t>(count)) {
            state.SkipWithError("the scene did not load");
            break;
        }
        scenes.currentScene->Destroy();
        BenchEngine::Flush();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_SceneLoad_Baseline(benchmark::State& state) {
    BenchEngine* bench = BenchEngine::Get();
    if (bench == nullptr) {
        state.SkipWithError("the engine could not start");
        return;
    }
    const int count = static_cast<int>(state.range(0));
    const std::string path = (bench->tree.PerUserData() / "Scenes" / WriteScene(*bench, count));

    for (auto _ : state) {
        std::ifstream file(path, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(file),
                               std::istreambuf_iterator<char>()};
        nlohmann::json parsed = nlohmann::json::parse(text);
        benchmark::DoNotOptimize(parsed.size());
        if (parsed.size() != static_cast<std::size_t>(count)) {
            state.SkipWithError("the scene file is not what was written");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(BM_SceneLoad_Engine)->Arg(5000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneLoad_Baseline)->Arg(5000)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
