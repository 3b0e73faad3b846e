// Real keyboard input: the game runs on an X server of the test's own and keys are pressed with
// xdotool (XTEST), so every event takes the real path from X through GLFW to the trace log.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "support/ChildProcess.h"
#include "support/PrivateDisplay.h"
#include "support/StockData.h"
#include "support/TempDirectory.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kSent = "InputSystem::SendInputMessages - Input message sent: ";

class XInputTest : public ::testing::Test {
protected:
    // W is bound twice, A once; nothing else is bound, unless `mappings` says otherwise.
    void StartGame(const char* runOnStart,
                   const char* mappings = "87 = UP\n87 = SHIFT\n65 = LEFT\n") {
        ASSERT_FALSE(display.name().empty()) << "no private X server";
        CopyStockData(game);
        temp.WriteFile("game/Data/EngineSettingFiles/SettingsRouter.txt", "Start.json");
        temp.WriteFile(
            "game/Data/EngineSettingFiles/Start.json",
            std::string("{\"defaultEntityFile\": \"\", \"runOnStart\": \"") + runOnStart + "\"}");
        temp.WriteFile("game/Data/DefaultInputMappings.txt", mappings);
        child = std::make_unique<ChildProcess>(ChildProcess::Options{
            {TARNWICK_GAME_EXECUTABLE},
            game,
            {{"XDG_DATA_HOME", (temp.path() / "xdg").string()}, {"DISPLAY", display.name()}},
            temp.path() / "out.txt",
            temp.path() / "err.txt"});
        std::string window;
        ASSERT_TRUE(WaitUntil(
            [&] {
                return display.Run({"/usr/bin/xdotool", "search", "--name", "^Tarnwick$"},
                                   &window) == 0;
            },
            20s));
        window = window.substr(0, window.find('\n'));
        windowId = window;
        ASSERT_TRUE(WaitUntil(
            [&] { return Trace().find("Engine::Initialize") != std::string::npos; }, 20s));
        ASSERT_EQ(display.Run({"/usr/bin/xdotool", "windowfocus", "--sync", window}), 0);
    }

    void Key(const char* action, const char* key) {
        ASSERT_EQ(display.Run({"/usr/bin/xdotool", action, key}), 0) << action << " " << key;
    }

    // Runs one xdotool command line (several commands may be chained in it).
    void Xdotool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "/usr/bin/xdotool");
        ASSERT_EQ(display.Run(arguments), 0) << arguments[1];
    }

    std::string Trace() const {
        return ReadFileText(temp.path() / "xdg" / "OrreryTestDirectory" / "Data" / "Trace_Log.txt");
    }

    bool TraceHas(const std::string& text) {
        return WaitUntil([&] { return Trace().find(text) != std::string::npos; }, 10s);
    }

    // The sent messages, in the order the trace holds them.
    std::vector<std::string> SentMessages() const {
        std::vector<std::string> sent;
        const std::string trace = Trace();
        for (std::size_t at = trace.find(kSent); at != std::string::npos;
             at = trace.find(kSent, at + 1)) {
            const std::size_t start = at + std::string(kSent).size();
            sent.push_back(trace.substr(start, trace.find('\n', start) - start));
        }
        return sent;
    }

    void CloseGame() {
        ASSERT_EQ(display.Run({TARNWICK_CLOSE_WINDOW, "Tarnwick", std::to_string(child->Pid())}),
                  0);
        EXPECT_EQ(child->Wait(20s), 0);
    }

    TempDirectory temp;
    std::filesystem::path game = temp.path() / "game";
    PrivateDisplay display;
    std::unique_ptr<ChildProcess> child;
    std::string windowId;
};

TEST_F(XInputTest, PressAndReleaseSendOneMessagePerBindingAndRepeatsSendNone) {
    StartGame("1");
    Key("keydown", "w");
    ASSERT_TRUE(TraceHas(std::string(kSent) + "InputType::SHIFT, 1"));
    Key("keyup", "w");
    ASSERT_TRUE(TraceHas(std::string(kSent) + "InputType::SHIFT, 0"));
    EXPECT_EQ(SentMessages(),
              (std::vector<std::string>{"InputType::UP, 1", "InputType::SHIFT, 1",
                                        "InputType::UP, 0", "InputType::SHIFT, 0"}));

    // Held past the X server's auto-repeat delay, the key repeats; repeats are not presses.
    Key("keydown", "a");
    ASSERT_TRUE(TraceHas(std::string(kSent) + "InputType::LEFT, 1"));
    std::this_thread::sleep_for(1200ms);
    Key("keyup", "a");
    ASSERT_TRUE(TraceHas(std::string(kSent) + "InputType::LEFT, 0"));
    const std::vector<std::string> sent = SentMessages();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "InputType::LEFT, 1"), 1);

    // An unbound key sends nothing.
    Key("key", "z");
    CloseGame();
    EXPECT_EQ(SentMessages().size(), 6u);
}

TEST_F(XInputTest, NothingIsDeliveredWhilePaused) {
    StartGame("0");
    Key("keydown", "w");
    Key("keyup", "a");
    Key("keyup", "w");
    // Nothing can be awaited when nothing must happen: give the game a generous few frames.
    std::this_thread::sleep_for(500ms);
    CloseGame();
    EXPECT_TRUE(SentMessages().empty()) << Trace();
    EXPECT_EQ(Trace().find("Engine Received Message"), std::string::npos);
}

// The window forwards the left mouse button as code 1 and the right one as code 2, and no other
// button. Codes 0 and 3 are bound too, so that a button passed on with GLFW's own number (left 0,
// right 1, middle 2, the first side button 3) or off by one would send a message of its own.
TEST_F(XInputTest, LeftAndRightButtonsReachTheirBindingsAndOtherButtonsNothing) {
    StartGame("1", "1 = CLICK\n2 = RIGHT_CLICK\n0 = BEEP\n3 = JUMP\n");
    Xdotool({"mousemove", "--window", windowId, "540", "360"});
    // X buttons: 1 left, 2 middle, 3 right, 8 the first side button.
    Xdotool({"click", "2", "click", "8", "mousedown", "1", "mouseup", "1", "mousedown", "3",
             "mouseup", "3"});
    ASSERT_TRUE(TraceHas(std::string(kSent) + "InputType::RIGHT_CLICK, 0")) << Trace();
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
    Xdotool({"keydown", "XF86AudioMute", "keyup", "XF86AudioMute", "key", "w"});
    ASSERT_TRUE(TraceHas(std::string(kSent) + "InputType::UP, 0")) << Trace();
    CloseGame();
    EXPECT_EQ(SentMessages(), (std::vector<std::string>{"InputType::JUMP, 0", "InputType::UP, 1",
                                                        "InputType::UP, 0"}));
}

}  // namespace
