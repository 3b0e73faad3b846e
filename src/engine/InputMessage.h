#pragma once
// The one message kind: an abstract input went down or up. Broadcast by the engine to every
// system and every live component; receivers only read it during the call.

#include "engine/InputType.h"

struct InputMessage {
    InputType input = InputType::UNKNOWN;
    bool pressed = false;
};
