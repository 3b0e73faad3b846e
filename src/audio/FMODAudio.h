#pragma once
// The audio library system: owns the sound device for the whole process. Driven directly by the
// frame loop after the graphics system, never registered with the engine. Sound playback lands
// with the audio layer; until then the device hooks have nothing to do.

#include "engine/NamedSystem.h"

class FMODAudio : public NamedSystem<SystemType::AUDIO_SYSTEM> {
public:
    static FMODAudio& Instance();

private:
    FMODAudio() = default;
};
