#include "graphics/GraphicsSystem.h"

#include <GLFW/glfw3.h>
#include <glad/gl.h>

#include "engine/Engine.h"
#include "engine/TraceLog.h"
#include "entities/Entity.h"
#include "graphics/Emitter.h"
#include "graphics/Shader.h"
#include "input/InputSystem.h"
#include "input/KeyCode.h"
#include "physics/Transform.h"

namespace {
constexpr int kContextVersionMajor = 3;
constexpr int kContextVersionMinor = 3;
constexpr int kSwapInterval = 1;
// GLFW's code for a key it cannot identify is -1, the only code with bit 30 set.
constexpr int kUnknownKeyBit = 1 << 30;
constexpr const char* kDebugShaderName = "DebugShader.json";
constexpr GLsizeiptr kBytesPerPoint = 2 * sizeof(float);

std::string LastGlfwError() {
    const char* description = nullptr;
    glfwGetError(&description);
    return description != nullptr ? description : "no details";
}

void KeyCallback(GLFWwindow* /*window*/, int key, int /*scancode*/, int action, int /*mods*/) {
    if (action == GLFW_RELEASE) {
        InputSystem::Instance().OnKeyUp(NarrowKeyCode(key));
    } else if (action == GLFW_PRESS && (key & kUnknownKeyBit) == 0) {
        InputSystem::Instance().OnKeyDown(NarrowKeyCode(key));
    }
}

void MouseButtonCallback(GLFWwindow* /*window*/, int button, int action, int /*mods*/) {
    int code = 0;
    if (button == GLFW_MOUSE_BUTTON_LEFT) {
        code = kLeftMouseButtonCode;
    } else if (button == GLFW_MOUSE_BUTTON_RIGHT) {
        code = kRightMouseButtonCode;
    } else {
        return;
    }
    if (action == GLFW_PRESS) {
        InputSystem::Instance().OnKeyDown(code);
    } else if (action == GLFW_RELEASE) {
        InputSystem::Instance().OnKeyUp(code);
    }
}

// The light arrays go to OpenGL as flat float arrays; Vector3 is three packed floats.
const GLfloat* FloatsOf(const std::vector<Vector3>& vectors) {
    static_assert(sizeof(Vector3) == 3 * sizeof(float));
    return reinterpret_cast<const GLfloat*>(vectors.data());
}

void FramebufferSizeCallback(GLFWwindow* /*window*/, int width, int height) {
    GraphicsSystem::Instance().OnFramebufferResized(width, height);
}
}  // namespace

GraphicsSystem& GraphicsSystem::Instance() {
    static GraphicsSystem* system = new GraphicsSystem();
    return *system;
}

void GraphicsSystem::Initialize() {
    windowWidth = kInitialWindowWidth;
    windowHeight = kInitialWindowHeight;
    CreateWindowAndContext();
    if (window == nullptr) {
        return;
    }
    glfwSetKeyCallback(window, KeyCallback);
    glfwSetMouseButtonCallback(window, MouseButtonCallback);

    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(clearColor.r, clearColor.g, clearColor.b, clearColor.a);

    cameraPosition = {0.0f, 0.0f, 1.0f};
    glfwSetFramebufferSizeCallback(window, FramebufferSizeCallback);
}

void GraphicsSystem::CreateWindowAndContext() {
    if (glfwInit() == GLFW_FALSE) {
        startFailure = "the window system could not be initialized (" + LastGlfwError() + ")";
        return;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, kContextVersionMajor);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, kContextVersionMinor);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    window =
        glfwCreateWindow(kInitialWindowWidth, kInitialWindowHeight, kWindowTitle, nullptr, nullptr);
    if (window == nullptr) {
        startFailure =
            "no window with an OpenGL 3.3 core context could be created (" + LastGlfwError() + ")";
        glfwTerminate();
        return;
    }
    glfwMakeContextCurrent(window);
    glfwSwapInterval(kSwapInterval);
    if (gladLoadGL(glfwGetProcAddress) == 0) {
        startFailure = "the OpenGL 3.3 entry points could not be loaded";
        glfwDestroyWindow(window);
        window = nullptr;
        glfwTerminate();
    }
}

void GraphicsSystem::Update(float /*dt*/) {
    if (glfwWindowShouldClose(window) != 0) {
        Engine::Instance().running = false;
    }
    glfwPollEvents();
}

void GraphicsSystem::ShutDown() {
    if (window == nullptr) {
        return;
    }
    glfwDestroyWindow(window);
    window = nullptr;
    glfwTerminate();
}

void GraphicsSystem::StartDrawing() {
    // Whatever ran since the last frame's drawing (the GUI renderer, asset loading) may have
    // changed bindings and programs.
    ForgetGlState();
    glViewport(0, 0, windowWidth, windowHeight);
    UpdateCameraMatrices();
    glClear(GL_COLOR_BUFFER_BIT);
}

void GraphicsSystem::SwapBuffers() {
    ForgetGlState();
    glfwSwapBuffers(window);
}

void GraphicsSystem::UpdateCameraMatrices() {
    ++cameraMatricesVersion;
    const Vector3 eye = cameraPosition;
    view = Matrix4::LookAt(eye, {eye.x, eye.y, 0.0f}, {0.0f, 1.0f, 0.0f});
    projection = Matrix4::Orthographic(eye.x - kVisibleHalfWidth, eye.x + kVisibleHalfWidth,
                                       eye.y - kVisibleHalfHeight, eye.y + kVisibleHalfHeight);
}

void GraphicsSystem::UploadCameraMatrices(unsigned int program) const {
    const GLuint name = program;
    glUniformMatrix4fv(glGetUniformLocation(name, "projection"), 1, GL_FALSE, projection.data());
    glUniformMatrix4fv(glGetUniformLocation(name, "view"), 1, GL_FALSE, view.data());
}

Vector2 GraphicsSystem::WindowToWorld(double cursorX, double cursorY) const {
    const int halfWidth = windowWidth / 2;
    const int halfHeight = windowHeight / 2;
    const auto centredX = static_cast<float>(cursorX - halfWidth);
    const auto centredY = static_cast<float>(halfHeight - cursorY);
    const float worldPerPixelX = 2.0f * kVisibleHalfWidth / static_cast<float>(windowWidth);
    const float worldPerPixelY = 2.0f * kVisibleHalfHeight / static_cast<float>(windowHeight);
    return {cameraPosition.x + centredX * worldPerPixelX,
            cameraPosition.y + centredY * worldPerPixelY};
}

void GraphicsSystem::OnFramebufferResized(int width, int height) {
    if (width != 0) {
        windowWidth = width;
    }
    if (height != 0) {
        windowHeight = height;
    }
    glViewport(0, 0, windowWidth, windowHeight);
    UpdateCameraMatrices();
}

void GraphicsSystem::ForgetGlState() {
    currentProgram = -1;
    programUniforms.clear();
    currentUniforms = 0;
    vertexArrayKnown = false;
    textureKnown = false;
}

bool GraphicsSystem::MakeCurrent(int program) {
    // currentProgram is public: a program it names without a record here was not made current
    // by this system, so it is switched to like any other.
    if (program == currentProgram && currentUniforms < programUniforms.size() &&
        programUniforms[currentUniforms].program == program) {
        return false;
    }
    const auto name = static_cast<GLuint>(program);
    glUseProgram(name);
    currentProgram = program;
    for (std::size_t i = 0; i < programUniforms.size(); ++i) {
        if (programUniforms[i].program == program) {
            currentUniforms = i;
            return true;
        }
    }
    ProgramUniforms& uniforms = programUniforms.emplace_back();
    uniforms.program = program;
    uniforms.world = glGetUniformLocation(name, "world");
    uniforms.textureOffset = glGetUniformLocation(name, "textureOffset");
    uniforms.passColor = glGetUniformLocation(name, "passColor");
    uniforms.emitterPos = glGetUniformLocation(name, "emitterPos");
    uniforms.emitterCols = glGetUniformLocation(name, "emitterCols");
    uniforms.emitterRadii = glGetUniformLocation(name, "emitterRadii");
    uniforms.numLights = glGetUniformLocation(name, "numLights");
    uniforms.projection = glGetUniformLocation(name, "projection");
    uniforms.view = glGetUniformLocation(name, "view");
    currentUniforms = programUniforms.size() - 1;
    return true;
}

void GraphicsSystem::UploadCameraOnce(ProgramUniforms& uniforms) {
    if (uniforms.cameraUploaded && uniforms.uploadedCamera == cameraMatricesVersion) {
        return;
    }
    glUniformMatrix4fv(uniforms.projection, 1, GL_FALSE, projection.data());
    glUniformMatrix4fv(uniforms.view, 1, GL_FALSE, view.data());
    uniforms.cameraUploaded = true;
    uniforms.uploadedCamera = cameraMatricesVersion;
}

void GraphicsSystem::BindVertexArray(unsigned int vertexArray) {
    if (vertexArrayKnown && boundVertexArray == vertexArray) {
        return;
    }
    const GLuint name = vertexArray == 0 || glIsVertexArray(vertexArray) ? vertexArray : 0;
    if (vertexArrayKnown && boundVertexArray == name) {
        return;
    }
    glBindVertexArray(name);
    vertexArrayKnown = true;
    boundVertexArray = name;
}

void GraphicsSystem::BindTexture(int texture) {
    // -1 is the name a texture that failed to load keeps.
    GLuint name = texture > 0 ? static_cast<GLuint>(texture) : 0;
    if (textureKnown && boundTexture == name) {
        return;
    }
    if (name != 0 && !glIsTexture(name)) {
        name = 0;
        if (textureKnown && boundTexture == name) {
            return;
        }
    }
    glBindTexture(GL_TEXTURE_2D, name);
    textureKnown = true;
    boundTexture = name;
}

void GraphicsSystem::DrawSprite(Transform& transform, int program, unsigned int vertexArray,
                                int vertexCount, int texture, Vector2 textureOffset, Vector3 color,
                                float alpha) {
    if (transform.isDirty) {
        transform.UpdateMatrix();
    }
    if (MakeCurrent(program)) {
        const ProgramUniforms& switched = programUniforms[currentUniforms];
        worldLocation = switched.world;
        textureOffsetLocation = switched.textureOffset;
        passColorLocation = switched.passColor;
        emitterPosLocation = switched.emitterPos;
        emitterColsLocation = switched.emitterCols;
        emitterRadiiLocation = switched.emitterRadii;
        numLightsLocation = switched.numLights;
        const auto lights = static_cast<GLsizei>(emitterPositions.size());
        glUniform3fv(emitterPosLocation, lights, FloatsOf(emitterPositions));
        glUniform3fv(emitterColsLocation, lights, FloatsOf(emitterColors));
        glUniform1fv(emitterRadiiLocation, lights, emitterRadii.data());
        glUniform1i(numLightsLocation, lights);
        ++lightUploadCount;
    }
    ProgramUniforms& uniforms = programUniforms[currentUniforms];
    UploadCameraOnce(uniforms);
    BindVertexArray(vertexArray);
    BindTexture(texture);
    // Nothing is unbound after the draw: the next draw binds what it needs, and code that relies
    // on other bindings sets them itself.
    glUniformMatrix4fv(uniforms.world, 1, GL_FALSE, transform.matrix.data());
    glUniform2f(uniforms.textureOffset, textureOffset.x, textureOffset.y);
    glUniform4f(uniforms.passColor, color.x, color.y, color.z, alpha);
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
}

const Shader* GraphicsSystem::DebugShader() {
    if (!debugShaderRequested) {
        debugShaderRequested = true;
        try {
            debugShader = GetShader(kDebugShaderName);
        } catch (const std::exception& error) {
            TraceLog::Error("GraphicsSystem::DrawDebugShape - no debug lines without " +
                            std::string(kDebugShaderName) + ": " + error.what());
        }
    }
    return debugShader;
}

void GraphicsSystem::DrawDebugShape(std::vector<Vector2> points, Vector2 position, Vector2 scale,
                                    unsigned int vertexArray, unsigned int vertexBuffer,
                                    std::string colorName, unsigned int primitive) {
    const Matrix4 world = Matrix4::Translate({position.x, position.y, 0.0f}) *
                          Matrix4::RotateZ(0.0f) * Matrix4::Scale({scale.x, scale.y, 1.0f});
    const Shader* shader = DebugShader();
    if (shader == nullptr) {
        return;
    }
    // The sprite locations (worldLocation, ...) stay as they are: the next sprite sees another
    // program and takes its own.
    MakeCurrent(shader->program);
    ProgramUniforms& uniforms = programUniforms[currentUniforms];
    UploadCameraOnce(uniforms);
    BindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(points.size()) * kBytesPerPoint,
                 points.data(), GL_STATIC_DRAW);
    glUniformMatrix4fv(uniforms.world, 1, GL_FALSE, world.data());
    Vector4 color{1.0f, 1.0f, 1.0f, 1.0f};
    if (colorName == "green") {
        color = {0.0f, 1.0f, 0.0f, 1.0f};
    } else if (colorName == "red") {
        color = {1.0f, 0.0f, 0.0f, 1.0f};
    }
    glUniform4f(uniforms.passColor, color.r, color.g, color.b, color.a);
    glDrawArrays(primitive, 0, static_cast<GLsizei>(points.size()));
}

void GraphicsSystem::CompileEmitters(
    const std::array<std::vector<Emitter*>, kLayerCount>& emitterLists) {
    // Refilled in place rather than rebuilt, so a frame allocates nothing once they have grown.
    emitterPositions.clear();
    emitterColors.clear();
    emitterRadii.clear();
    for (const auto& layer : emitterLists) {
        for (Emitter* emitter : layer) {
            Transform* transform =
                emitter->owner != nullptr ? emitter->owner->GetComponent<Transform>() : nullptr;
            if (transform == nullptr) {
                continue;
            }
            const Vector2 position = transform->GetWorldPosition();
            emitterPositions.push_back({position.x, position.y, 0.0f});
            emitterRadii.push_back(emitter->radius);
            emitterColors.push_back(emitter->color);
        }
    }
}
