#pragma once
// Sounds decoded from Assets/Sounds/ and shared by name for the whole run. A file that cannot be
// loaded is reported once (one trace error naming it) and cached too, with a null handle, so it
// is not retried; every later call on that handle fails silently and the game goes on without
// the sound.

#include <string>

#include "audio/AudioBackend.h"
#include "engine/FileVersion.h"
#include "engine/ReloadResult.h"

struct Sound {
    // The name asked for, e.g. "sample_beep.ogg".
    std::string name;
    FMOD_SOUND* handle = nullptr;
    // The sound file as it was read (see FileVersion).
    FileVersion version;
};

// The cached sound of exactly this name (case-sensitive), loaded on first use.
Sound* GetSound(const std::string& name);

// The sound file `name` changed on disk: a sound in use is decoded again and every later play of
// it sounds the new one (what is playing plays on). A file that no longer decodes keeps the old
// sound.
ReloadResult ReloadSound(const std::string& name);
