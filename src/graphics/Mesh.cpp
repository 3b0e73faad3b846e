#include "graphics/Mesh.h"

#include <glad/gl.h>

#include <cstdint>
#include <exception>
#include <memory>

#include <nlohmann/json.hpp>

#include "SharedDependencies/Source/Stream.h"
#include "engine/DataDirectories.h"
#include "engine/RethrowNamingFile.h"
#include "entities/JsonReaders.h"
#include "graphics/GraphicsSystem.h"

namespace {
constexpr GLsizei kVertexStride = sizeof(Vertex);

std::vector<std::unique_ptr<Mesh>>& Cache() {
    static auto* cache = new std::vector<std::unique_ptr<Mesh>>();
    return *cache;
}

const void* AttributeOffset(std::uintptr_t bytes) {
    return reinterpret_cast<const void*>(bytes);
}

Vertex ReadVertex(const nlohmann::json& element) {
    Vertex vertex{};
    const nlohmann::json& position = element.at("position");
    const nlohmann::json& textureCoord = element.at("textureCoord");
    const nlohmann::json& color = element.at("color");
    for (std::size_t i = 0; i < 2; ++i) {
        vertex.position[i] = JsonToFloat(position.at(i));
        vertex.textureCoord[i] = JsonToFloat(textureCoord.at(i));
    }
    for (std::size_t i = 0; i < 4; ++i) {
        vertex.color[i] = JsonToFloat(color.at(i));
    }
    return vertex;
}

}  // namespace

std::unique_ptr<Mesh> LoadMesh(const std::string& name) {
    const std::string path = DataDirectory + MeshesDirectory + name;
    auto mesh = std::make_unique<Mesh>();
    mesh->version = VersionOf(path);
    try {
        // Read-only open: a missing mesh is reported by name instead of being created empty.
        Stream file(path, Stream::kRead);
        const nlohmann::json data = nlohmann::json::parse(file);
        const nlohmann::json& vertices = data.at("vertices");
        if (!vertices.is_array()) {
            throw nlohmann::json::type_error::create(302, "\"vertices\" must be an array",
                                                     &vertices);
        }
        for (const nlohmann::json& element : vertices) {
            mesh->vertices.push_back(ReadVertex(element));
        }
        // Read before any OpenGL object exists, so a malformed file leaks nothing.
        mesh->uSize = JsonToFloat(data.at("uSize"));
        mesh->vSize = JsonToFloat(data.at("vSize"));
    } catch (const std::exception&) {
        RethrowNamingFile(path);
    }
    BuildMeshBuffers(*mesh);
    mesh->name = name;
    return mesh;
}

unsigned int BuildMeshBuffers(Mesh& mesh) {
    glGenVertexArrays(1, &mesh.vertexArray);
    glBindVertexArray(mesh.vertexArray);
    glGenBuffers(1, &mesh.vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(Vertex)),
                 mesh.vertices.data(), GL_STATIC_DRAW);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, kVertexStride,
                          AttributeOffset(offsetof(Vertex, position)));
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, kVertexStride,
                          AttributeOffset(offsetof(Vertex, textureCoord)));
    glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, kVertexStride,
                          AttributeOffset(offsetof(Vertex, color)));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glEnableVertexAttribArray(2);
    glBindVertexArray(0);
    GraphicsSystem::Instance().ForgetGlState();
    return mesh.vertexArray;
}

ReloadResult ReloadMesh(const std::string& name) {
    for (const auto& mesh : Cache()) {
        if (mesh->name != name) {
            continue;
        }
        if (VersionOf(DataDirectory + MeshesDirectory + name) == mesh->version) {
            return ReloadResult::NotInUse();
        }
        std::unique_ptr<Mesh> fresh;
        try {
            fresh = LoadMesh(name);
        } catch (const std::exception& error) {
            return ReloadResult::Failed(error.what());
        }
        glDeleteVertexArrays(1, &mesh->vertexArray);
        glDeleteBuffers(1, &mesh->vertexBuffer);
        *mesh = std::move(*fresh);
        GraphicsSystem::Instance().ForgetGlState();
        return ReloadResult::Reloaded();
    }
    return ReloadResult::NotInUse();
}

Mesh* GetMesh(const std::string& name) {
    for (const auto& mesh : Cache()) {
        if (mesh->name == name) {
            return mesh.get();
        }
    }
    Cache().push_back(LoadMesh(name));
    return Cache().back().get();
}
