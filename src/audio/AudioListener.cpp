#include "audio/AudioListener.h"

#include <algorithm>
#include <cmath>

#include "audio/FMODAudio.h"
#include "audio/PlayRequest.h"
#include "audio/Sound.h"
#include "engine/SteadyClock.h"
#include "entities/Entity.h"
#include "physics/Transform.h"

namespace {
constexpr float kSilent = 0.0f;

float DistanceSquared(Vector2 a, Vector2 b) {
    const Vector2 d = a - b;
    return d.x * d.x + d.y * d.y;
}

float Volume(const PlayRequest& request, float distanceSquared) {
    const float falloff = request.strength / (distanceSquared + request.strength);
    // A zero strength at distance 0 gives 0/0: silence, as at every other distance.
    const float volume = std::isnan(falloff) ? kSilent : std::min(request.maxVolume, falloff);
    return volume >= AudioListener::kAudibleVolume ? volume : kSilent;
}
}  // namespace

AudioListener::AudioListener() : Component(kComponentName) {}

void AudioListener::Update(float /*dt*/) {
    const Transform* transform = owner != nullptr ? owner->GetComponent<Transform>() : nullptr;
    if (transform == nullptr) {
        StopAllChannels();
        return;
    }
    const std::int64_t now = NowNanoseconds();
    OpenChannelsForNewRequests(now);

    for (auto entry = channels.begin(); entry != channels.end();) {
        const PlayRequest& request = *entry->first;
        FMOD_CHANNEL* channel = entry->second;
        if (request.finished && !request.isLooping) {
            FMOD_Channel_Stop(channel);
            entry = channels.erase(entry);
            continue;
        }
        if (request.finished) {
            // Restarted by the AudioSystem: back to the restart time.
            FMOD_Channel_SetPosition(channel, ElapsedMilliseconds(request, now), FMOD_TIMEUNIT_MS);
        }
        const float volume =
            Volume(request, DistanceSquared(transform->position, request.position));
        FMOD_Channel_SetVolume(channel, volume);
        if (volume != kSilent) {
            FMOD_Channel_SetPaused(channel, false);
        }
        ++entry;
    }
}

void AudioListener::OpenChannelsForNewRequests(std::int64_t now) {
    FMOD_SYSTEM* system = FMODAudio::Instance().fmodSystem;
    for (const auto& request : playQueue) {
        if (channels.contains(request)) {
            continue;
        }
        FMOD_CHANNEL* channel = nullptr;
        FMOD_System_PlaySound(system, request->sound != nullptr ? request->sound->handle : nullptr,
                              nullptr, true, &channel);
        channels.emplace(request, channel);
        FMOD_Channel_SetVolume(channel, kSilent);
        FMOD_Channel_SetPaused(channel, true);
        // A request started before this listener saw it joins where it has got to.
        FMOD_Channel_SetPosition(channel, ElapsedMilliseconds(*request, now), FMOD_TIMEUNIT_MS);
    }
}

void AudioListener::StopAllChannels() {
    for (const auto& [request, channel] : channels) {
        FMOD_Channel_Stop(channel);
    }
    channels.clear();
}

void AudioListener::ShutDown() {
    StopAllChannels();
}

void AudioListener::FromJson(const nlohmann::json& /*data*/) {}

nlohmann::json AudioListener::ToJson() const {
    return nullptr;
}
