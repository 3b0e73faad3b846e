#include "support/GameplayTest.h"

#include <filesystem>

#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "engine/InputMessage.h"
#include "entities/ComponentLists.h"
#include "entities/Entity.h"
#include "entities/VirtualComponentListSystem.h"
#include "input/InputStateSystem.h"
#include "physics/Transform.h"
#include "support/TraceMessages.h"

namespace {
constexpr const char* kArchetypes[] = {"PistolBullet.json",  "RifleBullet.json",
                                       "SniperBullet.json",  "ShotgunBullet.json",
                                       "FlamethrowerFlame.json", "CurveballBoomerang.json"};
}  // namespace

void GameplayTest::SetUp() {
    WindowTest::SetUp();
    DataDirectory = (tree.root() / "Data").string() + "/";
    ShadersDirectory = (tree.root() / "Shaders").string() + "/";
    for (const char* archetype : kArchetypes) {
        std::filesystem::copy_file(std::filesystem::path(TARNWICK_SOURCE_DIR) / "Data" / archetype,
                                   tree.root() / "Data" / archetype);
    }
    Engine& engine = Engine::Instance();
    engine.originEntity = new Entity("OriginEntity");
    engine.mouseObject = new Entity("MouseObject");
    engine.mouseObject->AddComponent(new Transform());
    ReleaseAll();
}

void GameplayTest::TearDown() {
    Engine& engine = Engine::Instance();
    delete engine.originEntity;
    engine.originEntity = nullptr;
    delete engine.mouseObject;
    engine.mouseObject = nullptr;
    for (VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
        list->ShutDown();
    }
    WindowTest::TearDown();
}

void GameplayTest::SetHeld(InputType input, bool held) {
    InputStateSystem::Instance().HandleMessage(InputMessage{input, held});
}

void GameplayTest::ReleaseAll() {
    for (int input = 0; input < kInputStateCount; ++input) {
        SetHeld(static_cast<InputType>(input), false);
    }
}

Entity* GameplayTest::AddEntity(const std::string& name, Vector2 position) const {
    auto* entity = new Entity(name);
    auto* transform = new Transform();
    transform->SetPosition(position);
    entity->AddComponent(transform);
    Engine::Instance().originEntity->AddChild(entity);
    return entity;
}

void GameplayTest::PlacePointer(Vector2 position) const {
    Engine::Instance().mouseObject->GetComponent<Transform>()->SetPosition(position);
}

std::vector<Entity*> GameplayTest::Projectiles() const {
    std::vector<Entity*> found;
    for (Entity* child : Engine::Instance().originEntity->children) {
        if (child->name == "To Be Loaded") {
            found.push_back(child);
        }
    }
    return found;
}

void GameplayTest::FlushAllLists() {
    for (VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
        list->FlushPending();
    }
}

std::vector<std::string> GameplayTest::TraceErrors() const {
    std::vector<std::string> errors;
    for (const std::string& line : TraceMessages(DataDirectory + "Trace_Log.txt")) {
        if (line.starts_with("ERROR: ")) {
            errors.push_back(line);
        }
    }
    return errors;
}
