#pragma once
// The first child of the current scene with a given name, for tests and benchmarks that drive a
// shipped scene and need to reach one of its entities.

#include <string>

#include "entities/Entity.h"
#include "entities/SceneSystem.h"

inline Entity* SceneChildNamed(const std::string& name) {
    Entity* scene = SceneSystem::Instance().currentScene;
    if (scene == nullptr) {
        return nullptr;
    }
    for (Entity* child : scene->children) {
        if (child->name == name) {
            return child;
        }
    }
    return nullptr;
}
