#pragma once
// The ear. Every request in the play queue gets a channel of this listener's own, started paused
// and silent at the time the request has already run; every update then sets each channel's
// volume from the distance between the listener and the sound:
//     volume = min(maxVolume, strength / (distance² + strength)), 0 below 0.001,
// and a channel starts playing at the first update that gives it a volume. Finished requests
// have their channels stopped, restarted looping ones have them rewound. An entity without a
// Transform has no place to hear from: its listener hears nothing and holds no channel.

#include <memory>
#include <unordered_map>

#include "audio/AudioBackend.h"
#include "entities/Component.h"

struct PlayRequest;

class AudioListener : public Component {
public:
    static constexpr const char* kComponentName = "AudioListener";
    // Quieter than this is silence: the channel is set to 0 (and, if it never played, stays
    // paused).
    static constexpr float kAudibleVolume = 0.001f;

    AudioListener();

    void Update(float dt) override;
    // Stops every channel.
    void ShutDown() override;
    // A listener has no settings of its own.
    void FromJson(const nlohmann::json& data) override;
    // Written as null.
    nlohmann::json ToJson() const override;

    // One channel per request this listener plays.
    std::unordered_map<std::shared_ptr<PlayRequest>, FMOD_CHANNEL*> channels;

private:
    void OpenChannelsForNewRequests(std::int64_t now);
    void StopAllChannels();
};
