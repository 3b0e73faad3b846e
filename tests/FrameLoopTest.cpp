// The frame loop on the real window: time steps, pause, restart and the trace of a pass.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/Composition.h"
#include "engine/ControlSystem.h"
#include "engine/Engine.h"
#include "engine/Program.h"
#include "engine/StopwatchRegistry.h"
#include "engine/TickClock.h"
#include "engine/TraceLog.h"
#include "game/GameComposition.h"
#include "graphics/GraphicsSystem.h"
#include "support/ChildProcess.h"
#include "support/GameTree.h"
#include "support/TraceMessages.h"

namespace {

// A registered system that records what the frame loop hands it and can end the pass.
class ProbeSystem : public ControlSystem {
public:
    explicit ProbeSystem(std::string name) : name(std::move(name)) {}
    const std::string& GetName() const override { return name; }
    void PreUpdate() override { ++preUpdates; }
    void Update(float dt) override {
        updateSteps.push_back(dt);
        engineSteps.push_back(engine->dt);
        totalTimes.push_back(engine->totalTime);
        if (onUpdate) {
            onUpdate(static_cast<int>(updateSteps.size()));
        }
    }
    void Render() override {
        ++renders;
        if (onRender) {
            onRender();
        }
    }

    std::string name;
    std::function<void(int frame)> onUpdate;
    std::function<void()> onRender;
    std::vector<float> updateSteps;
    std::vector<float> engineSteps;
    std::vector<float> totalTimes;
    int preUpdates = 0;
    int renders = 0;
};

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(program.StartUp()); }
    void TearDown() override { GraphicsSystem::Instance().ShutDown(); }

    std::filesystem::path TraceLogPath() const { return tree.perUserData() / "Trace_Log.txt"; }

    GameTree tree;
    Program program{GameComposition()};
    Engine& engine = Engine::Instance();
};

TEST_F(FrameLoopTest, FirstStepIsNearZeroAndPausedUpdatesGetZeroWhileTimeRuns) {
    constexpr int kFrames = 6;
    ProbeSystem probe("Probe");
    probe.onUpdate = [&](int frame) {
        if (frame == kFrames) {
            engine.running = false;
        }
    };
    program.RunEnginePasses([&] {
        engine.RegisterSystem(&probe);
        engine.paused = true;
    });

    ASSERT_EQ(probe.updateSteps.size(), static_cast<size_t>(kFrames));
    EXPECT_LT(probe.engineSteps.front(), 0.001f);
    for (int frame = 0; frame < kFrames; ++frame) {
        SCOPED_TRACE(frame);
        EXPECT_EQ(probe.updateSteps[frame], 0.0f);
        if (frame > 0) {
            EXPECT_GT(probe.engineSteps[frame], 0.0f);
            EXPECT_NEAR(probe.totalTimes[frame],
                        probe.totalTimes[frame - 1] + probe.engineSteps[frame], 1e-5);
        }
    }
    EXPECT_EQ(probe.preUpdates, kFrames);
    EXPECT_EQ(probe.renders, kFrames);
}

// Frames of very different lengths: every update gets the tick's length, and the ticks keep the
// clock's pace (one per 1/60 s of frame time), so the world moves the same at any frame rate. A
// stall runs no more than the bounded number of ticks in the frame after it.
TEST_F(FrameLoopTest, UnpausedUpdatesAreTicksOfOneLengthThatKeepTheClocksPace) {
    using namespace std::chrono_literals;
    const float tick = 1.0f / 60.0f;
    for (const auto delay : {2ms, 40ms}) {
        SCOPED_TRACE(delay.count());
        ProbeSystem probe("Probe");
        float start = 0.0f;
        int frames = 0;
        int ticksAtStall = 0;
        // The time each frame after the first gave the clock: its duration, or for a frame longer
        // than the ticks one frame may run (the stall, and any frame a loaded machine stretches
        // as far), only those ticks' time, the rest being dropped.
        double played = 0.0;
        probe.onRender = [&] {
            ++frames;
            if (frames == 1) {
                start = engine.totalTime;
            } else {
                played += std::min(static_cast<double>(engine.dt),
                                   static_cast<double>(TickClock::kMaxTicksPerFrame * tick));
            }
            std::this_thread::sleep_for(delay);
            if (frames == 12) {
                ticksAtStall = static_cast<int>(probe.updateSteps.size());
                std::this_thread::sleep_for(1s);
            }
            if (frames == 13) {
                EXPECT_EQ(static_cast<int>(probe.updateSteps.size()) - ticksAtStall,
                          TickClock::kMaxTicksPerFrame)
                    << "the frame after a stall runs the bounded number of ticks";
            }
            engine.running = engine.totalTime - start < 1.5f;
        };
        program.RunEnginePasses([&] {
            engine.RegisterSystem(&probe);
            engine.paused = false;
        });
        ASSERT_FALSE(probe.updateSteps.empty());
        for (const float step : probe.updateSteps) {
            ASSERT_EQ(step, tick);
        }
        EXPECT_NEAR(static_cast<double>(probe.updateSteps.size()), played * 60.0, 2.0);
        engine.restart = true;
    }
}

TEST_F(FrameLoopTest, RestartRunsANewPassOnTheSameWindowWithAFreshTraceLog) {
    GLFWwindow* const window = GraphicsSystem::Instance().window;
    ProbeSystem probe("Probe");
    int passes = 0;
    float totalTimeAtRestart = 0.0f;
    probe.onUpdate = [&](int frame) {
        if (passes == 1 && frame == 2) {
            TraceLog::Log("first pass marker");
            totalTimeAtRestart = engine.totalTime;
            engine.running = false;
            engine.restart = true;
        } else if (passes == 2 && frame == 4) {
            engine.running = false;
        }
    };
    program.RunEnginePasses([&] {
        ++passes;
        engine.RegisterSystem(&probe);
    });

    EXPECT_EQ(passes, 2);
    EXPECT_EQ(GraphicsSystem::Instance().window, window);
    EXPECT_GT(engine.totalTime, totalTimeAtRestart);
    // The first step after the restart covers the shutdown and re-initialization.
    EXPECT_GT(probe.engineSteps[2], 0.0f);
    const std::vector<std::string> trace = TraceMessages(TraceLogPath());
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.front(), "Engine::Initialize");
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "Engine::Initialize"), 1);
    EXPECT_EQ(std::find(trace.begin(), trace.end(), "first pass marker"), trace.end());
}

TEST_F(FrameLoopTest, PassTracesSystemsInOrderAndShutsThemDownInReverse) {
    ProbeSystem first("ProbeFirst");
    ProbeSystem second("ProbeSecond");
    second.onUpdate = [&](int) { engine.running = false; };
    std::vector<std::string> registered;
    program.RunEnginePasses([&] {
        for (System* system : engine.systems) {
            registered.push_back(system->GetName());
        }
        engine.RegisterSystem(&first);
        engine.RegisterSystem(&second);
    });
    ASSERT_FALSE(registered.empty());
    EXPECT_EQ(registered.front(), "SystemType::INPUT_SYSTEM");

    std::vector<std::string> expected{"Engine::Initialize"};
    for (const std::string& name : registered) {
        expected.push_back("Engine::Initialize - Initialized system: " + name);
    }
    expected.push_back("Engine::Shutdown");
    std::vector<std::string> shutdownOrder = registered;
    shutdownOrder.push_back(first.name);
    shutdownOrder.push_back(second.name);
    std::reverse(shutdownOrder.begin(), shutdownOrder.end());
    for (const std::string& name : shutdownOrder) {
        expected.push_back("Engine::Shutdown - Shutting down system: " + name);
    }

    std::vector<std::string> engineLines;
    for (const std::string& message : TraceMessages(TraceLogPath())) {
        if (message.rfind("Engine::", 0) == 0) {
            engineLines.push_back(message);
        }
    }
    EXPECT_EQ(engineLines, expected);
    EXPECT_TRUE(engine.systems.empty());
}

TEST_F(FrameLoopTest, FrameSpansAreTimedAtTheTopLevel) {
    ProbeSystem probe("Probe");
    probe.onUpdate = [&](int) { engine.running = false; };
    program.RunEnginePasses([&] { engine.RegisterSystem(&probe); });
    const auto& times = StopwatchTimes();
    for (const char* span : {"Library Updates", "Pre-Updates", "Emitter Compilation",
                             "Start Drawing", "Library Renders", "Swap Buffers"}) {
        EXPECT_TRUE(times.values.contains(span)) << span;
    }
    for (const char* group : {"Update Control Systems", "Render Control Systems"}) {
        ASSERT_TRUE(times.groups.contains(group)) << group;
        EXPECT_TRUE(times.groups.find(group)->second.values.contains("Probe")) << group;
    }
    EXPECT_TRUE(RunningStopwatches().groups.empty());
    EXPECT_TRUE(RunningStopwatches().values.empty());
}

// A system that writes every hook the program calls into a shared list, with whether the window
// was open at the time; registered with the engine, it ends the pass after its first update.
class CallRecorder : public ControlSystem {
public:
    CallRecorder(std::string name, std::vector<std::string>& calls)
        : name(std::move(name)), calls(calls) {}
    void Initialize() override { Record("Initialize"); }
    void Update(float) override {
        Record("Update");
        if (engine != nullptr) {
            engine->running = false;
        }
    }
    void Render() override { Record("Render"); }
    void ShutDown() override { Record("ShutDown"); }

private:
    void Record(const char* hook) {
        const bool windowOpen = GraphicsSystem::Instance().window != nullptr;
        calls.push_back(name + " " + hook + (windowOpen ? "" : " (no window)"));
    }

    std::string name;
    std::vector<std::string>& calls;
};

// The program drives the library systems its composition lists: started in order after the
// window, updated before the engine and rendered after it in that order, and shut down in the
// separate shutdown order, here one that closes the window between the two.
TEST(ProgramCompositionTest, LibrarySystemsRunInTheCompositionsOrdersAroundTheEngine) {
    GameTree tree;
    std::vector<std::string> calls;
    CallRecorder first("first", calls);
    CallRecorder second("second", calls);
    CallRecorder registered("registered", calls);
    GraphicsSystem& graphics = GraphicsSystem::Instance();
    Program program(
        Composition{{&registered}, {&graphics, &first, &second}, {&second, &graphics, &first}});

    ASSERT_TRUE(program.StartUp());
    program.RunEnginePasses();
    EXPECT_EQ(program.Exit(), 0);

    const std::vector<std::string> expected{
        // Start-up, then the engine pass starts.
        "first Initialize",
        "second Initialize",
        "registered Initialize",
        // The one frame.
        "first Update",
        "second Update",
        "registered Update",
        "registered Render",
        "first Render",
        "second Render",
        // The engine pass ends, then the program exits.
        "registered ShutDown",
        "second ShutDown",
        "first ShutDown (no window)",
    };
    EXPECT_EQ(calls, expected);
}

// Without a window the program cannot run, and no library system listed after the window's is
// started.
TEST(ProgramCompositionTest, NoLibrarySystemStartsAfterTheWindowFailed) {
    GameTree tree;
    std::vector<std::string> calls;
    CallRecorder after("after", calls);
    GraphicsSystem& graphics = GraphicsSystem::Instance();
    Program program(Composition{{}, {&graphics, &after}, {&after, &graphics}});
    const char* display = getenv("DISPLAY");
    const std::optional<std::string> savedDisplay =
        display != nullptr ? std::optional<std::string>(display) : std::nullopt;
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");

    EXPECT_FALSE(program.StartUp());
    EXPECT_FALSE(graphics.startFailure.empty());
    EXPECT_TRUE(calls.empty()) << calls.front();

    if (savedDisplay) {
        setenv("DISPLAY", savedDisplay->c_str(), 1);
    }
}

// Frame times in, ticks out: the remainder carries over, the bound drops what lies beyond it, and
// times that are no time add nothing.
TEST(TickClockTest, FramesRunTheWholeTicksDueAndCarryTheRest) {
    struct Case {
        const char* what;
        std::vector<double> frames;
        std::vector<int> ticks;
    };
    const double tick = 1.0 / 60.0;
    const std::vector<Case> cases = {
        {"one tick per tick-long frame", {tick, tick, tick}, {1, 1, 1}},
        {"short frames add up", {0.4 * tick, 0.4 * tick, 0.4 * tick}, {0, 0, 1}},
        {"a long frame catches up", {3.5 * tick, 0.5 * tick}, {3, 1}},
        {"a stall runs the bound and drops the rest",
         {1.0, 0.5 * tick},
         {TickClock::kMaxTicksPerFrame, 0}},
        {"no time, negative or not a number adds nothing",
         {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(),
          std::numeric_limits<double>::infinity()},
         {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TickClock clock;
        std::vector<int> ticks;
        for (const double frame : c.frames) {
            ticks.push_back(clock.TicksDue(frame));
        }
        EXPECT_EQ(ticks, c.ticks);
        EXPECT_LT(clock.Accumulated(), tick);
    }
    TickClock slow;
    slow.SetTickLength(0.1);
    slow.SetTickLength(-1.0);
    EXPECT_EQ(slow.TickLength(), 0.1) << "a length that is no length is refused";
    EXPECT_EQ(slow.TicksDue(0.25), 2);
}

}  // namespace
