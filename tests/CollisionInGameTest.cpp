// Collision as a player sees it, on the real engine loop and a real X pointer: a solid ball
// driven into a solid wall stops at the wall, and the pointer entering a circle collider is
// reported to the components of the collider's entity.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "engine/ControlSystem.h"
#include "engine/Engine.h"
#include "engine/Program.h"
#include "entities/Entity.h"
#include "game/GameComposition.h"
#include "graphics/GraphicsSystem.h"
#include "physics/ColliderCircle.h"
#include "physics/ColliderLine.h"
#include "physics/Physics.h"
#include "physics/Transform.h"
#include "support/GameTree.h"
#include "support/PrivateDisplay.h"

namespace {

// Runs a callback in every frame's system phase, after the collision pass.
class FrameProbe : public ControlSystem {
public:
    void Update(float) override { onFrame(); }
    std::function<void()> onFrame;
};

// Records which entities' colliders touched its own entity.
class ContactProbe : public Component {
public:
    static constexpr const char* kComponentName = "ContactProbe";
    ContactProbe() : Component(kComponentName) {}
    void OnCollision(Collider* other) override {
        if (other->owner != nullptr) {
            contacts.push_back(other->owner->name);
        }
    }
    void FromJson(const nlohmann::json&) override {}
    nlohmann::json ToJson() const override { return nullptr; }
    std::vector<std::string> contacts;
};

class CollisionInGameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(display.name().empty()) << "no private X server";
        setenv("DISPLAY", display.name().c_str(), 1);
        ASSERT_TRUE(program.StartUp());
    }
    void TearDown() override {
        GraphicsSystem::Instance().ShutDown();
        ComponentListSystem<ContactProbe>::Instance().ShutDown();
    }

    Entity* AddEntity(const char* name, Vector2 position) {
        auto* entity = new Entity(name);
        auto* transform = new Transform();
        entity->AddComponent(transform);
        transform->SetPosition(position);
        engine.originEntity->AddChild(entity);
        return entity;
    }

    PrivateDisplay display;
    GameTree tree;
    Program program{GameComposition()};
    Engine& engine = Engine::Instance();
    FrameProbe probe;
};

TEST_F(CollisionInGameTest, SolidBallDrivenIntoASolidWallStopsAtTheWall) {
    constexpr float kWallX = 300.0f;
    constexpr float kRadius = 50.0f;
    constexpr float kSeconds = 2.0f;
    Transform* ball = nullptr;
    float start = 0.0f;
    float furthest = 0.0f;
    probe.onFrame = [&] {
        furthest = std::max(furthest, ball->position.x);
        if (engine.totalTime - start > kSeconds) {
            engine.running = false;
        }
    };
    program.RunEnginePasses([&] {
        engine.paused = false;
        Entity* wall = AddEntity("Wall", {kWallX, 0.0f});
        wall->GetComponent<Transform>()->isStatic = true;
        auto* line = new ColliderLine();
        line->vertices = {{0.0f, -400.0f}, {0.0f, 400.0f}};
        line->isSolid = true;
        wall->AddComponent(line);

        Entity* mover = AddEntity("Ball", {0.0f, 0.0f});
        auto* circle = new ColliderCircle();
        circle->radius = kRadius;
        circle->isSolid = true;
        mover->AddComponent(circle);
        auto* physics = new Physics();
        // Slow enough that even a long frame cannot carry the centre past the wall.
        physics->velocity = {300.0f, 0.0f};
        mover->AddComponent(physics);
        ball = mover->GetComponent<Transform>();
        start = engine.totalTime;
        engine.RegisterSystem(&probe);
    });
    // The ball's positions were read during the pass, before the shutdown freed it.
    EXPECT_LT(furthest, kWallX - kRadius) << "the ball never overlaps the wall after a pass";
    EXPECT_GT(furthest, kWallX - kRadius - 10.0f) << "the ball reached the wall";
}

TEST_F(CollisionInGameTest, PointerOverACircleIsReportedToItsEntitysComponents) {
    ContactProbe* contacts = nullptr;
    std::string window;
    int frame = 0;
    int framesOver = 0;
    probe.onFrame = [&] {
        ++frame;
        if (frame == 10) {
            EXPECT_TRUE(contacts->contacts.empty()) << "no contact while the pointer is away";
            // Window pixel (540, 193) is world (0, 501): inside the target's circle.
            EXPECT_EQ(
                display.Run({"/usr/bin/xdotool", "mousemove", "--window", window, "540", "193"}),
                0);
        }
        if (!contacts->contacts.empty()) {
            ++framesOver;
        }
        engine.running = framesOver < 3 && frame < 600;
    };
    program.RunEnginePasses([&] {
        engine.paused = false;
        Entity* target = AddEntity("Target", {0.0f, 500.0f});
        auto* circle = new ColliderCircle();
        circle->radius = 100.0f;
        target->AddComponent(circle);
        contacts = new ContactProbe();
        target->AddComponent(contacts);
        engine.RegisterSystem(&probe);
        ASSERT_EQ(display.Run({"/usr/bin/xdotool", "search", "--name", "^Tarnwick$"}, &window), 0);
        window = window.substr(0, window.find('\n'));
        // Far from the target first.
        ASSERT_EQ(display.Run({"/usr/bin/xdotool", "mousemove", "--window", window, "100", "650"}),
                  0);
    });
    ASSERT_GE(framesOver, 3) << "the pointer was never reported over the target";
}

}  // namespace
