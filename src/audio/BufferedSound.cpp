#include "audio/BufferedSound.h"

#include <algorithm>
#include <string>

#include "audio/Sound.h"
#include "entities/JsonReaders.h"

namespace {
constexpr const char* kClipKey = "soundClip";
constexpr const char* kStrengthKey = "strength";
constexpr const char* kMaxVolumeKey = "maxVolume";
constexpr const char* kLoopingKey = "isLooping";
constexpr const char* kContinuousKey = "isContinuous";
}  // namespace

BufferedSound::BufferedSound() : sound(GetSound(kDefaultClip)) {}

void BufferedSound::FromJson(const nlohmann::json& data) {
    // A clip that is not a string throws the JSON library's type error.
    const nlohmann::json clip = GetJsonPath(data, {kClipKey});
    if (!IsMissingJsonValue(clip)) {
        sound = GetSound(clip.get<std::string>());
    }
    ReadJsonFloat(data, kStrengthKey, strength);
    // Optional: a file without it keeps the current ceiling, and is not warned about.
    if (data.is_object() && data.contains(kMaxVolumeKey)) {
        maxVolume = std::clamp(JsonToFloat(data.at(kMaxVolumeKey)), 0.0f, 1.0f);
    }
    ReadJsonFlag(data, kLoopingKey, isLooping);
    ReadJsonFlag(data, kContinuousKey, isContinuous);
}

nlohmann::json BufferedSound::ToJson() const {
    return nlohmann::json{
        {kClipKey, sound != nullptr ? sound->name : std::string()},
        {kStrengthKey, static_cast<double>(strength)},
        {kMaxVolumeKey, static_cast<double>(maxVolume)},
        {kLoopingKey, isLooping ? 1 : 0},
        {kContinuousKey, isContinuous ? 1 : 0},
    };
}
