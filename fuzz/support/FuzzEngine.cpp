#include "support/FuzzEngine.h"

#include "engine/Engine.h"
#include "entities/ComponentLists.h"
#include "entities/Entity.h"
#include "entities/VirtualComponentListSystem.h"
#include "physics/Transform.h"

namespace {
// One frame at 60 frames per second.
constexpr float kFrameSeconds = 1.0f / 60.0f;
}  // namespace

FuzzEngine& FuzzEngine::Instance() {
    static auto* engine = new FuzzEngine();
    return *engine;
}

FuzzEngine::FuzzEngine() {
    Engine& engine = Engine::Instance();
    engine.originEntity = new Entity("OriginEntity");
    engine.paused = false;
    MakePointer();
}

void FuzzEngine::MakePointer() {
    Engine& engine = Engine::Instance();
    engine.mouseObject = new Entity("MouseObject");
    engine.mouseObject->AddComponent(new Transform(), UpdateLayer::AVERAGE);
}

void FuzzEngine::Frame() {
    Engine& engine = Engine::Instance();
    engine.dt = kFrameSeconds;
    engine.originEntity->RemoveDestroyedChildren();
    for (VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
        list->FlushPending();
    }
    for (VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
        list->Update(kFrameSeconds);
    }
}

void FuzzEngine::Reset() {
    Engine& engine = Engine::Instance();
    for (Entity* child : engine.originEntity->children) {
        child->Destroy();
    }
    engine.originEntity->RemoveDestroyedChildren();
    delete engine.mouseObject;
    for (VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
        list->FlushPending();
    }
    // Deletes what no entity owns any more (a component replaced by another of its type, one
    // queued by an update and never flushed).
    for (VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
        list->ShutDown();
    }
    MakePointer();
}
