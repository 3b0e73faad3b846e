// The window, the camera matrices and the window-to-world rule, with the real window and
// context.

#include <gtest/gtest.h>

#include <GLFW/glfw3.h>
#include <glad/gl.h>

#include <string>

#include "engine/Matrix4.h"
#include "graphics/DebugDrawSystem.h"
#include "graphics/GraphicsSystem.h"
#include "input/KeyCode.h"

#include "support/GameTree.h"
#include "support/WindowTest.h"

namespace {

class GraphicsSystemTest : public WindowTest {
protected:
    // World point -> normalized device coordinates. The projection alone carries the camera's
    // x and y (it is centred on them), so the stock shaders place sprites with it.
    Vector3 ToDevice(float x, float y) {
        graphics.UpdateCameraMatrices();
        return graphics.camera.projection.TransformPoint({x, y, 0.0f});
    }
};

TEST_F(GraphicsSystemTest, OpensTheWindowWithA33CoreContext) {
    int width = 0;
    int height = 0;
    glfwGetWindowSize(graphics.window, &width, &height);
    EXPECT_EQ(width, 1080);
    EXPECT_EQ(height, 720);
    EXPECT_EQ(graphics.window.width, 1080);
    EXPECT_EQ(graphics.window.height, 720);
    GLint major = 0;
    GLint minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    EXPECT_GE(major * 10 + minor, 33);
    GLint profile = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
    EXPECT_EQ(graphics.camera.position, (Vector3{0.0f, 0.0f, 1.0f}));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

// The view keeps its height and takes its width from the framebuffer's shape, so a world unit is
// as many pixels across as up at any size: the visible corners land on the framebuffer's corners.
TEST_F(GraphicsSystemTest, VisibleWorldKeepsItsHeightAndTakesItsWidthFromTheFramebuffer) {
    struct Case {
        int width;
        int height;
        float halfWidth;
    };
    const Case cases[] = {{1080, 720, 1620.0f},
                          {1920, 1080, 1920.0f},
                          {500, 900, 600.0f},
                          {1280, 800, 1728.0f},
                          {2000, 500, 4320.0f}};
    for (const Case& size : cases) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        graphics.OnFramebufferResized(size.width, size.height);
        EXPECT_FLOAT_EQ(graphics.camera.VisibleHalfWidth(), size.halfWidth);
        EXPECT_FLOAT_EQ(graphics.camera.VisibleHalfHeight(), 1080.0f);
        const Vector3 topRight = ToDevice(size.halfWidth, 1080.0f);
        const Vector3 bottomLeft = ToDevice(-size.halfWidth, -1080.0f);
        EXPECT_NEAR(topRight.x, 1.0f, 1e-6);
        EXPECT_NEAR(topRight.y, 1.0f, 1e-6);
        EXPECT_NEAR(bottomLeft.x, -1.0f, 1e-6);
        EXPECT_NEAR(bottomLeft.y, -1.0f, 1e-6);
        // 100 units across and 100 units up cover the same number of pixels.
        const float pixelsAcross = ToDevice(100.0f, 0.0f).x * static_cast<float>(size.width) / 2;
        const float pixelsUp = ToDevice(0.0f, 100.0f).y * static_cast<float>(size.height) / 2;
        EXPECT_NEAR(pixelsAcross, pixelsUp, 1e-3);
    }
}

TEST_F(GraphicsSystemTest, CameraMatricesFollowTheCameraPosition) {
    graphics.camera.position = {100.0f, 50.0f, 1.0f};
    const Vector3 centre = ToDevice(100.0f, 50.0f);
    EXPECT_NEAR(centre.x, 0.0f, 1e-6);
    EXPECT_NEAR(centre.y, 0.0f, 1e-6);
    const Vector3 topRight = ToDevice(1720.0f, 1130.0f);
    EXPECT_NEAR(topRight.x, 1.0f, 1e-6);
    EXPECT_NEAR(topRight.y, 1.0f, 1e-6);
    // With the camera in front of the plane the view is a plain translation.
    EXPECT_EQ(graphics.camera.view, Matrix4::Translate({-100.0f, -50.0f, -1.0f}));
    // The 1080 x 720 window shows 3240 x 2160 world units.
    EXPECT_FLOAT_EQ(graphics.camera.projection.m[0][0], 2.0f / 3240.0f);
    EXPECT_FLOAT_EQ(graphics.camera.projection.m[1][1], 2.0f / 2160.0f);
    EXPECT_FLOAT_EQ(graphics.camera.projection.m[2][2], -1.0f);
    EXPECT_FLOAT_EQ(graphics.camera.projection.m[3][0], -200.0f / 3240.0f);
    EXPECT_FLOAT_EQ(graphics.camera.projection.m[3][1], -100.0f / 2160.0f);
}

// The pointer's rule follows a resize at once: 3 world units a pixel both ways at 1080 x 720,
// 2160 / 600 = 3.6 at 1200 x 600 and 2160 / 900 = 2.4 at 500 x 900.
TEST_F(GraphicsSystemTest, WindowPixelsMapToWorldPointsByTheCameraRule) {
    graphics.camera.position = {100.0f, 50.0f, 1.0f};
    struct Case {
        int width;
        int height;
        double cursorX;
        double cursorY;
        Vector2 world;
    };
    const Case cases[] = {
        {1080, 720, 540.0, 360.0, {100.0f, 50.0f}},
        {1080, 720, 0.0, 0.0, {-1520.0f, 1130.0f}},
        {1080, 720, 1080.0, 720.0, {1720.0f, -1030.0f}},
        {1080, 720, 640.0, 310.0, {400.0f, 200.0f}},
        {1200, 600, 600.0, 300.0, {100.0f, 50.0f}},
        {1200, 600, 700.0, 200.0, {460.0f, 410.0f}},
        {1200, 600, 0.0, 600.0, {-2060.0f, -1030.0f}},
        {500, 900, 350.0, 350.0, {340.0f, 290.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " +
                     std::to_string(c.cursorX) + ", " + std::to_string(c.cursorY));
        graphics.OnFramebufferResized(c.width, c.height);
        const Vector2 world = graphics.WindowToWorld(c.cursorX, c.cursorY);
        EXPECT_NEAR(world.x, c.world.x, 1e-3);
        EXPECT_NEAR(world.y, c.world.y, 1e-3);
    }
}

// With bounds, the view's centre follows a resize at once (no camera update in between): the
// window's bottom-left corner stays on the bounds' corner while the camera's point is held off it.
TEST_F(GraphicsSystemTest, ViewInsideBoundsFollowsAResizeAtOnce) {
    graphics.camera.position = {-1664.0f, -832.0f, 0.0f};
    graphics.camera.bounds = CameraMatrices::Bounds{{-1984.0f, -1152.0f}, {1856.0f, 1024.0f}};
    struct Case {
        int width;
        int height;
        Vector2 centre;
    };
    const Case cases[] = {{1080, 720, {-364.0f, -72.0f}},
                          {1920, 1080, {-64.0f, -72.0f}},
                          {600, 900, {-1264.0f, -72.0f}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        graphics.OnFramebufferResized(c.width, c.height);
        EXPECT_NEAR(graphics.camera.ViewCentre().x, c.centre.x, 1e-3);
        EXPECT_NEAR(graphics.camera.ViewCentre().y, c.centre.y, 1e-3);
        const Vector2 corner = graphics.WindowToWorld(0.0, c.height);
        EXPECT_NEAR(corner.x, -1984.0f, 1e-3);
        EXPECT_NEAR(corner.y, -1152.0f, 1e-3);
        EXPECT_NEAR(ToDevice(c.centre.x, c.centre.y).x, 0.0f, 1e-6) << "drawn about that centre";
    }
    EXPECT_EQ(graphics.camera.position, (Vector3{-1664.0f, -832.0f, 0.0f}));
}

TEST_F(GraphicsSystemTest, ResizeKeepsTheSideThatIsZero) {
    struct Case {
        int width;
        int height;
        int expectedWidth;
        int expectedHeight;
    };
    const Case cases[] = {
        {0, 0, 1080, 720},
        {1280, 0, 1280, 720},
        {0, 600, 1280, 600},
        {800, 500, 800, 500},
    };
    for (const Case& c : cases) {
        graphics.OnFramebufferResized(c.width, c.height);
        EXPECT_EQ(graphics.window.width, c.expectedWidth);
        EXPECT_EQ(graphics.window.height, c.expectedHeight);
        EXPECT_FLOAT_EQ(
            graphics.camera.VisibleHalfWidth(),
            1080.0f * static_cast<float>(c.expectedWidth) / static_cast<float>(c.expectedHeight));
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], c.expectedWidth);
        EXPECT_EQ(viewport[3], c.expectedHeight);
    }
}

TEST_F(GraphicsSystemTest, StartDrawingClearsToOpaqueBlackAndSwapForgetsTheProgram) {
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    graphics.StartDrawing();
    unsigned char pixel[4] = {255, 255, 255, 0};
    glReadPixels(540, 360, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 0);
    EXPECT_EQ(pixel[2], 0);

    GameTree tree;
    DebugDrawSystem& debugDraw = DebugDrawSystem::Instance();
    debugDraw.Initialize();
    debugDraw.Render();
    ASSERT_NE(graphics.CurrentProgram(), -1) << "the debug lines leave their program current";
    graphics.SwapBuffers();
    EXPECT_EQ(graphics.CurrentProgram(), -1);
    debugDraw.ShutDown();
}

TEST(KeyCodeTest, WindowCodesAreNarrowedToASignedByte) {
    struct Case {
        int glfwCode;
        int narrowed;
    };
    const Case cases[] = {
        {87, 87},    // W
        {256, 0},    // Escape
        {257, 1},    // Enter, like the left mouse button
        {262, 6},    // Right
        {340, 84},   // Left Shift, like T
        {200, -56},  // 128..255 turn negative
        {-1, -1},    // unknown key
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NarrowKeyCode(c.glfwCode), c.narrowed) << c.glfwCode;
    }
}

}  // namespace
