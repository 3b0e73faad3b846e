// A frame of the shipped first level on the real frame loop with a real window and no input,
// once the level has warmed up and its enemies press against the player (made invincible, as the
// cheat does, so the level stays on screen however long the benchmark runs). The time is the
// whole frame; the counter allocations_per_frame is the number of heap allocations the main
// thread made in the frame's component passes and collision pass (testbed/PassAllocations.h),
// averaged over the frames timed. The game's data is copied from the source tree this file sits
// in into a throw-away folder, which also stands in for the per-user folder.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

#include "testbed/SceneChild.h"
#include "testbed/CountingAllocator.h"
#include "testbed/PassAllocations.h"

#include "engine/Engine.h"
#include "engine/Program.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "game/GameComposition.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/PlayerInput.h"
#include "physics/ColliderCircle.h"
#include "physics/Transform.h"

namespace {

namespace fs = std::filesystem;

// Frames before the enemies can have reached the player are not timed, nor are a few after.
constexpr int kMostWarmUpFrames = 3000;
constexpr int kFramesAfterContact = 20;
constexpr float kContactSlack = 1.0f;

void MakePlayerInvincible() {
    for (const auto& layer : ComponentListSystem<PlayerInput>::Instance().Layers()) {
        for (PlayerInput* player : layer) {
            player->isInvincible = true;
        }
    }
}

Entity* Named(const std::string& name) { return SceneChildNamed(name); }

bool EnemyAtThePlayer() {
    Entity* player = Named("Player");
    if (player == nullptr || player->GetComponent<ColliderCircle>() == nullptr) {
        return false;
    }
    Transform* playerTransform = player->GetComponent<Transform>();
    const Vector2 at = playerTransform->GetWorldPosition();
    const float reach = std::max(playerTransform->scale.x, playerTransform->scale.y) *
                        player->GetComponent<ColliderCircle>()->radius;
    for (const auto& layer : ComponentListSystem<BasicEnemyBehavior>::Instance().Layers()) {
        for (BasicEnemyBehavior* enemy : layer) {
            Transform* transform = enemy->owner->GetComponent<Transform>();
            const float theirs = std::max(transform->scale.x, transform->scale.y) *
                                 enemy->owner->GetComponent<ColliderCircle>()->radius;
            const Vector2 d = transform->GetWorldPosition() - at;
            if (std::hypot(d.x, d.y) < reach + theirs + kContactSlack) {
                return true;
            }
        }
    }
    return false;
}

// The running game, started on first use and kept for every run of the benchmark.
class Game {
public:
    static Game& Instance() {
        static Game game;
        return game;
    }

    bool ready = false;
    std::string failure;
    Program program{GameComposition()};
    Engine& engine = Engine::Instance();
    PassAllocations passes;

private:
    Game() {
        const fs::path source = fs::path(__FILE__).parent_path().parent_path();
        root = fs::temp_directory_path() / ("tarnwick-steady-" + std::to_string(getpid()));
        const fs::path game = root / "game";
        const auto recursive = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
        fs::create_directories(game);
        fs::create_directories(root / "xdg");
        fs::copy(source / "Data", game / "Data", recursive);
        fs::copy(source / "Shaders", game / "Shaders", recursive);
        fs::create_directory_symlink(source / "Assets", game / "Assets");
        std::ofstream(game / "Data/EngineSettingFiles/SettingsRouter.txt") << "SteadyState.json";
        std::ofstream(game / "Data/EngineSettingFiles/SteadyState.json")
            << R"({"defaultEntityFile": "Scenes/MainScene.json", "runOnStart": "1"})";
        setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
        fs::current_path(game);

        if (!program.StartUp()) {
            failure = "the program could not start (no display?)";
            return;
        }
        engine.Initialize(GameComposition().engineSystems);
        passes.frames.reserve(100'000);
        passes.Install(engine);
        int afterContact = -1;
        for (int frame = 0; frame < kMostWarmUpFrames && afterContact < kFramesAfterContact;
             ++frame) {
            program.RunFrame();
            MakePlayerInvincible();
            if (afterContact >= 0 || EnemyAtThePlayer()) {
                ++afterContact;
            }
        }
        if (afterContact < kFramesAfterContact) {
            failure = "the enemies never reached the player";
            return;
        }
        ready = true;
    }

    // The engine is left running: the process ends with it.
    ~Game() {
        std::error_code ignored;
        fs::current_path(root.parent_path(), ignored);
        fs::remove_all(root, ignored);
    }

    fs::path root;
};

void BM_SteadyState_Engine(benchmark::State& state) {
    Game& game = Game::Instance();
    if (!game.ready) {
        state.SkipWithError(game.failure.c_str());
        return;
    }
    const std::size_t first = game.passes.frames.size();
    for (auto _ : state) {
        game.program.RunFrame();
    }
    std::size_t allocations = 0;
    for (std::size_t i = first; i < game.passes.frames.size(); ++i) {
        allocations += game.passes.frames[i].componentPasses + game.passes.frames[i].collisionPass;
    }
    const std::size_t frames = game.passes.frames.size() - first;
    state.counters["allocations_per_frame"] =
        frames == 0 ? 0.0 : static_cast<double>(allocations) / static_cast<double>(frames);
    state.counters["level_on_screen"] = Named("Player") != nullptr ? 1.0 : 0.0;
}
BENCHMARK(BM_SteadyState_Engine)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
