// The mesh loader on arbitrary bytes: the input is a mesh file, read and uploaded as the mesh
// cache does on a first request (a throw is its way of refusing a file, caught by every caller).
// The cache itself is bypassed, since it keeps every mesh for the whole run; the target frees
// each mesh's OpenGL objects instead.

#include <glad/gl.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>

#include "engine/DataDirectories.h"
#include "graphics/Mesh.h"
#include "support/FuzzGameTree.h"
#include "support/HiddenGlContext.h"

namespace {
constexpr const char* kMeshName = "Fuzz.json";
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzGameTree::Instance();
    MakeHiddenGlContextCurrent();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzGameTree::Instance().Write(DataDirectory + MeshesDirectory + kMeshName, data, size);
    std::unique_ptr<Mesh> mesh;
    try {
        mesh = LoadMesh(kMeshName);
    } catch (const std::exception&) {
        return 0;
    }
    glDeleteBuffers(1, &mesh->vertexBuffer);
    glDeleteVertexArrays(1, &mesh->vertexArray);
    return 0;
}
