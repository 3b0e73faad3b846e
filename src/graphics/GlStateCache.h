#pragma once
// What the draw paths believe OpenGL has bound (program, vertex array, texture) and what they
// have given each program since (uniform locations, camera matrices), so that binds, look-ups and
// uploads that would repeat are skipped. That holds only while nothing else touches OpenGL: every
// frame's drawing starts with Forget, and so must any code that changes bindings or programs
// behind the draw paths' back (asset loading, point buffers, the GUI renderer; tests that call
// OpenGL themselves).

#include <cstddef>
#include <cstdint>
#include <vector>

class CameraMatrices;

class GlStateCache {
public:
    // The locations of every uniform the draw paths set in one program, and which rebuild of the
    // camera matrices it last received.
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

    // Believes nothing is bound and nothing uploaded, so the next draw binds, looks up and
    // uploads everything afresh.
    void Forget();

    // Makes `program` current unless it already is; true when it switched. Its uniforms, looked up
    // on its first use since Forget, are then Current().
    bool UseProgram(int program);
    // The uniforms of the current program; valid once UseProgram has run since Forget.
    ProgramUniforms& Current() { return programs[current]; }
    // The program the draw paths made current, or -1 when none is known to be.
    int CurrentProgram() const { return currentProgram; }

    // Gives the current program the camera's matrices unless it holds this rebuild of them.
    void UploadCamera(const CameraMatrices& camera);

    // Bind unless already bound. A name that is no vertex array (or texture) binds 0, which is
    // what drawing with it always meant: OpenGL refuses the name and the previous draw had
    // unbound.
    void BindVertexArray(unsigned int vertexArray);
    void BindTexture(int texture);

private:
    std::vector<ProgramUniforms> programs;
    // Index into `programs` of the current program; meaningful while currentProgram != -1.
    std::size_t current = 0;
    int currentProgram = -1;
    bool vertexArrayKnown = false;
    unsigned int boundVertexArray = 0;
    bool textureKnown = false;
    unsigned int boundTexture = 0;
};
