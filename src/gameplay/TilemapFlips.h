#pragma once
// How one cell shows its tile. A tile editor keeps this in the four high bits of the 32-bit cell
// value, above the tile's global id: horizontal, vertical and diagonal flips (the last swaps the
// tile's x and y axes; with the other two it makes the 90, 180 and 270 degree rotations), and a
// 120 degree turn that only hexagonal maps use. The diagonal flip applies first, then the
// horizontal and the vertical one.

#include <cstdint>

struct TilemapFlips {
    static constexpr std::uint32_t kHorizontalBit = 0x80000000u;
    static constexpr std::uint32_t kVerticalBit = 0x40000000u;
    static constexpr std::uint32_t kDiagonalBit = 0x20000000u;
    // Cleared with the others to find the tile; it means nothing on an orthogonal map.
    static constexpr std::uint32_t kHexagonalTurnBit = 0x10000000u;
    static constexpr std::uint32_t kFlagBits =
        kHorizontalBit | kVerticalBit | kDiagonalBit | kHexagonalTurnBit;

    // The global id of the tile a cell value names, its flag bits cleared.
    static constexpr std::int32_t TileId(std::uint32_t cellValue) {
        return static_cast<std::int32_t>(cellValue & ~kFlagBits);
    }
    static constexpr TilemapFlips OfCell(std::uint32_t cellValue) {
        return {(cellValue & kHorizontalBit) != 0, (cellValue & kVerticalBit) != 0,
                (cellValue & kDiagonalBit) != 0};
    }

    bool Any() const { return horizontal || vertical || diagonal; }
    bool operator==(const TilemapFlips&) const = default;

    bool horizontal = false;
    bool vertical = false;
    bool diagonal = false;
};
