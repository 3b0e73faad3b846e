#include "engine/Engine.h"

#include <string>

#include "engine/DataDirectories.h"
#include "engine/InputMessage.h"
#include "engine/MessageHandler.h"
#include "engine/StopwatchRegistry.h"
#include "engine/System.h"
#include "engine/TraceLog.h"
#include "input/InputStateSystem.h"
#include "input/InputSystem.h"

namespace {
constexpr const char* kPreUpdatesSpan = "Pre-Updates";
constexpr const char* kUpdateControlSystemsGroup = "Update Control Systems";
constexpr const char* kRenderControlSystemsGroup = "Render Control Systems";
}  // namespace

Engine& Engine::Instance() {
    static Engine* engine = new Engine();
    return *engine;
}

void Engine::RegisterSystem(System* system) {
    systems.push_back(system);
    system->engine = this;
}

void Engine::Initialize() {
    const std::string perUser = PerUserFolder();
    DataDirectory = perUser + kMirroredDataSubPath + "/";
    ShadersDirectory = perUser + kMirroredShadersSubPath + "/";

    TraceLog::Truncate();
    TraceLog::Log("Engine::Initialize");
    restart = false;

    RegisterSystem(&InputSystem::Instance());
    RegisterSystem(&InputStateSystem::Instance());

    running = true;

    for (System* system : systems) {
        TraceLog::Log("Engine::Initialize - Initialized system: " + system->GetName());
        system->Initialize();
    }
}

void Engine::Update(float frameDt) {
    StartStopwatch({}, kPreUpdatesSpan);
    for (System* system : systems) {
        system->PreUpdate();
    }
    StopStopwatch({}, kPreUpdatesSpan);

    for (System* system : systems) {
        const std::string& name = system->GetName();
        StartStopwatch({kUpdateControlSystemsGroup}, name);
        system->Update(frameDt);
        StopStopwatch({kUpdateControlSystemsGroup}, name);
    }
}

void Engine::Render() {
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
}

void Engine::SendMessage(const InputMessage& message) {
    TraceLog::Log("Engine Received Message: InputMessage");
    for (System* system : systems) {
        if (auto* handler = dynamic_cast<MessageHandler*>(system)) {
            handler->HandleMessage(message);
        }
    }
}
