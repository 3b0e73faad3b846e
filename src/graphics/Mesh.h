#pragma once
// Meshes: triangle lists read from JSON files under DataDirectory + "Meshes/", uploaded once
// and shared by name for the whole run. uSize and vSize describe one cell of a sprite sheet.

#include <memory>
#include <string>
#include <vector>

#include "engine/FileVersion.h"
#include "engine/ReloadResult.h"
#include "graphics/Vertex.h"

struct Mesh {
    std::vector<Vertex> vertices;
    unsigned int vertexArray = 0;
    unsigned int vertexBuffer = 0;
    float uSize = 0.0f;
    float vSize = 0.0f;
    std::string name;
    // The mesh file as it was read (see FileVersion).
    FileVersion version;

    int VertexCount() const { return static_cast<int>(vertices.size()); }
};

// The shared record for `name`, loading it on first request. A missing or malformed file
// throws (the JSON library's error where it is one, its message naming the path) and nothing is
// cached.
Mesh* GetMesh(const std::string& name);

// Reads the mesh file `name` and uploads it, without looking at or adding to the shared records.
// Throws like GetMesh, before any OpenGL object exists.
std::unique_ptr<Mesh> LoadMesh(const std::string& name);

// The mesh file `name` changed on disk: a mesh in use takes the new vertices in place, so every
// sprite that draws it shows them. A file that no longer loads keeps the old mesh.
ReloadResult ReloadMesh(const std::string& name);

// Creates the vertex array and buffer for the mesh's vertices; returns the vertex array.
unsigned int BuildMeshBuffers(Mesh& mesh);
