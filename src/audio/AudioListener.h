#pragma once
// The ear. Every request in the play queue gets a channel of this listener's own, started paused
// and silent; every update then sets each channel's volume from the distance between the
// listener and the sound:
//     volume = min(maxVolume, strength / (distance² + strength)), 0 below 0.001,
// and a channel starts playing at the first update that gives it a volume. A request queued since
// the listener's previous update is heard from its first sample (a shot fired after the
// listener's turn in a tick, or in a slow frame, loses nothing); one that was already playing
// when the listener arrived joins where it has got to. Looping requests loop on their channel.
// A finished request's channel is let go: stopped when the request was stopped or the channel
// never started, else left to play out the last of its sound (the output starts a sound at its
// next mixing period, so the clock's end of a request can come a few milliseconds before its
// sound's) and then reused. An entity without a Transform has no place to hear from: its listener
// hears nothing and holds no channel.

#include <cstdint>
#include <memory>
#include <optional>
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

    struct HeardChannel {
        FMOD_CHANNEL* channel = nullptr;
        // Unpaused once: its sound is under way on the output.
        bool started = false;
    };

    // One channel per request this listener plays.
    std::unordered_map<std::shared_ptr<PlayRequest>, HeardChannel> channels;

private:
    void OpenChannelsForNewRequests(std::int64_t now);
    static void LetGo(const PlayRequest& request, const HeardChannel& heard);
    void StopAllChannels();

    // Steady-clock nanoseconds of the last update that heard from a place; none before the first
    // one and while the entity has no Transform, so everything then playing is joined late.
    std::optional<std::int64_t> previousUpdate;
};
