#include "input/CheatSystem.h"

#include <array>
#include <functional>

#include "engine/InputType.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/PlayerInput.h"
#include "graphics/Emitter.h"
#include "input/InputStateSystem.h"
#include "physics/ColliderCircle.h"

namespace {

// The first player of every update layer that has one; the others are left alone.
void ForEachLayersFirstPlayer(const std::function<void(Entity&)>& apply) {
    for (const auto& layer : ComponentListSystem<PlayerInput>::Instance().Layers()) {
        if (!layer.empty() && layer.front()->owner != nullptr) {
            apply(*layer.front()->owner);
        }
    }
}

void SetInvincible(bool value) {
    ForEachLayersFirstPlayer([value](Entity& player) {
        if (auto* input = player.GetComponent<PlayerInput>()) {
            input->isInvincible = value;
        }
    });
}

void SetLightRadius(float radius) {
    ForEachLayersFirstPlayer([radius](Entity& player) {
        if (auto* emitter = player.GetComponent<Emitter>()) {
            emitter->radius = radius;
        }
    });
}

void SetPhasing(bool phasing) {
    ForEachLayersFirstPlayer([phasing](Entity& player) {
        if (auto* circle = player.GetComponent<ColliderCircle>()) {
            circle->active = !phasing;
        }
    });
}

void Nuke() {
    for (const auto& layer : ComponentListSystem<BasicEnemyBehavior>::Instance().Layers()) {
        for (BasicEnemyBehavior* enemy : layer) {
            if (enemy->owner != nullptr) {
                enemy->owner->Destroy();
            }
        }
    }
}

}  // namespace

CheatSystem& CheatSystem::Instance() {
    static auto* system = new CheatSystem();
    return *system;
}

void CheatSystem::Update(float /*dt*/) {
    if (!IsHeld(InputType::SHIFT)) {
        return;
    }
    // Only the first held cheat of this order acts.
    if (IsHeld(InputType::_INVINCIBILITY_ON)) {
        SetInvincible(true);
    } else if (IsHeld(InputType::_INVINCIBILITY_OFF)) {
        SetInvincible(false);
    } else if (IsHeld(InputType::_LIGHTS_ON)) {
        SetLightRadius(kLightsOnRadius);
    } else if (IsHeld(InputType::_LIGHTS_OFF)) {
        SetLightRadius(lightsOffRadius);
    } else if (IsHeld(InputType::_PHASING_ON)) {
        SetPhasing(true);
    } else if (IsHeld(InputType::_PHASING_OFF)) {
        SetPhasing(false);
    } else if (IsHeld(InputType::_NUKE)) {
        Nuke();
    }
}
