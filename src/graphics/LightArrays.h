#pragma once
// The frame's lights: every live emitter gathered into three parallel arrays (positions, colours,
// radii) as the shaders take them, and their upload to a program.

#include <array>
#include <cstddef>
#include <vector>

#include "engine/Vector3.h"
#include "graphics/GlStateCache.h"

class Emitter;

class LightArrays {
public:
    static constexpr std::size_t kLayerCount = 5;
    using EmitterLists = std::array<std::vector<Emitter*>, kLayerCount>;

    // Rebuilds the arrays from every emitter in the lists, layer by layer, at its entity's world
    // position. Emitters on entities without a Transform cannot be placed and are skipped.
    void Compile(const EmitterLists& emitterLists);
    // Hands every light to the program whose locations these are; the program must be current.
    // No maximum is applied: how many a shader holds is the shader's affair.
    void Upload(const GlStateCache::ProgramUniforms& uniforms) const;

    // z is always 0.
    std::vector<Vector3> positions;
    std::vector<Vector3> colors;
    std::vector<float> radii;
};
