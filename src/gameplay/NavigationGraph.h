#pragma once
// A grid of cells laid over the world for route planning: one node per tile-map cell, row-major,
// row 0 at the bottom. A node holding kBlockedNode (a wall) is blocked; every other value is
// open. Cells are centred on their points (PointOfNode), so a cell spans half a cell to each side
// of its point. Routes are breadth-first: every step costs the same, diagonal or not, and among
// routes of equal length the first found in neighbour order wins. Besides single routes it
// answers the questions of many followers heading for one goal: the steps from the goal to every
// node (one search for all of them), the open node nearest a blocked one, and whether a body can
// go straight from one point to another without touching a blocked cell.

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
    // The step count of a node that no route reaches, and the node of no open cell.
    static constexpr std::int32_t kUnreached = -1;
    static constexpr std::int32_t kNoNode = -1;

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

    // The number of steps of the shortest route from every node to `goal` (kUnreached where there
    // is none), written into `steps` (indexed by node); `queue` is the search's scratch. Routes
    // run both ways over the same neighbours, so this is also the length of FindPath(goal, node).
    // Both vectors keep their capacity: a search of the same graph again allocates nothing.
    void StepsTo(std::int32_t goal, std::vector<std::int32_t>& steps,
                 std::vector<std::int32_t>& queue) const;
    // `node` when it is open; otherwise the open node nearest to it, searched ring by ring of
    // cells around it (the centre nearest to its centre, the lower index on a tie). kNoNode when
    // nothing is open or `node` is not a node of the graph.
    std::int32_t NearestOpenNode(std::int32_t node) const;
    // Whether p lies on a cell of the map (NodeOfPoint clamps the points that do not).
    bool Covers(Vector2 p) const;
    // Whether a disc of `radius` moving straight from `from` to `to` stays off every blocked cell
    // and inside the map. The band it sweeps is tested along parallel lanes closer together than
    // a cell, so no cell can lie between two lanes unseen; the discs at the two ends are not
    // tested (the body already stands at one, and stops at the other's edge).
    bool ClearPath(Vector2 from, Vector2 to, float radius) const;

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
    // A point in cell units from the lower-left corner of the map: cell (c, r) spans c .. c + 1
    // across and r .. r + 1 up.
    Vector2 CellCoordinates(Vector2 p) const;
    // ClearPath along one lane, between two points given in cell units.
    bool ClearLane(Vector2 from, Vector2 to) const;
    bool IsOpenCell(std::int32_t column, std::int32_t row) const;
};
