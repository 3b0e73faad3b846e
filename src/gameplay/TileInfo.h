#pragma once
// What a tile map knows about one tile of its tile sets: the picture it names, the kind of
// object it stands for, and the global id cells refer to it by.

#include <cstdint>
#include <string>

struct TileInfo {
    // What a tile without an "archetype" property stands for: nothing is created for it.
    static constexpr const char* kNoArchetype = "null";

    // The file name part of the tile's image path.
    std::string imageName;
    std::string archetype = kNoArchetype;
    // The tile set's first id plus the tile's id: the value cells hold.
    std::int32_t gid = 0;
    std::int32_t imageHeight = 0;
    std::int32_t imageWidth = 0;
    // The map's tile size when the tile set was read; the scale of the objects made from it.
    std::int32_t tileWidth = 0;
    std::int32_t tileHeight = 0;
};
