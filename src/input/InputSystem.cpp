#include "input/InputSystem.h"

#include <string>

#include "engine/Engine.h"
#include "engine/EnumNames.h"
#include "engine/InputMessage.h"
#include "engine/TraceLog.h"

InputSystem& InputSystem::Instance() {
    static InputSystem* system = new InputSystem();
    return *system;
}

void InputSystem::OnKeyDown(int code) {
    QueueBoundInputs(code, true);
}

void InputSystem::OnKeyUp(int code) {
    QueueBoundInputs(code, false);
}

void InputSystem::QueueBoundInputs(int code, bool pressed) {
    const auto found = bindings.find(code);
    if (found == bindings.end()) {
        return;
    }
    for (InputType input : found->second) {
        QueueMessage(std::make_unique<InputMessage>(InputMessage{input, pressed}));
    }
}

void InputSystem::QueueMessage(std::unique_ptr<InputMessage> message) {
    const std::lock_guard<std::mutex> guard(queueLock);
    pendingMessages.push_back(std::move(message));
}

void InputSystem::Update(float /*dt*/) {
    SendInputMessages();
}

void InputSystem::SendInputMessages() {
    {
        const std::lock_guard<std::mutex> guard(queueLock);
        if (!engine->paused) {
            batch.swap(pendingMessages);
        }
        pendingMessages.clear();
    }
    for (const auto& message : batch) {
        TraceLog::Log("InputSystem::SendInputMessages - Input message sent: " +
                      EnumName(message->input) + ", " + (message->pressed ? "1" : "0"));
        engine->SendMessage(*message);
    }
    batch.clear();
}
