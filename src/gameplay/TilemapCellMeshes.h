#pragma once
// The meshes tile-map cells are drawn with. A cell shows its tile's part of an image (the whole
// image, or one tile of an image cut into a grid), flipped as the cell says, on the stock unit
// quad: the quad's texture coordinates are scaled to the part's span, starting at 0 (the cell's
// Sprite moves them onto the part with its textureOffset, as an animation frame of a sheet
// does), then mirrored and swapped for the flips. The flips live in texture space only, so the
// cell's Transform stays the plain cell and nothing that reads it (collision, the wall outline,
// the route graph) can tell a flipped tile from another. Built on first request and shared for
// the whole run, like the meshes read from files; the whole picture unflipped is the stock mesh.

#include "engine/Vector2.h"
#include "gameplay/TilemapFlips.h"

struct Mesh;

class TilemapCellMeshes {
public:
    static constexpr const char* kStockMesh = "1x1Mesh.json";

    // Throws like GetMesh when the stock mesh cannot be loaded.
    static Mesh* Get(Vector2 textureSpan, TilemapFlips flips);
};
