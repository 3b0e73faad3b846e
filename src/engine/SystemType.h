#pragma once
// Identity of each engine system; its printable name is the system's name in trace lines and
// stopwatch keys. Several values name systems that are not registered with the engine.

#include <cstdint>

enum class SystemType : std::int32_t {
    INPUT_SYSTEM = 0,
    INPUT_STATE_SYSTEM = 1,
    REPLAY_STORAGE_SYSTEM = 2,
    REPLAY_RUN_SYSTEM = 3,
    GRAPHICS_SYSTEM = 4,
    ENTITY_MANAGER_SYSTEM = 5,
    TRACE_LOG_SYSTEM = 6,
    COLLIDER_SYSTEM = 7,
    DEBUG_SYSTEM = 8,
    WINDOW_CREATION_SYSTEM = 9,
    EDITOR_SYSTEM = 10,
    AUDIO_SYSTEM = 11,
    SCENE_SYSTEM = 12,
    DEBUG_DRAW_SYSTEM = 13,
    CHEAT_SYSTEM = 14,
    WINDOW_MODE_SYSTEM = 15,
};
