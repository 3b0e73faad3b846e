// The shipped first level, running on the real frame loop with a real window and no input, makes
// no heap allocation in its component passes or its collision pass once it has warmed up: not
// while the enemies run at the player, and not while they press against it (the player is made
// invincible, as the cheat does, so the level stays on screen). Allocations are counted by a
// replacement operator new on the main thread only, between marker systems placed around the
// passes (testbed/PassAllocations.h).

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "engine/Engine.h"
#include "engine/Program.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "game/GameComposition.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/PlayerInput.h"
#include "graphics/GraphicsSystem.h"
#include "physics/ColliderCircle.h"
#include "physics/Transform.h"
#include "engine/ControlSystem.h"
#include "support/EnginePassTest.h"
#include "support/GameTree.h"
#include "testbed/PassAllocations.h"
#include "testbed/SceneChild.h"

namespace {

namespace fs = std::filesystem;

// Where allocations escape to, so that the compiler cannot drop a new and delete pair.
void* volatile sink = nullptr;

void AllocateOnce() {
    sink = new int(0);
    delete static_cast<int*>(sink);
}

// Loading the scene, building the tile map and the first use of every cache and stopwatch.
constexpr std::size_t kWarmUpFrames = 10;
// Frames with an enemy pressing against the player that must be seen before the run ends.
constexpr int kContactFrames = 40;
constexpr int kMostFrames = 3000;
// An enemy pushed out of the player ends its frame within one push step of touching it.
constexpr float kContactSlack = 1.0f;

class SteadyStateAllocationTest : public ::testing::Test {
protected:
    SteadyStateAllocationTest() {
        fs::copy(fs::path(TARNWICK_SOURCE_DIR) / "Data", tree.root() / "Data",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "SteadyState.json");
        tree.WriteFile("Data/EngineSettingFiles/SteadyState.json",
                       nlohmann::json{{"defaultEntityFile", "Scenes/MainScene.json"},
                                      {"runOnStart", "1"}}
                           .dump());
    }

    void TearDown() override { GraphicsSystem::Instance().ShutDown(); }

    // Makes every player invincible; true when there is one.
    static bool PlayerInvincible() {
        bool found = false;
        for (const auto& layer : ComponentListSystem<PlayerInput>::Instance().Layers()) {
            for (PlayerInput* player : layer) {
                player->isInvincible = true;
                found = true;
            }
        }
        return found;
    }

    static Entity* Named(const std::string& name) { return SceneChildNamed(name); }

    // Whether an enemy's circle is within a push step of the player's.
    static bool EnemyAtThePlayer() {
        Entity* player = Named("Player");
        if (player == nullptr || player->GetComponent<ColliderCircle>() == nullptr) {
            return false;
        }
        ColliderCircle* mine = player->GetComponent<ColliderCircle>();
        const Vector2 at = player->GetComponent<Transform>()->GetWorldPosition();
        const Vector2 scale = player->GetComponent<Transform>()->scale;
        const float reach = std::max(scale.x, scale.y) * mine->radius;
        for (const auto& layer : ComponentListSystem<BasicEnemyBehavior>::Instance().Layers()) {
            for (BasicEnemyBehavior* enemy : layer) {
                Transform* transform = enemy->owner->GetComponent<Transform>();
                ColliderCircle* circle = enemy->owner->GetComponent<ColliderCircle>();
                const Vector2 d = transform->GetWorldPosition() - at;
                const float theirs =
                    std::max(transform->scale.x, transform->scale.y) * circle->radius;
                if (std::hypot(d.x, d.y) < reach + theirs + kContactSlack) {
                    return true;
                }
            }
        }
        return false;
    }

    GameTree tree;
    Program program{GameComposition()};
    Engine& engine = Engine::Instance();
};

TEST_F(SteadyStateAllocationTest, ShippedLevelAllocatesNothingInComponentAndCollisionPasses) {
    ASSERT_TRUE(program.StartUp());
    engine.Initialize(GameComposition().engineSystems);
    PassAllocations passes;
    passes.frames.reserve(kMostFrames + 1);
    passes.Install(engine);

    int contactFrames = 0;
    int frames = 0;
    while (engine.running && frames < kMostFrames && contactFrames < kContactFrames) {
        program.RunFrame();
        ++frames;
        PlayerInvincible();
        if (EnemyAtThePlayer()) {
            ++contactFrames;
        }
    }
    const bool levelStillOn = Named("Player") != nullptr && Named("BorderWalls") != nullptr;
    engine.Shutdown();

    ASSERT_TRUE(levelStillOn);
    ASSERT_EQ(contactFrames, kContactFrames) << "the enemies never reached the player";
    ASSERT_GT(passes.frames.size(), kWarmUpFrames);
    std::ostringstream allocating;
    for (std::size_t i = kWarmUpFrames; i < passes.frames.size(); ++i) {
        const PassAllocations::Frame& frame = passes.frames[i];
        if (frame.componentPasses != 0 || frame.collisionPass != 0) {
            allocating << "\n  frame " << i + 1 << ": " << frame.componentPasses
                       << " in the component passes, " << frame.collisionPass
                       << " in the collision pass";
        }
    }
    EXPECT_TRUE(allocating.str().empty())
        << "of " << passes.frames.size() - kWarmUpFrames << " steady frames:" << allocating.str();
}

// Allocates once in every update and once for every contact its entity is told of.
class AllocatingTransform : public Transform {
public:
    void Update(float) override { AllocateOnce(); }
    void OnCollision(Collider*) override { AllocateOnce(); }
};

// Allocates in its pre-update and update hooks, which run outside both passes.
class AllocatingSystem : public ControlSystem {
public:
    void PreUpdate() override { AllocateOnce(); }
    void Update(float) override { AllocateOnce(); }
};

class PassAllocationsTest : public EnginePassTest {};

// The brackets themselves: an update and a contact handler that allocate are counted in their
// passes, once per frame each, and a system that allocates before and after them is not.
TEST_F(PassAllocationsTest, CountsTheComponentAndCollisionPassesOfEveryFrame) {
    engine.ticksPerFrame = 1;
    ASSERT_TRUE(program.StartUp());
    engine.Initialize(GameComposition().engineSystems);
    AllocatingSystem outside;
    engine.RegisterSystem(&outside);
    PassAllocations passes;
    passes.Install(engine);
    Entity& counted = AddEntity("Counted", {0, 0});
    // Its Transform is the allocating one.
    counted.AddComponent<Transform>(new AllocatingTransform());
    auto* mine = new ColliderCircle();
    mine->radius = 10;
    counted.AddComponent(mine);
    Entity& other = AddEntity("Other", {5, 0});
    auto* theirs = new ColliderCircle();
    theirs->radius = 10;
    other.AddComponent(theirs);

    for (int frame = 0; frame < 5; ++frame) {
        program.RunFrame();
    }
    engine.Shutdown();

    ASSERT_EQ(passes.frames.size(), 5U);
    // The first frame also fills the engine's own buffers (and flushes the new components
    // inside the counted span), so it counts more.
    EXPECT_GT(passes.frames[0].componentPasses, 1U);
    for (std::size_t i = 1; i < passes.frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i + 1));
        EXPECT_EQ(passes.frames[i].componentPasses, 1U);
        EXPECT_EQ(passes.frames[i].collisionPass, 1U);
    }
}

// The count itself: allocations inside a counted span are seen, those before and after it are
// not, and another thread's never are, even while this one counts.
TEST(CountingAllocatorTest, CountsOnlyTheCountingThreadInsideTheSpan) {
    std::atomic<int> step{0};
    std::thread other([&] {
        while (step.load() != 1) {
        }
        sink = new int(4);
        delete static_cast<int*>(sink);
        step.store(2);
    });
    sink = new int(1);
    delete static_cast<int*>(sink);

    CountAllocations count;
    sink = new int(2);
    delete static_cast<int*>(sink);
    auto* text = new std::string(100, 'x');
    sink = text;
    step.store(1);
    while (step.load() != 2) {
    }
    const std::size_t counted = count.Stop();
    delete text;

    sink = new int(3);
    delete static_cast<int*>(sink);
    other.join();
    // The int, the string object and its characters.
    EXPECT_EQ(counted, 3U);
}

}  // namespace
