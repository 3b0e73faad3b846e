#pragma once
// A grid of cells laid over the world for route planning: one node per tile-map cell, row-major,
// row 0 at the bottom. A node holding kBlockedNode (a wall) is blocked; every other value is
// open. Cells are centred on their points (PointOfNode), so a cell spans half a cell to each side
// of its point. Routes are breadth-first: every step costs the same, diagonal or not, and among
// routes of equal length the first found in neighbour order wins.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/Vector2.h"

class NavigationGraph {
public:
    // The tile-map cell value of a wall.
    static constexpr std::int32_t kBlockedNode = 5;
    // A node has at most four straight and four diagonal neighbours.
    static constexpr std::size_t kMaxNeighbours = 8;

    // The open neighbours of one node, in the order the search visits them.
    struct Neighbours {
        std::array<std::int32_t, kMaxNeighbours> nodes{};
        std::size_t count = 0;
    };

    NavigationGraph() = default;
    NavigationGraph(std::vector<std::int32_t> nodes, std::int32_t columns, std::int32_t rows,
                    Vector2 origin, float cellWidth, float cellHeight);

    // The centre of cell i; (0, 0) while the graph has no columns.
    Vector2 PointOfNode(std::int32_t node) const;
    // The cell holding p. Points outside the map (and non-finite ones) clamp to the border cells,
    // so every point maps to a node.
    std::int32_t NodeOfPoint(Vector2 p) const;
    // Straight neighbours first (below, right, above, left in index terms: -columns, +1,
    // +columns, -1), then the diagonals between consecutive straight pairs, each only when both
    // straight cells beside it are open, so no route cuts a wall's corner.
    Neighbours OpenNeighbours(std::int32_t node) const;
    // The route from start to goal, both included; empty when the goal cannot be reached or
    // either end is not a node of the graph. The start is used even when it is blocked.
    std::vector<std::int32_t> FindPath(std::int32_t start, std::int32_t goal) const;

    bool IsOpen(std::int32_t node) const;

    std::vector<std::int32_t> nodes;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    Vector2 origin{};
    float cellWidth = 0.0f;
    float cellHeight = 0.0f;

private:
    // Whether `node` indexes a cell of the map (and a value of `nodes`).
    bool Contains(std::int32_t node) const;
};
