#include "audio/Sound.h"

#include <memory>
#include <vector>

#include "audio/FMODAudio.h"
#include "engine/DataDirectories.h"

namespace {
constexpr const char* kSoundsFolder = "Sounds/";

std::vector<std::unique_ptr<Sound>>& Cache() {
    static auto* cache = new std::vector<std::unique_ptr<Sound>>();
    return *cache;
}
}  // namespace

Sound* GetSound(const std::string& name) {
    for (const auto& sound : Cache()) {
        if (sound->name == name) {
            return sound.get();
        }
    }
    auto sound = std::make_unique<Sound>();
    sound->name = name;
    const std::string path = AssetsDirectory + kSoundsFolder + name;
    FMOD_System_CreateSound(FMODAudio::Instance().fmodSystem, path.c_str(), FMOD_2D, nullptr,
                            &sound->handle);
    Cache().push_back(std::move(sound));
    return Cache().back().get();
}
