// The stopwatch registry: what a stop measures, and how the running and recorded trees are kept.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "engine/StopwatchRegistry.h"
#include "testbed/AllocationCount.h"

namespace {

constexpr double kNanosecondsPerSecond = 1e9;

double SteadySeconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
               .count() /
           kNanosecondsPerSecond;
}

bool IsEmpty(const RunningStopwatchTree& tree) {
    return tree.groups.empty() && tree.values.empty();
}

TEST(StopwatchRegistryTest, StartingAgainMeasuresFromTheSecondStart) {
    StartStopwatch({"Restarted"}, "twice");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const double beforeSecondStart = SteadySeconds();
    StartStopwatch({"Restarted"}, "twice");
    const double seconds = StopStopwatch({"Restarted"}, "twice");
    const double afterStop = SteadySeconds();

    EXPECT_GE(seconds, 0.0);
    EXPECT_LE(seconds, afterStop - beforeSecondStart);
    EXPECT_EQ(StopwatchTimes().groups.at("Restarted").values.at("twice"), seconds);
}

// Without a start the stopwatch counts from the clock's epoch: its duration is the clock reading.
TEST(StopwatchRegistryTest, StopWithoutStartRecordsTheClockReading) {
    const double before = SteadySeconds();
    double seconds = 0.0;
    EXPECT_NO_THROW(seconds = StopStopwatch({}, "Library Updates"));
    const double after = SteadySeconds();

    EXPECT_GE(seconds, before);
    EXPECT_LE(seconds, after);
    EXPECT_EQ(StopwatchTimes().values.at("Library Updates"), seconds);
    EXPECT_TRUE(IsEmpty(RunningStopwatches()));
}

// One frame's worth of spans at the top level and in groups, as the frame loop times them.
void TimeOneFrame() {
    StartStopwatch({}, "Library Updates");
    StopStopwatch({}, "Library Updates");
    StartStopwatch({}, "Pre-Updates");
    StopStopwatch({}, "Pre-Updates");
    for (const char* list : {"Transform", "Physics", "Sprite with a longer list name"}) {
        StartStopwatch({"Update Component Systems"}, list);
        StopStopwatch({"Update Component Systems"}, list);
        StartStopwatch({"Render Component Systems"}, list);
        StopStopwatch({"Render Component Systems"}, list);
    }
    StartStopwatch({"Update Control Systems"}, "InputSystem");
    StartStopwatch({"Update Control Systems", "Nested"}, "Inner");
    StopStopwatch({"Update Control Systems", "Nested"}, "Inner");
    StopStopwatch({"Update Control Systems"}, "InputSystem");
}

TEST(StopwatchRegistryTest, StopsPruneRunningGroupsButTimesKeepThem) {
    StartStopwatch({"Update Component Systems"}, "Transform");
    StartStopwatch({"Update Component Systems", "Nested"}, "Inner");
    StartStopwatch({}, "Pre-Updates");
    const RunningStopwatchTree& running = RunningStopwatches();
    EXPECT_EQ(running.values.count("Pre-Updates"), 1u);
    EXPECT_EQ(
        running.groups.at("Update Component Systems").groups.at("Nested").values.count("Inner"),
        1u);

    StopStopwatch({"Update Component Systems", "Nested"}, "Inner");
    EXPECT_EQ(running.groups.at("Update Component Systems").groups.count("Nested"), 0u);
    EXPECT_EQ(running.groups.at("Update Component Systems").values.count("Transform"), 1u);

    StopStopwatch({"Update Component Systems"}, "Transform");
    StopStopwatch({}, "Pre-Updates");
    EXPECT_TRUE(IsEmpty(running));

    const StopwatchTree& times = StopwatchTimes();
    EXPECT_EQ(times.values.count("Pre-Updates"), 1u);
    EXPECT_EQ(times.groups.at("Update Component Systems").values.count("Transform"), 1u);
    EXPECT_EQ(times.groups.at("Update Component Systems").groups.at("Nested").values.count("Inner"),
              1u);
}

// A group without values of its own still holds a running child, which must stay stoppable.
TEST(StopwatchRegistryTest, StoppingAParentValueKeepsARunningChildGroup) {
    StartStopwatch({"Outer", "Child"}, "inner");
    StartStopwatch({"Outer"}, "own");
    StopStopwatch({"Outer"}, "own");
    ASSERT_EQ(RunningStopwatches().groups.at("Outer").groups.at("Child").values.count("inner"), 1u);

    const double before = SteadySeconds();
    const double inner = StopStopwatch({"Outer", "Child"}, "inner");
    EXPECT_LT(inner, before) << "measured from the clock's epoch: the running entry was lost";
    EXPECT_TRUE(IsEmpty(RunningStopwatches()));
}

TEST(StopwatchRegistryTest, SteadyStateTimingDoesNotAllocate) {
    // The first frames create the recorded entries and the spare nodes the later ones reuse.
    for (int warmUp = 0; warmUp < 3; ++warmUp) {
        TimeOneFrame();
    }
    CountAllocations count;
    TimeOneFrame();
    EXPECT_EQ(count.Stop(), 0u);
    EXPECT_TRUE(IsEmpty(RunningStopwatches()));
}

}  // namespace
