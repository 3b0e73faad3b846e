#include "gameplay/GameMaster.h"

#include <utility>

#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "entities/SceneSystem.h"
#include "gameplay/PlayerInput.h"
#include "gameplay/Weapon.h"

namespace {

struct CarriedWeapon {
    std::string forScene;
    std::int32_t weaponType = 0;
};

std::optional<CarriedWeapon>& Carried() {
    static std::optional<CarriedWeapon> carried;
    return carried;
}

// The weapon of the first living player, if any.
const Weapon* PlayerWeapon() {
    for (const auto& layer : ComponentListSystem<PlayerInput>::Instance().Layers()) {
        for (const PlayerInput* player : layer) {
            if (player->owner != nullptr && !player->owner->destroyed && !player->IsDying()) {
                return player->owner->GetComponent<Weapon>();
            }
        }
    }
    return nullptr;
}

}  // namespace

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

void GameMaster::CompleteLevel() {
    for (const auto& layer : ComponentListSystem<GameMaster>::Instance().Layers()) {
        if (layer.empty()) {
            continue;
        }
        const std::string next = layer.front()->nextSceneName;
        if (const Weapon* weapon = PlayerWeapon()) {
            Carried() = CarriedWeapon{next, weapon->weaponType};
        } else {
            Carried().reset();
        }
        SceneSystem::Instance().ChangeScene(next);
        return;
    }
}

std::optional<std::int32_t> GameMaster::TakeCarriedWeapon() {
    std::optional<CarriedWeapon> carried = std::exchange(Carried(), std::nullopt);
    if (!carried || carried->forScene != SceneSystem::Instance().currentSceneName) {
        return std::nullopt;
    }
    return carried->weaponType;
}
