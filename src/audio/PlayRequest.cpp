#include "audio/PlayRequest.h"

#include <algorithm>
#include <limits>

namespace {
constexpr std::int64_t kNanosecondsPerMillisecond = 1'000'000;
}  // namespace

void StopRequest(PlayRequest& request) {
    request.isLooping = false;
    request.finished = true;
    request.stopped = true;
}

std::uint32_t ElapsedMilliseconds(const PlayRequest& request, std::int64_t now) {
    const std::int64_t elapsed = (now - request.startTime) / kNanosecondsPerMillisecond;
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(elapsed, 0, std::numeric_limits<std::uint32_t>::max()));
}
