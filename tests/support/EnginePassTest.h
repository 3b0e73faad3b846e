#pragma once
// Base fixture for tests that run the real frame loop in this process: a throw-away game tree
// (stock shaders, meshes and textures) whose settings start the engine running with no scene,
// the real window, one simulation tick per frame (so a frame is one update and one drawing, on
// any machine), and a FrameProbe registered after the stock systems in every engine pass.

#include <gtest/gtest.h>

#include <functional>

#include "engine/Engine.h"
#include "engine/Program.h"
#include "engine/Vector2.h"
#include "engine/Vector3.h"
#include "game/GameComposition.h"
#include "graphics/GraphicsSystem.h"
#include "support/FrameProbe.h"
#include "support/GameTree.h"

class Entity;
class Sprite;

struct Pixel {
    int r = 0;
    int g = 0;
    int b = 0;
    int Brightness() const { return r + g + b; }
};

class EnginePassTest : public ::testing::Test {
protected:
    EnginePassTest();
    void TearDown() override;

    // Starts the program and runs engine passes until one ends without asking for a restart.
    // Before the first frame of each pass, `setup` runs (after Engine::Initialize) and the probe
    // is registered with its frame count back at 0.
    void RunPasses(const std::function<void()>& setup);

    // An entity with a Transform at `position` (local to `parent`, by default the engine's root).
    Entity& AddEntity(const char* name, Vector2 position, Vector2 scale = {1.0f, 1.0f},
                      Entity* parent = nullptr);
    // A sprite tinted pure `color` over the stock texture.
    Sprite& AddSprite(Entity& entity, Vector3 color);

    // The frame being drawn, at a window pixel counted from the top left (as the window-to-world
    // rule counts). Read from the back buffer, so it is meant for the probe's render hook, after
    // every component has drawn.
    Pixel ReadPixel(int x, int y) const;

    GameTree tree;
    Program program{GameComposition()};
    Engine& engine = Engine::Instance();
    GraphicsSystem& graphics = GraphicsSystem::Instance();
    FrameProbe probe;
};
