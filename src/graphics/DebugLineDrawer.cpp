#include "graphics/DebugLineDrawer.h"

#include <glad/gl.h>

#include <exception>
#include <string>

#include "engine/Matrix4.h"
#include "engine/TraceLog.h"
#include "engine/Vector4.h"
#include "graphics/CameraMatrices.h"
#include "graphics/GlStateCache.h"
#include "graphics/Shader.h"

namespace {
constexpr const char* kDebugShaderName = "DebugShader.json";
constexpr GLsizeiptr kBytesPerPoint = 2 * sizeof(float);
constexpr Vector4 kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr Vector4 kGreen{0.0f, 1.0f, 0.0f, 1.0f};
constexpr Vector4 kRed{1.0f, 0.0f, 0.0f, 1.0f};

Vector4 ColorNamed(std::string_view name) {
    if (name == "green") {
        return kGreen;
    }
    if (name == "red") {
        return kRed;
    }
    return kWhite;
}
}  // namespace

const Shader* DebugLineDrawer::DebugShader() {
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

void DebugLineDrawer::Draw(const std::vector<Vector2>& points, Vector2 position, Vector2 scale,
                           unsigned int vertexArray, unsigned int vertexBuffer,
                           std::string_view colorName, unsigned int primitive) {
    const Matrix4 world = Matrix4::Translate({position.x, position.y, 0.0f}) *
                          Matrix4::RotateZ(0.0f) * Matrix4::Scale({scale.x, scale.y, 1.0f});
    const Shader* shader = DebugShader();
    if (shader == nullptr) {
        return;
    }
    glState.UseProgram(shader->program);
    glState.UploadCamera(camera);
    glState.BindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(points.size()) * kBytesPerPoint,
                 points.data(), GL_STATIC_DRAW);
    const GlStateCache::ProgramUniforms& uniforms = glState.Current();
    glUniformMatrix4fv(uniforms.world, 1, GL_FALSE, world.data());
    const Vector4 color = ColorNamed(colorName);
    glUniform4f(uniforms.passColor, color.r, color.g, color.b, color.a);
    glDrawArrays(primitive, 0, static_cast<GLsizei>(points.size()));
}
