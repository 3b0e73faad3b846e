#pragma once
// Tag of the engine's messages. There is one kind of message, so there is one tag.

#include <cstdint>

enum class MessageTag : std::int32_t {
    MESSAGECONTINUITY = 30,
};
