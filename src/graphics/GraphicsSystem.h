#pragma once
// Owns the application window and its OpenGL 3.3 core context, the camera matrices, the
// per-frame light arrays, and the two draw paths (lit sprites and debug lines). Driven directly
// by the frame loop, never registered with the engine.

#include <array>
#include <cstdint>
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

    // Forgets what the draw paths believe OpenGL has bound (program, vertex array, texture) and
    // what they uploaded to each program (uniform locations, camera matrices), so the next draw
    // binds, looks up and uploads everything afresh. The draw paths skip binds and uploads that
    // would repeat the state they left, which holds only while nothing else touches OpenGL:
    // every frame's drawing starts with this, and so must any code that changes bindings or
    // programs behind their back (asset loading, point buffers, the GUI renderer; tests that call
    // OpenGL themselves).
    void ForgetGlState();

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
    // Written only by UpdateCameraMatrices, which the draw paths rely on to know when to upload
    // them again.
    Matrix4 view{};
    Matrix4 projection{};
    int windowWidth = 0;
    int windowHeight = 0;
    std::vector<Vector3> emitterPositions;
    std::vector<Vector3> emitterColors;
    std::vector<float> emitterRadii;

private:
    // What a program has been given since the state was last forgotten: the locations of every
    // uniform the draw paths set, and which rebuild of the camera matrices it last received.
    struct ProgramUniforms {
        int program = 0;
        int world = -1;
        int textureOffset = -1;
        int passColor = -1;
        int emitterPos = -1;
        int emitterCols = -1;
        int emitterRadii = -1;
        int numLights = -1;
        int projection = -1;
        int view = -1;
        bool cameraUploaded = false;
        std::uint64_t uploadedCamera = 0;
    };

    GraphicsSystem() = default;
    // Makes `program` current when it is not (true then), with its uniforms, looked up on its
    // first use since the state was forgotten, at programUniforms[currentUniforms].
    bool MakeCurrent(int program);
    // Uploads the camera matrices unless this program already holds the current ones.
    void UploadCameraOnce(ProgramUniforms& uniforms);
    // Bind unless already bound. A name that is no vertex array (or texture) binds 0, which is
    // what drawing with it always meant: OpenGL refuses the name and the previous draw had
    // unbound.
    void BindVertexArray(unsigned int vertexArray);
    void BindTexture(int texture);

    std::vector<ProgramUniforms> programUniforms;
    // Counts the rebuilds of `view` and `projection`, which only UpdateCameraMatrices writes; a
    // program holds the current matrices when it was given them at the current count.
    std::uint64_t cameraMatricesVersion = 0;
    // Index into programUniforms of the current program; meaningful while currentProgram != -1.
    std::size_t currentUniforms = 0;
    bool vertexArrayKnown = false;
    unsigned int boundVertexArray = 0;
    bool textureKnown = false;
    unsigned int boundTexture = 0;
    // The debug shader, asked for once: a descriptor that is missing or broken is reported a
    // single time and debug drawing is then skipped, instead of failing every frame.
    const Shader* DebugShader();
    const Shader* debugShader = nullptr;
    bool debugShaderRequested = false;
    void CreateWindowAndContext();
};
