#pragma once
// The gameplay's random numbers: the C library's rand(), never seeded, so every run draws the
// same sequence. The spreads are defined over draws of 0..32767; rand()'s own range differs
// between C libraries (glibc's reaches 2^31 - 1), so each draw is brought onto that range first.

inline constexpr int kRandomDrawMax = 32767;

// One rand() call, as a whole number in 0..kRandomDrawMax.
int DrawRandom();

// One draw mapped onto 0..1: u(r) = r / 32767.
double UnitDraw();
