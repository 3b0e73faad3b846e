// The performance and input windows over the running game, driven with real X input on a private
// X server and read back through the GUI library's own text capture (its logging), which records
// the text of what was drawn (a closed header's content or a collapsed window's is not): the order
// of a stopwatch group's lines, a header that keeps its open state while its text changes, the held
// state of the inputs, the frame-time graph and the windows' places, and the graph widget's ring of
// samples.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <imgui.h>
#include <nlohmann/json.hpp>

#include "engine/Engine.h"
#include "engine/StopwatchRegistry.h"
#include "support/ChildProcess.h"
#include "support/InGameTest.h"
#include "tools/DebugSystem.h"
#include "tools/Window.h"
#include "tools/WindowCreationSystem.h"
#include "tools/WindowDropdown.h"
#include "tools/WindowPlot.h"
#include "tools/WindowText.h"

#include "support/ItemRect.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

constexpr const char* kPerformanceWindow = "Performance Window";
constexpr const char* kInputWindow = "Input Window";
// Headers are captured as they are drawn: a closed header's content must not be opened for the
// capture.
constexpr int kNoAutoOpen = 0;


template <class T>
void RecordInto(T& widget, Rect& rect) {
    widget.traits.push_back(std::make_unique<RecordRect>(rect));
}

// The text a window drew in its latest frame, one entry per drawn line with runs of blanks made
// one (lines scrolled out of view included), and the window's own place. Header lines stand
// between "###" marks.
struct DrawnWindow {
    std::vector<std::string> lines;
    Rect window;
    // Where the window's content may go across (screen pixels).
    float contentLeft = 0.0f;
    float contentRight = 0.0f;
    bool collapsed = false;
    int frames = 0;

    // The line after the first one that begins with `start`; empty when there is none.
    std::string LineAfter(const std::string& start) const {
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            if (lines[i].starts_with(start)) {
                return lines[i + 1];
            }
        }
        return "";
    }
    bool Shows(const std::string& line) const {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    // The `count` lines that follow the header whose text begins with `name` + ": ".
    std::vector<std::string> Below(const std::string& name, std::size_t count) const {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].starts_with("### " + name + ": ")) {
                const std::size_t end = std::min(lines.size(), i + 1 + count);
                return {lines.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                        lines.begin() + static_cast<std::ptrdiff_t>(end)};
            }
        }
        return {};
    }
};

std::string Squeezed(const std::string& line) {
    std::istringstream words(line);
    std::string word;
    std::string squeezed;
    while (words >> word) {
        squeezed += (squeezed.empty() ? "" : " ") + word;
    }
    return squeezed;
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (const std::string squeezed = Squeezed(line); !squeezed.empty()) {
            lines.push_back(squeezed);
        }
    }
    return lines;
}

// Captures what `window` draws each frame into `drawn`: the capture starts before its first
// widget and is read after its last. It goes through a file because a tooltip drawn on the way
// ends the capture (every top-level window does at its end) and the library then drops a
// capture held in memory.
void CaptureText(Window& window, DrawnWindow& drawn, const fs::path& file) {
    WindowObjectDescription start;
    start.onDraw = [&drawn, file](WindowObject&) {
        fs::remove(file);
        ImGui::LogToFile(kNoAutoOpen, file.c_str());
        const ImVec2 position = ImGui::GetWindowPos();
        const ImVec2 size = ImGui::GetWindowSize();
        drawn.window = {position.x, position.y, position.x + size.x, position.y + size.y};
        drawn.contentLeft = ImGui::GetCursorScreenPos().x;
        drawn.contentRight = position.x + ImGui::GetWindowContentRegionMax().x;
        drawn.collapsed = ImGui::IsWindowCollapsed();
    };
    WindowObjectDescription end;
    end.onDraw = [&drawn, file](WindowObject&) {
        ImGui::LogFinish();
        drawn.lines = LinesOf(ReadFileText(file));
        ++drawn.frames;
    };
    auto& children = window.root->children;
    children.insert(children.begin(), std::make_unique<WindowObject>(std::move(start)));
    children.push_back(std::make_unique<WindowObject>(std::move(end)));
}

Window* WindowNamed(const std::string& name) {
    for (const auto& window : WindowCreationSystem::Instance().windows) {
        if (window->name == name) {
            return window.get();
        }
    }
    return nullptr;
}

// The header of that label among the window's top-level widgets.
WindowDropdown* DropdownNamed(Window& window, const std::string& label) {
    for (const auto& child : window.root->children) {
        if (auto* dropdown = dynamic_cast<WindowDropdown*>(child.get());
            dropdown != nullptr && dropdown->label == label) {
            return dropdown;
        }
    }
    return nullptr;
}

// A window of the test's own, clear of the debug windows on the right.
Window& AddProbeWindow(const std::string& name) {
    auto window = std::make_unique<Window>(name);
    window->initialPosition = Vector2{320.0f, 20.0f};
    window->initialSize = Vector2{420.0f, 600.0f};
    Window& added = *window;
    WindowCreationSystem::Instance().windows.push_back(std::move(window));
    return added;
}

class PerformanceWindowTest : public InGameTest {
protected:
    void SetUp() override {
        fs::copy_file(fs::path(TARNWICK_SOURCE_DIR) / "Data" / "DefaultInputMappings.txt",
                      tree.root() / "Data" / "DefaultInputMappings.txt");
        tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Tools.json");
        tree.WriteFile("Data/EngineSettingFiles/Tools.json",
                       json{{"defaultEntityFile", ""}, {"runOnStart", "1"}}.dump(2));
    }

    // Captures the window of that name (which must exist) into `drawn`.
    void CaptureWindow(const std::string& name, DrawnWindow& drawn) {
        Window* window = WindowNamed(name);
        ASSERT_NE(window, nullptr) << name;
        CaptureText(*window, drawn, tree.root() / (name + ".log"));
    }
};

// A stopwatch group of known times and the lines it must show, in order, once opened.
struct OrderCase {
    std::string group;
    std::vector<std::pair<std::string, double>> seconds;
    std::vector<std::pair<std::string, double>> innerSeconds;
    std::vector<std::string> expected;
};

TEST_F(PerformanceWindowTest, StopwatchLinesAreOrderedByTheirRoundedShareLargestFirst) {
    // The same keys with their times moved round, so that no one order of the group's own storage
    // can pass every case unsorted.
    const std::vector<OrderCase> cases{
        {"First",
         {{"a", 0.005}, {"b", 0.003}, {"c", 0.002}},
         {},
         {"a: 5.000000ms (50%)", "b: 3.000000ms (30%)", "c: 2.000000ms (20%)"}},
        {"Second",
         {{"a", 0.002}, {"b", 0.005}, {"c", 0.003}},
         {},
         {"b: 5.000000ms (50%)", "c: 3.000000ms (30%)", "a: 2.000000ms (20%)"}},
        {"Third",
         {{"a", 0.003}, {"b", 0.002}, {"c", 0.005}},
         {},
         {"c: 5.000000ms (50%)", "a: 3.000000ms (30%)", "b: 2.000000ms (20%)"}},
        // Shares of lines are rounded to the nearest percent.
        {"Rounded",
         {{"a", 0.001}, {"b", 0.002}},
         {},
         {"b: 2.000000ms (67%)", "a: 1.000000ms (33%)"}},
        // A sub-group follows the lines whatever its size; its header's share is truncated.
        {"Nested",
         {{"x", 0.001}},
         {{"y", 0.002}},
         {"x: 1.000000ms (33%)", "### Inner: 2.000000ms (66%) ###"}},
    };
    std::vector<StopwatchTree> groups(cases.size());
    std::vector<Rect> headers(cases.size());
    DrawnWindow drawn;
    std::vector<std::vector<std::string>> shown(cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        for (const auto& [key, seconds] : cases[i].seconds) {
            groups[i].values[key] = seconds;
        }
        for (const auto& [key, seconds] : cases[i].innerSeconds) {
            groups[i].groups["Inner"].values[key] = seconds;
        }
    }
    Until([&] { return headers.back().Drawn(); });
    // Opened from the last up, so the headers still to be clicked stay where they were drawn.
    for (std::size_t i = cases.size(); i-- > 0;) {
        Click([&, i] { return std::pair{headers[i].CentreX(), headers[i].CentreY()}; });
    }
    Until([&] {
        bool allOpen = true;
        for (std::size_t i = 0; i < cases.size(); ++i) {
            shown[i] = drawn.Below(cases[i].group, cases[i].expected.size());
            allOpen = allOpen && shown[i].size() == cases[i].expected.size();
        }
        return allOpen;
    });
    Play([&] {
        Window& probe = AddProbeWindow("Stopwatch Order");
        for (std::size_t i = 0; i < cases.size(); ++i) {
            auto dropdown = DebugSystem::CreateStopwatchDropdown(groups[i], cases[i].group, 0.0);
            RecordInto(*dropdown, headers[i]);
            probe.AddObject(std::move(dropdown));
        }
        CaptureText(probe, drawn, tree.root() / "order.log");
    });
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(shown[i], cases[i].expected) << cases[i].group;
    }
}

TEST_F(PerformanceWindowTest, TheStopwatchHeaderStaysOpenWhileItsTotalsChange) {
    constexpr std::size_t kLabelsToSee = 3;
    constexpr const char* kHeaderStart = "### Stopwatches: ";
    Rect header;
    DrawnWindow drawn;
    std::set<std::string> labelsWhileOpen;
    std::string closedAt;
    const auto headerLine = [&]() -> std::string {
        for (const std::string& line : drawn.lines) {
            if (line.starts_with(kHeaderStart)) {
                return line;
            }
        }
        return "";
    };
    Until([&] { return header.Drawn(); });
    Click([&] { return std::pair{header.CentreX(), header.CentreY()}; });
    Until([&] { return !drawn.LineAfter(kHeaderStart).empty(); });
    // The frame loop's own times change the header's text every frame; each frame must still
    // draw the header's content.
    Until([&] {
        if (drawn.LineAfter(kHeaderStart).empty()) {
            closedAt = headerLine();
            return true;
        }
        labelsWhileOpen.insert(headerLine());
        return labelsWhileOpen.size() == kLabelsToSee;
    });
    Play([&] {
        CaptureWindow(kPerformanceWindow, drawn);
        // The stopwatch header is the window's last item, drawn anew every frame.
        RecordInto(*WindowNamed(kPerformanceWindow)->root, header);
    });
    EXPECT_EQ(closedAt, "") << "the header closed when its text changed";
    EXPECT_EQ(labelsWhileOpen.size(), kLabelsToSee);
}

TEST_F(PerformanceWindowTest, TheInputWindowShowsTheHeldStateOfEachMovementInput) {
    struct KeyCase {
        std::string key;
        std::string input;
    };
    const std::vector<KeyCase> keys{{"w", "UP"}, {"a", "LEFT"}, {"s", "DOWN"}, {"d", "RIGHT"}};
    Rect header;
    DrawnWindow drawn;
    // Held: that input shows Down and every other one Up; let go, all show Up.
    const auto showsOnlyHeld = [&](const std::string& held) {
        for (const KeyCase& other : keys) {
            const std::string state = other.input == held ? "Down" : "Up";
            if (!drawn.Shows(other.input + ": " + state)) {
                return false;
            }
        }
        return true;
    };
    Until([&] { return header.Drawn(); });
    Click([&] { return std::pair{header.CentreX(), header.CentreY()}; });
    Until([&] { return showsOnlyHeld(""); });
    for (const KeyCase& key : keys) {
        KeyDown(key.key);
        Until([&, input = key.input] { return showsOnlyHeld(input); });
        KeyUp(key.key);
        Until([&] { return showsOnlyHeld(""); });
    }
    Play([&] {
        CaptureWindow(kInputWindow, drawn);
        WindowDropdown* dropdown = DropdownNamed(*WindowNamed(kInputWindow), "Input Values");
        ASSERT_NE(dropdown, nullptr);
        RecordInto(*dropdown, header);
    });
}

// "16.7 ms": a frame time in milliseconds as the graph writes it.
std::string Caption(float milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", static_cast<double>(milliseconds));
    return text;
}

TEST_F(PerformanceWindowTest, TheFrameTimeGraphShowsTheLatestFrameTimeUnderTheAverageLine) {
    constexpr int kFramesChecked = 5;
    constexpr float kGraphHeight = 50.0f;
    constexpr const char* kAverageStart = "Application average ";
    Rect average, graph;
    DrawnWindow drawn;
    // What the graph wrote over itself, and the frame's own duration, frame after frame.
    std::vector<std::pair<std::string, std::string>> captions;
    float itemSpacing = 0.0f;
    Until([&] { return drawn.frames > 0 && graph.Drawn() && average.Drawn(); });
    for (int i = 0; i < kFramesChecked; ++i) {
        Do([&] {
            captions.emplace_back(drawn.LineAfter(kAverageStart),
                                  Caption(static_cast<float>(engine.dt * 1000.0)));
        });
    }
    Do([&] { itemSpacing = ImGui::GetStyle().ItemSpacing.y; });
    Play([&] {
        CaptureWindow(kPerformanceWindow, drawn);
        Window& performance = *WindowNamed(kPerformanceWindow);
        for (const auto& child : performance.root->children) {
            if (auto* text = dynamic_cast<WindowText*>(child.get())) {
                RecordInto(*text, average);
            } else if (auto* plot = dynamic_cast<WindowPlot*>(child.get())) {
                RecordInto(*plot, graph);
            }
        }
    });
    ASSERT_EQ(captions.size(), static_cast<std::size_t>(kFramesChecked));
    for (const auto& [shown, expected] : captions) {
        EXPECT_EQ(shown, expected) << "the graph's caption is the frame's own duration";
    }
    EXPECT_FLOAT_EQ(graph.y1 - graph.y0, kGraphHeight);
    EXPECT_FLOAT_EQ(graph.x0, drawn.contentLeft) << "full width";
    EXPECT_FLOAT_EQ(graph.x1, drawn.contentRight) << "full width";
    EXPECT_GE(graph.y0, average.y1) << "under the average line";
    EXPECT_LE(graph.y0 - average.y1, itemSpacing) << "right under it";
}

TEST_F(PerformanceWindowTest, BothWindowsSitAtTheRightEdgeAndCollapseByTheirTitleArrow) {
    struct Place {
        std::string window;
        Rect expected;
        DrawnWindow drawn;
        Rect shown;
    };
    std::vector<Place> places{{kPerformanceWindow, {840.0f, 0.0f, 1080.0f, 200.0f}, {}, {}},
                              {kInputWindow, {840.0f, 200.0f, 1080.0f, 320.0f}, {}, {}}};
    // The arrow at the left of a window's title bar.
    const auto arrowOf = [](const DrawnWindow& drawn) {
        return [&drawn] {
            const ImGuiStyle& style = ImGui::GetStyle();
            const float half = ImGui::GetFontSize() * 0.5f;
            return std::pair{static_cast<int>(drawn.window.x0 + style.FramePadding.x + half),
                             static_cast<int>(drawn.window.y0 + style.FramePadding.y + half)};
        };
    };
    for (Place& place : places) {
        DrawnWindow& drawn = place.drawn;
        Until([&] {
            place.shown = drawn.window;
            return drawn.frames > 0 && !drawn.lines.empty();
        });
        Click(arrowOf(drawn));
        Until([&] { return drawn.collapsed && drawn.lines.empty(); });
        Click(arrowOf(drawn));
        Until([&] { return !drawn.collapsed && !drawn.lines.empty(); });
    }
    Play([&] {
        for (Place& place : places) {
            CaptureWindow(place.window, place.drawn);
        }
    });
    for (const Place& place : places) {
        const auto [x0, y0, x1, y1] = place.shown;
        const auto [ex0, ey0, ex1, ey1] = place.expected;
        EXPECT_EQ((std::vector<float>{x0, y0, x1, y1}), (std::vector<float>{ex0, ey0, ex1, ey1}))
            << place.window;
    }
}

// The graph widget on its own: samples pushed in one go, read back from the caption and from the
// tooltip the graph shows for the pair of samples under the pointer.
TEST_F(PerformanceWindowTest, TheGraphWidgetDrawsItsRingOldestFirstAndCaptionsTheNewest) {
    constexpr std::size_t kCapacity = 4;
    constexpr float kGraphHeight = 50.0f;
    struct RingCase {
        std::vector<float> pushed;
        std::string caption;
        // The tooltip near the graph's left end and near its right end.
        std::vector<std::string> left;
        std::vector<std::string> right;
        Rect rect;
        std::vector<std::string> shownLeft;
        std::vector<std::string> shownRight;
    };
    std::vector<RingCase> cases{
        {{1, 2, 3}, "3.0 ms", {"0: 1", "1: 2"}, {"1: 2", "2: 3"}, {}, {}, {}},
        {{1, 2, 3, 4, 5, 6}, "6.0 ms", {"0: 3", "1: 4"}, {"2: 5", "3: 6"}, {}, {}, {}},
    };
    constexpr float kLeftEnd = 0.1f;
    constexpr float kRightEnd = 0.9f;
    DrawnWindow drawn;
    std::vector<std::string> captions;
    const auto tooltip = [&] {
        std::vector<std::string> lines;
        for (const std::string& line : drawn.lines) {
            if (line.find(": ") != std::string::npos) {
                lines.push_back(line);
            }
        }
        return lines;
    };
    // Pointer away from the graphs: only the captions are drawn.
    PointAt(100, 700);
    Until([&] {
        captions = drawn.lines;
        return cases.back().rect.Drawn() && tooltip().empty();
    });
    for (RingCase& ring : cases) {
        for (auto [along, shown] :
             {std::pair{kLeftEnd, &ring.shownLeft}, std::pair{kRightEnd, &ring.shownRight}}) {
            PointAt([&ring, along] {
                const Rect& rect = ring.rect;
                return std::pair{static_cast<int>(rect.x0 + (rect.x1 - rect.x0) * along),
                                 rect.CentreY()};
            });
            Until([&, shown] {
                *shown = tooltip();
                return !shown->empty();
            });
        }
    }
    Play([&] {
        Window& probe = AddProbeWindow("Graph Ring");
        for (RingCase& ring : cases) {
            auto plot = std::make_unique<WindowPlot>(kCapacity, kGraphHeight, "ms");
            for (float sample : ring.pushed) {
                plot->Push(sample);
            }
            RecordInto(*plot, ring.rect);
            probe.AddObject(std::move(plot));
        }
        CaptureText(probe, drawn, tree.root() / "ring.log");
    });
    std::vector<std::string> expectedCaptions;
    for (const RingCase& ring : cases) {
        expectedCaptions.push_back(ring.caption);
        EXPECT_EQ(ring.shownLeft, ring.left) << ring.caption;
        EXPECT_EQ(ring.shownRight, ring.right) << ring.caption;
    }
    EXPECT_EQ(captions, expectedCaptions);
}

}  // namespace
