#include "support/DisplayWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>
#include <thread>

namespace {
namespace fs = std::filesystem;

constexpr const char* kXdotool = "/usr/bin/xdotool";
constexpr const char* kImport = "/usr/bin/import";
// Between characters of typed text: the X server queues them in order either way, and a person
// types no faster.
constexpr const char* kTypingDelayMs = "30";
constexpr auto kShotInterval = std::chrono::milliseconds(100);

fs::path ShotsFolder() {
    return fs::path(TARNWICK_SOURCE_DIR) / "build" / "e2e-screenshots";
}

// "Suite-Test-name.png", with the parts of parameterized names that cannot be in a file name
// replaced.
std::string ShotFileName(const std::string& name) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string file = std::string(test->test_suite_name()) + "-" + test->name() + "-" + name;
    std::replace(file.begin(), file.end(), '/', '_');
    return file + ".png";
}
}  // namespace

DisplayWindow::DisplayWindow(PrivateDisplay& display, std::string title, int owner)
    : display(display), title(std::move(title)), owner(owner) {}

bool DisplayWindow::Find(std::chrono::milliseconds timeout) {
    std::string found;
    const bool exists = WaitUntil(
        [&] {
            return display.Run({kXdotool, "search", "--all", "--onlyvisible", "--pid",
                                std::to_string(owner), "--name", "^" + title + "$"},
                               &found) == 0;
        },
        timeout);
    window = exists ? found.substr(0, found.find('\n')) : std::string();
    return exists;
}

bool DisplayWindow::Focus() {
    return display.Run({kXdotool, "windowfocus", "--sync", window}) == 0;
}

void DisplayWindow::Send(std::vector<std::string> commands) {
    // Built front to back: GCC 12 misreads an insert at the front of a vector of strings as an
    // out-of-bounds copy.
    std::vector<std::string> line;
    line.reserve(commands.size() + 1);
    line.emplace_back(kXdotool);
    for (std::string& command : commands) {
        line.push_back(std::move(command));
    }
    EXPECT_EQ(display.Run(line), 0) << "xdotool " << line[1];
}

std::optional<DisplayWindow::Geometry> DisplayWindow::GetGeometry() {
    std::string shell;
    if (display.Run({kXdotool, "getwindowgeometry", "--shell", window}, &shell) != 0) {
        return std::nullopt;
    }
    // One "NAME=value" line each: WINDOW, X, Y, WIDTH, HEIGHT, SCREEN.
    std::map<std::string, int> values;
    std::istringstream lines(shell);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) {
            values[line.substr(0, equals)] = std::atoi(line.c_str() + equals + 1);
        }
    }
    if (!values.contains("WIDTH") || !values.contains("HEIGHT")) {
        return std::nullopt;
    }
    return Geometry{values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]};
}

bool DisplayWindow::Resize(int width, int height) {
    return display.Run({kXdotool, "windowsize", "--sync", window, std::to_string(width),
                        std::to_string(height)}) == 0;
}

void DisplayWindow::PointAt(int x, int y) {
    Send({"mousemove", "--window", window, std::to_string(x), std::to_string(y)});
}

void DisplayWindow::KeyDown(const std::string& key) {
    Send({"keydown", key});
}

void DisplayWindow::KeyUp(const std::string& key) {
    Send({"keyup", key});
}

void DisplayWindow::ButtonDown(int button) {
    Send({"mousedown", std::to_string(button)});
}

void DisplayWindow::ButtonUp(int button) {
    Send({"mouseup", std::to_string(button)});
}

void DisplayWindow::Type(const std::string& text) {
    // "--" ends the options: a text may begin with a minus sign ("-1400").
    Send({"type", "--delay", kTypingDelayMs, "--", text});
}

// Empty when the picture could not be taken: a window that is not mapped yet cannot be read.
Screenshot DisplayWindow::TryShot(const std::string& name) {
    fs::create_directories(ShotsFolder());
    const fs::path file = ShotsFolder() / ShotFileName(name);
    fs::remove(file);
    if (display.Run({kImport, "-window", window, file.string()}) != 0) {
        return {};
    }
    return Screenshot(file);
}

Screenshot DisplayWindow::Shot(const std::string& name) {
    Screenshot shot = TryShot(name);
    if (shot.empty()) {
        ADD_FAILURE() << "no screenshot " << name;
    }
    return shot;
}

Screenshot DisplayWindow::ShotWhen(const std::string& name,
                                   const std::function<bool(const Screenshot&)>& wanted,
                                   std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    Screenshot shot = TryShot(name);
    while ((shot.empty() || !wanted(shot)) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kShotInterval);
        shot = TryShot(name);
    }
    if (shot.empty()) {
        ADD_FAILURE() << "no screenshot " << name;
    }
    return shot;
}

bool DisplayWindow::Close() {
    return display.Run({TARNWICK_CLOSE_WINDOW, title, std::to_string(owner)}) == 0;
}
