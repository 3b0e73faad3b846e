#include "audio/AudioSource.h"

#include "audio/AudioBackend.h"
#include "audio/FMODAudio.h"
#include "audio/PlayRequest.h"
#include "audio/Sound.h"
#include "engine/SteadyClock.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "physics/Transform.h"

namespace {
constexpr const char* kBufferedSoundKey = "bufferedSound";
constexpr const char* kPlayOnStartKey = "playOnStart";

Transform* TransformOf(const Entity* entity) {
    return entity != nullptr ? entity->GetComponent<Transform>() : nullptr;
}
}  // namespace

AudioSource::AudioSource() : Component(kComponentName) {}

std::shared_ptr<PlayRequest> AudioSource::Play(const BufferedSound& sound) {
    const Transform* transform = TransformOf(owner);
    if (transform == nullptr) {
        return nullptr;
    }
    auto request = std::make_shared<PlayRequest>();
    request->sound = sound.sound;
    request->strength = sound.strength;
    request->maxVolume = sound.maxVolume;
    request->isLooping = sound.isLooping;
    request->isContinuous = sound.isContinuous;
    request->position = transform->position;
    FMOD_Sound_GetLength(sound.sound != nullptr ? sound.sound->handle : nullptr, &request->lengthMs,
                         FMOD_TIMEUNIT_MS);
    request->startTime = NowNanoseconds();
    request->finished = false;
    if (sound.isContinuous) {
        continuousRequests.push_back(request);
    }
    playQueue.push_back(request);
    return request;
}

void AudioSource::PlayUnplaced(const BufferedSound& sound) const {
    FMOD_CHANNEL* channel = nullptr;
    FMOD_System_PlaySound(FMODAudio::Instance().fmodSystem,
                          sound.sound != nullptr ? sound.sound->handle : nullptr, nullptr, true,
                          &channel);
    FMOD_Channel_SetVolume(channel, sound.maxVolume);
    FMOD_Channel_SetPaused(channel, false);
}

void AudioSource::PlayInterfaceSound(const Entity* entity) {
    if (const AudioSource* source =
            entity != nullptr ? entity->GetComponent<AudioSource>() : nullptr) {
        source->PlayUnplaced(source->bufferedSound);
    }
}

void AudioSource::Initialize() {
    if (playOnStart) {
        Play(bufferedSound);
    }
}

void AudioSource::Update(float /*dt*/) {
    const Transform* transform = TransformOf(owner);
    // Last to first, so forgetting a request does not skip the next one.
    for (std::size_t i = continuousRequests.size(); i-- > 0;) {
        PlayRequest& request = *continuousRequests[i];
        if (!request.finished || request.isLooping) {
            if (transform != nullptr) {
                request.position = transform->position;
            }
        } else {
            continuousRequests.erase(continuousRequests.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void AudioSource::ShutDown() {
    for (const auto& request : continuousRequests) {
        StopRequest(*request);
    }
    continuousRequests.clear();
}

void AudioSource::FromJson(const nlohmann::json& data) {
    const nlohmann::json sound = GetJsonPath(data, {kBufferedSoundKey});
    if (!IsMissingJsonValue(sound)) {
        bufferedSound.FromJson(sound);
    }
    ReadJsonFlag(data, kPlayOnStartKey, playOnStart);
}

nlohmann::json AudioSource::ToJson() const {
    return nlohmann::json{{kBufferedSoundKey, bufferedSound.ToJson()},
                          {kPlayOnStartKey, playOnStart ? 1 : 0}};
}
