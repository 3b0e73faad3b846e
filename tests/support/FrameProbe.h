#pragma once
// A system a test registers with the engine (after the stock ones) to act inside the real frame
// loop: before the sweep and the component lists' update (pre-update), after them (update, with
// the frame number from 1), after every component has drawn (render, while the frame is still in
// the back buffer) and when a message is delivered. Each hook is optional.

#include <functional>

#include "engine/ControlSystem.h"
#include "engine/InputMessage.h"

class FrameProbe : public ControlSystem {
public:
    void PreUpdate() override {
        ++frame;
        if (onPreUpdate) {
            onPreUpdate(frame);
        }
    }
    void Update(float) override {
        if (onUpdate) {
            onUpdate(frame);
        }
    }
    void Render() override {
        if (onRender) {
            onRender(frame);
        }
    }
    void HandleMessage(const InputMessage& message) override {
        if (onMessage) {
            onMessage(frame, message);
        }
    }

    std::function<void(int frame)> onPreUpdate;
    std::function<void(int frame)> onUpdate;
    std::function<void(int frame)> onRender;
    std::function<void(int frame, const InputMessage& message)> onMessage;
    // The current frame of the pass, counted from 1 by the pre-update hook.
    int frame = 0;
};
