#pragma once
// A system a test registers after the stock ones to play a script inside the real frame loop:
// one step at a time, each called once per frame until it returns true. The pass ends when the
// last step is done, or when a step has not come true within its frame limit (failedStep then
// names it).

#include <cstddef>
#include <functional>
#include <vector>

#include "engine/ControlSystem.h"
#include "engine/Engine.h"

class StepRunner : public ControlSystem {
public:
    using Step = std::function<bool()>;

    explicit StepRunner(int frameLimit) : frameLimit(frameLimit) {}

    void Update(float) override {
        if (next >= steps.size()) {
            engine->running = false;
            return;
        }
        if (steps[next]()) {
            ++next;
            framesInStep = 0;
        } else if (++framesInStep > frameLimit) {
            failedStep = static_cast<int>(next);
            engine->running = false;
        }
    }

    std::vector<Step> steps;
    int failedStep = -1;

private:
    int frameLimit;
    std::size_t next = 0;
    int framesInStep = 0;
};
