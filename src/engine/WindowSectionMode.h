#pragma once
// How a tool window lays out its sections: fixed, or reorderable by the user.

#include <cstdint>

enum class WindowSectionMode : std::int32_t {
    NORMAL = 0,
    REARRANGEABLE = 1,
};
