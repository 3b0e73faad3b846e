#pragma once
// Owns the application window and its OpenGL 3.3 core context, the camera matrices, the
// per-frame light arrays, and the two draw paths (lit sprites and debug lines). Driven directly
// by the frame loop, never registered with the engine.

#include <string>
#include <vector>

#include "engine/Matrix4.h"
#include "engine/NamedSystem.h"
#include "engine/Vector2.h"
#include "engine/Vector3.h"
#include "engine/Vector4.h"

struct GLFWwindow;

class GraphicsSystem : public NamedSystem<SystemType::GRAPHICS_SYSTEM> {
public:
    static constexpr int kInitialWindowWidth = 1080;
    static constexpr int kInitialWindowHeight = 720;
    static constexpr const char* kWindowTitle = "Tarnwick";
    // The camera shows this many world units either side of its position, over the whole
    // framebuffer whatever its aspect ratio.
    static constexpr float kVisibleHalfWidth = 1920.0f;
    static constexpr float kVisibleHalfHeight = 1080.0f;

    static GraphicsSystem& Instance();

    void Initialize() override;
    void Update(float dt) override;
    void ShutDown() override;

    // True once Initialize has a window with a loaded OpenGL 3.3 context; otherwise
    // `startFailure` says why.
    bool IsReady() const { return window != nullptr; }
    std::string startFailure;

    void StartDrawing();
    void SwapBuffers();
    void UpdateCameraMatrices();
    void UploadCameraMatrices(unsigned int program) const;

    // Window pixels (origin top left, y down) to world units, by the one rule the engine uses
    // for the pointer.
    Vector2 WindowToWorld(double cursorX, double cursorY) const;

    void OnFramebufferResized(int width, int height);

    GLFWwindow* window = nullptr;
    int currentProgram = -1;
    int worldLocation = -1;
    int textureOffsetLocation = -1;
    int passColorLocation = -1;
    int emitterPosLocation = -1;
    int emitterColsLocation = -1;
    int emitterRadiiLocation = -1;
    int numLightsLocation = -1;
    Vector4 clearColor{0.0f, 0.0f, 0.0f, 1.0f};
    Vector3 cameraPosition{};
    Matrix4 view{};
    Matrix4 projection{};
    int windowWidth = 0;
    int windowHeight = 0;
    std::vector<Vector3> emitterPositions;
    std::vector<Vector3> emitterColors;
    std::vector<float> emitterRadii;

private:
    GraphicsSystem() = default;
    void CreateWindowAndContext();
};
