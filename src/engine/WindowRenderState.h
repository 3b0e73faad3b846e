#pragma once
// Whether a tool window is drawn this frame.

#include <cstdint>

enum class WindowRenderState : std::int32_t {
    INVISIBLE = 0,
    VISIBLE = 1,
};
