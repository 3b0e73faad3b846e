#include "audio/FMODAudio.h"

#include "engine/TraceLog.h"

FMODAudio& FMODAudio::Instance() {
    static FMODAudio* system = new FMODAudio();
    return *system;
}

void FMODAudio::Initialize() {
    FMOD_System_Create(&fmodSystem, FMOD_VERSION);
    if (FMOD_System_Init(fmodSystem, kChannelCount, FMOD_INIT_NORMAL, nullptr) != FMOD_OK) {
        TraceLog::Warning(
            "FMODAudio::Initialize - no audio output could be opened; the game runs "
            "without sound");
    }
}

void FMODAudio::ShutDown() {
    FMOD_System_Close(fmodSystem);
    FMOD_System_Release(fmodSystem);
    fmodSystem = nullptr;
}
