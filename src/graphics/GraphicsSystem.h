#pragma once
// Owns the application window and its OpenGL 3.3 core context, the camera matrices, the
// per-frame light arrays, and the two draw paths (lit sprites and debug lines). Driven directly
// by the frame loop, never registered with the engine.

#include <array>
#include <string>
#include <vector>

#include "engine/Matrix4.h"
#include "engine/NamedSystem.h"
#include "engine/Vector2.h"
#include "engine/Vector3.h"
#include "engine/Vector4.h"

struct GLFWwindow;
class Emitter;
struct Shader;
class Transform;

class GraphicsSystem : public NamedSystem<SystemType::GRAPHICS_SYSTEM> {
public:
    static constexpr int kInitialWindowWidth = 1080;
    static constexpr int kInitialWindowHeight = 720;
    static constexpr const char* kWindowTitle = "Tarnwick";
    // The camera shows this many world units either side of its position, over the whole
    // framebuffer whatever its aspect ratio.
    static constexpr float kVisibleHalfWidth = 1920.0f;
    static constexpr float kVisibleHalfHeight = 1080.0f;

    static constexpr std::size_t kLayerCount = 5;

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

    // Draws one mesh at the transform's world matrix, tinted by colour and alpha and shifted in
    // texture space. Switching to another program refreshes the uniform locations and uploads
    // the frame's light arrays.
    void DrawSprite(Transform& transform, int program, unsigned int vertexArray, int vertexCount,
                    int texture, Vector2 textureOffset, Vector3 color, float alpha);
    // Draws points as lines (or `primitive`) with the debug shader, in "green", "red" or white.
    void DrawDebugShape(std::vector<Vector2> points, Vector2 position, Vector2 scale,
                        unsigned int vertexArray, unsigned int vertexBuffer, std::string colorName,
                        unsigned int primitive);

    // Rebuilds the light arrays from every emitter in the lists, layer by layer, at its entity's
    // world position. Emitters on entities without a Transform cannot be placed and are skipped.
    void CompileEmitters(const std::array<std::vector<Emitter*>, kLayerCount>& emitterLists);

    // Program switches of DrawSprite so far, each of which uploaded the light arrays.
    int lightUploadCount = 0;

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
    // The debug shader, asked for once: a descriptor that is missing or broken is reported a
    // single time and debug drawing is then skipped, instead of failing every frame.
    const Shader* DebugShader();
    const Shader* debugShader = nullptr;
    bool debugShaderRequested = false;
    void CreateWindowAndContext();
};
