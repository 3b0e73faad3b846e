#pragma once
// The part of the engine a loaded entity tree lives in, without the window loop: the root entity
// ("OriginEntity", under which scenes and spawned objects go), the pointer entity and the
// process-wide component lists. Frame runs what a frame does to components (the flush of queued
// additions and removals, which initializes new components, then every list's update); Reset
// frees everything a run made, so that runs neither pile up nor see each other's leftovers.

class FuzzEngine {
public:
    // Creates the two entities on the first call.
    static FuzzEngine& Instance();

    void Frame();
    // Frees every entity under the root and the pointer entity with their components, drops
    // whatever the lists still hold or have queued, and makes a fresh pointer entity.
    void Reset();

private:
    FuzzEngine();
    static void MakePointer();
};
