#pragma once
// The audio library system: owns the one sound system object of the process (32 channels) from
// start-up to exit. Driven directly by the frame loop after the graphics system, never
// registered with the engine; it has nothing to do per frame, as channels are driven by the
// audio components.

#include "audio/AudioBackend.h"
#include "engine/NamedSystem.h"

// A sibling of the AudioSystem, not derived from it, under the same AUDIO_SYSTEM identity: audio
// is one subsystem split in two only because the sound library's object must live for the whole
// process while the play queue's bookkeeping runs with each engine pass. Both print
// "SystemType::AUDIO_SYSTEM"; as this half is never registered, its name shows nowhere.
class FMODAudio : public NamedSystem<SystemType::AUDIO_SYSTEM> {
public:
    static constexpr int kChannelCount = 32;

    static FMODAudio& Instance();

    // Creates the system and opens the output. Without an output device every later sound call
    // fails silently and the game runs without sound; that is said once, here.
    void Initialize() override;
    void ShutDown() override;

    // Null before Initialize and after ShutDown.
    FMOD_SYSTEM* fmodSystem = nullptr;

private:
    FMODAudio() = default;
};
