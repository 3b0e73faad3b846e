#pragma once
// Keeps the one scene loaded under the engine's "OriginEntity" and replaces it on request. A
// scene is an entity file in the "Scenes/" folder of the data directory. Switching is deferred
// like all destruction: the new scene is attached at once and the old one only marked, so both
// changes take effect together in the next frame's sweep and flush.

#include <string>

#include "engine/NamedSystem.h"

class Entity;

class SceneSystem : public NamedSystem<SystemType::SCENE_SYSTEM> {
public:
    static SceneSystem& Instance();

    // Loads DataDirectory + "Scenes/" + `name` (extension included) through the entity-file
    // cache, marks the current scene for destruction, attaches the new one under the engine's
    // root entity and makes it current. A file that cannot be opened or parsed is reported as a
    // trace error and changes nothing.
    void ChangeScene(std::string name);

    // Told by every entity that is being freed. When it is the current scene (destroyed and
    // swept by someone else, or freed with the root), no scene is loaded any more. The scene is
    // recognised by identity while it is still alive, never by comparing a stale address: once
    // freed, its address may belong to the next entity allocated.
    void ForgetFreedScene(const Entity* freed);

    // The scene itself is freed with the engine's root entity.
    void ShutDown() override;

    // The top entity of the loaded scene (named "To Be Loaded"), or null when none is loaded.
    Entity* currentScene = nullptr;
    // The file name ChangeScene loaded it from ("Level2Scene.json"), empty when none is loaded.
    std::string currentSceneName;

private:
    SceneSystem() = default;
};
