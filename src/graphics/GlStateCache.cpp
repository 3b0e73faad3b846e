#include "graphics/GlStateCache.h"

#include <glad/gl.h>

#include "graphics/CameraMatrices.h"

void GlStateCache::Forget() {
    currentProgram = -1;
    programs.clear();
    current = 0;
    vertexArrayKnown = false;
    textureKnown = false;
}

bool GlStateCache::UseProgram(int program) {
    // -1 is also what currentProgram holds when no program is known, so only a record of the
    // program makes it current already.
    if (program == currentProgram && current < programs.size() &&
        programs[current].program == program) {
        return false;
    }
    const auto name = static_cast<GLuint>(program);
    glUseProgram(name);
    currentProgram = program;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        if (programs[i].program == program) {
            current = i;
            return true;
        }
    }
    ProgramUniforms& uniforms = programs.emplace_back();
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
    current = programs.size() - 1;
    return true;
}

void GlStateCache::UploadCamera(const CameraMatrices& camera) {
    ProgramUniforms& uniforms = Current();
    if (uniforms.cameraUploaded && uniforms.uploadedCamera == camera.RebuildCount()) {
        return;
    }
    glUniformMatrix4fv(uniforms.projection, 1, GL_FALSE, camera.projection.data());
    glUniformMatrix4fv(uniforms.view, 1, GL_FALSE, camera.view.data());
    uniforms.cameraUploaded = true;
    uniforms.uploadedCamera = camera.RebuildCount();
}

void GlStateCache::BindVertexArray(unsigned int vertexArray) {
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

void GlStateCache::BindTexture(int texture) {
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
