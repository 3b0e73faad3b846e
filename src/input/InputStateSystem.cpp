#include "input/InputStateSystem.h"

#include "engine/InputMessage.h"

std::array<bool, kInputStateCount> inputStates{};

InputStateSystem& InputStateSystem::Instance() {
    static InputStateSystem* system = new InputStateSystem();
    return *system;
}

void InputStateSystem::HandleMessage(const InputMessage& message) {
    const auto index = static_cast<int>(message.input);
    // cInputStateMax has a name but no state entry; such a binding is refused at load time,
    // and this guard keeps a stray message from writing past the table.
    if (index >= 0 && index < kInputStateCount) {
        inputStates[static_cast<std::size_t>(index)] = message.pressed;
    }
}
