#include "entities/SceneSystem.h"

#include <exception>

#include "engine/Engine.h"
#include "engine/TraceLog.h"
#include "entities/Entity.h"
#include "entities/EntityFiles.h"

namespace {
constexpr const char* kScenesFolder = "Scenes/";
}  // namespace

SceneSystem& SceneSystem::Instance() {
    static SceneSystem* system = new SceneSystem();
    return *system;
}

void SceneSystem::ChangeScene(std::string name) {
    TraceLog::Log("SceneSystem::ChangeScene - Switching to scene: " + name);
    Entity* scene = nullptr;
    try {
        scene = LoadEntity(kScenesFolder + name);
    } catch (const std::exception& error) {
        TraceLog::Error("SceneSystem::ChangeScene - Failed to scene: " + name +
                        " | error message: " + error.what());
        return;
    }
    // A scene freed elsewhere has already been forgotten (ForgetFreedScene), so this is always
    // a live entity.
    if (currentScene != nullptr) {
        currentScene->Destroy();
    }
    Engine::Instance().originEntity->AddChild(scene);
    currentScene = scene;
    currentSceneName = std::move(name);
}

void SceneSystem::ForgetFreedScene(const Entity* freed) {
    if (freed == currentScene) {
        currentScene = nullptr;
        currentSceneName.clear();
    }
}

void SceneSystem::ShutDown() {
    currentScene = nullptr;
    currentSceneName.clear();
}
