#pragma once
// Key codes from the window and from the mapping file are made comparable by one narrowing:
// the low eight bits read as a signed byte. GLFW codes from 256 upward therefore share an entry
// with the code 256 lower (Escape 256 -> 0, Left Shift 340 -> 84), 128..255 become negative.

#include <cstdint>

constexpr int NarrowKeyCode(int code) {
    return static_cast<int>(static_cast<std::int8_t>(static_cast<std::uint8_t>(code & 0xFF)));
}

// Codes the mouse-button callback forwards in the same code space as keys.
constexpr int kLeftMouseButtonCode = 1;
constexpr int kRightMouseButtonCode = 2;
