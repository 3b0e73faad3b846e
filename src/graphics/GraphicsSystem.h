#pragma once
// The library system the frame loop drives around the engine (never registered with it): it
// opens the window, starts each frame's drawing, draws lit sprites and debug lines, and swaps.
// Its parts keep one job each: the window and its callbacks, the camera, the frame's lights, what
// OpenGL has bound, and the debug-line path.

#include <string>
#include <string_view>
#include <vector>

#include "engine/NamedSystem.h"
#include "engine/Vector2.h"
#include "engine/Vector3.h"
#include "engine/Vector4.h"
#include "graphics/CameraMatrices.h"
#include "graphics/DebugLineDrawer.h"
#include "graphics/GameWindow.h"
#include "graphics/GlStateCache.h"
#include "graphics/LightArrays.h"

class Transform;

class GraphicsSystem : public NamedSystem<SystemType::GRAPHICS_SYSTEM> {
public:
    static GraphicsSystem& Instance();

    void Initialize() override;
    void Update(float dt) override;
    void ShutDown() override;

    // True once Initialize has a window with a loaded OpenGL 3.3 context; otherwise
    // `startFailure` says why.
    bool IsReady() const { return window.IsOpen(); }
    std::string startFailure;

    void StartDrawing();
    void SwapBuffers();
    void UpdateCameraMatrices();
    void UploadCameraMatrices(unsigned int program) const;

    // Draws one mesh at the transform's world matrix, tinted by colour and alpha and shifted in
    // texture space. Switching to another program uploads the frame's light arrays to it.
    void DrawSprite(Transform& transform, int program, unsigned int vertexArray, int vertexCount,
                    int texture, Vector2 textureOffset, Vector3 color, float alpha);
    // Draws points as lines (or `primitive`) with the debug shader, in "green", "red" or white,
    // out of the caller's vertex array and buffer.
    void DrawDebugShape(const std::vector<Vector2>& points, Vector2 position, Vector2 scale,
                        unsigned int vertexArray, unsigned int vertexBuffer,
                        std::string_view colorName, unsigned int primitive);

    void CompileEmitters(const LightArrays::EmitterLists& emitterLists);

    // Forgets what the draw paths believe OpenGL has bound, so the next draw binds, looks up and
    // uploads everything afresh. Every frame's drawing starts with this, and so must any code
    // that changes bindings or programs behind the draw paths' back.
    void ForgetGlState();
    // The program the draw paths made current, or -1 when none is known to be.
    int CurrentProgram() const { return glState.CurrentProgram(); }

    // Window pixels (origin top left, y down) to world units, by the one rule the engine uses
    // for the pointer.
    Vector2 WindowToWorld(double cursorX, double cursorY) const;

    // The viewport, the visible extent and the camera matrices follow a new framebuffer size at
    // once, so the frame drawn next keeps the world's proportions.
    void OnFramebufferResized(int width, int height);

    GameWindow window;
    CameraMatrices camera;
    LightArrays lights;
    Vector4 clearColor{0.0f, 0.0f, 0.0f, 1.0f};

private:
    GraphicsSystem() = default;

    GlStateCache glState;
    DebugLineDrawer debugLines{glState, camera};
};
