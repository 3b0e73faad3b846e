// World values of the transform hierarchy and the physics integration.

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "engine/Matrix4.h"
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

// The world matrix is built directly rather than multiplied out, and must still be exactly the
// product: the same bits reach the shader, signed zeros and all.
::testing::AssertionResult SameBits(const Matrix4& built, const Matrix4& product) {
    if (std::memcmp(&built, &product, sizeof(Matrix4)) == 0) {
        return ::testing::AssertionSuccess();
    }
    auto failure = ::testing::AssertionFailure();
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            if (std::memcmp(&built.m[c][r], &product.m[c][r], sizeof(float)) != 0) {
                failure << "[" << c << "][" << r << "] " << built.m[c][r] << " != "
                        << product.m[c][r] << "; ";
            }
        }
    }
    return failure;
}

Matrix4 Product(float tx, float ty, float radians, float sx, float sy) {
    return Matrix4::Translate({tx, ty, 0.0f}) * Matrix4::RotateZ(radians) *
           Matrix4::Scale({sx, sy, 1.0f});
}

TEST(WorldMatrixTest, BuiltMatrixIsTheProductBitForBit) {
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float tx, ty, radians, sx, sy;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 0.0f, 1.0f, 1.0f},
        {-0.0f, -0.0f, -0.0f, -0.0f, -0.0f},
        {10.0f, 20.0f, 1.5707964f, 2.0f, 3.0f},
        {-1850.0f, 1000.5f, 3.1415927f, -12.0f, 12.0f},
        {1e30f, -1e-30f, 1e-30f, 1e-38f, 3e38f},
        {5.0f, -7.0f, -2.5f, 0.0f, -0.0f},
        {123.456f, -654.321f, 100.0f, 0.25f, 4.0f},
        {kInfinity, 0.0f, 0.5f, 1.0f, 1.0f},
        {0.0f, 0.0f, 0.5f, -kInfinity, 2.0f},
        {0.0f, 0.0f, kInfinity, 1.0f, 1.0f},
        {kNaN, 1.0f, 0.0f, 1.0f, kNaN},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(SameBits(Matrix4::TranslateRotateZScale(c.tx, c.ty, c.radians, c.sx, c.sy),
                             Product(c.tx, c.ty, c.radians, c.sx, c.sy)))
            << c.tx << " " << c.ty << " " << c.radians << " " << c.sx << " " << c.sy;
    }
}

TEST_F(TransformTest, MatrixOfAChildIsTheProductOfItsWorldValues) {
    Transform* parent = AddTransform(*root, {100.0f, 50.0f}, 30.0f, {2.0f, -3.0f});
    auto* child = new Entity("Child");
    root->AddChild(child);
    Transform* local = AddTransform(*child, {10.0f, -4.0f}, -75.0f, {0.5f, 1.5f});
    for (Transform* transform : {parent, local}) {
        transform->UpdateMatrix();
        const Vector2 t = transform->GetWorldPosition();
        const Vector2 s = transform->GetWorldScale();
        const float radians = transform->GetWorldRotation() * 0.017453292f;
        EXPECT_TRUE(SameBits(transform->matrix, Product(t.x, t.y, radians, s.x, s.y)));
    }
    EXPECT_EQ(local->GetWorldRotation(), -45.0f);
    EXPECT_EQ(local->GetWorldScale(), (Vector2{1.0f, -4.5f}));
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
