#include "gameplay/NavigationGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
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

// How far along a lane its next crossing of a cell edge lies, as a share of the lane: the edge
// after `start` (in cell units) in the direction of `delta`, never for a lane with no extent.
float FirstCrossing(float start, float delta, std::int32_t cell) {
    if (delta > 0.0f) {
        return (static_cast<float>(cell) + 1.0f - start) / delta;
    }
    if (delta < 0.0f) {
        return (start - static_cast<float>(cell)) / -delta;
    }
    return std::numeric_limits<float>::infinity();
}

float CrossingInterval(float delta) {
    return delta != 0.0f ? 1.0f / std::abs(delta) : std::numeric_limits<float>::infinity();
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

void NavigationGraph::StepsTo(std::int32_t goal, std::vector<std::int32_t>& steps,
                              std::vector<std::int32_t>& queue) const {
    steps.assign(nodes.size(), kUnreached);
    queue.clear();
    if (!Contains(goal)) {
        return;
    }
    // Every node enters the queue at most once.
    queue.reserve(nodes.size());
    steps[static_cast<std::size_t>(goal)] = 0;
    queue.push_back(goal);
    for (std::size_t front = 0; front < queue.size(); ++front) {
        const std::int32_t current = queue[front];
        const std::int32_t further = steps[static_cast<std::size_t>(current)] + 1;
        const Neighbours next = OpenNeighbours(current);
        for (std::size_t k = 0; k < next.count; ++k) {
            auto& count = steps[static_cast<std::size_t>(next.nodes[k])];
            if (count == kUnreached) {
                count = further;
                queue.push_back(next.nodes[k]);
            }
        }
    }
}

std::int32_t NavigationGraph::NearestOpenNode(std::int32_t node) const {
    if (!Contains(node)) {
        return kNoNode;
    }
    if (IsOpen(node)) {
        return node;
    }
    const std::int32_t row0 = node / columns;
    const std::int32_t column0 = node % columns;
    const std::int32_t rings = std::max(columns, rows);
    for (std::int32_t ring = 1; ring <= rings; ++ring) {
        std::int32_t best = kNoNode;
        float bestDistance = std::numeric_limits<float>::infinity();
        // Rows upwards and columns rightwards: node order, so a tie keeps the lower index.
        for (std::int32_t row = std::max(row0 - ring, 0); row <= std::min(row0 + ring, rows - 1);
             ++row) {
            const bool edgeRow = std::abs(row - row0) == ring;
            const std::int32_t stride = edgeRow ? 1 : 2 * ring;
            for (std::int32_t column = column0 - ring; column <= column0 + ring; column += stride) {
                if (!IsOpenCell(column, row)) {
                    continue;
                }
                const float across = static_cast<float>(column - column0) * cellWidth;
                const float up = static_cast<float>(row - row0) * cellHeight;
                const float distance = across * across + up * up;
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = row * columns + column;
                }
            }
        }
        if (best != kNoNode) {
            return best;
        }
    }
    return kNoNode;
}

Vector2 NavigationGraph::CellCoordinates(Vector2 p) const {
    return {(p.x - origin.x) / cellWidth + static_cast<float>(columns) * 0.5f + 0.5f,
            (p.y - origin.y) / cellHeight + static_cast<float>(rows) * 0.5f + 0.5f};
}

bool NavigationGraph::Covers(Vector2 p) const {
    if (columns <= 0 || rows <= 0) {
        return false;
    }
    const Vector2 cell = CellCoordinates(p);
    // Written so that a NaN is outside.
    return cell.x >= 0.0f && cell.x < static_cast<float>(columns) && cell.y >= 0.0f &&
           cell.y < static_cast<float>(rows);
}

bool NavigationGraph::IsOpenCell(std::int32_t column, std::int32_t row) const {
    return column >= 0 && column < columns && row >= 0 && row < rows &&
           IsOpen(row * columns + column);
}

bool NavigationGraph::ClearPath(Vector2 from, Vector2 to, float radius) const {
    if (!(radius >= 0.0f) || !Covers(from) || !Covers(to)) {
        return false;
    }
    const Vector2 along = to - from;
    const float length = std::hypot(along.x, along.y);
    if (!(length > 0.0f) || radius == 0.0f) {
        return ClearLane(CellCoordinates(from), CellCoordinates(to));
    }
    // Lanes at most a cell apart on each side of the centre line, the outer ones on the band's
    // edges: a cell is at least a cell wide in every direction, so one inside the band crosses
    // a lane. A body wider than the whole map fits nowhere (and would take lanes without end).
    const float narrowest = std::min(cellWidth, cellHeight);
    if (!(narrowest > 0.0f) || radius > narrowest * static_cast<float>(columns + rows)) {
        return false;
    }
    const auto lanesPerSide = static_cast<std::int32_t>(std::ceil(radius / narrowest));
    const Vector2 normal{-along.y / length, along.x / length};
    for (std::int32_t lane = -lanesPerSide; lane <= lanesPerSide; ++lane) {
        const Vector2 offset =
            normal * (radius * static_cast<float>(lane) / static_cast<float>(lanesPerSide));
        if (!ClearLane(CellCoordinates(from + offset), CellCoordinates(to + offset))) {
            return false;
        }
    }
    return true;
}

bool NavigationGraph::ClearLane(Vector2 from, Vector2 to) const {
    const auto inside = [this](Vector2 cell) {
        return cell.x >= 0.0f && cell.x < static_cast<float>(columns) && cell.y >= 0.0f &&
               cell.y < static_cast<float>(rows);
    };
    if (!inside(from) || !inside(to)) {
        return false;
    }
    auto column = static_cast<std::int32_t>(from.x);
    auto row = static_cast<std::int32_t>(from.y);
    const auto lastColumn = static_cast<std::int32_t>(to.x);
    const auto lastRow = static_cast<std::int32_t>(to.y);
    if (!IsOpenCell(column, row) || !IsOpenCell(lastColumn, lastRow)) {
        return false;
    }
    // A walk over the cells the lane crosses, edge crossing by edge crossing. The number of
    // crossings is known beforehand, so rounding can never make the walk overrun.
    const Vector2 delta = to - from;
    const std::int32_t stepColumn = delta.x > 0.0f ? 1 : -1;
    const std::int32_t stepRow = delta.y > 0.0f ? 1 : -1;
    float nextColumnEdge = FirstCrossing(from.x, delta.x, column);
    float nextRowEdge = FirstCrossing(from.y, delta.y, row);
    const float columnInterval = CrossingInterval(delta.x);
    const float rowInterval = CrossingInterval(delta.y);
    std::int32_t crossings = std::abs(lastColumn - column) + std::abs(lastRow - row);
    while (crossings > 0) {
        if (nextColumnEdge < nextRowEdge) {
            column += stepColumn;
            nextColumnEdge += columnInterval;
            --crossings;
        } else if (nextRowEdge < nextColumnEdge) {
            row += stepRow;
            nextRowEdge += rowInterval;
            --crossings;
        } else {
            // Through a corner: the two cells beside it are grazed.
            if (!IsOpenCell(column + stepColumn, row) || !IsOpenCell(column, row + stepRow)) {
                return false;
            }
            column += stepColumn;
            row += stepRow;
            nextColumnEdge += columnInterval;
            nextRowEdge += rowInterval;
            crossings -= 2;
        }
        if (!IsOpenCell(column, row)) {
            return false;
        }
    }
    return true;
}
