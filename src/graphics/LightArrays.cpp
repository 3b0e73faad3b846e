#include "graphics/LightArrays.h"

#include <glad/gl.h>

#include "entities/Entity.h"
#include "graphics/Emitter.h"
#include "physics/Transform.h"

namespace {
// The arrays go to OpenGL as flat float arrays; Vector3 is three packed floats.
const GLfloat* FloatsOf(const std::vector<Vector3>& vectors) {
    static_assert(sizeof(Vector3) == 3 * sizeof(float));
    return reinterpret_cast<const GLfloat*>(vectors.data());
}
}  // namespace

void LightArrays::Compile(const EmitterLists& emitterLists) {
    // Refilled in place rather than rebuilt, so a frame allocates nothing once they have grown.
    positions.clear();
    colors.clear();
    radii.clear();
    for (const auto& layer : emitterLists) {
        for (Emitter* emitter : layer) {
            Transform* transform =
                emitter->owner != nullptr ? emitter->owner->GetComponent<Transform>() : nullptr;
            if (transform == nullptr) {
                continue;
            }
            const Vector2 position = transform->GetWorldPosition();
            positions.push_back({position.x, position.y, 0.0f});
            radii.push_back(emitter->radius);
            colors.push_back(emitter->color);
        }
    }
}

void LightArrays::Upload(const GlStateCache::ProgramUniforms& uniforms) const {
    const auto count = static_cast<GLsizei>(positions.size());
    glUniform3fv(uniforms.emitterPos, count, FloatsOf(positions));
    glUniform3fv(uniforms.emitterCols, count, FloatsOf(colors));
    glUniform1fv(uniforms.emitterRadii, count, radii.data());
    glUniform1i(uniforms.numLights, count);
}
