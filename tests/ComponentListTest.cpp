// Entities and the per-type component lists: deferred additions and removals, the sweep, owner
// links, layer order and the engine's message fan-out.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ControlSystem.h"
#include "engine/Engine.h"
#include "engine/InputMessage.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "physics/Transform.h"

namespace {

// Records every hook call into a shared journal. It lives in its own list (ProbeComponent's),
// except when added as a Transform to take part in the engine's fan-out.
std::vector<std::string> journal;

class ProbeComponent : public Transform {
public:
    static constexpr const char* kComponentName = "Probe";
    explicit ProbeComponent(std::string label) : label(std::move(label)) { ++alive; }
    ~ProbeComponent() override {
        --alive;
        journal.push_back(label + " deleted");
    }
    void Initialize() override { journal.push_back(label + " initialize"); }
    void Update(float) override { journal.push_back(label + " update"); }
    void Render() override { journal.push_back(label + " render"); }
    void ShutDown() override { journal.push_back(label + " shutdown"); }
    void HandleMessage(const InputMessage&) override { journal.push_back(label + " message"); }

    std::string label;
    static int alive;
};
int ProbeComponent::alive = 0;

using ProbeList = ComponentListSystem<ProbeComponent>;

class ComponentListTest : public ::testing::Test {
protected:
    void SetUp() override { journal.clear(); }
    void TearDown() override { ProbeList::Instance().ShutDown(); }

    // One frame of the list as the engine runs it: flush, update, render.
    static void Frame() {
        ProbeList& list = ProbeList::Instance();
        list.FlushPending();
        list.Update(0.0f);
        list.Render();
    }
    ProbeList& list = ProbeList::Instance();
};

TEST_F(ComponentListTest, AdditionTakesEffectAtTheNextFlush) {
    Entity entity("Holder");
    auto* probe = new ProbeComponent("a");
    entity.AddComponent(probe);
    EXPECT_EQ(entity.GetComponent<ProbeComponent>(), probe);
    EXPECT_EQ(probe->owner, &entity);
    list.Update(0.0f);
    EXPECT_TRUE(journal.empty()) << "updated before it entered its list";
    Frame();
    EXPECT_EQ(journal, (std::vector<std::string>{"a initialize", "a update", "a render"}));
    EXPECT_EQ(list.Layer(UpdateLayer::AVERAGE).size(), 1u);
}

TEST_F(ComponentListTest, LayersRunFastestFirstEveryFrame) {
    Entity first("First");
    Entity second("Second");
    first.AddComponent(new ProbeComponent("slowest"), UpdateLayer::SLOWEST);
    second.AddComponent(new ProbeComponent("fastest"), UpdateLayer::FASTEST);
    list.FlushPending();
    journal.clear();
    for (int frame = 0; frame < 2; ++frame) {
        list.Update(0.0f);
    }
    EXPECT_EQ(journal, (std::vector<std::string>{"fastest update", "slowest update",
                                                 "fastest update", "slowest update"}));
}

TEST_F(ComponentListTest, DoubleRemovalShutsDownAndDeletesOnce) {
    Entity entity("Holder");
    auto* probe = new ProbeComponent("a");
    entity.AddComponent(probe);
    list.FlushPending();
    const ComponentEntry entry = entity.components.begin()->second;
    list.RemoveComponent(entry);
    list.RemoveComponent(entry);
    journal.clear();
    list.FlushPending();
    EXPECT_EQ(journal, (std::vector<std::string>{"a shutdown", "a deleted"}));
    EXPECT_EQ(entity.GetComponent<ProbeComponent>(), nullptr);
    EXPECT_TRUE(list.Layer(UpdateLayer::AVERAGE).empty());
}

TEST_F(ComponentListTest, FreedOwnerLeavesComponentsUntilTheFlush) {
    auto* entity = new Entity("Holder");
    auto* probe = new ProbeComponent("a");
    entity->AddComponent(probe);
    list.FlushPending();
    delete entity;
    EXPECT_EQ(probe->owner, nullptr);
    journal.clear();
    list.Update(0.0f);
    EXPECT_EQ(journal, (std::vector<std::string>{"a update"})) << "still updated until the flush";
    list.FlushPending();
    EXPECT_EQ(ProbeComponent::alive, 0);
}

TEST_F(ComponentListTest, ReplacedEntryIsErasedByTheOlderComponentsRemoval) {
    Entity entity("Holder");
    auto* older = new ProbeComponent("older");
    auto* newer = new ProbeComponent("newer");
    entity.AddComponent(older);
    list.FlushPending();
    const ComponentEntry olderEntry = entity.components.begin()->second;
    entity.AddComponent(newer);
    EXPECT_EQ(entity.GetComponent<ProbeComponent>(), newer);
    EXPECT_EQ(older->owner, &entity) << "the replaced component keeps its owner";
    list.RemoveComponent(olderEntry);
    list.FlushPending();
    // Carrying out the older removal erases the type's entry even though it names the newer one.
    EXPECT_EQ(entity.GetComponent<ProbeComponent>(), nullptr);
    EXPECT_EQ(list.Layer(UpdateLayer::AVERAGE), (std::vector<ProbeComponent*>{newer}));
}

TEST_F(ComponentListTest, ShutdownDeletesEverythingIncludingQueuedAdditions) {
    Entity entity("Holder");
    entity.AddComponent(new ProbeComponent("started"));
    list.FlushPending();
    Entity other("Other");
    other.AddComponent(new ProbeComponent("queued"));
    journal.clear();
    list.ShutDown();
    EXPECT_EQ(journal,
              (std::vector<std::string>{"started shutdown", "started deleted", "queued deleted"}));
    EXPECT_EQ(ProbeComponent::alive, 0);
    EXPECT_TRUE(list.Pending().empty());
    entity.components.clear();
    other.components.clear();
}

TEST(EntityTreeTest, SweepFreesMarkedSubtreesOnceFromTheNearestUnmarkedAncestor) {
    Entity root("Root");
    auto* keep = new Entity("Keep");
    auto* doomed = new Entity("Doomed");
    auto* grandchild = new Entity("Grandchild");
    auto* sibling = new Entity("Sibling");
    root.AddChild(keep);
    root.AddChild(doomed);
    doomed->AddChild(grandchild);
    keep->AddChild(sibling);
    const int before = Entity::liveEntityCount;

    doomed->Destroy();
    EXPECT_TRUE(grandchild->destroyed);
    sibling->Destroy();
    root.Destroy();
    root.destroyed = false;  // the sweep root itself is never freed, marked or not
    keep->destroyed = false;
    root.RemoveDestroyedChildren();

    EXPECT_EQ(root.children, (std::vector<Entity*>{keep}));
    EXPECT_TRUE(keep->children.empty());
    EXPECT_EQ(Entity::liveEntityCount, before - 3);
}

TEST(EntityTreeTest, IdsCountUpAndLookupsNeverCreateEntries) {
    Entity a("A");
    Entity b("B");
    EXPECT_EQ(b.id, a.id + 1);
    EXPECT_EQ(a.GetComponent<Transform>(), nullptr);
    EXPECT_TRUE(a.components.empty());
    a.AddChild(&b);
    EXPECT_EQ(b.parent, &a);
    a.children.clear();
}

// A system that records when it hears a message.
class JournalSystem : public ControlSystem {
public:
    void HandleMessage(const InputMessage&) override { journal.push_back("system message"); }
};

TEST(MessageTest, SystemsHearMessagesBeforeComponentsAndPendingComponentsNot) {
    journal.clear();
    Engine& engine = Engine::Instance();
    JournalSystem system;
    engine.RegisterSystem(&system);
    Entity entity("Holder");
    auto& transforms = ComponentListSystem<Transform>::Instance();
    entity.AddComponent<Transform>(new ProbeComponent("live"));
    transforms.FlushPending();
    Entity late("Late");
    late.AddComponent<Transform>(new ProbeComponent("pending"));
    journal.clear();

    engine.SendMessage(InputMessage{InputType::JUMP, true});

    EXPECT_EQ(journal, (std::vector<std::string>{"system message", "live message"}));
    engine.systems.clear();
    transforms.ShutDown();
    entity.components.clear();
    late.components.clear();
}

}  // namespace
