#include "graphics/GraphicsSystem.h"

#include <glad/gl.h>

#include "engine/Engine.h"
#include "physics/Transform.h"

GraphicsSystem& GraphicsSystem::Instance() {
    static GraphicsSystem* system = new GraphicsSystem();
    return *system;
}

void GraphicsSystem::Initialize() {
    startFailure = window.Open();
    if (!window.IsOpen()) {
        return;
    }
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(clearColor.r, clearColor.g, clearColor.b, clearColor.a);

    camera.position = {0.0f, 0.0f, 1.0f};
    camera.bounds.reset();
    camera.SetFramebufferSize(window.width, window.height);
}

void GraphicsSystem::Update(float /*dt*/) {
    if (window.ShouldClose()) {
        Engine::Instance().running = false;
    }
    window.PollEvents();
}

void GraphicsSystem::ShutDown() {
    window.Close();
}

void GraphicsSystem::StartDrawing() {
    // Whatever ran since the last frame's drawing (the GUI renderer, asset loading) may have
    // changed bindings and programs.
    ForgetGlState();
    glViewport(0, 0, window.width, window.height);
    UpdateCameraMatrices();
    glClear(GL_COLOR_BUFFER_BIT);
}

void GraphicsSystem::SwapBuffers() {
    ForgetGlState();
    window.SwapBuffers();
}

void GraphicsSystem::UpdateCameraMatrices() {
    camera.Rebuild();
}

void GraphicsSystem::UploadCameraMatrices(unsigned int program) const {
    camera.Upload(program);
}

Vector2 GraphicsSystem::WindowToWorld(double cursorX, double cursorY) const {
    return camera.WindowToWorld(cursorX, cursorY, window.width, window.height);
}

void GraphicsSystem::OnFramebufferResized(int width, int height) {
    window.Resize(width, height);
    camera.SetFramebufferSize(window.width, window.height);
    glViewport(0, 0, window.width, window.height);
    UpdateCameraMatrices();
}

void GraphicsSystem::ForgetGlState() {
    glState.Forget();
}

void GraphicsSystem::DrawSprite(Transform& transform, int program, unsigned int vertexArray,
                                int vertexCount, int texture, Vector2 textureOffset, Vector3 color,
                                float alpha) {
    if (transform.isDirty) {
        transform.UpdateMatrix();
    }
    if (glState.UseProgram(program)) {
        lights.Upload(glState.Current());
    }
    glState.UploadCamera(camera);
    glState.BindVertexArray(vertexArray);
    glState.BindTexture(texture);
    // Nothing is unbound after the draw: the next draw binds what it needs, and code that relies
    // on other bindings sets them itself.
    const GlStateCache::ProgramUniforms& uniforms = glState.Current();
    glUniformMatrix4fv(uniforms.world, 1, GL_FALSE, transform.matrix.data());
    glUniform2f(uniforms.textureOffset, textureOffset.x, textureOffset.y);
    glUniform4f(uniforms.passColor, color.x, color.y, color.z, alpha);
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
}

void GraphicsSystem::DrawDebugShape(const std::vector<Vector2>& points, Vector2 position,
                                    Vector2 scale, unsigned int vertexArray,
                                    unsigned int vertexBuffer, std::string_view colorName,
                                    unsigned int primitive) {
    debugLines.Draw(points, position, scale, vertexArray, vertexBuffer, colorName, primitive);
}

void GraphicsSystem::CompileEmitters(const LightArrays::EmitterLists& emitterLists) {
    lights.Compile(emitterLists);
}
