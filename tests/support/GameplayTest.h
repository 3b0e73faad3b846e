#pragma once
// Base fixture for gameplay components driven update by update, without the frame loop: the
// real window (sprites load textures), a throw-away data tree holding the shipped projectile
// archetypes, and the engine's two entities, so weapons can spawn under the root and aim at the
// pointer. Each test case runs in its own process, so the process-wide lists start empty.

#include <string>
#include <vector>

#include "engine/InputType.h"
#include "engine/Vector2.h"
#include "support/GameTree.h"
#include "support/WindowTest.h"

class Entity;

class GameplayTest : public WindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Delivers a press or release to the held-input table, as the input system would.
    static void SetHeld(InputType input, bool held);
    static void ReleaseAll();

    // A child of the root with a Transform at `position`.
    Entity* AddEntity(const std::string& name, Vector2 position) const;
    void PlacePointer(Vector2 position) const;
    // The root's children that were spawned as projectiles, oldest first.
    std::vector<Entity*> Projectiles() const;
    // Carries out every list's queued additions and removals, as the start of a frame does.
    static void FlushAllLists();
    std::vector<std::string> TraceErrors() const;

    GameTree tree;
};
