#pragma once
// The gameplay's random numbers, drawn from the engine's seeded stream (engine/Random.h), so a
// replay draws the same numbers. The spreads are defined over draws of 0..32767.

inline constexpr int kRandomDrawMax = 32767;

// One draw, as a whole number in 0..kRandomDrawMax.
int DrawRandom();

// One draw mapped onto 0..1: u(r) = r / 32767.
double UnitDraw();
