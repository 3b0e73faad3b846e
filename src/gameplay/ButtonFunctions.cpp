#include "gameplay/ButtonFunctions.h"

#include "engine/Engine.h"
#include "entities/SceneSystem.h"

namespace {
constexpr const char* kMainScene = "MainScene.json";
constexpr const char* kMenuScene = "MenuScene.json";
}  // namespace

const std::unordered_map<std::string, ButtonAction> buttonFunctions{
    {"Start", [] { SceneSystem::Instance().ChangeScene(kMainScene); }},
    {"Quit", [] { Engine::Instance().running = false; }},
    {"Menu", [] { SceneSystem::Instance().ChangeScene(kMenuScene); }},
};
