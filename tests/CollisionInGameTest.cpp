// Collision as a player sees it, on the real engine loop and a real X pointer: a solid ball
// driven into a solid wall stops at the wall, and the pointer entering a circle collider is
// reported to the components of the collider's entity.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "physics/ColliderCircle.h"
#include "physics/ColliderLine.h"
#include "physics/Physics.h"
#include "physics/Transform.h"
#include "support/InGameTest.h"

namespace {

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

class CollisionInGameTest : public InGameTest {
protected:
    void TearDown() override {
        InGameTest::TearDown();
        ComponentListSystem<ContactProbe>::Instance().ShutDown();
    }
};

TEST_F(CollisionInGameTest, SolidBallDrivenIntoASolidWallStopsAtTheWall) {
    constexpr float kWallX = 300.0f;
    constexpr float kRadius = 50.0f;
    constexpr float kSeconds = 2.0f;
    Transform* ball = nullptr;
    float start = 0.0f;
    float furthest = 0.0f;
    // Watched after the collision pass of every frame, for two seconds of the engine's own time.
    probe.onUpdate = [&](int) {
        furthest = std::max(furthest, ball->position.x);
        if (engine.totalTime - start > kSeconds) {
            engine.running = false;
        }
    };
    RunPasses([&] {
        engine.paused = false;
        Entity& wall = AddEntity("Wall", {kWallX, 0.0f});
        wall.GetComponent<Transform>()->isStatic = true;
        auto* line = new ColliderLine();
        line->vertices = {{0.0f, -400.0f}, {0.0f, 400.0f}};
        line->isSolid = true;
        wall.AddComponent(line);

        Entity& mover = AddEntity("Ball", {0.0f, 0.0f});
        auto* circle = new ColliderCircle();
        circle->radius = kRadius;
        circle->isSolid = true;
        mover.AddComponent(circle);
        auto* physics = new Physics();
        // Slow enough that even a long frame cannot carry the centre past the wall.
        physics->velocity = {300.0f, 0.0f};
        mover.AddComponent(physics);
        ball = mover.GetComponent<Transform>();
        start = engine.totalTime;
    });
    // The ball's positions were read during the pass, before the shutdown freed it.
    EXPECT_LT(furthest, kWallX - kRadius) << "the ball never overlaps the wall after a pass";
    EXPECT_GT(furthest, kWallX - kRadius - 10.0f) << "the ball reached the wall";
}

TEST_F(CollisionInGameTest, PointerOverACircleIsReportedToItsEntitysComponents) {
    ContactProbe* contacts = nullptr;
    std::vector<std::string> touched;
    // Far from the target first.
    PointAt(100, 650);
    Do([&] { EXPECT_TRUE(contacts->contacts.empty()) << "no contact while the pointer is away"; });
    // Window pixel (540, 193) is world (0, 501): inside the target's circle.
    PointAt(540, 193);
    Until([&] {
        touched = contacts->contacts;
        return !touched.empty();
    });
    Play([&] {
        engine.paused = false;
        Entity& target = AddEntity("Target", {0.0f, 500.0f});
        auto* circle = new ColliderCircle();
        circle->radius = 100.0f;
        target.AddComponent(circle);
        contacts = new ContactProbe();
        target.AddComponent(contacts);
    });
    ASSERT_FALSE(touched.empty()) << "the pointer was never reported over the target";
    EXPECT_EQ(touched.front(), "MouseObject");
}

}  // namespace
