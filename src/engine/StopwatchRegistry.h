#pragma once

// Named stopwatches, optionally inside named groups, that time the steps of a frame. The last
// measured duration of each one is kept for the performance window. A start or a stop costs one
// clock read and a few hash look-ups per group level, and allocates nothing once every
// stopwatch of a frame has run once.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "engine/GroupHierarchy.h"

// The groups leading to a stopwatch, outermost first; empty for the top level.
using StopwatchPath = std::initializer_list<std::string_view>;

// Steady-clock nanoseconds at start and at stop; a stop instant of 0 means still running.
using StopwatchSpan = std::pair<std::int64_t, std::int64_t>;

// Last measured duration of every stopwatch, in seconds. Entries keep their value until the same
// stopwatch stops again.
using StopwatchTree = GroupHierarchy<double, std::string, std::string>;

// Stopwatches started and not yet stopped. Groups left empty by a stop are removed.
using RunningStopwatchTree = GroupHierarchy<StopwatchSpan, std::string, std::string>;

// Starts (or restarts, measuring from now) the stopwatch `key` in the group `groups`.
void StartStopwatch(StopwatchPath groups, std::string_view key);

// Stops the stopwatch, records its duration in StopwatchTimes() and returns it in seconds. A
// stopwatch that was never started counts from the clock's epoch, so its duration is the
// clock's current reading; that is recorded, not reported as an error.
double StopStopwatch(StopwatchPath groups, std::string_view key);

const StopwatchTree& StopwatchTimes();
const RunningStopwatchTree& RunningStopwatches();
