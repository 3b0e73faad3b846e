#include "entities/SceneSystem.h"

#include <algorithm>
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
    Entity* root = Engine::Instance().originEntity;
    // The scene may have been freed by someone else (destroyed and swept like any entity); only
    // a scene still under the root is marked, never a stale pointer.
    if (currentScene != nullptr && std::find(root->children.begin(), root->children.end(),
                                             currentScene) != root->children.end()) {
        currentScene->Destroy();
    }
    root->AddChild(scene);
    currentScene = scene;
}

void SceneSystem::ShutDown() {
    currentScene = nullptr;
}
