// The held-input table as gameplay polls it, on the real frame loop. Keys are pressed with
// xdotool (XTEST) on an X server of the test's own, so every event takes the real path from X
// through GLFW's callbacks, the input system's queue and the message dispatch.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "engine/InputMessage.h"
#include "engine/TraceLog.h"
#include "input/InputStateSystem.h"
#include "input/InputSystem.h"
#include "support/EnginePassTest.h"
#include "support/PrivateDisplay.h"
#include "support/TraceMessages.h"

namespace {

constexpr const char* kSent = "InputSystem::SendInputMessages - Input message sent: ";
// GLFW's (and the mapping file's) code of the W key.
constexpr int kKeyW = 87;
// Frames to wait for an event that must come; far more than it takes.
constexpr int kFrameLimit = 600;

bool Held(InputType input) {
    return inputStates[static_cast<std::size_t>(input)];
}

// A message as a receiver after the InputStateSystem saw it: in which frame, and whether the
// input read as held at that moment.
struct Delivery {
    int pass;
    int frame;
    InputType input;
    bool pressed;
    bool held;
};

class InputStateTest : public EnginePassTest {
protected:
    void SetUp() override {
        ASSERT_FALSE(display.name().empty()) << "no private X server";
        setenv("DISPLAY", display.name().c_str(), 1);
        tree.WriteFile("Data/DefaultInputMappings.txt", "87 = UP\n65 = LEFT\n");
        probe.onMessage = [&](int frame, const InputMessage& message) {
            deliveries.push_back(
                {passes, frame, message.input, message.pressed, Held(message.input)});
        };
    }

    // Runs the passes with the window focused, so that keys reach it.
    void RunFocused(const std::function<void()>& setup = [] {}) {
        RunPasses([&] {
            ++passes;
            if (passes == 1) {
                std::string window;
                ASSERT_EQ(Xdotool({"search", "--name", "^Tarnwick$"}, &window), 0);
                window = window.substr(0, window.find('\n'));
                ASSERT_EQ(Xdotool({"windowfocus", "--sync", window}), 0);
            }
            setup();
        });
    }

    // Returns once the X server has taken the input: the game polls it in its next frame.
    int Xdotool(std::vector<std::string> arguments, std::string* output = nullptr) {
        arguments.insert(arguments.begin(), "/usr/bin/xdotool");
        return display.Run(std::move(arguments), output).value_or(-1);
    }

    std::vector<Delivery> DeliveriesOf(InputType input) const {
        std::vector<Delivery> found;
        for (const Delivery& delivery : deliveries) {
            if (delivery.input == input) {
                found.push_back(delivery);
            }
        }
        return found;
    }

    PrivateDisplay display;
    std::vector<Delivery> deliveries;
    int passes = 0;
};

TEST_F(InputStateTest, PressAndReleaseWithinOneFrameEndReleased) {
    int keyFrame = 0;
    probe.onUpdate = [&](int frame) {
        if (frame == 2) {
            ASSERT_EQ(Xdotool({"keydown", "w", "keyup", "w"}), 0);
            keyFrame = frame;
        }
        engine.running = deliveries.size() < 2 && frame < kFrameLimit;
    };
    RunFocused();

    const std::vector<Delivery> up = DeliveriesOf(InputType::UP);
    ASSERT_EQ(up.size(), 2u);
    // Both were polled and delivered in the frame after the keys went down and up, the press
    // first; the flag went up with the press and ended down.
    EXPECT_EQ(up[0].frame, keyFrame + 1);
    EXPECT_EQ(up[1].frame, keyFrame + 1);
    EXPECT_TRUE(up[0].pressed);
    EXPECT_TRUE(up[0].held);
    EXPECT_FALSE(up[1].pressed);
    EXPECT_FALSE(up[1].held);
    EXPECT_FALSE(Held(InputType::UP));
}

// While paused nothing is delivered, so a key released during the pause still reads as held
// afterwards (and one pressed during it does not), until it is pressed and released again.
TEST_F(InputStateTest, PauseFreezesTheHeldInputs) {
    constexpr int kPausedFrames = 3;
    int pausedAt = 0;
    int resumedAt = 0;
    int releasedAgainAt = 0;
    probe.onUpdate = [&](int frame) {
        if (frame == 2) {
            ASSERT_EQ(Xdotool({"keydown", "w"}), 0);
        } else if (pausedAt == 0 && Held(InputType::UP)) {
            engine.paused = true;
            pausedAt = frame;
            ASSERT_EQ(Xdotool({"keyup", "w", "keydown", "a"}), 0);
        } else if (pausedAt != 0 && resumedAt == 0 && frame == pausedAt + kPausedFrames) {
            EXPECT_TRUE(Held(InputType::UP)) << "released during the pause";
            EXPECT_FALSE(Held(InputType::LEFT)) << "pressed during the pause";
            engine.paused = false;
            resumedAt = frame;
        } else if (resumedAt != 0 && frame == resumedAt + kPausedFrames) {
            EXPECT_TRUE(Held(InputType::UP)) << "nothing has released it since";
            EXPECT_FALSE(Held(InputType::LEFT));
            ASSERT_EQ(Xdotool({"keyup", "a", "keydown", "w", "keyup", "w"}), 0);
            releasedAgainAt = frame;
        }
        engine.running = (releasedAgainAt == 0 || frame == releasedAgainAt) && frame < kFrameLimit;
    };
    RunFocused();

    ASSERT_NE(releasedAgainAt, 0) << "W was never seen held";
    std::vector<std::pair<bool, int>> upFrames;
    for (const Delivery& delivery : DeliveriesOf(InputType::UP)) {
        upFrames.emplace_back(delivery.pressed, delivery.frame);
    }
    // The first press, then nothing until W went down and up again after the pause.
    EXPECT_EQ(upFrames,
              (std::vector<std::pair<bool, int>>{
                  {true, pausedAt}, {true, releasedAgainAt + 1}, {false, releasedAgainAt + 1}}));
    // A's release after the pause is delivered, its press during the pause never was.
    const std::vector<Delivery> left = DeliveriesOf(InputType::LEFT);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_FALSE(left[0].pressed);
    EXPECT_FALSE(Held(InputType::UP));
}

// Messages still queued when a pass ends are delivered in the first frame of the next one, and a
// key pressed after the restart gives one message per binding, not one per pass.
TEST_F(InputStateTest, QueuedMessagesSurviveARestart) {
    probe.onUpdate = [&](int frame) {
        if (passes == 1 && frame == 2) {
            // After this frame's dispatch, as the window's press entry queues it.
            InputSystem::Instance().OnKeyDown(kKeyW);
            TraceLog::Log("first pass marker");
            engine.running = false;
            engine.restart = true;
        } else if (passes == 2 && frame == 2) {
            ASSERT_EQ(Xdotool({"keydown", "w"}), 0);
        } else if (passes == 2 && frame > 2) {
            engine.running = DeliveriesOf(InputType::UP).size() < 2 && frame < kFrameLimit;
        }
    };
    RunFocused();

    ASSERT_EQ(passes, 2);
    const std::vector<Delivery> up = DeliveriesOf(InputType::UP);
    ASSERT_EQ(up.size(), 2u);
    EXPECT_EQ(up[0].pass, 2);
    EXPECT_EQ(up[0].frame, 1);
    EXPECT_TRUE(up[0].pressed);
    EXPECT_TRUE(up[1].pressed);
    EXPECT_EQ(up[1].pass, 2);
    EXPECT_TRUE(Held(InputType::UP));

    // The trace log was started afresh by the second pass, which sent both messages.
    const std::vector<std::string> trace = TraceMessages(tree.perUserData() / "Trace_Log.txt");
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "first pass marker"), 0);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), std::string(kSent) + "InputType::UP, 1"), 2);
}

}  // namespace
