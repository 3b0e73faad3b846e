// Developer cheats while SHIFT is held: only the first held cheat of the fixed order acts, on the
// first player of each update layer; the nuke removes every enemy.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "entities/Entity.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/PlayerInput.h"
#include "graphics/Emitter.h"
#include "input/CheatSystem.h"
#include "physics/ColliderCircle.h"
#include "support/GameplayTest.h"

namespace {

using In = InputType;
constexpr float kRadius = 500.0f;

struct Player {
    Entity* entity = nullptr;
    PlayerInput* input = nullptr;
    Emitter* light = nullptr;
    ColliderCircle* circle = nullptr;
};

class CheatSystemTest : public GameplayTest {
protected:
    Player AddPlayer(const char* name, UpdateLayer layer) const {
        Player player;
        player.entity = AddEntity(name, {0.0f, 0.0f});
        player.input = new PlayerInput(100.0f);
        player.entity->AddComponent(player.input, layer);
        player.light = new Emitter();
        player.light->radius = kRadius;
        player.entity->AddComponent(player.light);
        player.circle = new ColliderCircle();
        player.entity->AddComponent(player.circle);
        return player;
    }

    static void Hold(std::initializer_list<In> inputs) {
        ReleaseAll();
        for (In input : inputs) {
            SetHeld(input, true);
        }
        CheatSystem::Instance().Update(0.0f);
    }
};

struct CheatCase {
    const char* name;
    std::vector<In> held;
    bool invincible;
    float radius;
    bool active;
};

TEST_F(CheatSystemTest, FirstHeldCheatOfTheOrderActsOnlyWhileShiftIsHeld) {
    const std::vector<CheatCase> cases{
        {"invincibility before lights", {In::SHIFT, In::_INVINCIBILITY_ON, In::_LIGHTS_ON}, true,
         kRadius, true},
        {"lights on", {In::SHIFT, In::_LIGHTS_ON}, false, CheatSystem::kLightsOnRadius, true},
        {"lights off", {In::SHIFT, In::_LIGHTS_OFF}, false, 2000.0f, true},
        {"lights on before off", {In::SHIFT, In::_LIGHTS_OFF, In::_LIGHTS_ON}, false,
         CheatSystem::kLightsOnRadius, true},
        {"phasing", {In::SHIFT, In::_PHASING_ON}, false, kRadius, false},
        {"phasing before the nuke", {In::SHIFT, In::_NUKE, In::_PHASING_ON}, false, kRadius, false},
        {"no shift", {In::_INVINCIBILITY_ON, In::_LIGHTS_ON, In::_PHASING_ON}, false, kRadius,
         true},
        {"shift alone", {In::SHIFT}, false, kRadius, true},
    };
    for (const CheatCase& row : cases) {
        SCOPED_TRACE(row.name);
        const Player player = AddPlayer("Player", UpdateLayer::AVERAGE);
        FlushAllLists();
        ReleaseAll();
        for (In input : row.held) {
            SetHeld(input, true);
        }
        CheatSystem::Instance().Update(0.0f);
        EXPECT_EQ(player.input->isInvincible, row.invincible);
        EXPECT_EQ(player.light->radius, row.radius);
        EXPECT_EQ(player.circle->active, row.active);
        player.entity->Destroy();
        Engine::Instance().originEntity->RemoveDestroyedChildren();
        FlushAllLists();
    }
}

TEST_F(CheatSystemTest, OffCheatsUndoTheOnCheats) {
    const Player player = AddPlayer("Player", UpdateLayer::AVERAGE);
    FlushAllLists();
    Hold({In::SHIFT, In::_INVINCIBILITY_ON});
    Hold({In::SHIFT, In::_PHASING_ON});
    ASSERT_TRUE(player.input->isInvincible);
    ASSERT_FALSE(player.circle->active);
    Hold({In::SHIFT, In::_INVINCIBILITY_OFF});
    Hold({In::SHIFT, In::_PHASING_OFF});
    EXPECT_FALSE(player.input->isInvincible);
    EXPECT_TRUE(player.circle->active);
}

TEST_F(CheatSystemTest, OnlyTheFirstPlayerOfEachLayerIsAffected) {
    const Player first = AddPlayer("First", UpdateLayer::AVERAGE);
    const Player second = AddPlayer("Second", UpdateLayer::AVERAGE);
    const Player other = AddPlayer("OtherLayer", UpdateLayer::FASTEST);
    FlushAllLists();
    Hold({In::SHIFT, In::_INVINCIBILITY_ON});
    EXPECT_TRUE(first.input->isInvincible);
    EXPECT_FALSE(second.input->isInvincible);
    EXPECT_TRUE(other.input->isInvincible);
}

TEST_F(CheatSystemTest, NukeDestroysEveryEnemyWithItsDescendants) {
    Hold({In::SHIFT, In::_NUKE});  // no enemies: nothing happens
    std::vector<Entity*> enemies;
    for (UpdateLayer layer : {UpdateLayer::AVERAGE, UpdateLayer::AVERAGE, UpdateLayer::SLOWEST}) {
        Entity* enemy = AddEntity("Grunt", {0.0f, 0.0f});
        enemy->AddComponent(new BasicEnemyBehavior(), layer);
        enemy->AddChild(new Entity("Hat"));
        enemies.push_back(enemy);
    }
    Entity* bystander = AddEntity("Crate", {0.0f, 0.0f});
    FlushAllLists();
    Hold({In::SHIFT, In::_NUKE});
    for (Entity* enemy : enemies) {
        EXPECT_TRUE(enemy->destroyed);
        EXPECT_TRUE(enemy->children.at(0)->destroyed);
    }
    EXPECT_FALSE(bystander->destroyed);
    Engine::Instance().originEntity->RemoveDestroyedChildren();
    EXPECT_EQ(Engine::Instance().originEntity->children, std::vector<Entity*>{bystander});
}

}  // namespace
