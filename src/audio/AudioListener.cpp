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

// A request that was already playing when the listener came: heard from where it has got to (in
// its current round, for a loop).
void JoinLate(FMOD_CHANNEL* channel, const PlayRequest& request, std::int64_t now) {
    std::uint32_t position = ElapsedMilliseconds(request, now);
    if (request.isLooping && request.lengthMs > 0) {
        position %= request.lengthMs;
    }
    FMOD_Channel_SetPosition(channel, position, FMOD_TIMEUNIT_MS);
}
}  // namespace

AudioListener::AudioListener() : Component(kComponentName) {}

void AudioListener::Update(float /*dt*/) {
    const Transform* transform = owner != nullptr ? owner->GetComponent<Transform>() : nullptr;
    if (transform == nullptr) {
        StopAllChannels();
        previousUpdate.reset();
        return;
    }
    const std::int64_t now = NowNanoseconds();
    OpenChannelsForNewRequests(now);
    previousUpdate = now;

    for (auto entry = channels.begin(); entry != channels.end();) {
        const PlayRequest& request = *entry->first;
        HeardChannel& heard = entry->second;
        if (request.finished && !request.isLooping) {
            LetGo(request, heard);
            entry = channels.erase(entry);
            continue;
        }
        const float volume =
            Volume(request, DistanceSquared(transform->position, request.position));
        FMOD_Channel_SetVolume(heard.channel, volume);
        if (volume != kSilent) {
            FMOD_Channel_SetPaused(heard.channel, false);
            heard.started = true;
        }
        ++entry;
    }
}

void AudioListener::LetGo(const PlayRequest& request, const HeardChannel& heard) {
    if (request.stopped || !heard.started) {
        FMOD_Channel_Stop(heard.channel);
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
        channels.emplace(request, HeardChannel{channel, false});
        FMOD_Channel_SetVolume(channel, kSilent);
        FMOD_Channel_SetPaused(channel, true);
        // The channel wraps by itself, so a loop has no gap at the end of each round.
        FMOD_Channel_SetMode(channel, request->isLooping ? FMOD_LOOP_NORMAL : FMOD_LOOP_OFF);
        if (previousUpdate && request->startTime >= *previousUpdate) {
            // Queued since this listener last listened: it starts from its first sample, and its
            // clock with it, so it is not finished before it has all been heard.
            request->startTime = now;
        } else {
            JoinLate(channel, *request, now);
        }
    }
}

void AudioListener::StopAllChannels() {
    for (const auto& [request, heard] : channels) {
        FMOD_Channel_Stop(heard.channel);
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
