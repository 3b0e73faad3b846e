#include "tools/DebugSystem.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <utility>
#include <vector>

#include <imgui.h>

#include "engine/Engine.h"
#include "engine/EnumNames.h"
#include "engine/InputMessage.h"
#include "entities/Entity.h"
#include "input/InputStateSystem.h"
#include "physics/Transform.h"
#include "tools/Window.h"
#include "tools/WindowCreationSystem.h"
#include "tools/WindowDropdown.h"
#include "tools/WindowPlot.h"
#include "tools/WindowText.h"

namespace {

constexpr const char* kPerformanceWindowName = "Performance Window";
constexpr const char* kInputWindowName = "Input Window";
constexpr const char* kRootStopwatchName = "Stopwatches";
constexpr const char* kInputValuesLabel = "Input Values";
constexpr float kContentIndent = 15.0f;
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr int kFirstShownInput = 1;   // JUMP: UNKNOWN is not shown
constexpr int kLastShownInput = 33;   // TOGGLETOOLS

// Initial places against the right edge of the 1080 x 720 game window, one above the other,
// narrow enough to leave the middle of the game in view.
constexpr Vector2 kPerformancePosition{840.0f, 0.0f};
constexpr Vector2 kPerformanceSize{240.0f, 200.0f};
constexpr Vector2 kInputPosition{840.0f, 200.0f};
// Short enough to leave the settings window below it whole.
constexpr Vector2 kInputSize{240.0f, 120.0f};

// About two seconds of frames at 60 per second.
constexpr std::size_t kFrameTimeSamples = 120;
constexpr float kFrameTimeGraphHeight = 50.0f;
constexpr const char* kFrameTimeUnit = "ms";

using Objects = std::vector<std::unique_ptr<WindowObject>>;

std::unique_ptr<WindowSection> Section(Objects children, float childIndent,
                                       WindowObjectCallback onDraw = {}) {
    WindowObjectDescription description;
    if (onDraw) {
        description.onDraw = std::move(onDraw);
    }
    return std::make_unique<WindowSection>(std::move(children), childIndent,
                                           std::move(description));
}

std::unique_ptr<WindowText> LiveText(WindowObjectCallback onDraw) {
    WindowObjectDescription description;
    description.onDraw = std::move(onDraw);
    return std::make_unique<WindowText>("", std::move(description));
}

// Seconds summed over the group and all its sub-groups, in milliseconds.
double TotalMilliseconds(const StopwatchTree& group) {
    double seconds = 0.0;
    for (const auto& [key, value] : group.values) {
        seconds += value;
    }
    double milliseconds = seconds * kMillisecondsPerSecond;
    for (const auto& [key, child] : group.groups) {
        milliseconds += TotalMilliseconds(child);
    }
    return milliseconds;
}

// The C "%f" form: six decimals.
std::string Fixed6(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

// The shortest decimal text that reads back to the same float.
std::string Shortest(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// The stopwatch lines of a group, largest rounded share first.
Objects StopwatchLines(const StopwatchTree& group, double totalMilliseconds) {
    struct Line {
        long long share;
        std::string text;
    };
    std::vector<Line> lines;
    for (const auto& [key, seconds] : group.values) {
        const double milliseconds = seconds * kMillisecondsPerSecond;
        const long long share =
            totalMilliseconds == 0.0
                ? 0
                : static_cast<long long>(std::floor(milliseconds * 100.0 / totalMilliseconds + 0.5));
        lines.push_back({share, key + ": " + Fixed6(milliseconds) + "ms (" + std::to_string(share) + "%)"});
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line& a, const Line& b) { return a.share > b.share; });
    Objects texts;
    for (Line& line : lines) {
        texts.push_back(std::make_unique<WindowText>(line.text));
    }
    return texts;
}

// The engine's `dt` rather than the GUI's io.DeltaTime: it is the duration the stopwatch shares
// below are taken of, read from the frame loop's own clock, so the graph and the shares tell of
// the same frames. A sample is taken each time the graph is drawn, so while the window is hidden
// the graph waits and resumes where it stopped.
std::unique_ptr<WindowPlot> FrameTimeGraph() {
    WindowObjectDescription description;
    description.onDraw = [](WindowObject& object) {
        static_cast<WindowPlot&>(object).Push(
            static_cast<float>(Engine::Instance().dt * kMillisecondsPerSecond));
    };
    return std::make_unique<WindowPlot>(kFrameTimeSamples, kFrameTimeGraphHeight, kFrameTimeUnit,
                                        std::move(description));
}

std::unique_ptr<Window> CreatePerformanceWindow() {
    auto window = std::make_unique<Window>(kPerformanceWindowName);
    window->initialPosition = kPerformancePosition;
    window->initialSize = kPerformanceSize;
    window->AddObject(LiveText([](WindowObject& object) {
        const float fps = ImGui::GetIO().Framerate;
        char text[128];
        std::snprintf(text, sizeof text, "Application average %.4fms / frame(%.4f FPS)",
                      1000.0f / fps, fps);
        static_cast<WindowText&>(object).text = text;
    }));
    window->AddObject(FrameTimeGraph());
    window->AddObject(Section({}, 0.0f, [](WindowObject& object) {
        auto& section = static_cast<WindowSection&>(object);
        const Engine& engine = Engine::Instance();
        const double reference = (engine.paused ? 0.0 : engine.dt) * kMillisecondsPerSecond;
        section.children.clear();
        section.children.push_back(
            DebugSystem::CreateStopwatchDropdown(StopwatchTimes(), kRootStopwatchName, reference));
    }));
    return window;
}

// The input's printable name after the "::" separator.
std::string ShortName(InputType input) {
    const std::string& full = EnumName(input);
    const std::size_t separator = full.find("::");
    return separator == std::string::npos ? full : full.substr(separator + 2);
}

std::unique_ptr<Window> CreateInputWindow() {
    auto window = std::make_unique<Window>(kInputWindowName);
    window->initialPosition = kInputPosition;
    window->initialSize = kInputSize;
    window->AddObject(LiveText([](WindowObject& object) {
        Vector2 position{};
        if (Entity* pointer = Engine::Instance().mouseObject) {
            if (const Transform* transform = pointer->GetComponent<Transform>()) {
                position = transform->position;
            }
        }
        static_cast<WindowText&>(object).text =
            "Mouse Position: [" + Shortest(position.x) + ", " + Shortest(position.y) + "]";
    }));
    Objects inputs;
    for (int value = kFirstShownInput; value <= kLastShownInput; ++value) {
        const auto input = static_cast<InputType>(value);
        inputs.push_back(LiveText([input, name = ShortName(input)](WindowObject& object) {
            static_cast<WindowText&>(object).text =
                name + ": " + (IsHeld(input) ? "Down" : "Up");
        }));
    }
    window->AddObject(std::make_unique<WindowDropdown>(kInputValuesLabel,
                                                       Section(std::move(inputs), kContentIndent)));
    return window;
}

void Toggle(Window* window) {
    if (window != nullptr) {
        window->renderState = window->renderState == WindowRenderState::VISIBLE
                                  ? WindowRenderState::INVISIBLE
                                  : WindowRenderState::VISIBLE;
    }
}

}  // namespace

DebugSystem& DebugSystem::Instance() {
    static auto* system = new DebugSystem();
    return *system;
}

long long DebugSystem::ShareOf(double part, double total) {
    // A total of 0 (the top header while paused, an empty group) has no shares to show.
    if (total == 0.0) {
        return 0;
    }
    return static_cast<long long>(part * 100.0 / total);
}

std::unique_ptr<WindowDropdown> DebugSystem::CreateStopwatchDropdown(const StopwatchTree& group,
                                                                     const std::string& name,
                                                                     double referenceMilliseconds) {
    auto content = Section({}, kContentIndent, [&group](WindowObject& object) {
        auto& section = static_cast<WindowSection&>(object);
        const double total = TotalMilliseconds(group);
        section.children = StopwatchLines(group, total);
        for (const auto& [key, child] : group.groups) {
            section.children.push_back(CreateStopwatchDropdown(child, key, total));
        }
    });
    WindowObjectDescription description;
    description.onDraw = [&group, name, referenceMilliseconds](WindowObject& object) {
        const double total = TotalMilliseconds(group);
        // After "###" stands the header's identity, so it stays open while its text changes.
        static_cast<WindowDropdown&>(object).label =
            name + ": " + Fixed6(total) + "ms (" +
            std::to_string(ShareOf(total, referenceMilliseconds)) + "%)###" + name;
    };
    return std::make_unique<WindowDropdown>(name, std::move(content), DropdownCallback{},
                                            std::move(description));
}

void DebugSystem::Initialize() {
    auto performance = CreatePerformanceWindow();
    auto input = CreateInputWindow();
    performanceWindow = performance.get();
    inputWindow = input.get();
    auto& windows = WindowCreationSystem::Instance().windows;
    windows.push_back(std::move(performance));
    windows.push_back(std::move(input));
}

void DebugSystem::Update(float /*dt*/) {}

void DebugSystem::Render() {}

void DebugSystem::ShutDown() {
    // The windows themselves are deleted by the window creation system.
    performanceWindow = nullptr;
    inputWindow = nullptr;
}

void DebugSystem::HandleMessage(const InputMessage& message) {
    if (message.input == InputType::TOGGLEDEBUG && message.pressed) {
        Toggle(performanceWindow);
        Toggle(inputWindow);
    }
}
