#include "input/InputSystem.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>

#include "engine/Engine.h"
#include "engine/EnumNames.h"
#include "engine/InputMessage.h"
#include "engine/TraceLog.h"
#include "input/KeyCode.h"

namespace {
constexpr const char* kInputNamePrefix = "InputType::";
constexpr const char* kLoadMappingsTrace = "InputSystem::LoadMappings - ";

// Parses a key token by the stream rules: an optional sign and leading digits; a token that
// does not start with a number gives 0; out-of-range values saturate.
int ParseKeyToken(const std::string& token) {
    std::istringstream in(token);
    long long value = 0;
    in >> value;
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}
}  // namespace

bool InputSystem::LoadMappings(std::istream& stream, const std::string& source) {
    const std::string trace = kLoadMappingsTrace + (source.empty() ? "" : source + ": ");
    bindings.clear();
    int entry = 0;
    std::string key;
    while (stream >> key) {
        ++entry;
        std::string separator;
        std::string name;
        if (!(stream >> separator) || !(stream >> name)) {
            TraceLog::Error(trace + "entry " + std::to_string(entry) +
                            " " + Quoted(key + (separator.empty() ? "" : " " + separator)) +
                            " is cut short; the bindings before it stay");
            return false;
        }
        const std::string entryText = Quoted(key + " " + separator + " " + name);
        InputType input = InputType::UNKNOWN;
        try {
            input = EnumValue<InputType>(kInputNamePrefix + name);
        } catch (const std::out_of_range&) {
            TraceLog::Error(trace + "entry " + std::to_string(entry) +
                            " " + entryText + " names no input; the bindings before it stay");
            return false;
        }
        // The count has a name but no held state: binding it would send a message nothing can
        // record.
        if (input == InputType::cInputStateMax) {
            TraceLog::Warning(trace + "entry " + std::to_string(entry) +
                              " " + entryText + " binds the input count, not an input; ignored");
            continue;
        }
        bindings[NarrowKeyCode(ParseKeyToken(key))].push_back(input);
    }
    return true;
}

InputSystem& InputSystem::Instance() {
    static InputSystem* system = new InputSystem();
    return *system;
}

void InputSystem::OnKeyDown(int code) {
    Press(code, keyboardTaken, withheldKeys);
}

void InputSystem::OnKeyUp(int code) {
    Release(code, withheldKeys);
}

void InputSystem::OnButtonDown(int code) {
    Press(code, pointerTaken, withheldButtons);
}

void InputSystem::OnButtonUp(int code) {
    Release(code, withheldButtons);
}

void InputSystem::Press(int code, const std::function<bool()>& taken,
                        std::bitset<256>& withheld) {
    const std::size_t slot = static_cast<std::uint8_t>(code & 0xFF);
    if (taken && taken()) {
        withheld.set(slot);
        return;
    }
    withheld.reset(slot);
    QueueBoundInputs(code, true);
}

void InputSystem::Release(int code, std::bitset<256>& withheld) {
    const std::size_t slot = static_cast<std::uint8_t>(code & 0xFF);
    if (withheld.test(slot)) {
        withheld.reset(slot);
        return;
    }
    QueueBoundInputs(code, false);
}

void InputSystem::QueueBoundInputs(int code, bool pressed) {
    if (devicesIgnored) {
        return;
    }
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

bool InputSystem::WorksWhilePaused(InputType input) {
    switch (input) {
        case InputType::PAUSE:
        case InputType::TOGGLE_FULLSCREEN:
        case InputType::TOGGLEEDITOR:
        case InputType::TOGGLEDEBUG:
        case InputType::TOGGLESETTINGS:
        case InputType::TOGGLETOOLS:
            return true;
        default:
            return false;
    }
}

void InputSystem::Update(float /*dt*/) {
    SendInputMessages();
}

void InputSystem::SendInputMessages() {
    {
        const std::lock_guard<std::mutex> guard(queueLock);
        if (engine->paused) {
            // Nothing new reaches the game while it is paused, but the keys that pause and show
            // things still work, and a release still lets go of what was held before the pause
            // (a fire button let go while paused must not fire on after it).
            for (auto& message : pendingMessages) {
                if (!message->pressed || WorksWhilePaused(message->input)) {
                    batch.push_back(std::move(message));
                }
            }
            pendingMessages.clear();
        } else {
            // A press and its release queued before the same tick would cancel out before any
            // consumer polled the held flag: the release and everything after it wait for the
            // next tick, so every press is held for at least one tick.
            pressedInBatch.clear();
            std::size_t count = 0;
            for (; count < pendingMessages.size(); ++count) {
                const InputMessage& message = *pendingMessages[count];
                const bool pressedBefore =
                    std::find(pressedInBatch.begin(), pressedInBatch.end(), message.input) !=
                    pressedInBatch.end();
                if (!message.pressed && pressedBefore) {
                    break;
                }
                if (message.pressed && !pressedBefore) {
                    pressedInBatch.push_back(message.input);
                }
            }
            const auto taken = pendingMessages.begin() + static_cast<std::ptrdiff_t>(count);
            std::move(pendingMessages.begin(), taken, std::back_inserter(batch));
            pendingMessages.erase(pendingMessages.begin(), taken);
        }
    }
    for (const auto& message : batch) {
        TraceLog::Log("InputSystem::SendInputMessages - Input message sent: " +
                      EnumName(message->input) + ", " + (message->pressed ? "1" : "0"));
        engine->SendMessage(*message);
    }
    batch.clear();
}
