// Circle and line colliders and the collision pass: the pair tests, the order in which contacts
// are reported, the push-out response and the JSON form. Colliders are geometry only, so these
// run without a window or an OpenGL context (the test runner gives them no display).

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/UpdateLayer.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "physics/Collider.h"
#include "physics/ColliderCircle.h"
#include "physics/ColliderLine.h"
#include "physics/ColliderRectangle.h"
#include "physics/ColliderSystem.h"
#include "physics/Transform.h"
#include "support/GameTree.h"
#include "support/ShutDownLists.h"

namespace {

using nlohmann::json;
using Segment = ColliderLine::Segment;

// Writes "receiver<-other" (entity names) for every contact its entity is told of.
class Probe : public Component {
public:
    static constexpr const char* kComponentName = "Probe";

    explicit Probe(std::vector<std::string>& journal)
        : Component(kComponentName), journal(journal) {}

    void OnCollision(Collider* other) override {
        journal.push_back(owner->name + "<-" + other->owner->name);
    }
    void FromJson(const json&) override {}
    json ToJson() const override { return json::object(); }

    std::vector<std::string>& journal;
};

bool IsFinite(Vector2 v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

class CollisionTest : public ::testing::Test {
protected:
    void TearDown() override {
        entities.clear();
        ShutDownLists<ColliderCircle, ColliderLine, ColliderRectangle, Transform, Probe>();
    }

    Entity& AddBareEntity(const std::string& name) {
        entities.push_back(std::make_unique<Entity>(name));
        return *entities.back();
    }

    Entity& AddEntity(const std::string& name, Vector2 position, Vector2 scale = {1.0f, 1.0f}) {
        Entity& entity = AddBareEntity(name);
        auto* transform = new Transform();
        transform->SetPosition(position);
        transform->SetScale(scale);
        entity.AddComponent(transform);
        return entity;
    }

    ColliderCircle& AddCircle(Entity& entity, float radius, bool solid = false,
                              UpdateLayer layer = UpdateLayer::AVERAGE) {
        auto* circle = new ColliderCircle();
        circle->radius = radius;
        circle->isSolid = solid;
        entity.AddComponent(circle, layer);
        return *circle;
    }

    ColliderLine& AddLine(Entity& entity, std::vector<Vector2> vertices, bool solid = false,
                          UpdateLayer layer = UpdateLayer::AVERAGE) {
        auto* line = new ColliderLine();
        line->vertices = std::move(vertices);
        line->isSolid = solid;
        entity.AddComponent(line, layer);
        return *line;
    }

    void AddProbe(Entity& entity) { entity.AddComponent(new Probe(journal)); }

    // The colliders enter their lists (Initialize: bounding radius, outlines).
    static void Flush() {
        ComponentListSystem<Transform>::Instance().FlushPending();
        ComponentListSystem<ColliderCircle>::Instance().FlushPending();
        ComponentListSystem<ColliderLine>::Instance().FlushPending();
        ComponentListSystem<ColliderRectangle>::Instance().FlushPending();
    }

    static void RunPass() {
        Flush();
        ColliderSystem::Instance().Update(0.0f);
    }

    static Vector2 PositionOf(const Entity& entity) {
        return entity.GetComponent<Transform>()->position;
    }

    GameTree tree;
    std::vector<std::unique_ptr<Entity>> entities;
    std::vector<std::string> journal;
};

// ---- Pair tests ----

struct CirclePairCase {
    const char* name;
    Vector2 firstScale;
    Vector2 firstOffset;
    Vector2 secondPosition;
    bool touches;
};

TEST_F(CollisionTest, CirclesTouchStrictlyWithinTheirScaledRadii) {
    const CirclePairCase cases[] = {
        {"20 apart: exactly touching is not a contact", {1, 1}, {0, 0}, {20, 0}, false},
        {"19.99 apart", {1, 1}, {0, 0}, {19.99f, 0}, true},
        {"the larger scale component scales the radius", {1, 2}, {0, 0}, {29, 0}, true},
        {"the scale is not applied per axis", {1, 2}, {0, 0}, {31, 0}, false},
        {"relativePos moves the centre", {1, 1}, {15, 0}, {34, 0}, true},
        {"relativePos away from the other", {1, 1}, {-15, 0}, {19, 0}, false},
    };
    for (const CirclePairCase& c : cases) {
        SCOPED_TRACE(c.name);
        ColliderCircle& first = AddCircle(AddEntity("First", {0, 0}, c.firstScale), 10.0f);
        first.relativePos = c.firstOffset;
        ColliderCircle& second = AddCircle(AddEntity("Second", c.secondPosition), 10.0f);
        Flush();
        EXPECT_EQ(ColliderSystem::CirclesTouch(&first, &second), c.touches);
        EXPECT_EQ(ColliderSystem::CirclesTouch(&second, &first), c.touches);
    }
}

struct CircleLineCase {
    const char* name;
    Vector2 linePosition;
    Vector2 lineScale;
    std::vector<Vector2> vertices;
    Vector2 circlePosition;
    float radius;
    std::optional<Segment> hit;  // the recorded world segment when they touch
};

TEST_F(CollisionTest, CircleTouchesLineInclusivelyAndRecordsTheSegment) {
    const std::vector<Vector2> bar{{-50, 0}, {50, 0}};
    const std::vector<CircleLineCase> cases{
        {"exactly one radius from the segment",
         {0, 0},
         {1, 1},
         bar,
         {0, 10},
         10,
         Segment{{-50, 0}, {50, 0}}},
        {"just over one radius away", {0, 0}, {1, 1}, bar, {0, 10.01f}, 10, std::nullopt},
        {"past an end but within reach of it",
         {0, 0},
         {1, 1},
         bar,
         {55, 0},
         10,
         Segment{{-50, 0}, {50, 0}}},
        {"past an end, out of reach", {0, 0}, {1, 1}, bar, {59, 8}, 10, std::nullopt},
        {"segment in world coordinates",
         {100, 50},
         {1, 1},
         bar,
         {100, 55},
         10,
         Segment{{50, 50}, {150, 50}}},
        {"a later segment touches",
         {0, 0},
         {1, 1},
         {{-50, 0}, {50, 0}, {0, -30}, {0, 30}},
         {0, 35},
         10,
         Segment{{0, -30}, {0, 30}}},
        {"an odd last vertex is no segment",
         {0, 0},
         {1, 1},
         {{-50, 0}, {50, 0}, {0, 40}},
         {0, 40},
         5,
         std::nullopt},
        // With scale (3, 1) the segment (0, 10)-(0, 20) is placed at (0, 30)-(0, 20): the first
        // end takes scale.x in both coordinates, the second scale.y.
        {"first end scaled by scale.x",
         {0, 0},
         {3, 1},
         {{0, 10}, {0, 20}},
         {0, 28},
         1,
         Segment{{0, 30}, {0, 20}}},
        {"not scaled per axis", {0, 0}, {3, 1}, {{0, 10}, {0, 20}}, {0, 12}, 1, std::nullopt},
    };
    for (const CircleLineCase& c : cases) {
        SCOPED_TRACE(c.name);
        ColliderLine& line = AddLine(AddEntity("Wall", c.linePosition, c.lineScale), c.vertices);
        ColliderCircle& circle = AddCircle(AddEntity("Ball", c.circlePosition), c.radius);
        Flush();
        EXPECT_EQ(ColliderSystem::CircleTouchesLine(&circle, &line), c.hit.has_value());
        if (c.hit) {
            EXPECT_EQ(line.hitSegment.first, c.hit->first);
            EXPECT_EQ(line.hitSegment.second, c.hit->second);
        }
    }
}

struct LinePairCase {
    const char* name;
    std::vector<Vector2> first;
    Vector2 secondPosition;
    std::vector<Vector2> second;
    bool touches;
};

TEST_F(CollisionTest, LinesTouchWhenSegmentsCrossMeetOrOverlap) {
    const std::vector<LinePairCase> cases{
        {"crossing", {{-10, -10}, {10, 10}}, {0, 0}, {{-10, 10}, {10, -10}}, true},
        {"an end on the other segment", {{-10, 0}, {10, 0}}, {0, 0}, {{0, 0}, {0, 10}}, true},
        {"a shared end", {{0, 0}, {10, 0}}, {0, 0}, {{10, 0}, {20, 5}}, true},
        {"collinear and overlapping", {{-10, 0}, {10, 0}}, {0, 0}, {{5, 0}, {20, 0}}, true},
        {"collinear with a gap", {{-10, 0}, {-5, 0}}, {0, 0}, {{5, 0}, {20, 0}}, false},
        {"parallel", {{-10, 0}, {10, 0}}, {0, 0}, {{-10, 1}, {10, 1}}, false},
        {"would cross only if extended", {{-10, 0}, {10, 0}}, {0, 0}, {{0, 1}, {5, 10}}, false},
        {"a later segment crosses",
         {{20, 20}, {21, 21}, {-10, -10}, {10, 10}},
         {0, 0},
         {{-10, 10}, {10, -10}},
         true},
        {"crossing shapes on entities far apart",
         {{-10, -10}, {10, 10}},
         {100, 0},
         {{-10, 10}, {10, -10}},
         false},
    };
    for (const LinePairCase& c : cases) {
        SCOPED_TRACE(c.name);
        ColliderLine& first = AddLine(AddEntity("First", {0, 0}), c.first);
        ColliderLine& second = AddLine(AddEntity("Second", c.secondPosition), c.second);
        Flush();
        EXPECT_EQ(ColliderSystem::LinesTouch(&first, &second), c.touches);
        EXPECT_EQ(ColliderSystem::LinesTouch(&second, &first), c.touches);
    }
}

TEST_F(CollisionTest, BoundingRadiusHoldsEveryVertexAroundTheLinesCentre) {
    ColliderLine& line = AddLine(AddEntity("Shape", {0, 0}), {{3, 4}, {-1, 0}, {0, -2}});
    Flush();
    EXPECT_FLOAT_EQ(line.boundingRadius, 5.0f);
}

struct AwayCase {
    const char* name;
    Vector2 position;
    Segment segment;
    Vector2 away;
};

TEST(AwayFromSegmentTest, PointsFromTheSegmentTowardsThePosition) {
    const AwayCase cases[] = {
        {"before the first end", {-20, 0}, {{0, 0}, {10, 0}}, {-1, 0}},
        {"past the second end", {13, 4}, {{0, 0}, {10, 0}}, {0.6f, 0.8f}},
        {"beside the segment, left of its direction", {5, 3}, {{0, 0}, {10, 0}}, {0, 1}},
        {"beside the segment, right of its direction", {5, -3}, {{0, 0}, {10, 0}}, {0, -1}},
        {"zero-length segment", {1, 4}, {{1, 1}, {1, 1}}, {0, 1}},
        {"zero-length segment under the position", {1, 1}, {{1, 1}, {1, 1}}, {0, 0}},
    };
    for (const AwayCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Vector2 away = ColliderSystem::AwayFromSegment(c.position, c.segment);
        EXPECT_NEAR(away.x, c.away.x, 1e-6);
        EXPECT_NEAR(away.y, c.away.y, 1e-6);
    }
}

// ---- The pass ----

TEST_F(CollisionTest, PointerCircleFindsCirclesButNeverLines) {
    Entity& pointer = AddEntity("MouseObject", {0, 0});
    AddCircle(pointer, 10.0f);
    AddProbe(pointer);
    Entity& button = AddEntity("Button", {15, 0});
    AddCircle(button, 10.0f);
    AddProbe(button);
    // Through the pointer's centre, out of the button's reach.
    Entity& wall = AddEntity("Wall", {-5, 0});
    AddLine(wall, {{5, -50}, {5, 50}});
    AddProbe(wall);

    RunPass();

    EXPECT_EQ(journal, (std::vector<std::string>{"MouseObject<-Button", "Button<-MouseObject"}));
}

struct OrderedCollider {
    const char* name;
    bool circle;
    UpdateLayer layer;
};

TEST_F(CollisionTest, ContactsAreReportedLayerByLayerCirclesBeforeLines) {
    // Everything overlaps at the origin, so every pair is a contact; none is solid.
    const OrderedCollider colliders[] = {
        {"C1a", true, UpdateLayer::FAST},  {"C1b", true, UpdateLayer::FAST},
        {"L1a", false, UpdateLayer::FAST}, {"L1b", false, UpdateLayer::FAST},
        {"C3", true, UpdateLayer::SLOW},   {"L0", false, UpdateLayer::FASTEST},
        {"L3", false, UpdateLayer::SLOW},
    };
    for (const OrderedCollider& c : colliders) {
        Entity& entity = AddEntity(c.name, {0, 0});
        if (c.circle) {
            AddCircle(entity, 10.0f, false, c.layer);
        } else {
            AddLine(entity, {{-20, 0}, {20, 0}}, false, c.layer);
        }
        AddProbe(entity);
    }
    // Layer by layer: each circle against later circles and the lines of its layer, then against
    // every later layer (circles, then lines); then each line against later lines of its layer
    // and every later layer. The first-named collider of a report is told first.
    const std::pair<const char*, const char*> reports[] = {
        {"L0", "C1a"},  {"L0", "C1b"},  {"L0", "L1a"},  {"L0", "L1b"},  {"L0", "C3"},
        {"L0", "L3"},   {"C1a", "C1b"}, {"C1a", "L1a"}, {"C1a", "L1b"}, {"C1a", "C3"},
        {"C1a", "L3"},  {"C1b", "L1a"}, {"C1b", "L1b"}, {"C1b", "C3"},  {"C1b", "L3"},
        {"L1a", "L1b"}, {"L1a", "C3"},  {"L1a", "L3"},  {"L1b", "C3"},  {"L1b", "L3"},
        {"C3", "L3"},
    };
    std::vector<std::string> expected;
    for (const auto& [a, b] : reports) {
        expected.push_back(std::string(a) + "<-" + b);
        expected.push_back(std::string(b) + "<-" + a);
    }

    RunPass();

    EXPECT_EQ(journal, expected);
}

TEST_F(CollisionTest, RectanglesAreNeverTested) {
    for (const char* name : {"Box", "Crate"}) {
        Entity& entity = AddEntity(name, {0, 0});
        auto* rectangle = new ColliderRectangle();
        rectangle->size = {100, 100};
        rectangle->isSolid = true;
        entity.AddComponent(rectangle);
        AddProbe(entity);
    }
    Entity& ball = AddEntity("Ball", {0, 0});
    AddCircle(ball, 10.0f, true);
    AddProbe(ball);

    RunPass();

    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(PositionOf(ball), (Vector2{0, 0}));
}

TEST_F(CollisionTest, CollidersWithoutATransformAreSkipped) {
    Entity& placed = AddEntity("Placed", {0, 0});
    ColliderCircle& placedCircle = AddCircle(placed, 10.0f, true);
    AddProbe(placed);
    Entity& looseBall = AddBareEntity("LooseBall");
    ColliderCircle& looseCircle = AddCircle(looseBall, 10.0f, true);
    AddProbe(looseBall);
    Entity& looseWall = AddBareEntity("LooseWall");
    ColliderLine& looseLine = AddLine(looseWall, {{-20, 0}, {20, 0}}, true);
    AddProbe(looseWall);

    RunPass();
    placedCircle.OnCollision(&looseCircle);
    looseCircle.OnCollision(&placedCircle);
    looseCircle.Render();
    looseLine.Render();

    EXPECT_TRUE(journal.empty());
    EXPECT_FALSE(ColliderSystem::CirclesTouch(&placedCircle, &looseCircle));
    EXPECT_FALSE(ColliderSystem::CircleTouchesLine(&placedCircle, &looseLine));
    EXPECT_EQ(PositionOf(placed), (Vector2{0, 0}));
}

// ---- Push-out response ----

struct WallCase {
    const char* name;
    float startY;
    UpdateLayer wallLayer;
    float endY;
};

TEST_F(CollisionTest, CircleOverlappingAStaticWallIsPushedOutAlongItsNormalInHalfSteps) {
    // 3 units of overlap: 7 steps of 0.5 (3.5 units) before the pair stops touching. A wall in
    // an earlier layer is told of the contact first; being static, it still stays.
    const WallCase cases[] = {
        {"above the wall, circle told first", 7.0f, UpdateLayer::AVERAGE, 10.5f},
        {"below the wall, wall told first", -7.0f, UpdateLayer::FASTEST, -10.5f},
    };
    for (const WallCase& c : cases) {
        SCOPED_TRACE(c.name);
        Entity& wall = AddEntity("Wall", {0, 0});
        wall.GetComponent<Transform>()->isStatic = true;
        ColliderLine& line = AddLine(wall, {{-100, 0}, {100, 0}}, true, c.wallLayer);
        Entity& ball = AddEntity("Ball", {0, c.startY});
        ColliderCircle& circle = AddCircle(ball, 10.0f, true);

        RunPass();

        EXPECT_EQ(PositionOf(ball), (Vector2{0, c.endY}));
        EXPECT_EQ(PositionOf(wall), (Vector2{0, 0}));
        EXPECT_FALSE(ColliderSystem::CircleTouchesLine(&circle, &line));
        entities.clear();
    }
}

TEST_F(CollisionTest, TheFirstReportedCircleMovesAndTheSecondStays) {
    struct Case {
        const char* name;
        bool leftFirst;
        Vector2 leftEnd;
        Vector2 rightEnd;
    };
    const Case cases[] = {
        {"left one first", true, {-5, 0}, {15, 0}},
        {"right one first", false, {0, 0}, {20, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::array<Vector2, 2> starts{Vector2{0, 0}, Vector2{15, 0}};
        std::array<const char*, 2> names{"Left", "Right"};
        if (!c.leftFirst) {
            std::swap(starts[0], starts[1]);
            std::swap(names[0], names[1]);
        }
        Entity& first = AddEntity(names[0], starts[0]);
        AddCircle(first, 10.0f, true);
        Entity& second = AddEntity(names[1], starts[1]);
        AddCircle(second, 10.0f, true);
        Entity& left = c.leftFirst ? first : second;
        Entity& right = c.leftFirst ? second : first;

        RunPass();

        EXPECT_EQ(PositionOf(left), c.leftEnd);
        EXPECT_EQ(PositionOf(right), c.rightEnd);
        entities.clear();
    }
}

TEST_F(CollisionTest, InactiveCollidersAreReportedButNotPushed) {
    for (const bool firstInactive : {true, false}) {
        SCOPED_TRACE(firstInactive ? "first inactive" : "second inactive");
        journal.clear();
        Entity& first = AddEntity("First", {0, 0});
        ColliderCircle& firstCircle = AddCircle(first, 10.0f, true);
        AddProbe(first);
        Entity& second = AddEntity("Second", {15, 0});
        ColliderCircle& secondCircle = AddCircle(second, 10.0f, true);
        AddProbe(second);
        (firstInactive ? firstCircle : secondCircle).active = false;

        RunPass();

        EXPECT_EQ(journal, (std::vector<std::string>{"First<-Second", "Second<-First"}));
        EXPECT_EQ(PositionOf(first), (Vector2{0, 0}));
        EXPECT_EQ(PositionOf(second), (Vector2{15, 0}));
        entities.clear();
    }
}

TEST_F(CollisionTest, PushOutWithoutADirectionLeavesPositionsFinite) {
    struct Case {
        const char* name;
        std::function<void()> build;
        bool firstMoves;
    };
    const Vector2 spot{5, 5};
    const std::vector<Case> cases{
        {"coincident circles",
         [&] {
             AddCircle(AddEntity("A", spot), 10.0f, true);
             AddCircle(AddEntity("B", spot), 10.0f, true);
         },
         false},
        {"circle centred on a zero-length segment",
         [&] {
             AddCircle(AddEntity("A", spot), 10.0f, true);
             AddLine(AddEntity("B", spot), {{0, 0}, {0, 0}}, true);
         },
         false},
        {"crossing lines on coincident entities",
         [&] {
             AddLine(AddEntity("A", spot), {{-10, 0}, {10, 0}}, true);
             AddLine(AddEntity("B", spot), {{0, -10}, {0, 10}}, true);
         },
         false},
        {"circle centred on a segment's end leaves along the normal",
         [&] {
             AddCircle(AddEntity("A", {100, 0}), 10.0f, true);
             AddLine(AddEntity("B", {0, 0}), {{-100, 0}, {100, 0}}, true);
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.build();
        Entity& first = *entities[0];
        Entity& second = *entities[1];
        const Vector2 firstStart = PositionOf(first);
        const Vector2 secondStart = PositionOf(second);

        RunPass();

        EXPECT_TRUE(IsFinite(PositionOf(first)));
        EXPECT_TRUE(IsFinite(PositionOf(second)));
        EXPECT_EQ(PositionOf(first) != firstStart, c.firstMoves);
        EXPECT_EQ(PositionOf(second), secondStart);
        entities.clear();
    }
}

// ---- JSON ----

json LineData(json vertices) {
    return {
        {"base collider", {{"type", 2}, {"name", "Rim"}, {"isSolid", false}, {"active", false}}},
        {"relativePos", {{"x", 1}, {"y", 2}}},
        {"is solid", true},
        {"vertices", std::move(vertices)}};
}

TEST_F(CollisionTest, EntityReaderBuildsALineWithoutTheTemplateEntry) {
    const json vertices =
        json::array({{{"x", -5}, {"y", 0}}, {{"x", 5}, {"y", 0}}, {{"x", 99}, {"y", 99}}});
    Entity entity("Level");
    Entity::from_json({{"Collider", {{"Collider", LineData(vertices)}, {"Update layer", 1}}}},
                      entity);

    auto* line = entity.GetComponent<ColliderLine>();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->vertices, (std::vector<Vector2>{{-5, 0}, {5, 0}}));
    EXPECT_EQ(line->label, "Rim");
    EXPECT_FALSE(line->active);
    EXPECT_TRUE(line->isSolid) << "\"is solid\" is read after the base object";
    EXPECT_EQ(line->relativePos, (Vector2{1, 2}));
    EXPECT_EQ(line->type, Collider::kLineKind);
    const auto& pending = ComponentListSystem<ColliderLine>::Instance().Pending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].layer, UpdateLayer::FAST);
}

TEST_F(CollisionTest, EntityReaderBuildsTheKindNamedInTheData) {
    struct Case {
        json data;
        bool circle;
        bool rectangle;
        bool line;
    };
    const json rectangle = {{"base collider", {{"type", 1}}},
                            {"relativePos", {{"x", 0}, {"y", 0}}},
                            {"scale", {{"x", 4}, {"y", 2}}},
                            {"is solid", false}};
    const std::vector<Case> cases{
        {{{"type", 0}, {"relativePos", {{"x", 0}, {"y", 0}}}, {"radius", 3}, {"is solid", false}},
         true,
         false,
         false},
        {rectangle, false, true, false},
        {LineData(json::array({json::object()})), false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data.dump());
        Entity entity("Thing");
        Entity::from_json({{"Collider", {{"Collider", c.data}, {"Update layer", 2}}}}, entity);
        EXPECT_EQ(entity.GetComponent<ColliderCircle>() != nullptr, c.circle);
        EXPECT_EQ(entity.GetComponent<ColliderRectangle>() != nullptr, c.rectangle);
        EXPECT_EQ(entity.GetComponent<ColliderLine>() != nullptr, c.line);
    }
}

TEST_F(CollisionTest, ToJsonReadsBackThroughFromJson) {
    ColliderLine line;
    line.label = "Rim";
    line.isSolid = true;
    line.active = false;
    line.relativePos = {1.5f, -2};
    line.vertices = {{0, 0}, {10, 0}, {10, 10}};
    const json lineJson = line.ToJson();
    EXPECT_EQ(lineJson.at("vertices").back(), json::array({"template", {{"x", 0.0}, {"y", 0.0}}}));
    EXPECT_TRUE(lineJson.at("is solid").is_boolean());
    ColliderLine lineRead;
    lineRead.FromJson(lineJson);
    EXPECT_EQ(lineRead.vertices, line.vertices);
    EXPECT_EQ(lineRead.label, "Rim");
    EXPECT_TRUE(lineRead.isSolid);
    EXPECT_FALSE(lineRead.active);
    EXPECT_EQ(lineRead.relativePos, line.relativePos);

    ColliderRectangle rectangle;
    rectangle.label = "Crate";
    rectangle.isSolid = true;
    rectangle.active = false;
    rectangle.relativePos = {3, 4};
    rectangle.size = {20, 10};
    const json rectangleJson = rectangle.ToJson();
    EXPECT_EQ(rectangleJson.at("base collider").at("type"), Collider::kRectangleKind);
    ColliderRectangle rectangleRead;
    rectangleRead.FromJson(rectangleJson);
    EXPECT_EQ(rectangleRead.label, "Crate");
    EXPECT_TRUE(rectangleRead.isSolid);
    EXPECT_FALSE(rectangleRead.active);
    EXPECT_EQ(rectangleRead.relativePos, rectangle.relativePos);
    EXPECT_EQ(rectangleRead.size, rectangle.size);

    // A circle's reader ignores "base collider": the label and the active flag stay as built.
    ColliderCircle circle;
    circle.label = "Pointer";
    circle.isSolid = true;
    circle.active = false;
    circle.relativePos = {-1, 1};
    circle.radius = 7.5f;
    ColliderCircle circleRead;
    circleRead.FromJson(circle.ToJson());
    EXPECT_EQ(circleRead.radius, 7.5f);
    EXPECT_EQ(circleRead.relativePos, circle.relativePos);
    EXPECT_TRUE(circleRead.isSolid);
    EXPECT_EQ(circleRead.label, Collider::kDefaultLabel);
    EXPECT_TRUE(circleRead.active);
}

TEST_F(CollisionTest, MalformedColliderDataThrows) {
    struct Case {
        const char* name;
        std::function<void()> read;
    };
    json solidAsNumber = LineData(json::array({json::object()}));
    solidAsNumber["is solid"] = 1;
    json noVertices = LineData(json::array());
    noVertices.erase("vertices");
    const std::vector<Case> cases{
        {"line: \"is solid\" as a number", [&] { ColliderLine().FromJson(solidAsNumber); }},
        {"circle: \"is solid\" as a number",
         [] {
             ColliderCircle().FromJson(
                 {{"relativePos", {{"x", 0}, {"y", 0}}}, {"radius", 1}, {"is solid", 0}});
         }},
        {"rectangle: \"is solid\" as a number",
         [] {
             ColliderRectangle().FromJson({{"base collider", json::object()},
                                           {"relativePos", {{"x", 0}, {"y", 0}}},
                                           {"scale", {{"x", 1}, {"y", 1}}},
                                           {"is solid", 1.0}});
         }},
        {"line: no \"vertices\" key", [&] { ColliderLine().FromJson(noVertices); }},
        {"line: \"vertices\" not an array",
         [] {
             ColliderLine().FromJson(LineData({{"x", 0}, {"y", 0}}));
         }},
        {"circle: no \"radius\"",
         [] {
             ColliderCircle().FromJson({{"relativePos", {{"x", 0}, {"y", 0}}}, {"is solid", true}});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(c.read(), json::exception);
    }
}

TEST_F(CollisionTest, LineWithAnEmptyVerticesArrayHasNoVertices) {
    Entity& entity = AddEntity("Empty", {0, 0});
    auto* line = new ColliderLine();
    line->vertices = {{1, 1}, {2, 2}};
    line->FromJson(LineData(json::array()));
    entity.AddComponent(line);
    AddCircle(AddEntity("Ball", {0, 0}), 10.0f);

    RunPass();

    EXPECT_TRUE(line->vertices.empty());
    EXPECT_EQ(line->boundingRadius, 0.0f);
}

TEST(ColliderCloneTest, EveryKindClonesIntoAPlainColliderWithTheSharedFields) {
    ColliderLine line;
    line.label = "Rim";
    line.isSolid = true;
    line.active = false;
    line.vertices = {{0, 0}, {1, 1}};
    Entity owner("Owner");
    line.owner = &owner;

    const std::unique_ptr<Component> clone = line.Clone();

    ASSERT_NE(clone, nullptr);
    const Component& cloned = *clone;
    EXPECT_EQ(typeid(cloned), typeid(Collider));
    const auto& plain = static_cast<const Collider&>(cloned);
    EXPECT_EQ(plain.type, Collider::kLineKind);
    EXPECT_EQ(plain.label, "Rim");
    EXPECT_TRUE(plain.isSolid);
    EXPECT_FALSE(plain.active);
    EXPECT_EQ(plain.name, "Collider");
    EXPECT_EQ(plain.owner, nullptr);
    line.owner = nullptr;
}

}  // namespace
