#pragma once
// Abstract inputs that device codes are mapped to. Values with a leading underscore are the
// developer cheat inputs.

#include <cstdint>

enum class InputType : std::int32_t {
    UNKNOWN = 0,
    JUMP = 1,
    UP = 2,
    LEFT = 3,
    DOWN = 4,
    RIGHT = 5,
    ROTATE_RIGHT = 6,
    ROTATE_LEFT = 7,
    SCALE_UP = 8,
    SCALE_DOWN = 9,
    TOGGLEEDITOR = 10,
    TOGGLEDEBUG = 11,
    CLICK = 12,
    RIGHT_CLICK = 13,
    BEEP = 14,
    _CUSTOM = 15,
    _PISTOL = 16,
    _RIFLE = 17,
    _SNIPER = 18,
    _SHOTGUN = 19,
    _FLAMETHROWER = 20,
    _CURVEBALL = 21,
    SHIFT = 22,
    _INVINCIBILITY_ON = 23,
    _INVINCIBILITY_OFF = 24,
    _LIGHTS_ON = 25,
    _LIGHTS_OFF = 26,
    _PHASING_ON = 27,
    _PHASING_OFF = 28,
    _NUKE = 29,
    TOGGLE_FULLSCREEN = 30,
    PAUSE = 31,
    // Shows or hides the engine settings window and the fixed test window.
    TOGGLESETTINGS = 32,
    // Shows every tool (all tool windows and the debug outlines) or hides them all.
    TOGGLETOOLS = 33,
    // The number of real inputs, and so the size of every per-input state table. Not every value
    // below it has to name an input.
    cInputStateMax = 34,
};
