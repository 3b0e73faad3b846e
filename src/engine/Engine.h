#pragma once
// The process-wide engine: the ordered list of registered systems, the two engine-owned
// entities, the frame time and the control flags the frame loop obeys. One engine pass is
// Initialize, then Update and Render once per frame while `running`, then Shutdown. Which systems
// a pass registers is decided by the caller (see Composition), not here.

#include <cstdint>
#include <vector>

class Entity;
class System;
struct InputMessage;

class Engine {
public:
    // The single engine, created on first use.
    static Engine& Instance();

    // Registers `systemsToRegister` in their order once the settings and input mappings are
    // loaded, before the two engine entities exist.
    void Initialize(const std::vector<System*>& systemsToRegister);
    void Update(float dt);
    // One simulation tick: Update with the tick's length, counted in `tickCount`.
    void Tick(float tickLength);
    void Render();
    void Shutdown();
    // Reads Data/DefaultInputMappings.txt into the input system (at every start, and again when
    // the file changes); a missing or broken file is reported.
    static void LoadInputMappings();

    // Delivers the message to every registered system, then to every live component.
    void SendMessage(const InputMessage& message);

    // Appends a system to the pass and points it at this engine. The engine does not own it.
    void RegisterSystem(System* system);

    // The three flags sit together so that a restart can store `running` and `restart` at once.
    bool running = false;
    bool restart = true;
    bool paused = false;
    // Edit mode, for the editor: the scene as its file has it, paused; leaving it for Play runs
    // the scene, and coming back throws the play state away. The game's own pause key does
    // nothing while editing. Starts set when the settings do not run on start.
    bool editing = false;

    std::vector<System*> systems;
    Entity* originEntity = nullptr;
    Entity* mouseObject = nullptr;

    // Unscaled duration of the last frame, and the sum of all of them since process start.
    float dt = 0.0f;
    float totalTime = 0.0f;
    // Simulation ticks run in this engine pass (updates while paused are not ticks).
    std::uint64_t tickCount = 0;
    // When above 0, every frame runs exactly this many ticks, whatever the clock says (a replay
    // run back to back, a test that steps the world frame by frame); 0 follows the clock.
    int ticksPerFrame = 0;

private:
    Engine() = default;
    // Puts the pointer entity where the cursor is, by the window-to-world rule.
    void FollowCursor();
};
