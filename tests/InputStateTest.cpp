// The held-input table as gameplay polls it, on the real frame loop. Keys are pressed through
// the test extension (XTEST) of an X server of the test's own, so every event takes the real path
// from X through GLFW's callbacks, the input system's queue and the message dispatch.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/InputMessage.h"
#include "engine/TraceLog.h"
#include "input/InputStateSystem.h"
#include "input/InputSystem.h"
#include "support/InGameTest.h"
#include "support/TraceMessages.h"

namespace {

// GLFW's (and the mapping file's) code of the W key.
constexpr int kKeyW = 87;

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

class InputStateTest : public InGameTest {
protected:
    void SetUp() override {
        tree.WriteFile("Data/DefaultInputMappings.txt", "87 = UP\n65 = LEFT\n");
        probe.onMessage = [&](int frame, const InputMessage& message) {
            deliveries.push_back(
                {passes, frame, message.input, message.pressed, Held(message.input)});
        };
    }

    // Plays the script, counting the engine passes.
    void PlayCountingPasses() {
        Play([&] { ++passes; });
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

    std::vector<Delivery> deliveries;
    int passes = 0;
};

// A tap: press and release reach the window in one frame. The press is delivered in the next
// tick and the release waits for the tick after, so whoever polls the held flag sees the input
// held for one tick.
TEST_F(InputStateTest, PressAndReleaseWithinOneFrameAreHeldForOneTick) {
    int keyFrame = 0;
    std::vector<int> heldInFrames;
    probe.onUpdate = [&](int frame) {
        if (Held(InputType::UP)) {
            heldInFrames.push_back(frame);
        }
    };
    // Sent from inside a frame, so both reach the X server before the next frame's event poll.
    Until([&] { return WindowFocused(); });
    Do([&] {
        window.Send({"keydown", "w", "keyup", "w"});
        keyFrame = probe.frame;
    });
    Until([&] { return deliveries.size() >= 2; });
    PlayCountingPasses();

    const std::vector<Delivery> up = DeliveriesOf(InputType::UP);
    ASSERT_EQ(up.size(), 2u);
    EXPECT_EQ(up[0].frame, keyFrame + 1);
    EXPECT_EQ(up[1].frame, keyFrame + 2);
    EXPECT_TRUE(up[0].pressed);
    EXPECT_TRUE(up[0].held);
    EXPECT_FALSE(up[1].pressed);
    EXPECT_FALSE(up[1].held);
    EXPECT_EQ(heldInFrames, std::vector<int>{keyFrame + 1});
    EXPECT_FALSE(Held(InputType::UP));
}

// While paused no press is delivered, but releases are: a key let go during the pause no longer
// reads as held (a fire button let go while paused must not fire on after it), and one pressed
// during it is not taken until it is pressed again.
TEST_F(InputStateTest, PauseTakesNoPressButLetsGoOfReleasedInputs) {
    int pausedAt = 0;
    int releasedAgainAt = 0;
    Until([&] { return WindowFocused(); });
    Do([&] { window.KeyDown("w"); });
    Until([&] {
        if (!Held(InputType::UP)) {
            return false;
        }
        engine.paused = true;
        pausedAt = probe.frame;
        window.Send({"keyup", "w", "keydown", "a"});
        return true;
    });
    // The paused engine still polls the window's events: GLFW takes the keys in, and the
    // engine passes on only the release.
    Until([&] { return !KeyIsDown("w") && KeyIsDown("a") && !Held(InputType::UP); });
    Do([&] {
        EXPECT_FALSE(Held(InputType::LEFT)) << "pressed during the pause";
        engine.paused = false;
    });
    // The first frame after the pause has sent whatever was still waiting to be sent.
    Do([&] {
        EXPECT_FALSE(Held(InputType::UP));
        EXPECT_FALSE(Held(InputType::LEFT));
        window.Send({"keyup", "a", "keydown", "w", "keyup", "w"});
        releasedAgainAt = probe.frame;
    });
    Until([&] {
        return DeliveriesOf(InputType::UP).size() >= 3 && !DeliveriesOf(InputType::LEFT).empty();
    });
    PlayCountingPasses();

    ASSERT_NE(releasedAgainAt, 0) << "W was never seen held";
    std::vector<std::pair<bool, int>> upFrames;
    for (const Delivery& delivery : DeliveriesOf(InputType::UP)) {
        upFrames.emplace_back(delivery.pressed, delivery.frame);
    }
    // The first press, its release during the pause, then W down and up again after the pause
    // (the tap's release a tick after its press).
    ASSERT_EQ(upFrames.size(), 4u);
    EXPECT_EQ(upFrames[0], (std::pair{true, pausedAt}));
    EXPECT_FALSE(upFrames[1].first);
    EXPECT_GT(upFrames[1].second, pausedAt);
    EXPECT_LT(upFrames[1].second, releasedAgainAt);
    EXPECT_EQ(upFrames[2], (std::pair{true, releasedAgainAt + 1}));
    EXPECT_EQ(upFrames[3], (std::pair{false, releasedAgainAt + 2}));
    // A's release after the pause is delivered, its press during the pause never was.
    const std::vector<Delivery> left = DeliveriesOf(InputType::LEFT);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_FALSE(left[0].pressed);
    EXPECT_FALSE(Held(InputType::UP));
}

// Messages still queued when a pass ends are delivered in the first frame of the next one, and a
// key pressed after the restart gives one message per binding, not one per pass.
TEST_F(InputStateTest, QueuedMessagesSurviveARestart) {
    Do([&] {
        // After this frame's dispatch, as the window's press entry queues it.
        InputSystem::Instance().OnKeyDown(kKeyW);
        TraceLog::Log("first pass marker");
        engine.running = false;
        engine.restart = true;
    });
    Until([&] { return passes == 2 && WindowFocused(); });
    Do([&] { window.KeyDown("w"); });
    Until([&] { return DeliveriesOf(InputType::UP).size() >= 2; });
    PlayCountingPasses();

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
    EXPECT_EQ(std::count(trace.begin(), trace.end(), InputSentTrace("UP", true)), 2);
}

}  // namespace
