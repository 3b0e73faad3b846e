// The collision pass against the straightforward all-pairs pass (tests/support), on seeded random
// scenes: the same contacts reported in the same order, every entity told of them at the same
// positions, and the same positions, contact segments and shapes afterwards, bit for bit, over
// several frames of moving bodies. Scenes are built twice from the same seed, once for each pass.
// They cover dense crowds of solid circles (whose push-outs make contacts the pass meets later),
// big pushes that carry a body across many grid cells, all five layers, walls and other lines,
// rectangles, hierarchies with rotated and non-uniformly scaled parents, colliders that cannot be
// placed, values far outside the crowd, and handlers that move other entities or change their
// own shapes (radius, centre offset, a line's vertices) during the pass.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <memory>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/UpdateLayer.h"
#include "engine/Vector2.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "physics/ColliderCircle.h"
#include "physics/ColliderLine.h"
#include "physics/ColliderRectangle.h"
#include "physics/ColliderSystem.h"
#include "physics/Transform.h"
#include "testbed/AllPairsCollisionPass.h"
#include "support/GameTree.h"
#include "support/ShutDownLists.h"

namespace {

using nlohmann::json;

std::uint64_t Bits(Vector2 v) {
    return (std::uint64_t{std::bit_cast<std::uint32_t>(v.x)} << 32) |
           std::bit_cast<std::uint32_t>(v.y);
}

// One component told of one contact: who, by which collider, and where both entities stood.
struct Told {
    int pass;
    std::string receiver;
    std::string other;
    std::uint64_t receiverPosition;
    std::uint64_t otherPosition;
    bool operator==(const Told&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Told& told) {
    return out << "pass " << told.pass << ": " << told.receiver << " <- " << told.other << " at "
               << std::hex << told.receiverPosition << " / " << told.otherPosition << std::dec;
}

std::uint64_t PositionBits(const Entity* entity) {
    const Transform* transform = entity != nullptr ? entity->GetComponent<Transform>() : nullptr;
    return transform != nullptr ? Bits(transform->position) : 0;
}

// Writes down every contact its entity is told of.
class Journal : public Component {
public:
    static constexpr const char* kComponentName = "Journal";

    Journal(std::vector<Told>& entries, const int& pass)
        : Component(kComponentName), entries(entries), pass(pass) {}

    void OnCollision(Collider* other) override {
        entries.push_back(
            {pass, owner->name, other->label, PositionBits(owner), PositionBits(other->owner)});
    }
    void FromJson(const json&) override {}
    json ToJson() const override { return json::object(); }

private:
    std::vector<Told>& entries;
    const int& pass;
};

// Moves another entity next to its own whenever its entity is told of a contact: a handler that
// moves a third party during the pass.
class Meddler : public Component {
public:
    static constexpr const char* kComponentName = "Meddler";

    explicit Meddler(Entity* target) : Component(kComponentName), target(target) {}

    void OnCollision(Collider*) override {
        Transform* mine = owner->GetComponent<Transform>();
        Transform* theirs = target->GetComponent<Transform>();
        theirs->SetPosition(mine->GetWorldPosition() + Vector2{6.0f, -3.0f});
    }
    void FromJson(const json&) override {}
    json ToJson() const override { return json::object(); }

private:
    Entity* target;
};

// Grows its entity's circle and shifts its centre a little with every contact: a handler that
// changes the shape of a collider it is told about.
class Grower : public Component {
public:
    static constexpr const char* kComponentName = "Grower";

    Grower() : Component(kComponentName) {}

    void OnCollision(Collider*) override {
        if (auto* circle = owner->GetComponent<ColliderCircle>()) {
            circle->radius += 1.5f;
            circle->relativePos = circle->relativePos + Vector2{0.75f, 0.0f};
        }
    }
    void FromJson(const json&) override {}
    json ToJson() const override { return json::object(); }
};

// Bends its entity's line a little with every contact, moving a vertex in place: a handler that
// changes the shape of a line it is told about.
class Bender : public Component {
public:
    static constexpr const char* kComponentName = "Bender";

    Bender() : Component(kComponentName) {}

    void OnCollision(Collider*) override {
        if (auto* line = owner->GetComponent<ColliderLine>(); line && !line->vertices.empty()) {
            line->vertices.front() = line->vertices.front() + Vector2{4.0f, 2.0f};
        }
    }
    void FromJson(const json&) override {}
    json ToJson() const override { return json::object(); }
};

struct Recipe {
    const char* name;
    std::vector<unsigned> seeds;
    int circles;
    // Circles are scattered over [-spread, spread] on both axes.
    float spread;
    float minRadius;
    float maxRadius;
    // Each circle takes one of these at random.
    std::vector<UpdateLayer> layers;
    float solidShare;
    float inactiveShare = 0.0f;
    // A solid static outline of wall tiles around the crowd and a few pillars inside, like a
    // tile map's wall collider.
    bool walls = false;
    // Moving line colliders of a few random segments each.
    int lineSoups = 0;
    // Big solid circles dropped deep into the crowd: their push-outs carry bodies far.
    int giants = 0;
    // Circles on child entities (some on grandchildren) of moving, rotated, scaled parents.
    int children = 0;
    // Colliders without a Transform or an entity, zero and negative radii, a pointer-named
    // circle, a line without segments, rectangles, one body far away and one huge circle.
    bool oddities = false;
    // Handlers that move third parties, grow their own circles and bend their own lines.
    bool meddlers = false;
    // Whether the first pass must report contacts that did not exist when it began.
    bool expectsNewContacts = false;
};

constexpr UpdateLayer kFastest = UpdateLayer::FASTEST;
constexpr UpdateLayer kFast = UpdateLayer::FAST;
constexpr UpdateLayer kAverage = UpdateLayer::AVERAGE;
constexpr UpdateLayer kSlow = UpdateLayer::SLOW;
constexpr UpdateLayer kSlowest = UpdateLayer::SLOWEST;

constexpr int kPasses = 3;

// What a run leaves behind: the journal and, after each pass, the state of every entity and
// collider.
struct Outcome {
    std::vector<Told> told;
    std::vector<std::uint64_t> state;
};

// Colliders are geometry only: no window, no OpenGL context (the test runner gives this test no
// display).
class CollisionPassTest : public ::testing::Test {
protected:
    void TearDown() override { Clear(); }

    // Builds the scene of `recipe` for `seed`. Everything random is drawn here, in one order, so
    // two builds are identical.
    void Build(const Recipe& recipe, unsigned seed) {
        random.seed(seed);
        for (int i = 0; i < recipe.circles; ++i) {
            Entity& entity = AddRoot({Uniform(-recipe.spread, recipe.spread),
                                      Uniform(-recipe.spread, recipe.spread)});
            AddCircle(entity, Uniform(recipe.minRadius, recipe.maxRadius), recipe, Pick(recipe));
        }
        for (int i = 0; i < recipe.giants; ++i) {
            // On top of a crowd member, so the overlap is deep.
            const Entity* under = roots[Index(roots.size())].get();
            Entity& entity = AddRoot(under->GetComponent<Transform>()->position +
                                     Vector2{Uniform(-2, 2), Uniform(-2, 2)});
            ColliderCircle& circle = AddCircle(entity, Uniform(60, 90), recipe, Pick(recipe));
            circle.isSolid = true;
            circle.active = true;
        }
        for (int i = 0; i < recipe.children; ++i) {
            AddChildCircle(recipe);
        }
        if (recipe.walls) {
            AddWalls(recipe.spread);
        }
        for (int i = 0; i < recipe.lineSoups; ++i) {
            AddLineSoup(recipe);
        }
        if (recipe.oddities) {
            AddOddities(recipe);
        }
        if (recipe.meddlers) {
            AddMeddlers();
        }
        Flush();
    }

    // Runs the passes, moving every root entity by its velocity between them.
    Outcome Run(void (*pass)()) {
        Outcome outcome;
        journal.clear();
        for (passNumber = 0; passNumber < kPasses; ++passNumber) {
            if (passNumber > 0) {
                Move();
            }
            pass();
            RecordState(outcome.state);
        }
        outcome.told = std::move(journal);
        return outcome;
    }

    // Every (entity, other collider) a journal would write for the pairs that touch before any
    // pass, by the system's own tests.
    std::set<std::pair<std::string, std::string>> TouchingPairs() const {
        std::set<std::pair<std::string, std::string>> pairs;
        for (std::size_t i = 0; i < colliders.size(); ++i) {
            for (std::size_t j = i + 1; j < colliders.size(); ++j) {
                if (ColliderSystem::PairTouches(colliders[i], colliders[j])) {
                    pairs.insert({colliders[i]->owner->name, colliders[j]->label});
                    pairs.insert({colliders[j]->owner->name, colliders[i]->label});
                }
            }
        }
        return pairs;
    }

    void Clear() {
        roots.clear();
        entities.clear();
        colliders.clear();
        circles.clear();
        lines.clear();
        velocities.clear();
        ShutDownLists<ColliderCircle, ColliderLine, ColliderRectangle, Transform, Journal,
                      Meddler, Grower, Bender>();
    }

    static void Flush() {
        ComponentListSystem<Transform>::Instance().FlushPending();
        ComponentListSystem<ColliderCircle>::Instance().FlushPending();
        ComponentListSystem<ColliderLine>::Instance().FlushPending();
        ComponentListSystem<ColliderRectangle>::Instance().FlushPending();
        ComponentListSystem<Journal>::Instance().FlushPending();
        ComponentListSystem<Meddler>::Instance().FlushPending();
        ComponentListSystem<Grower>::Instance().FlushPending();
        ComponentListSystem<Bender>::Instance().FlushPending();
    }

private:
    float Uniform(float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    }
    std::size_t Index(std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    }
    bool Chance(float share) { return Uniform(0, 1) < share; }
    UpdateLayer Pick(const Recipe& recipe) { return recipe.layers[Index(recipe.layers.size())]; }

    Entity& NewEntity(Vector2 position, Vector2 scale = {1, 1}, float rotation = 0) {
        auto* entity = new Entity("e" + std::to_string(entities.size()));
        auto* transform = new Transform();
        transform->SetPosition(position);
        transform->SetScale(scale);
        transform->SetRotation(rotation);
        entity->AddComponent(transform);
        entity->AddComponent(new Journal(journal, passNumber));
        entities.push_back(entity);
        return *entity;
    }

    Entity& AddRoot(Vector2 position, Vector2 scale = {1, 1}, float rotation = 0) {
        Entity& entity = NewEntity(position, scale, rotation);
        roots.emplace_back(&entity);
        velocities.push_back({Uniform(-6, 6), Uniform(-6, 6)});
        return entity;
    }

    ColliderCircle& AddCircle(Entity& entity, float radius, const Recipe& recipe,
                              UpdateLayer layer) {
        auto* circle = new ColliderCircle();
        circle->radius = radius;
        circle->isSolid = Chance(recipe.solidShare);
        circle->active = !Chance(recipe.inactiveShare);
        circle->label = "c" + std::to_string(colliders.size());
        entity.AddComponent(circle, layer);
        colliders.push_back(circle);
        circles.push_back(circle);
        return *circle;
    }

    ColliderLine& AddLine(Entity& entity, std::vector<Vector2> vertices, bool solid,
                          UpdateLayer layer) {
        auto* line = new ColliderLine();
        line->vertices = std::move(vertices);
        line->isSolid = solid;
        line->label = "l" + std::to_string(colliders.size());
        entity.AddComponent(line, layer);
        colliders.push_back(line);
        lines.push_back(line);
        return *line;
    }

    void AddChildCircle(const Recipe& recipe) {
        // A parent among the entities so far (possibly a child itself: grandchildren), turned and
        // stretched now and then so the child's world position follows a real transform chain.
        Entity* parent = entities[Index(entities.size())];
        if (parent->GetComponent<Transform>() == nullptr) {
            parent = roots.front().get();
        }
        if (Chance(0.5f)) {
            Transform* parentTransform = parent->GetComponent<Transform>();
            parentTransform->SetRotation(Uniform(0, 360));
            parentTransform->SetScale({Uniform(0.5f, 2.0f), Uniform(0.5f, 2.0f)});
        }
        Entity& child = NewEntity({Uniform(-30, 30), Uniform(-30, 30)});
        parent->AddChild(&child);
        AddCircle(child, Uniform(recipe.minRadius, recipe.maxRadius), recipe, Pick(recipe));
        // Some transforms are clean (as if their sprite had drawn), so their cached world
        // position stays put until they are marked again.
        if (Chance(0.3f)) {
            child.GetComponent<Transform>()->UpdateMatrix();
        }
    }

    void AddWalls(float spread) {
        // Tiles of 64 around the crowd, and a few 2 x 2 pillars; edges between wall tiles are
        // left out, as a tile map's outline does.
        constexpr float kTile = 64.0f;
        const int half = static_cast<int>(spread / kTile) + 2;
        std::set<std::pair<int, int>> wall;
        for (int i = -half; i <= half; ++i) {
            wall.insert({i, -half});
            wall.insert({i, half});
            wall.insert({-half, i});
            wall.insert({half, i});
        }
        for (int p = 0; p < 4; ++p) {
            const int x = static_cast<int>(Index(static_cast<std::size_t>(2 * half - 3))) - half + 1;
            const int y = static_cast<int>(Index(static_cast<std::size_t>(2 * half - 3))) - half + 1;
            for (const auto& [dx, dy] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}}) {
                wall.insert({x + dx, y + dy});
            }
        }
        std::vector<Vector2> outline;
        const auto edge = [&](float x1, float y1, float x2, float y2) {
            outline.push_back({x1 * kTile, y1 * kTile});
            outline.push_back({x2 * kTile, y2 * kTile});
        };
        for (const auto& [x, y] : wall) {
            const float fx = static_cast<float>(x);
            const float fy = static_cast<float>(y);
            if (!wall.contains({x, y - 1})) edge(fx - 0.5f, fy - 0.5f, fx + 0.5f, fy - 0.5f);
            if (!wall.contains({x, y + 1})) edge(fx - 0.5f, fy + 0.5f, fx + 0.5f, fy + 0.5f);
            if (!wall.contains({x - 1, y})) edge(fx - 0.5f, fy - 0.5f, fx - 0.5f, fy + 0.5f);
            if (!wall.contains({x + 1, y})) edge(fx + 0.5f, fy - 0.5f, fx + 0.5f, fy + 0.5f);
        }
        Entity& entity = NewEntity({0, 0});
        roots.emplace_back(&entity);
        velocities.push_back({0, 0});
        entity.GetComponent<Transform>()->isStatic = true;
        AddLine(entity, std::move(outline), true, kAverage);
    }

    void AddLineSoup(const Recipe& recipe) {
        Entity& entity = AddRoot({Uniform(-recipe.spread, recipe.spread),
                                  Uniform(-recipe.spread, recipe.spread)});
        std::vector<Vector2> vertices;
        const auto count = 2 + Index(5);
        for (std::size_t i = 0; i < 2 * count; ++i) {
            vertices.push_back({Uniform(-40, 40), Uniform(-40, 40)});
        }
        AddLine(entity, std::move(vertices), Chance(0.5f), Pick(recipe));
    }

    void AddOddities(const Recipe& recipe) {
        // A circle whose entity has no Transform, and one without an entity at all.
        auto* bare = new Entity("bare");
        entities.push_back(bare);
        roots.emplace_back(bare);
        velocities.push_back({0, 0});
        AddCircle(*bare, 20, recipe, kAverage);
        auto* orphan = new ColliderCircle();
        orphan->radius = 20;
        orphan->label = "orphan";
        ComponentListSystem<ColliderCircle>::Instance().QueueAddition(orphan, kFast);
        // Zero and negative radii, offsets from the entity, uneven and negative scales.
        for (const float radius : {0.0f, -12.0f, 15.0f, 15.0f}) {
            Entity& entity = AddRoot({Uniform(-recipe.spread, recipe.spread), Uniform(-30, 30)},
                                     {Uniform(-1.5f, 2.5f), Uniform(0.5f, 2.5f)});
            ColliderCircle& circle = AddCircle(entity, radius, recipe, Pick(recipe));
            circle.relativePos = {Uniform(-20, 20), Uniform(-20, 20)};
            circle.isSolid = true;
        }
        // The pointer's name: it finds circles but never lines.
        AddCircle(AddRoot({0, 0}), 10, recipe, kAverage);
        entities.back()->name = "MouseObject";
        // A line with a single vertex has no segment.
        AddLine(AddRoot({5, 5}), {{1, 1}}, true, kFastest);
        // Rectangles beside circles: told of their partners' contacts, never tested.
        for (int i = 0; i < 5; ++i) {
            Entity& entity = *roots[Index(static_cast<std::size_t>(recipe.circles))];
            if (entity.GetComponent<ColliderRectangle>() != nullptr) {
                continue;
            }
            auto* rectangle = new ColliderRectangle();
            rectangle->size = {40, 40};
            rectangle->isSolid = true;
            entity.AddComponent(rectangle, kSlow);
        }
        // Far from everything, and one circle big enough to be tested against everything.
        AddCircle(AddRoot({1.0e6f, -1.0e6f}), 5, recipe, kSlowest);
        AddCircle(AddRoot({1.0e6f + 3, -1.0e6f}), 5, recipe, kFastest);
        AddCircle(AddRoot({Uniform(-recipe.spread, recipe.spread), 0}), 5 * recipe.spread,
                  recipe, kSlow);
    }

    void AddMeddlers() {
        for (int i = 0; i < 6; ++i) {
            Entity* mover = roots[Index(roots.size())].get();
            Entity* target = roots[Index(roots.size())].get();
            if (mover->GetComponent<Transform>() != nullptr &&
                target->GetComponent<Transform>() != nullptr && mover != target) {
                mover->AddComponent(new Meddler(target));
            }
        }
        for (int i = 0; i < 6; ++i) {
            Entity* entity = entities[Index(entities.size())];
            if (entity->GetComponent<ColliderCircle>() != nullptr &&
                entity->GetComponent<Transform>() != nullptr) {
                entity->AddComponent(new Grower());
            }
        }
        for (ColliderLine* line : lines) {
            if (!line->owner->GetComponent<Transform>()->isStatic) {
                line->owner->AddComponent(new Bender());
            }
        }
    }

    void Move() {
        for (std::size_t i = 0; i < roots.size(); ++i) {
            if (Transform* transform = roots[i]->GetComponent<Transform>()) {
                transform->SetPosition(transform->position + velocities[i]);
            }
        }
    }

    void RecordState(std::vector<std::uint64_t>& state) const {
        for (const Entity* entity : entities) {
            state.push_back(PositionBits(entity));
        }
        for (const ColliderCircle* circle : circles) {
            state.push_back(std::bit_cast<std::uint32_t>(circle->radius));
            state.push_back(Bits(circle->relativePos));
        }
        for (const ColliderLine* line : lines) {
            state.push_back(Bits(line->hitSegment.first));
            state.push_back(Bits(line->hitSegment.second));
            state.push_back(line->vertices.empty() ? 0 : Bits(line->vertices.front()));
        }
    }

    std::mt19937 random;
    // Top-level entities (each owns its subtree), and every entity in creation order.
    std::vector<std::unique_ptr<Entity>> roots;
    std::vector<Entity*> entities;
    std::vector<Collider*> colliders;
    std::vector<ColliderCircle*> circles;
    std::vector<ColliderLine*> lines;
    std::vector<Vector2> velocities;

    // Every journal writes here; numbered by the pass being run.
    std::vector<Told> journal;
    int passNumber = 0;
    GameTree tree;
};

void EnginePass() {
    ColliderSystem::Instance().Update(0.0f);
}

// The engine's steps around its pass, with every pair tested in between.
void AllPairsPass() {
    ColliderSystem::KeepBodiesOutOfWalls();
    RunAllPairsCollisionPass();
    ColliderSystem::KeepBodiesOutOfWalls();
    ColliderSystem::SettleAgainstWalls();
}

// Where two journals first part, for a readable failure.
::testing::AssertionResult SameJournal(const std::vector<Told>& engine,
                                       const std::vector<Told>& reference) {
    for (std::size_t i = 0; i < std::min(engine.size(), reference.size()); ++i) {
        if (!(engine[i] == reference[i])) {
            return ::testing::AssertionFailure()
                   << "entry " << i << " differs: engine " << engine[i] << ", all pairs "
                   << reference[i];
        }
    }
    if (engine.size() != reference.size()) {
        return ::testing::AssertionFailure() << "engine told " << engine.size()
                                             << " times, all pairs " << reference.size();
    }
    return ::testing::AssertionSuccess();
}

const std::vector<UpdateLayer> kTwoLayers{kAverage, kSlow};
const std::vector<UpdateLayer> kAllLayers{kFastest, kFast, kAverage, kSlow, kSlowest};

const Recipe kRecipes[] = {
    {.name = "sparse circles in one layer",
     .seeds = {1, 2, 3},
     .circles = 300,
     .spread = 1500,
     .minRadius = 5,
     .maxRadius = 25,
     .layers = {kAverage},
     .solidShare = 0.5f},
    {.name = "dense solid crowd in two layers: push-outs make new contacts",
     .seeds = {4, 5, 6},
     .circles = 400,
     .spread = 300,
     .minRadius = 8,
     .maxRadius = 20,
     .layers = kTwoLayers,
     .solidShare = 1.0f,
     .expectsNewContacts = true},
    {.name = "every layer, mixed solidity, some inactive",
     .seeds = {7, 8},
     .circles = 350,
     .spread = 500,
     .minRadius = 5,
     .maxRadius = 30,
     .layers = kAllLayers,
     .solidShare = 0.6f,
     .inactiveShare = 0.2f},
    {.name = "giants pushing bodies across many cells",
     .seeds = {9, 10, 11},
     .circles = 300,
     .spread = 400,
     .minRadius = 4,
     .maxRadius = 10,
     .layers = kTwoLayers,
     .solidShare = 1.0f,
     .giants = 8,
     .expectsNewContacts = true},
    {.name = "walls and line soups among solid circles",
     .seeds = {12, 13, 14},
     .circles = 300,
     .spread = 600,
     .minRadius = 10,
     .maxRadius = 40,
     .layers = kAllLayers,
     .solidShare = 0.8f,
     .walls = true,
     .lineSoups = 12,
     .expectsNewContacts = true},
    {.name = "children of moving, turned and stretched parents",
     .seeds = {15, 16},
     .circles = 200,
     .spread = 300,
     .minRadius = 8,
     .maxRadius = 25,
     .layers = kAllLayers,
     .solidShare = 0.9f,
     .children = 120,
     .expectsNewContacts = true},
    {.name = "oddities",
     .seeds = {17, 18},
     .circles = 200,
     .spread = 400,
     .minRadius = 5,
     .maxRadius = 30,
     .layers = kAllLayers,
     .solidShare = 0.7f,
     .walls = true,
     .lineSoups = 4,
     .oddities = true},
    {.name = "handlers moving third parties, growing their circles and bending their lines",
     .seeds = {19, 20, 21},
     .circles = 300,
     .spread = 350,
     .minRadius = 8,
     .maxRadius = 25,
     .layers = kTwoLayers,
     .solidShare = 0.8f,
     .walls = true,
     .lineSoups = 10,
     .children = 30,
     .meddlers = true,
     .expectsNewContacts = true},
    {.name = "two thousand circles in two layers inside walls",
     .seeds = {22},
     .circles = 2000,
     .spread = 1800,
     .minRadius = 10,
     .maxRadius = 30,
     .layers = kTwoLayers,
     .solidShare = 0.8f,
     .walls = true,
     .expectsNewContacts = true},
};

TEST_F(CollisionPassTest, SameReportsOrderAndPushOutsAsTestingEveryPair) {
    for (const Recipe& recipe : kRecipes) {
        for (const unsigned seed : recipe.seeds) {
            SCOPED_TRACE(std::string(recipe.name) + ", seed " + std::to_string(seed));

            Build(recipe, seed);
            const auto touchingAtStart = TouchingPairs();
            Clear();

            Build(recipe, seed);
            const Outcome engine = Run(EnginePass);
            Clear();

            Build(recipe, seed);
            const Outcome reference = Run(AllPairsPass);
            Clear();

            EXPECT_TRUE(SameJournal(engine.told, reference.told));
            EXPECT_TRUE(engine.state == reference.state) << "positions or shapes differ";

            ASSERT_FALSE(reference.told.empty()) << "a scene without contacts shows nothing";
            if (recipe.expectsNewContacts) {
                std::size_t madeByPushOuts = 0;
                for (const Told& told : reference.told) {
                    if (told.pass == 0 && !touchingAtStart.contains({told.receiver, told.other})) {
                        ++madeByPushOuts;
                    }
                }
                EXPECT_GT(madeByPushOuts, 0U) << "no contact made within the first pass";
            }
        }
    }
}

}  // namespace
