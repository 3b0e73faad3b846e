// The shader descriptor loader on arbitrary bytes: the input is a descriptor, read and built into
// a program (from whatever sources it names) as the shader cache does on a first request (a
// throw is its way of refusing a descriptor, caught by every caller). The cache itself is
// bypassed, since it keeps every program for the whole run; the target deletes each program.

#include <glad/gl.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>

#include "engine/DataDirectories.h"
#include "graphics/Shader.h"
#include "support/FuzzGameTree.h"
#include "support/HiddenGlContext.h"

namespace {
constexpr const char* kDescriptorName = "Fuzz.json";
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzGameTree::Instance();
    MakeHiddenGlContextCurrent();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzGameTree::Instance().Write(ShadersDirectory + kDescriptorName, data, size);
    std::unique_ptr<Shader> shader;
    try {
        shader = LoadShader(kDescriptorName);
    } catch (const std::exception&) {
        return 0;
    }
    if (shader->program > 0) {
        glDeleteProgram(static_cast<GLuint>(shader->program));
    }
    return 0;
}
