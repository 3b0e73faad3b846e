// The mapping-file reader and the press/release entries of the input system.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "engine/EnumNames.h"
#include "engine/InputMessage.h"
#include "input/InputSystem.h"
#include "input/KeyCode.h"
#include "support/ChildProcess.h"
#include "support/TempDirectory.h"

namespace {

using Bindings = std::map<int, std::vector<InputType>>;

class InputMappingTest : public ::testing::Test {
protected:
    void SetUp() override { DataDirectory = temp.path().string() + "/"; }
    void TearDown() override { DataDirectory = "Data/"; }

    std::string Trace() const { return ReadFileText(temp.path() / "Trace_Log.txt"); }

    TempDirectory temp;
    InputSystem& input = InputSystem::Instance();
};

TEST_F(InputMappingTest, ReadsTriplesOfCodeSeparatorAndName) {
    struct Case {
        const char* what;
        const char* file;
        Bindings expected;
    };
    const Case cases[] = {
        {"any separator, any whitespace",
         "87 = UP\n65\t->\tLEFT 83 : DOWN",
         {{87, {InputType::UP}}, {65, {InputType::LEFT}}, {83, {InputType::DOWN}}}},
        {"codes from 256 narrowed",
         "256 = JUMP\n340 = SHIFT\n262 = RIGHT",
         {{0, {InputType::JUMP}}, {84, {InputType::SHIFT}}, {6, {InputType::RIGHT}}}},
        {"codes 128..255 turn negative", "200 = BEEP", {{-56, {InputType::BEEP}}}},
        {"signs and trailing junk",
         "+49 = _PISTOL -1 = _RIFLE 50abc = _SNIPER",
         {{49, {InputType::_PISTOL}}, {-1, {InputType::_RIFLE}}, {50, {InputType::_SNIPER}}}},
        {"a non-number is code 0", "abc = JUMP", {{0, {InputType::JUMP}}}},
        {"several inputs on one code in file order",
         "87 = UP\n87 = SHIFT\n87 = UP",
         {{87, {InputType::UP, InputType::SHIFT, InputType::UP}}}},
        {"Escape and the key 256 below share code 0",
         "0 = JUMP 256 = BEEP",
         {{0, {InputType::JUMP, InputType::BEEP}}}},
        {"empty file", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::istringstream file(c.file);
        EXPECT_TRUE(input.LoadMappings(file));
        EXPECT_EQ(input.bindings, c.expected);
    }
}

TEST_F(InputMappingTest, ABrokenEntryIsReportedOnceAndEarlierBindingsStay) {
    struct Case {
        const char* what;
        const char* file;
        const char* namedInError;
    };
    const Case cases[] = {
        {"unknown name", "87 = UP\n65 = JUMPS\n83 = DOWN", "\"65 = JUMPS\""},
        {"name is case-sensitive", "87 = UP\n65 = left", "\"65 = left\""},
        {"missing name token", "87 = UP\n65 =", "\"65 =\""},
        {"missing separator and name", "87 = UP\n65", "\"65\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(temp.path() / "Trace_Log.txt");
        input.bindings = {{99, {InputType::BEEP}}};
        std::istringstream file(c.file);
        EXPECT_FALSE(input.LoadMappings(file));
        EXPECT_EQ(input.bindings, (Bindings{{87, {InputType::UP}}}));
        const std::string trace = Trace();
        EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 1) << trace;
        EXPECT_NE(trace.find("ERROR: InputSystem::LoadMappings - entry 2 "), std::string::npos)
            << trace;
        EXPECT_NE(trace.find(c.namedInError), std::string::npos) << trace;
    }
}

// Read from a file, the reports name it, so a person knows which file to mend.
TEST_F(InputMappingTest, ReportsNameTheFileTheEntriesCameFrom) {
    const std::string source = "Data/DefaultInputMappings.txt";
    struct Case {
        const char* file;
        const char* report;
    };
    const Case cases[] = {
        {"87 = JUMPS", "ERROR: InputSystem::LoadMappings - Data/DefaultInputMappings.txt: entry 1 "},
        {"87 =", "ERROR: InputSystem::LoadMappings - Data/DefaultInputMappings.txt: entry 1 "},
        {"87 = cInputStateMax",
         "WARNING: InputSystem::LoadMappings - Data/DefaultInputMappings.txt: entry 1 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::filesystem::remove(temp.path() / "Trace_Log.txt");
        std::istringstream file(c.file);
        input.LoadMappings(file, source);
        EXPECT_NE(Trace().find(c.report), std::string::npos) << Trace();
    }
}

TEST_F(InputMappingTest, TheInputCountIsRefusedWithAWarning) {
    std::istringstream file("87 = cInputStateMax\n65 = LEFT");
    EXPECT_TRUE(input.LoadMappings(file));
    EXPECT_EQ(input.bindings, (Bindings{{65, {InputType::LEFT}}}));
    EXPECT_NE(Trace().find("WARNING: InputSystem::LoadMappings - entry 1 \"87 = cInputStateMax\""),
              std::string::npos)
        << Trace();
}

TEST_F(InputMappingTest, PressesQueueOneMessagePerBoundInput) {
    std::istringstream file("87 = UP\n87 = SHIFT");
    ASSERT_TRUE(input.LoadMappings(file));
    input.OnKeyDown(87);
    input.OnKeyUp(87);
    input.OnKeyDown(12);  // unbound: nothing
    // Drain the queue through the real dispatch of an unpaused engine: the releases of inputs
    // pressed in the same batch wait for the next tick's dispatch.
    input.engine = &Engine::Instance();
    input.SendInputMessages();
    const std::size_t firstTick = Trace().size();
    input.SendInputMessages();
    const std::string trace = Trace();
    EXPECT_GT(trace.find("InputType::UP, 0"), firstTick) << "the release waited for the next tick";
    const std::vector<std::string> expected{
        "Input message sent: InputType::UP, 1", "Input message sent: InputType::SHIFT, 1",
        "Input message sent: InputType::UP, 0", "Input message sent: InputType::SHIFT, 0"};
    std::size_t position = 0;
    for (const std::string& line : expected) {
        position = trace.find(line, position);
        ASSERT_NE(position, std::string::npos) << line << "\n" << trace;
    }
    EXPECT_EQ(trace.find("Input message sent", position + 1), std::string::npos) << trace;
    input.engine = nullptr;
}

// The shipped bindings must not collide: after narrowing every code belongs to one key only.
TEST(DefaultInputMappingsTest, ShippedFileBindsEveryInputWithoutCollisions) {
    std::ifstream file(std::filesystem::path(TARNWICK_SOURCE_DIR) / "Data" /
                       "DefaultInputMappings.txt");
    ASSERT_TRUE(file.is_open());
    std::map<int, std::set<int>> codesByNarrowed;
    std::set<InputType> bound;
    int code = 0;
    std::string separator;
    std::string name;
    while (file >> code >> separator >> name) {
        codesByNarrowed[NarrowKeyCode(code)].insert(code);
        bound.insert(EnumValue<InputType>("InputType::" + name));
    }
    for (const auto& [narrowed, codes] : codesByNarrowed) {
        EXPECT_EQ(codes.size(), 1u) << "keys collide on code " << narrowed;
    }
    // Key 257 (Enter) and 258 (Tab) would narrow onto the mouse buttons.
    EXPECT_EQ(codesByNarrowed[kLeftMouseButtonCode], (std::set<int>{kLeftMouseButtonCode}));
    EXPECT_EQ(codesByNarrowed[kRightMouseButtonCode], (std::set<int>{kRightMouseButtonCode}));
    // A value below the count without a name is a gap kept for an input to come, not an input.
    for (int value = 1; value < static_cast<int>(InputType::cInputStateMax); ++value) {
        const auto input = static_cast<InputType>(value);
        std::string name;
        try {
            name = EnumName(input);
        } catch (const std::out_of_range&) {
            continue;
        }
        EXPECT_TRUE(bound.contains(input)) << name;
    }
}

}  // namespace
