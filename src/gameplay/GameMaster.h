#pragma once
// Names the scene that follows the current level. A level's scene carries one; the enemy that
// dies last completes the level (CompleteLevel), which switches to it. What the player carries
// from one level into the next (its weapon) is kept here between the two scenes. No per-frame
// behaviour.

#include <cstdint>
#include <optional>
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

    // Switches to the next scene named by the current level's GameMaster (the first one found),
    // and keeps the player's weapon type for it. Without a GameMaster nothing happens.
    static void CompleteLevel();
    // The weapon type kept by the last CompleteLevel, when the scene now loaded is the one it was
    // kept for; forgotten either way, so a later level started from the menu begins afresh.
    static std::optional<std::int32_t> TakeCarriedWeapon();

    // A scene file name inside the scenes folder, extension included.
    std::string nextSceneName;
};
