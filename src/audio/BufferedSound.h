#pragma once
// What an AudioSource plays: a clip with its falloff strength, volume ceiling and the loop and
// follow flags. Copied into every request the source starts.

#include <nlohmann/json.hpp>

struct Sound;

struct BufferedSound {
    static constexpr const char* kDefaultClip = "sample_beep.ogg";
    static constexpr float kDefaultStrength = 1000000.0f;

    // The default clip, strength 1000000 (half volume at a distance of 1000), full volume, once,
    // fixed where it started.
    BufferedSound();

    // "soundClip" (a string), "strength", "isLooping" and "isContinuous" (booleans or numbers,
    // non-zero is true); "maxVolume" is optional and clamped to [0, 1]. A missing key is warned
    // about and keeps its value.
    void FromJson(const nlohmann::json& data);
    // Numbers as floating-point values, the flags as the integers 0 or 1.
    nlohmann::json ToJson() const;

    Sound* sound = nullptr;
    float strength = kDefaultStrength;
    float maxVolume = 1.0f;
    bool isLooping = false;
    bool isContinuous = false;
};
