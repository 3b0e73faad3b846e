#pragma once
// The play queue's bookkeeping, once per frame in the systems phase: a request that has run its
// length is marked finished (a looping one is restarted at the same moment), and in the next
// update a finished looping request starts its next round while any other finished request
// leaves the queue. Listeners see the finished mark in between and let go of the channels of
// the requests that leave (a loop's channel wraps by itself). Registered with the engine right
// after the CheatSystem.

#include "engine/NamedSystem.h"

// AUDIO_SYSTEM is shared with FMODAudio, the other half of the audio (see there). Only this half
// is registered, so the name appears once in trace lines and stopwatch keys.
class AudioSystem : public NamedSystem<SystemType::AUDIO_SYSTEM> {
public:
    static AudioSystem& Instance();

    // Time comes from the steady clock, not from dt, so sounds keep time while paused.
    void Update(float dt) override;
    // Ends every request, looping ones included, so no sound outlives the engine pass.
    void ShutDown() override;

private:
    AudioSystem() = default;
};
