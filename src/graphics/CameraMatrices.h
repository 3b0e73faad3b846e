#pragma once
// The camera: the point it follows in world units, the bounds its view keeps inside, the view
// and projection matrices rebuilt from them, and the one rule between window pixels and world
// points. A world unit covers as many pixels across as up, so shapes keep their proportions on a
// framebuffer of any shape: the view always shows kVisibleHalfHeight world units above and below
// its centre, and as many either side as the framebuffer's aspect ratio makes of that height
// (1620 on the 1080 x 720 window, 1920 at 16:9).

#include <cstdint>
#include <optional>

#include "engine/Matrix4.h"
#include "engine/Vector2.h"
#include "engine/Vector3.h"

class CameraMatrices {
public:
    // The height is the fixed side: every landscape window shows the whole height the menus are
    // laid out in, and a wider window shows more of the world either side instead of bars.
    static constexpr float kVisibleHalfHeight = 1080.0f;
    // The half width shown until a framebuffer size is known: the 16:9 shape.
    static constexpr float kDefaultVisibleHalfWidth = 1920.0f;

    // A rectangle in world units, `min` its bottom-left corner and `max` its top-right one.
    struct Bounds {
        Vector2 min;
        Vector2 max;
        bool operator==(const Bounds&) const = default;
    };

    // Takes the framebuffer's size in pixels, which sets how wide the view is; the matrices
    // follow at the next Rebuild. A size with a zero or negative side keeps the previous width.
    void SetFramebufferSize(int width, int height);
    // World units shown either side of the view's centre: the screen's edges, for layout that
    // anchors to them.
    float VisibleHalfWidth() const { return visibleHalfWidth; }
    float VisibleHalfHeight() const { return kVisibleHalfHeight; }

    // Where the view is centred: `position`, moved no further than needed for the view to stay
    // inside `bounds`, and at the bounds' centre on an axis where they are narrower than the view.
    // Follows the visible extent at once, so a resize never shows what lies beyond the bounds.
    Vector2 ViewCentre() const;

    // Rebuilds `view` and `projection` from the view's centre and the visible extent.
    void Rebuild();
    // Sets "projection" and then "view" of `program`, which must be current, each location looked
    // up afresh.
    void Upload(unsigned int program) const;
    // Window pixels (origin top left, y down) of a window of the given size to world units, about
    // the view's centre; the window's shape is the framebuffer's, only its scale may differ.
    Vector2 WindowToWorld(double cursorX, double cursorY, int windowWidth, int windowHeight) const;

    // How many times the matrices were rebuilt: a program that was given them at this count holds
    // the current ones.
    std::uint64_t RebuildCount() const { return rebuildCount; }

    // The point the camera follows (its entity's position); gameplay that chases "the camera"
    // (enemies) runs at it, wherever the view stops.
    Vector3 position{};
    // The extent the view keeps inside (a level's); none lets the view go anywhere.
    std::optional<Bounds> bounds;
    // Written only by Rebuild, which the draw paths rely on to know when to upload them again.
    Matrix4 view{};
    Matrix4 projection{};

private:
    float visibleHalfWidth = kDefaultVisibleHalfWidth;
    std::uint64_t rebuildCount = 0;
};
