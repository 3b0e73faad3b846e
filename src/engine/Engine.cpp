#include "engine/Engine.h"

#include <string>
#include <string_view>

#include <GLFW/glfw3.h>

#include "SharedDependencies/Source/Stream.h"
#include "engine/DataDirectories.h"
#include "engine/EngineSettings.h"
#include "engine/InputMessage.h"
#include "engine/MessageHandler.h"
#include "engine/Random.h"
#include "engine/StopwatchRegistry.h"
#include "engine/System.h"
#include "engine/TraceLog.h"
#include "entities/ComponentLists.h"
#include "entities/Entity.h"
#include "entities/SceneSystem.h"
#include "entities/VirtualComponentListSystem.h"
#include "graphics/GraphicsSystem.h"
#include "input/InputSystem.h"
#include "physics/ColliderCircle.h"
#include "physics/Transform.h"

namespace {
constexpr const char* kPreUpdatesSpan = "Pre-Updates";
constexpr const char* kUpdateControlSystemsGroup = "Update Control Systems";
constexpr const char* kRenderControlSystemsGroup = "Render Control Systems";
constexpr const char* kOriginEntityName = "OriginEntity";
constexpr const char* kMouseObjectName = "MouseObject";
// The pointer's circle, through which buttons see the mouse.
constexpr float kMouseColliderRadius = 10.0f;
// The settings name the start scene with this prefix; ChangeScene adds it itself.
constexpr std::string_view kScenesPrefix = "Scenes/";

constexpr const char* kInputMappingsFile = "DefaultInputMappings.txt";
}  // namespace

// A missing mapping file is created empty (read-write-append) and binds nothing, which leaves
// the game without controls and is worth a warning; a broken one is reported by the reader and
// keeps the entries before the fault.
void Engine::LoadInputMappings() {
    const std::string path = DataDirectory + kInputMappingsFile;
    InputSystem& input = InputSystem::Instance();
    try {
        Stream mappings(path, Stream::kReadWriteAppend);
        if (input.LoadMappings(mappings, path) && input.bindings.empty()) {
            TraceLog::Warning("Engine::Initialize - " + path + " binds no input: no key does "
                              "anything");
        }
    } catch (const std::exception& error) {
        input.bindings.clear();
        TraceLog::Error(std::string("Engine::Initialize - no input mappings: ") + error.what());
    }
}

namespace {
void ChangeToDefaultScene() {
    const std::string& file = EngineSettings::defaultEntityFile;
    if (file.empty()) {
        return;
    }
    // Too short to carry the prefix: cutting it off would leave a meaningless scene name.
    if (file.size() < kScenesPrefix.size()) {
        TraceLog::Warning("Engine::Initialize - Default scene refused, \"" + file +
                          "\" is shorter than \"" + std::string(kScenesPrefix) + "\"");
        return;
    }
    SceneSystem::Instance().ChangeScene(file.substr(kScenesPrefix.size()));
}
}  // namespace

Engine& Engine::Instance() {
    static Engine* engine = new Engine();
    return *engine;
}

void Engine::RegisterSystem(System* system) {
    systems.push_back(system);
    system->engine = this;
}

void Engine::Initialize(const std::vector<System*>& systemsToRegister) {
    const std::string perUser = PerUserFolder();
    DataDirectory = perUser + kMirroredDataSubPath + "/";
    ShadersDirectory = perUser + kMirroredShadersSubPath + "/";

    TraceLog::Truncate();
    TraceLog::Log("Engine::Initialize");
    restart = false;
    tickCount = 0;
    LoadEngineSettings();
    LoadInputMappings();

    for (System* system : systemsToRegister) {
        RegisterSystem(system);
    }

    running = true;

    originEntity = new Entity(kOriginEntityName);
    mouseObject = new Entity(kMouseObjectName);

    SeedRandomFromEntropy();
    for (VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
        list->Initialize();
    }
    for (System* system : systems) {
        TraceLog::Log("Engine::Initialize - Initialized system: " + system->GetName());
        system->Initialize();
    }

    mouseObject->AddComponent(new Transform(), UpdateLayer::AVERAGE);
    auto* pointerCollider = new ColliderCircle();
    pointerCollider->radius = kMouseColliderRadius;
    mouseObject->AddComponent(pointerCollider, UpdateLayer::AVERAGE);

    paused = !EngineSettings::runOnStart;
    editing = paused;
    ChangeToDefaultScene();
}

void Engine::Tick(float tickLength) {
    ++tickCount;
    Update(tickLength);
}

void Engine::Update(float frameDt) {
    StartStopwatch({}, kPreUpdatesSpan);
    FollowCursor();
    for (System* system : systems) {
        system->PreUpdate();
    }
    const auto lists = ComponentListsInFanOutOrder();
    for (VirtualComponentListSystem* list : lists) {
        list->PreUpdate();
    }
    originEntity->RemoveDestroyedChildren();
    for (VirtualComponentListSystem* list : lists) {
        list->FlushPending();
    }
    StopStopwatch({}, kPreUpdatesSpan);

    for (VirtualComponentListSystem* list : lists) {
        list->Update(frameDt);
    }

    for (System* system : systems) {
        const std::string& name = system->GetName();
        StartStopwatch({kUpdateControlSystemsGroup}, name);
        system->Update(frameDt);
        StopStopwatch({kUpdateControlSystemsGroup}, name);
    }
}

void Engine::Render() {
    for (VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
        list->Render();
    }
    for (System* system : systems) {
        const std::string& name = system->GetName();
        StartStopwatch({kRenderControlSystemsGroup}, name);
        system->Render();
        StopStopwatch({kRenderControlSystemsGroup}, name);
    }
}

void Engine::Shutdown() {
    TraceLog::Log("Engine::Shutdown");
    for (auto it = systems.rbegin(); it != systems.rend(); ++it) {
        TraceLog::Log("Engine::Shutdown - Shutting down system: " + (*it)->GetName());
        (*it)->ShutDown();
    }
    systems.clear();

    delete originEntity;
    originEntity = nullptr;
    delete mouseObject;
    mouseObject = nullptr;

    for (VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
        list->ShutDown();
    }
}

void Engine::FollowCursor() {
    Transform* transform = mouseObject->GetComponent<Transform>();
    GraphicsSystem& graphics = GraphicsSystem::Instance();
    if (transform == nullptr || graphics.window == nullptr) {
        return;
    }
    double cursorX = 0.0;
    double cursorY = 0.0;
    glfwGetCursorPos(graphics.window, &cursorX, &cursorY);
    transform->SetPosition(graphics.WindowToWorld(cursorX, cursorY));
}

void Engine::SendMessage(const InputMessage& message) {
    TraceLog::Log("Engine Received Message: InputMessage");
    for (System* system : systems) {
        if (auto* handler = dynamic_cast<MessageHandler*>(system)) {
            handler->HandleMessage(message);
        }
    }
    for (VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
        list->SendMessage(message);
    }
}
