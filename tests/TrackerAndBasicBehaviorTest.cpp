// Two small components that act on the world around the player: the Tracker, which turns its
// entity towards another entity, and the BasicBehavior, a timed object that dies on walls, balls
// and enemies.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/Engine.h"
#include "entities/Entity.h"
#include "gameplay/BasicBehavior.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/Tracker.h"
#include "graphics/Sprite.h"
#include "physics/ColliderCircle.h"
#include "physics/Transform.h"
#include "support/GameplayTest.h"

namespace {

using nlohmann::json;

class TrackerTest : public GameplayTest {
protected:
    void SetUp() override {
        GameplayTest::SetUp();
        target = AddEntity("Target", {0.0f, 0.0f});
        turret = AddEntity("Turret", {500.0f, -300.0f});
        tracker = new Tracker();
        turret->AddComponent(tracker);
    }

    Entity* target = nullptr;
    Entity* turret = nullptr;
    Tracker* tracker = nullptr;
};

struct FacingCase {
    Vector2 target;
    float angle;
};

TEST_F(TrackerTest, FacesTheTargetAsSeenFromTheTargetsOwnOrigin) {
    tracker->target = target;
    // The turret stands at (500, -300); the angle ignores that.
    const std::vector<FacingCase> cases{
        {{0.0f, 10.0f}, 0.0f},     {{10.0f, 0.0f}, -90.0f}, {{-10.0f, 0.0f}, 90.0f},
        {{0.0f, -10.0f}, -180.0f}, {{5.0f, 5.0f}, -45.0f},  {{0.0f, 0.0f}, -90.0f},
    };
    for (const FacingCase& row : cases) {
        SCOPED_TRACE(::testing::Message() << row.target.x << ", " << row.target.y);
        target->GetComponent<Transform>()->SetPosition(row.target);
        tracker->Update(0.0f);
        EXPECT_EQ(tracker->targetPosition, row.target);
        EXPECT_NEAR(tracker->angle, row.angle, 1e-4f);
        EXPECT_NEAR(turret->GetComponent<Transform>()->rotation, row.angle, 1e-4f);
    }
}

TEST_F(TrackerTest, BelowAnotherEntityItTakesBackTheParentsRotation) {
    tracker->target = target;
    target->GetComponent<Transform>()->SetPosition({0.0f, 10.0f});

    Entity* tank = AddEntity("Tank", {0.0f, 0.0f});
    tank->GetComponent<Transform>()->SetRotation(30.0f);
    auto* barrel = new Entity("Barrel");
    barrel->AddComponent(new Transform());
    auto* mounted = new Tracker();
    mounted->target = target;
    barrel->AddComponent(mounted);
    tank->AddChild(barrel);
    mounted->Update(0.0f);
    EXPECT_NEAR(mounted->angle, -30.0f, 1e-4f);
    EXPECT_NEAR(barrel->GetComponent<Transform>()->GetWorldRotation(), 0.0f, 1e-4f)
        << "the world heading is the computed one";

    // Directly below the root nothing is taken back, even when the root had a transform.
    Engine::Instance().originEntity->AddComponent(new Transform());
    Engine::Instance().originEntity->GetComponent<Transform>()->SetRotation(45.0f);
    tracker->Update(0.0f);
    EXPECT_NEAR(tracker->angle, 0.0f, 1e-4f);
}

TEST_F(TrackerTest, WithoutATargetTheRotationIsLeftAlone) {
    Transform* transform = turret->GetComponent<Transform>();
    transform->SetRotation(12.0f);
    tracker->Update(0.0f);
    EXPECT_EQ(transform->rotation, 12.0f);
    EXPECT_EQ(tracker->angle, 0.0f);

    Entity* bare = new Entity("Bare");
    Engine::Instance().originEntity->AddChild(bare);
    tracker->target = bare;
    tracker->Update(0.0f);
    EXPECT_EQ(transform->rotation, 12.0f) << "a target without a transform has no position";
}

TEST_F(TrackerTest, SavesItsLastSightingAndCloneKeepsTheTarget) {
    tracker->target = target;
    target->GetComponent<Transform>()->SetPosition({3.0f, 4.0f});
    tracker->Update(0.0f);
    const json saved = tracker->ToJson();
    EXPECT_EQ(saved.size(), 2u);
    Tracker loaded;
    loaded.FromJson(saved);
    EXPECT_EQ(loaded.targetPosition, (Vector2{3.0f, 4.0f}));
    EXPECT_EQ(loaded.angle, tracker->angle);
    EXPECT_EQ(loaded.target, nullptr) << "the target is never saved";

    const std::unique_ptr<Component> copy = tracker->Clone();
    EXPECT_EQ(dynamic_cast<Tracker&>(*copy).target, target);
    EXPECT_EQ(copy->owner, nullptr);
}

class BasicBehaviorTest : public GameplayTest {};

TEST_F(BasicBehaviorTest, LifetimeRunsDownOnlyWhileTheGameRuns) {
    Entity* entity = AddEntity("Timed", {0.0f, 0.0f});
    auto* behavior = new BasicBehavior();
    behavior->lifeTime = 0.1;
    entity->AddComponent(behavior);
    for (int update = 0; update < 50; ++update) {
        behavior->Update(0.0f);
    }
    EXPECT_FALSE(entity->destroyed) << "paused updates take nothing off";
    behavior->Update(0.06f);
    EXPECT_FALSE(entity->destroyed);
    behavior->Update(0.06f);
    EXPECT_TRUE(entity->destroyed);

    Entity* lasting = AddEntity("Lasting", {0.0f, 0.0f});
    auto* endless = new BasicBehavior();
    endless->lifeTime = 0.0;
    lasting->AddComponent(endless);
    endless->Update(10.0f);
    EXPECT_FALSE(lasting->destroyed) << "a lifetime starting at zero never runs out";
}

struct TouchCase {
    const char* otherName;
    bool enemy;
    bool dies;
};

TEST_F(BasicBehaviorTest, DiesOnWallsBallsAndEnemiesOnly) {
    const std::vector<TouchCase> cases{
        {"Wall", false, true},         {"Walls##2", false, true},   {"Ball##3", false, true},
        {"Grunt", true, true},         {"Border##1", false, false}, {"Floor##0", false, false},
        {"MouseObject", false, false},
    };
    for (const TouchCase& row : cases) {
        SCOPED_TRACE(row.otherName);
        Entity* other = AddEntity(row.otherName, {0.0f, 0.0f});
        auto* collider = new ColliderCircle();
        other->AddComponent(collider);
        if (row.enemy) {
            other->AddComponent(new BasicEnemyBehavior());
        }
        Entity* timed = AddEntity("Timed", {0.0f, 0.0f});
        auto* behavior = new BasicBehavior();
        timed->AddComponent(behavior);

        behavior->OnCollision(collider);
        EXPECT_EQ(timed->destroyed, row.dies);
        EXPECT_FALSE(other->destroyed);
        other->Destroy();
        timed->Destroy();
        Engine::Instance().originEntity->RemoveDestroyedChildren();
        FlushAllLists();
    }
}

TEST_F(BasicBehaviorTest, RenderDrawsTheSpriteUntinted) {
    Entity* entity = AddEntity("Timed", {0.0f, 0.0f});
    auto* sprite = new Sprite();
    entity->AddComponent(sprite);
    auto* behavior = new BasicBehavior();
    entity->AddComponent(behavior);
    ASSERT_EQ(sprite->color, (Vector3{0.0f, 0.0f, 0.0f}));
    behavior->Render();
    EXPECT_EQ(sprite->color, (Vector3{1.0f, 1.0f, 1.0f}));
}

TEST_F(BasicBehaviorTest, ReadsItsKeysAndDerivesTheDiagonalSpeed) {
    const BasicBehavior defaults;
    EXPECT_FLOAT_EQ(defaults.diagonalSpeed, std::sqrt(50.0f));
    EXPECT_EQ(defaults.orientation, -1);

    Entity* entity = AddEntity("Loaded", {0.0f, 0.0f});
    const json data{{"speed", 20.0},
                    {"lifeTime", 2.5},
                    {"target", {{"x", 1.0}, {"y", -2.0}}},
                    {"orientation", 90}};
    Entity::from_json({{"BasicBehavior", {{"BasicBehavior", data}, {"Update layer", 2}}}}, *entity);
    const BasicBehavior* read = entity->GetComponent<BasicBehavior>();
    ASSERT_NE(read, nullptr);
    EXPECT_FLOAT_EQ(read->speed, 20.0f);
    EXPECT_FLOAT_EQ(read->diagonalSpeed, std::sqrt(200.0f));
    EXPECT_DOUBLE_EQ(read->lifeTime, 2.5);
    EXPECT_EQ(read->target, (Vector2{1.0f, -2.0f}));
    EXPECT_EQ(read->orientation, 90);
    EXPECT_EQ(read->ToJson(), data);
}

}  // namespace
