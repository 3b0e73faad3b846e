#pragma once
// The camera: its position in world units, the view and projection matrices rebuilt from it, and
// the one rule between window pixels and world points. It shows kVisibleHalfWidth and
// kVisibleHalfHeight world units either side of its position over the whole framebuffer, whatever
// the framebuffer's aspect ratio.

#include <cstdint>

#include "engine/Matrix4.h"
#include "engine/Vector2.h"
#include "engine/Vector3.h"

class CameraMatrices {
public:
    static constexpr float kVisibleHalfWidth = 1920.0f;
    static constexpr float kVisibleHalfHeight = 1080.0f;

    // Rebuilds `view` and `projection` from `position`.
    void Rebuild();
    // Sets "projection" and then "view" of `program`, which must be current, each location looked
    // up afresh.
    void Upload(unsigned int program) const;
    // Window pixels (origin top left, y down) of a window of the given size to world units.
    Vector2 WindowToWorld(double cursorX, double cursorY, int windowWidth, int windowHeight) const;

    // How many times the matrices were rebuilt: a program that was given them at this count holds
    // the current ones.
    std::uint64_t RebuildCount() const { return rebuildCount; }

    Vector3 position{};
    // Written only by Rebuild, which the draw paths rely on to know when to upload them again.
    Matrix4 view{};
    Matrix4 projection{};

private:
    std::uint64_t rebuildCount = 0;
};
