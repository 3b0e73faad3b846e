#pragma once
// The coloured line path: draws a set of points as lines (or another primitive) with the debug
// shader, through the camera, out of a vertex array and buffer that the caller owns, in
// "green", "red" or white.

#include <string_view>
#include <vector>

#include "engine/Vector2.h"

class CameraMatrices;
class GlStateCache;
struct Shader;

class DebugLineDrawer {
public:
    DebugLineDrawer(GlStateCache& glState, const CameraMatrices& camera)
        : glState(glState), camera(camera) {}

    // Uploads `points` into `vertexBuffer` (whose layout `vertexArray` must describe as two floats
    // per point) and draws them placed at `position` and scaled by `scale`. The colour is green
    // for exactly "green", red for exactly "red" and white for any other name.
    void Draw(const std::vector<Vector2>& points, Vector2 position, Vector2 scale,
              unsigned int vertexArray, unsigned int vertexBuffer, std::string_view colorName,
              unsigned int primitive);

private:
    // The debug shader, asked for once: a descriptor that is missing or broken is reported a
    // single time and debug drawing is then skipped, instead of failing every frame.
    const Shader* DebugShader();

    GlStateCache& glState;
    const CameraMatrices& camera;
    const Shader* debugShader = nullptr;
    bool debugShaderRequested = false;
};
