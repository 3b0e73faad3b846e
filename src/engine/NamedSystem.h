#pragma once
// A control system whose name is the printable name of its SystemType value. Two systems may
// share a value (and so a name, a trace line and a stopwatch entry).

#include "engine/ControlSystem.h"
#include "engine/EnumNames.h"
#include "engine/SystemType.h"

template <SystemType N>
class NamedSystem : public ControlSystem {
public:
    const std::string& GetName() const override { return EnumName(N); }
};
