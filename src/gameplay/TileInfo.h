#pragma once
// What a tile map knows about one tile of its tile sets: the picture it names (a whole image, or
// its part of an image cut into tiles), the kind of object it stands for, and the global id
// cells refer to it by.

#include <cstdint>
#include <string>

#include "engine/Vector2.h"

struct TileInfo {
    // What a tile without an "archetype" property stands for: nothing is created for it.
    static constexpr const char* kNoArchetype = "null";

    // The file name part of the tile's image path (for a tile cut from one image, that image's).
    std::string imageName;
    std::string archetype = kNoArchetype;
    // The tile set's first id plus the tile's id: the value cells hold, their flip bits cleared.
    std::int32_t gid = 0;
    // The image's size as the tile set gives it.
    std::int32_t imageHeight = 0;
    std::int32_t imageWidth = 0;
    // The tile's part of the image in texture coordinates, 0..1 from the image's top left: where
    // it starts and how much of the image it spans. The whole image unless the tile set cuts it.
    Vector2 textureOffset{0.0f, 0.0f};
    Vector2 textureSpan{1.0f, 1.0f};
    // The map's tile size when the tile set was read; the scale of the objects made from it.
    std::int32_t tileWidth = 0;
    std::int32_t tileHeight = 0;
};
