#pragma once
// Developer cheats on the player and the enemies, active while SHIFT is held together with a
// cheat input: invincibility, the player's light radius, passing through walls, and removing
// every enemy. Polls the held-input table every frame, so a cheat acts while its keys are held.

#include "engine/NamedSystem.h"

class CheatSystem : public NamedSystem<SystemType::CHEAT_SYSTEM> {
public:
    static constexpr float kLightsOnRadius = 20.0f;

    static CheatSystem& Instance();

    void Update(float dt) override;

    float lightsOffRadius = 2000.0f;

private:
    CheatSystem() = default;
};
