#pragma once
// Two developer windows: the "Performance Window" (the GUI library's frame-rate estimate, a graph
// of the last 120 frame durations and the tree of stopwatch times, each with its share of its
// parent's time) and the "Input Window" (the pointer's world position and the held state of every
// input). TOGGLEDEBUG shows and hides both.

#include <memory>
#include <string>

#include "engine/NamedSystem.h"
#include "engine/StopwatchRegistry.h"

class Window;
class WindowDropdown;

// DEBUG_SYSTEM is shared with the EngineSettingsSystem (see there): both are the developer's
// debugging tools, so both print "SystemType::DEBUG_SYSTEM".
class DebugSystem : public NamedSystem<SystemType::DEBUG_SYSTEM> {
public:
    static DebugSystem& Instance();

    // Creates both windows and hands them to the window creation system, performance first.
    void Initialize() override;
    void Update(float dt) override;
    void Render() override;
    void ShutDown() override;
    void HandleMessage(const InputMessage& message) override;

    // A header for the stopwatch group `group` named `name`, showing its total and its share of
    // `referenceMilliseconds`; opened, it lists the group's stopwatches (largest share first) and
    // its sub-groups.
    static std::unique_ptr<WindowDropdown> CreateStopwatchDropdown(const StopwatchTree& group,
                                                                   const std::string& name,
                                                                   double referenceMilliseconds);

    // The share of `part` in `total` as a whole percentage, truncated; 0 when the total is 0.
    static long long ShareOf(double part, double total);

    Window* performanceWindow = nullptr;
    Window* inputWindow = nullptr;

private:
    DebugSystem() = default;
};
