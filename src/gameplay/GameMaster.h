#pragma once
// Names the scene that follows the current level. A level's scene carries one; the enemy that
// dies last switches to it. No per-frame behaviour.

#include <string>

#include "entities/Component.h"

class GameMaster : public Component {
public:
    static constexpr const char* kComponentName = "GameMaster";
    // What the entity loader and the editor start with.
    static constexpr const char* kDefaultNextScene = "help";

    GameMaster();
    explicit GameMaster(std::string nextSceneName);

    std::unique_ptr<Component> Clone() const override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // A scene file name inside the scenes folder, extension included.
    std::string nextSceneName;
};
