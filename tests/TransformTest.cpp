// World values of the transform hierarchy and the physics integration.

#include <gtest/gtest.h>

#include "entities/Entity.h"
#include "physics/Physics.h"
#include "physics/Transform.h"

namespace {

// Entities with transforms, freed together with their lists' contents.
class TransformTest : public ::testing::Test {
protected:
    Transform* AddTransform(Entity& entity, Vector2 position, float rotation, Vector2 scale) {
        auto* transform = new Transform();
        entity.AddComponent(transform);
        transform->SetPosition(position);
        transform->SetRotation(rotation);
        transform->SetScale(scale);
        return transform;
    }
    void TearDown() override {
        root.reset();
        ComponentListSystem<Transform>::Instance().ShutDown();
        ComponentListSystem<Physics>::Instance().ShutDown();
    }

    std::unique_ptr<Entity> root = std::make_unique<Entity>("Root");
};

TEST_F(TransformTest, ChildWorldValuesFollowTheParentsRotationAndScale) {
    Transform* parent = AddTransform(*root, {100.0f, 50.0f}, 90.0f, {2.0f, 3.0f});
    auto* child = new Entity("Child");
    root->AddChild(child);
    Transform* local = AddTransform(*child, {10.0f, 0.0f}, 0.0f, {1.0f, 1.0f});

    const Vector2 world = local->GetWorldPosition();
    EXPECT_NEAR(world.x, 100.0f, 1e-3);
    EXPECT_NEAR(world.y, 70.0f, 1e-3);
    EXPECT_EQ(local->GetWorldScale(), (Vector2{2.0f, 3.0f}));
    EXPECT_FLOAT_EQ(local->GetWorldRotation(), 90.0f);
    EXPECT_EQ(parent->GetWorldPosition(), (Vector2{100.0f, 50.0f}));
}

TEST_F(TransformTest, OnlyOneLevelOfScaleIsInherited) {
    AddTransform(*root, {}, 0.0f, {2.0f, 2.0f});
    auto* middle = new Entity("Middle");
    root->AddChild(middle);
    AddTransform(*middle, {}, 0.0f, {3.0f, 3.0f});
    auto* inner = new Entity("Inner");
    middle->AddChild(inner);
    Transform* innermost = AddTransform(*inner, {}, 0.0f, {5.0f, 5.0f});
    EXPECT_EQ(innermost->GetWorldScale(), (Vector2{15.0f, 15.0f}));
}

TEST_F(TransformTest, OnlyDirectChildrenAreMarkedWhenAParentMoves) {
    Transform* top = AddTransform(*root, {0.0f, 0.0f}, 0.0f, {1.0f, 1.0f});
    auto* child = new Entity("Child");
    root->AddChild(child);
    Transform* middle = AddTransform(*child, {10.0f, 0.0f}, 0.0f, {1.0f, 1.0f});
    auto* grandchild = new Entity("Grandchild");
    child->AddChild(grandchild);
    Transform* bottom = AddTransform(*grandchild, {1.0f, 0.0f}, 0.0f, {1.0f, 1.0f});
    bottom->UpdateMatrix();
    middle->UpdateMatrix();
    EXPECT_EQ(bottom->GetWorldPosition(), (Vector2{11.0f, 0.0f}));

    top->SetPosition({100.0f, 0.0f});
    EXPECT_TRUE(middle->isDirty);
    EXPECT_FALSE(bottom->isDirty);
    EXPECT_EQ(bottom->GetWorldPosition(), (Vector2{11.0f, 0.0f})) << "stale until marked";
    middle->SetPosition({20.0f, 0.0f});
    EXPECT_EQ(bottom->GetWorldPosition(), (Vector2{121.0f, 0.0f}));
}

TEST_F(TransformTest, SettingTheSameValueChangesNothing) {
    Transform* top = AddTransform(*root, {5.0f, 5.0f}, 0.0f, {1.0f, 1.0f});
    auto* child = new Entity("Child");
    root->AddChild(child);
    Transform* below = AddTransform(*child, {}, 0.0f, {1.0f, 1.0f});
    top->UpdateMatrix();
    below->UpdateMatrix();
    top->SetPosition({5.0f, 5.0f});
    top->SetRotation(0.0f);
    top->SetScale({1.0f, 1.0f});
    EXPECT_FALSE(top->isDirty);
    EXPECT_FALSE(below->isDirty);
}

TEST_F(TransformTest, MatrixIsTranslateRotateScale) {
    Transform* transform = AddTransform(*root, {10.0f, 20.0f}, 90.0f, {2.0f, 3.0f});
    transform->UpdateMatrix();
    EXPECT_FALSE(transform->isDirty);
    const Vector3 corner = transform->matrix.TransformPoint({1.0f, 1.0f, 0.0f});
    // (2, 3) rotated by 90 degrees is (-3, 2), then moved by (10, 20).
    EXPECT_NEAR(corner.x, 7.0f, 1e-4);
    EXPECT_NEAR(corner.y, 22.0f, 1e-4);
}

TEST_F(TransformTest, PhysicsIntegratesSemiImplicitly) {
    struct Case {
        Vector2 velocity;
        Vector2 acceleration;
        float dt;
        Vector2 expectedVelocity;
        Vector2 expectedPosition;
    };
    const Case cases[] = {
        {{0.0f, 0.0f}, {10.0f, 0.0f}, 0.5f, {5.0f, 0.0f}, {2.5f, 0.0f}},
        {{4.0f, -2.0f}, {0.0f, 0.0f}, 0.25f, {4.0f, -2.0f}, {1.0f, -0.5f}},
        {{4.0f, -2.0f}, {1.0f, 1.0f}, 0.0f, {4.0f, -2.0f}, {0.0f, 0.0f}},  // paused
    };
    for (const Case& c : cases) {
        Entity entity("Mover");
        Transform* transform = AddTransform(entity, {}, 0.0f, {1.0f, 1.0f});
        transform->UpdateMatrix();
        auto* physics = new Physics();
        entity.AddComponent(physics);
        physics->velocity = c.velocity;
        physics->acceleration = c.acceleration;
        physics->Update(c.dt);
        EXPECT_EQ(physics->velocity, c.expectedVelocity);
        EXPECT_EQ(transform->position, c.expectedPosition);
        EXPECT_EQ(physics->oldPosition, (Vector2{0.0f, 0.0f}));
        EXPECT_EQ(physics->newPosition, c.expectedPosition);
        EXPECT_EQ(transform->isDirty, c.dt != 0.0f);
    }
}

TEST_F(TransformTest, PhysicsWithoutATransformDoesNothing) {
    Entity entity("Bare");
    auto* physics = new Physics();
    entity.AddComponent(physics);
    physics->velocity = {1.0f, 1.0f};
    physics->Update(1.0f);
    EXPECT_EQ(physics->newPosition, (Vector2{0.0f, 0.0f}));
}

}  // namespace
