#include "audio/AudioSystem.h"

#include <cstddef>

#include "audio/PlayRequest.h"
#include "engine/SteadyClock.h"

namespace {
constexpr double kNanosecondsPerMillisecond = 1'000'000.0;

// False when the request leaves the queue.
bool Advance(PlayRequest& request, std::int64_t now) {
    if (request.finished) {
        if (!request.isLooping) {
            return false;
        }
        request.finished = false;
        request.startTime = now;
        return true;
    }
    const double elapsedMs =
        static_cast<double>(now - request.startTime) / kNanosecondsPerMillisecond;
    if (elapsedMs >= request.lengthMs) {
        request.finished = true;
        if (request.isLooping) {
            request.startTime = now;
        }
    }
    return true;
}
}  // namespace

AudioSystem& AudioSystem::Instance() {
    static AudioSystem* system = new AudioSystem();
    return *system;
}

void AudioSystem::Update(float /*dt*/) {
    const std::int64_t now = NowNanoseconds();
    // Front to back, keeping the order of the requests that stay.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < playQueue.size(); ++i) {
        if (Advance(*playQueue[i], now)) {
            if (kept != i) {
                playQueue[kept] = std::move(playQueue[i]);
            }
            ++kept;
        }
    }
    playQueue.resize(kept);
}

void AudioSystem::ShutDown() {
    for (const auto& request : playQueue) {
        StopRequest(*request);
    }
    playQueue.clear();
}
