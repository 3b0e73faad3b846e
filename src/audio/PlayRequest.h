#pragma once
// One started sound and the process-wide play queue. Sources append requests, the AudioSystem
// advances their clocks and drops finished ones, and every AudioListener plays each request in
// the queue on a channel of its own.
//
// A request is shared by whoever still holds it (the queue, a listener's channel map, a
// continuous source's list) and freed when the last of them lets go, so none of them can be
// left with a dangling request whatever order they drop it in.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/Vector2.h"

struct Sound;

struct PlayRequest {
    Sound* sound = nullptr;
    // Loudness scale of the distance falloff: the volume is halved at distance sqrt(strength).
    float strength = 0.0f;
    // Volume ceiling, in [0, 1].
    float maxVolume = 1.0f;
    bool isLooping = false;
    // The requesting source keeps `position` on its moving entity.
    bool isContinuous = false;
    // World position the sound comes from.
    Vector2 position{};
    // The sound's length in milliseconds.
    std::uint32_t lengthMs = 0;
    // Steady-clock nanoseconds of the start, or of the last restart of a looping request. A
    // listener that gives a new request its first channel moves the start to that moment, so the
    // request runs its length as heard, not from when it was queued.
    std::int64_t startTime = 0;
    // The sound has run its length, or was stopped.
    bool finished = false;
    // Ended before its time by StopRequest: its channels stop at once, where those of a request
    // that has run its length may play out their last samples.
    bool stopped = false;
};

// Ordered by start; requests are appended at the end.
inline std::vector<std::shared_ptr<PlayRequest>> playQueue;

// Ends `request` now, looping or not: listeners stop its channels at their next update and the
// AudioSystem drops it from the queue.
void StopRequest(PlayRequest& request);

// Milliseconds since the request's (re)start at steady-clock time `now`; 0 for a start that
// lies ahead.
std::uint32_t ElapsedMilliseconds(const PlayRequest& request, std::int64_t now);
