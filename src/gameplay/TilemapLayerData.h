#pragma once
// The cells of one tile layer as a tile editor saves them: a JSON array of numbers, or the same
// 32-bit values as little-endian bytes in base64 text ("encoding": "base64"), those bytes
// optionally zlib- or gzip-compressed ("compression"). Each value is a tile's global id with its
// flip bits above it (TilemapFlips). Decoded to exactly width x height values in file order, the
// top row first, or refused with a TilemapFileError naming the layer and the problem.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

class TilemapLayerData {
public:
    // `where` names the layer in reports ("layers[0]").
    static std::vector<std::uint32_t> Decode(const nlohmann::json& layer, const std::string& where,
                                             std::size_t cells);
};
