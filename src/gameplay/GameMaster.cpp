#include "gameplay/GameMaster.h"

#include <utility>

#include "entities/JsonReaders.h"

GameMaster::GameMaster() : GameMaster(kDefaultNextScene) {}

GameMaster::GameMaster(std::string nextSceneName)
    : Component(kComponentName), nextSceneName(std::move(nextSceneName)) {}

std::unique_ptr<Component> GameMaster::Clone() const {
    return std::make_unique<GameMaster>(*this);
}

void GameMaster::FromJson(const nlohmann::json& data) {
    ReadJsonString(data, "nextSceneName", nextSceneName);
}

nlohmann::json GameMaster::ToJson() const {
    return nlohmann::json{{"nextSceneName", nextSceneName}};
}
