#pragma once
// The vertex array and buffer behind every line drawing (debug lines, collider outlines): one
// attribute, two floats per point, stride 8, as DrawDebugShape expects them.

#include <vector>

#include "engine/Vector2.h"

// Creates both objects, describes attribute 0 and fills the buffer with `points` (may be empty).
void CreatePointBuffers(unsigned int& vertexArray, unsigned int& vertexBuffer,
                        const std::vector<Vector2>& points);
void DeletePointBuffers(unsigned int& vertexArray, unsigned int& vertexBuffer);
