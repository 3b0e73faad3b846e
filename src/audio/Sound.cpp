#include "audio/Sound.h"

#include <memory>
#include <vector>

#include "audio/FMODAudio.h"
#include "engine/DataDirectories.h"
#include "engine/TraceLog.h"

namespace {
constexpr const char* kSoundsFolder = "Sounds/";

const char* FileProblem(FMOD_RESULT result) {
    switch (result) {
        case FMOD_ERR_FILE_NOTFOUND:
            return "it is missing or not a file";
        case FMOD_ERR_FORMAT:
            return "it is not a sound that can be decoded (an Ogg Vorbis or WAV file of one or two "
                   "channels)";
        case FMOD_ERR_MEMORY:
            return "the audio output does not take its samples";
        default:
            return nullptr;
    }
}

std::vector<std::unique_ptr<Sound>>& Cache() {
    static auto* cache = new std::vector<std::unique_ptr<Sound>>();
    return *cache;
}
}  // namespace

ReloadResult ReloadSound(const std::string& name) {
    for (const auto& sound : Cache()) {
        if (sound->name != name) {
            continue;
        }
        FMOD_SOUND* fresh = nullptr;
        const std::string path = AssetsDirectory + kSoundsFolder + name;
        const FileVersion version = VersionOf(path);
        if (version == sound->version) {
            return ReloadResult::NotInUse();
        }
        sound->version = version;
        const FMOD_RESULT result = FMOD_System_CreateSound(FMODAudio::Instance().fmodSystem,
                                                           path.c_str(), FMOD_2D, nullptr, &fresh);
        if (const char* problem = FileProblem(result)) {
            return ReloadResult::Failed(problem);
        }
        if (fresh == nullptr) {
            // No audio output: there is nothing to replace.
            return ReloadResult::NotInUse();
        }
        // The old one stays with the audio system, which frees it when it closes: a channel may
        // still be playing it.
        sound->handle = fresh;
        return ReloadResult::Reloaded();
    }
    return ReloadResult::NotInUse();
}

Sound* GetSound(const std::string& name) {
    for (const auto& sound : Cache()) {
        if (sound->name == name) {
            return sound.get();
        }
    }
    auto sound = std::make_unique<Sound>();
    sound->name = name;
    const std::string path = AssetsDirectory + kSoundsFolder + name;
    sound->version = VersionOf(path);
    const FMOD_RESULT result = FMOD_System_CreateSound(FMODAudio::Instance().fmodSystem,
                                                       path.c_str(), FMOD_2D, nullptr,
                                                       &sound->handle);
    // Only what is wrong with the file itself is reported: without an audio output nothing is
    // decoded, and the output's absence has its own warning at start.
    if (const char* problem = FileProblem(result)) {
        TraceLog::Error("GetSound - cannot load " + path + ": " + problem);
    }
    Cache().push_back(std::move(sound));
    return Cache().back().get();
}
