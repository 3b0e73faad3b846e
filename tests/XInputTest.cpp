// Real keyboard input: the game runs on an X server of the test's own and keys are pressed
// through the server's test extension (XTEST), so every event takes the real path from X through
// GLFW to the trace log.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "support/GameRun.h"
#include "support/TraceMessages.h"

namespace {

using namespace std::chrono_literals;

// Longer than the X server's auto-repeat delay (660 ms), so a held key repeats.
constexpr auto kPastAutoRepeat = 1200ms;

class XInputTest : public ::testing::Test {
protected:
    // W is bound twice, A once; nothing else is bound, unless `mappings` says otherwise.
    void StartGame(const char* runOnStart,
                   const char* mappings = "87 = UP\n87 = SHIFT\n65 = LEFT\n") {
        run.CopyStockTree();
        run.WriteStartSettings("", runOnStart);
        run.WriteFile("Data/DefaultInputMappings.txt", mappings);
        ASSERT_TRUE(run.StartRunning());
        ASSERT_TRUE(run.OpenWindow());
    }

    bool TraceHas(const std::string& input, bool pressed) {
        return run.WaitForTrace(InputSentTrace(input, pressed));
    }

    // The sent messages, in the order the trace holds them.
    std::vector<std::string> SentMessages() const {
        const std::string_view prefix = kInputSentTrace;
        std::vector<std::string> sent;
        for (const std::string& line : run.TraceLines()) {
            if (line.starts_with(prefix)) {
                sent.push_back(line.substr(prefix.size()));
            }
        }
        return sent;
    }

    // The close request reaches the game after every input sent before it (the X server keeps
    // the order), and the frame that takes it in runs to its end: the trace then holds whatever
    // that input made the game send.
    void CloseGame() {
        ASSERT_TRUE(run.CloseWindow());
        EXPECT_EQ(run.Wait(), 0);
    }

    GameRun run;
};

TEST_F(XInputTest, PressAndReleaseSendOneMessagePerBindingAndRepeatsSendNone) {
    StartGame("1");
    run.window().KeyDown("w");
    ASSERT_TRUE(TraceHas("SHIFT", true));
    run.window().KeyUp("w");
    ASSERT_TRUE(TraceHas("SHIFT", false));
    EXPECT_EQ(SentMessages(),
              (std::vector<std::string>{"InputType::UP, 1", "InputType::SHIFT, 1",
                                        "InputType::UP, 0", "InputType::SHIFT, 0"}));

    // Held past the X server's auto-repeat delay, the key repeats; repeats are not presses.
    run.PressKey("a", "LEFT", kPastAutoRepeat);
    const std::vector<std::string> sent = SentMessages();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "InputType::LEFT, 1"), 1);

    // An unbound key sends nothing.
    run.window().Send({"key", "z"});
    CloseGame();
    EXPECT_EQ(SentMessages().size(), 6u);
}

// A paused game takes no press but lets go of what is released, so nothing held before the pause
// acts on after it; the pause key itself still works.
TEST_F(XInputTest, WhilePausedOnlyReleasesAndThePauseKeyAreDelivered) {
    StartGame("0", "87 = UP\n87 = SHIFT\n65 = LEFT\n256 = PAUSE\n");
    run.window().KeyDown("w");
    run.window().KeyUp("w");
    run.window().KeyDown("Escape");
    run.window().KeyUp("Escape");
    CloseGame();
    EXPECT_EQ(SentMessages(),
              (std::vector<std::string>{"InputType::UP, 0", "InputType::SHIFT, 0",
                                        "InputType::PAUSE, 1", "InputType::PAUSE, 0"}))
        << run.Trace();
}

// The window forwards the left mouse button as code 1 and the right one as code 2, and no other
// button. Codes 0 and 3 are bound too, so that a button passed on with GLFW's own number (left 0,
// right 1, middle 2, the first side button 3) or off by one would send a message of its own.
TEST_F(XInputTest, LeftAndRightButtonsReachTheirBindingsAndOtherButtonsNothing) {
    StartGame("1", "1 = CLICK\n2 = RIGHT_CLICK\n0 = BEEP\n3 = JUMP\n");
    run.window().PointAt(540, 360);
    // X buttons: 1 left, 2 middle, 3 right, 8 the first side button.
    run.window().Send({"click", "2", "click", "8", "mousedown", "1", "mouseup", "1", "mousedown",
                       "3", "mouseup", "3"});
    ASSERT_TRUE(TraceHas("RIGHT_CLICK", false)) << run.Trace();
    CloseGame();
    EXPECT_EQ(SentMessages(),
              (std::vector<std::string>{"InputType::CLICK, 1", "InputType::CLICK, 0",
                                        "InputType::RIGHT_CLICK, 1", "InputType::RIGHT_CLICK, 0"}));
}

// A key GLFW cannot identify has the code -1: its press is not passed on, its release is (as the
// code -1, which the mapping file can bind).
TEST_F(XInputTest, UnknownKeySendsItsReleaseButNotItsPress) {
    StartGame("1", "-1 = JUMP\n87 = UP\n");
    // The mute key has no GLFW key code; W afterwards marks the end of the input.
    run.window().Send({"keydown", "XF86AudioMute", "keyup", "XF86AudioMute", "key", "w"});
    ASSERT_TRUE(TraceHas("UP", false)) << run.Trace();
    CloseGame();
    EXPECT_EQ(SentMessages(), (std::vector<std::string>{"InputType::JUMP, 0", "InputType::UP, 1",
                                                        "InputType::UP, 0"}));
}

}  // namespace
