#include "gameplay/NavigationGraph.h"

#include <algorithm>
#include <utility>

namespace {

// Predecessor marks of the search: the start has none, and a node never reached is unvisited.
constexpr std::int32_t kNoPredecessor = -1;
constexpr std::int32_t kUnvisited = -2;

// The column (or row) of a point offset from the map's lower-left cell edge, clamped to
// 0 .. count - 1. The clamp happens before the conversion to an integer: a point far outside the
// map, an infinity or a NaN (a cell size of 0) would otherwise be an undefined conversion.
std::int32_t CellAlong(float offset, float cellSize, std::int32_t count) {
    const float cell = offset / cellSize;
    if (!(cell >= 1.0f) || count <= 1) {
        return 0;
    }
    if (cell >= static_cast<float>(count - 1)) {
        return count - 1;
    }
    return static_cast<std::int32_t>(cell);
}

}  // namespace

NavigationGraph::NavigationGraph(std::vector<std::int32_t> nodes, std::int32_t columns,
                                 std::int32_t rows, Vector2 origin, float cellWidth,
                                 float cellHeight)
    : nodes(std::move(nodes)),
      columns(columns),
      rows(rows),
      origin(origin),
      cellWidth(cellWidth),
      cellHeight(cellHeight) {}

Vector2 NavigationGraph::PointOfNode(std::int32_t node) const {
    if (columns == 0) {
        return {0.0f, 0.0f};
    }
    const auto column = static_cast<float>(node % columns);
    const auto row = static_cast<float>(node / columns);
    return {column * cellWidth - static_cast<float>(columns) * cellWidth * 0.5f + origin.x,
            row * cellHeight - static_cast<float>(rows) * cellHeight * 0.5f + origin.y};
}

std::int32_t NavigationGraph::NodeOfPoint(Vector2 p) const {
    const float fromLeft =
        p.x - origin.x + cellWidth * 0.5f + static_cast<float>(columns) * cellWidth * 0.5f;
    const float fromBottom =
        p.y - origin.y + cellHeight * 0.5f + static_cast<float>(rows) * cellHeight * 0.5f;
    const std::int32_t column = CellAlong(fromLeft, cellWidth, columns);
    const std::int32_t row = CellAlong(fromBottom, cellHeight, rows);
    return row * columns + column;
}

bool NavigationGraph::Contains(std::int32_t node) const {
    const auto cells = static_cast<std::int64_t>(columns) * rows;
    return node >= 0 && node < cells && static_cast<std::size_t>(node) < nodes.size();
}

bool NavigationGraph::IsOpen(std::int32_t node) const {
    return Contains(node) && nodes[static_cast<std::size_t>(node)] != kBlockedNode;
}

NavigationGraph::Neighbours NavigationGraph::OpenNeighbours(std::int32_t node) const {
    Neighbours found;
    if (columns <= 0 || !Contains(node)) {
        return found;
    }
    const std::int32_t row = node / columns;
    const std::int32_t column = node % columns;
    const std::int32_t below = node - columns;
    const std::int32_t right = node + 1;
    const std::int32_t above = node + columns;
    const std::int32_t left = node - 1;
    const bool belowOpen = row > 0 && IsOpen(below);
    const bool rightOpen = column < columns - 1 && IsOpen(right);
    const bool aboveOpen = row < rows - 1 && IsOpen(above);
    const bool leftOpen = column > 0 && IsOpen(left);
    const auto add = [&found](bool open, std::int32_t neighbour) {
        if (open) {
            found.nodes[found.count++] = neighbour;
        }
    };
    add(belowOpen, below);
    add(rightOpen, right);
    add(aboveOpen, above);
    add(leftOpen, left);
    // Both straight cells beside a diagonal being open puts the diagonal inside the map too.
    add(belowOpen && rightOpen && IsOpen(below + 1), below + 1);
    add(rightOpen && aboveOpen && IsOpen(above + 1), above + 1);
    add(aboveOpen && leftOpen && IsOpen(above - 1), above - 1);
    add(leftOpen && belowOpen && IsOpen(below - 1), below - 1);
    return found;
}

std::vector<std::int32_t> NavigationGraph::FindPath(std::int32_t start, std::int32_t goal) const {
    if (!Contains(start) || !Contains(goal)) {
        return {};
    }
    // Indexed by node: a map over a dense grid.
    std::vector<std::int32_t> predecessor(nodes.size(), kUnvisited);
    std::vector<std::int32_t> queue{start};
    predecessor[static_cast<std::size_t>(start)] = kNoPredecessor;
    for (std::size_t front = 0; front < queue.size(); ++front) {
        const std::int32_t current = queue[front];
        if (current == goal) {
            break;
        }
        const Neighbours next = OpenNeighbours(current);
        for (std::size_t k = 0; k < next.count; ++k) {
            auto& mark = predecessor[static_cast<std::size_t>(next.nodes[k])];
            if (mark == kUnvisited) {
                mark = current;
                queue.push_back(next.nodes[k]);
            }
        }
    }
    if (predecessor[static_cast<std::size_t>(goal)] == kUnvisited) {
        return {};
    }
    std::vector<std::int32_t> route;
    for (std::int32_t node = goal; node != kNoPredecessor;
         node = predecessor[static_cast<std::size_t>(node)]) {
        route.push_back(node);
    }
    std::reverse(route.begin(), route.end());
    return route;
}
