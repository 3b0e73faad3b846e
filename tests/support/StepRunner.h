#pragma once
// A system a test registers after the stock ones to play a script inside the real frame loop:
// one step at a time, each called once per frame until it returns true. The pass ends when the
// last step is done, or when a step has not come true within its limit (failedStep then names
// it): a number of frames, or a stretch of time for steps that wait on something slower than the
// frame rate. Steps run while the frame renders, after the simulation's ticks and after the tool
// windows are drawn into the GUI frame, so a step sees this frame's world and widgets.

#include <chrono>
#include <cstddef>
#include <functional>
#include <limits>
#include <vector>

#include "engine/ControlSystem.h"
#include "engine/Engine.h"

class StepRunner : public ControlSystem {
public:
    using Step = std::function<bool()>;

    explicit StepRunner(int frameLimit) : frameLimit(frameLimit) {}
    explicit StepRunner(std::chrono::milliseconds timeLimit) : timeLimit(timeLimit) {}

    void Render() override {
        if (next >= steps.size()) {
            engine->running = false;
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (framesInStep == 0) {
            stepStart = now;
        }
        if (steps[next]()) {
            ++next;
            framesInStep = 0;
        } else if (++framesInStep > frameLimit || now - stepStart > timeLimit) {
            failedStep = static_cast<int>(next);
            engine->running = false;
        }
    }

    // For scripts whose steps take longer than most (minutes of play).
    void LimitEachStepTo(std::chrono::steady_clock::duration limit) { timeLimit = limit; }

    std::vector<Step> steps;
    int failedStep = -1;

private:
    int frameLimit = std::numeric_limits<int>::max();
    std::chrono::steady_clock::duration timeLimit = std::chrono::steady_clock::duration::max();
    std::size_t next = 0;
    int framesInStep = 0;
    std::chrono::steady_clock::time_point stepStart;
};
