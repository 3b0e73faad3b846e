#pragma once
// Keeps the held flag of every input from the delivered messages. Gameplay polls `inputStates`
// instead of reacting to messages; the flags live for the whole process (never reset at a
// restart or scene change).

#include <array>
#include <cstddef>

#include "engine/InputType.h"
#include "engine/NamedSystem.h"

inline constexpr int kInputStateCount = static_cast<int>(InputType::cInputStateMax);

// Indexed by InputType; written only by the InputStateSystem.
extern std::array<bool, kInputStateCount> inputStates;

// Whether the input is held; the one way gameplay reads the table.
inline bool IsHeld(InputType input) {
    return inputStates[static_cast<std::size_t>(input)];
}

class InputStateSystem : public NamedSystem<SystemType::INPUT_STATE_SYSTEM> {
public:
    static InputStateSystem& Instance();
    void HandleMessage(const InputMessage& message) override;

private:
    InputStateSystem() = default;
};
