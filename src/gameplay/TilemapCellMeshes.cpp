#include "gameplay/TilemapCellMeshes.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graphics/Mesh.h"

namespace {

struct CellMesh {
    Vector2 textureSpan;
    TilemapFlips flips;
    std::unique_ptr<Mesh> mesh;
};

std::vector<CellMesh>& Cache() {
    static auto* cache = new std::vector<CellMesh>();
    return *cache;
}

// A stock texture coordinate (0..1 across the quad, from its top left as the picture is seen)
// to the point of the tile's picture shown there. The editor flips the diagonal first and then
// mirrors, so the lookup undoes the mirrors first and then the diagonal.
Vector2 PicturePoint(Vector2 seen, TilemapFlips flips) {
    Vector2 point{flips.horizontal ? 1.0f - seen.x : seen.x,
                  flips.vertical ? 1.0f - seen.y : seen.y};
    if (flips.diagonal) {
        std::swap(point.x, point.y);
    }
    return point;
}

std::string FlipNames(TilemapFlips flips) {
    std::string names;
    names += flips.horizontal ? "H" : "";
    names += flips.vertical ? "V" : "";
    names += flips.diagonal ? "D" : "";
    return names.empty() ? "unflipped" : names;
}

std::unique_ptr<Mesh> Build(const Mesh& stock, Vector2 span, TilemapFlips flips) {
    auto mesh = std::make_unique<Mesh>();
    mesh->vertices = stock.vertices;
    for (Vertex& vertex : mesh->vertices) {
        const Vector2 point = PicturePoint({vertex.textureCoord[0], vertex.textureCoord[1]}, flips);
        vertex.textureCoord[0] = point.x * span.x;
        vertex.textureCoord[1] = point.y * span.y;
    }
    // Sheet meshes pair their sizes this way round (rows from uSize, columns from vSize), so an
    // animator stepping through a grid without margin or spacing finds its cells.
    mesh->uSize = span.y;
    mesh->vSize = span.x;
    mesh->name = stock.name + " (tile " + std::to_string(span.x) + " x " + std::to_string(span.y) +
                 ", " + FlipNames(flips) + ")";
    BuildMeshBuffers(*mesh);
    return mesh;
}

}  // namespace

Mesh* TilemapCellMeshes::Get(Vector2 textureSpan, TilemapFlips flips) {
    Mesh* stock = GetMesh(kStockMesh);
    if (textureSpan == Vector2{1.0f, 1.0f} && !flips.Any()) {
        return stock;
    }
    for (const CellMesh& cached : Cache()) {
        if (cached.textureSpan == textureSpan && cached.flips == flips) {
            return cached.mesh.get();
        }
    }
    Cache().push_back({textureSpan, flips, Build(*stock, textureSpan, flips)});
    return Cache().back().mesh.get();
}
