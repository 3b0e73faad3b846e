#include "physics/CollisionPass.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <functional>

#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "physics/ColliderCircle.h"
#include "physics/ColliderLine.h"
#include "physics/ColliderSystem.h"
#include "physics/Transform.h"

namespace {

// The pair tests work in single precision; a box grown by this share of the magnitudes involved
// (about 500 times the rounding of one float operation) holds every point a test can find
// touching, however its rounding falls.
constexpr double kRelativeSlack = 1.0 / 65536.0;
constexpr double kAbsoluteSlack = 1.0 / 1024.0;
// A circle covering more cells than this is tested against everything instead: the cell size
// follows the typical circle, and a rare big one is cheaper to test everywhere than to list.
constexpr std::size_t kMostCellsOfACircle = 64;
// Grid cells per collider at most, and at least this many in all.
constexpr double kCellsPerCollider = 4.0;
constexpr double kFewestCells = 256.0;
// Circle sizes at this quantile set the cell size: most circles cover one to four cells.
constexpr double kCellSizeQuantile = 0.75;
// Positions beyond these quantiles fall into the border cells, so a stray collider far away
// cannot stretch the grid over empty space.
constexpr double kLowQuantile = 0.005;
constexpr double kHighQuantile = 0.995;

bool IsFinite(double value) {
    return std::isfinite(value);
}

bool IsFinite(const double (&values)[4]) {
    return IsFinite(values[0]) && IsFinite(values[1]) && IsFinite(values[2]) &&
           IsFinite(values[3]);
}

double Slack(double magnitude, double extent) {
    return (magnitude + extent) * kRelativeSlack + kAbsoluteSlack;
}

double Quantile(std::vector<double>& values, double share) {
    const auto position = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    const auto nth = values.begin() + static_cast<std::ptrdiff_t>(position);
    std::nth_element(values.begin(), nth, values.end());
    return *nth;
}

// Room for at least `count` elements, with as much again to spare, so that sizes that wobble
// from frame to frame settle on a capacity instead of growing it now and then.
template <class T>
void Reserve(std::vector<T>& values, std::size_t count) {
    if (values.capacity() < count) {
        values.reserve(2 * count);
    }
}

// Moved bodies listed outside the cell index at most before it is built again: each gather
// looks through all of them.
constexpr std::size_t kMostMovedEntries = 64;

bool ByOwner(const std::pair<const Entity*, std::size_t>& a,
             const std::pair<const Entity*, std::size_t>& b) {
    return std::less<const Entity*>{}(a.first, b.first) ||
           (a.first == b.first && a.second < b.second);
}

// Sets Transform::changeLog for the pass and restores it however the pass ends.
class ChangeLogScope {
public:
    explicit ChangeLogScope(std::vector<Transform*>* log) : previous(Transform::changeLog) {
        Transform::changeLog = log;
    }
    ~ChangeLogScope() { Transform::changeLog = previous; }
    ChangeLogScope(const ChangeLogScope&) = delete;
    ChangeLogScope& operator=(const ChangeLogScope&) = delete;

private:
    std::vector<Transform*>* previous;
};

}  // namespace

void CollisionPass::Run(ColliderSystem& system) {
    CollectBodies();
    IndexOwners();
    const std::size_t count = bodies.size();
    Reserve(everywhere, count);
    Reserve(candidates, count);
    Reserve(changedTransforms, kMostMovedEntries);
    // A circle's cells at most, over the limit before the index is built again.
    Reserve(movedEntries, kMostMovedEntries + kMostCellsOfACircle);
    if (gathered.size() < count) {
        Reserve(gathered, count);
        gathered.resize(count);
    }

    boxes.clear();
    boxSlices.clear();
    for (Body& body : bodies) {
        const std::size_t first = boxes.size();
        if (body.line != nullptr) {
            body.placement = PlacementOf(*body.line);
        }
        body.reach = Measure(body, boxes, body.bounds);
        boxSlices.emplace_back(first, boxes.size() - first);
    }
    ChooseGrid();
    Reserve(segmentScratch, boxes.size());

    // A range per box, and a circle mostly covers up to four cells; with room for the slices of
    // the colliders moved between two builds of the cell index.
    Reserve(ranges, boxes.size() + kMostMovedEntries);
    Reserve(shapes, boxes.size() + kMostMovedEntries);
    Reserve(footprints, 4 * (boxes.size() + kMostMovedEntries));
    everywhere.clear();
    ranges.clear();
    shapes.clear();
    footprints.clear();
    movedEntries.clear();
    building = true;
    for (std::size_t i = 0; i < count; ++i) {
        Reach reach = bodies[i].reach;
        bodies[i].reach = Reach::kNowhere;
        rangeScratch.clear();
        if (reach == Reach::kCells) {
            reach = RangesOf(bodies[i], boxes, boxSlices[i].first, boxSlices[i].second,
                             rangeScratch);
        }
        Link(i, reach, rangeScratch, boxes.data() + boxSlices[i].first);
    }
    building = false;
    BuildCellIndex(0);

    changedTransforms.clear();
    const ChangeLogScope watch(&changedTransforms);
    for (current = 0; current < count; ++current) {
        if (bodies[current].collider->OwnerTransform() != nullptr) {
            TestAgainstLater(system);
        }
        // Done: nothing tests against it again.
        Unlink(current);
    }
}

void CollisionPass::TestAgainstLater(ColliderSystem& system) {
    const std::size_t count = bodies.size();
    std::size_t from = current + 1;
    while (from < count) {
        if (bodies[current].reach == Reach::kEverywhere) {
            for (std::size_t other = from; other < count; ++other) {
                if (Touch(current, other)) {
                    ReportAndFollow(system, current, other);
                }
            }
            return;
        }
        GatherCandidates(current, from);
        bool gatherAgain = false;
        for (const std::size_t other : candidates) {
            if (!Test(current, other)) {
                continue;
            }
            from = other + 1;
            if (ReportAndFollow(system, current, other)) {
                gatherAgain = true;
                break;
            }
        }
        if (!gatherAgain) {
            return;
        }
    }
}

void CollisionPass::CollectBodies() {
    bodies.clear();
    lineBodies.clear();
    const auto& circleLayers = ComponentListSystem<ColliderCircle>::Instance().Layers();
    const auto& lineLayers = ComponentListSystem<ColliderLine>::Instance().Layers();
    for (std::size_t k = 0; k < circleLayers.size(); ++k) {
        for (ColliderCircle* circle : circleLayers[k]) {
            bodies.push_back(Body{.collider = circle, .circle = circle});
        }
        for (ColliderLine* line : lineLayers[k]) {
            lineBodies.push_back(bodies.size());
            bodies.push_back(Body{.collider = line, .line = line});
        }
    }
}

void CollisionPass::IndexOwners() {
    owners.clear();
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        if (const Entity* owner = bodies[i].collider->owner) {
            owners.emplace_back(owner, i);
        }
    }
    std::sort(owners.begin(), owners.end(), ByOwner);
}

CollisionPass::Reach CollisionPass::Measure(const Body& body, std::vector<Box>& boxList,
                                            Box& bounds) const {
    // Placed as the pair tests place it: the entity's world position plus relativePos, radii
    // scaled by the larger of the entity's own scale components, segment ends by scale.x (first)
    // and scale.y (second).
    Transform* transform = body.collider->OwnerTransform();
    if (transform == nullptr) {
        return Reach::kEverywhere;
    }
    const Vector2 scale = transform->scale;
    if (body.circle != nullptr) {
        const float factor = scale.y > scale.x ? scale.y : scale.x;
        const Vector2 centre = transform->GetWorldPosition() + body.circle->relativePos;
        // A negative radius still reaches that far: the tests square the sum of the radii.
        const double reach = std::abs(static_cast<double>(factor * body.circle->radius));
        const double x = centre.x;
        const double y = centre.y;
        const double half = reach + Slack(std::max(std::abs(x), std::abs(y)), reach);
        const double edges[4] = {x - half, y - half, x + half, y + half};
        if (!IsFinite(edges)) {
            return Reach::kEverywhere;
        }
        bounds = {edges[0], edges[1], edges[2], edges[3]};
        boxList.push_back(bounds);
        return Reach::kCells;
    }

    const ColliderLine& line = *body.line;
    const Vector2 centre = transform->GetWorldPosition() + line.relativePos;
    const std::vector<Vector2>& vertices = line.vertices;
    const std::size_t first = boxList.size();
    for (std::size_t i = 0; i + 1 < vertices.size(); i += 2) {
        const Vector2 a = centre + vertices[i] * scale.x;
        const Vector2 b = centre + vertices[i + 1] * scale.y;
        const double minX = std::min<double>(a.x, b.x);
        const double minY = std::min<double>(a.y, b.y);
        const double maxX = std::max<double>(a.x, b.x);
        const double maxY = std::max<double>(a.y, b.y);
        const double magnitude =
            std::max({std::abs(minX), std::abs(minY), std::abs(maxX), std::abs(maxY)});
        const double slack = Slack(magnitude, std::max(maxX - minX, maxY - minY));
        const double edges[4] = {minX - slack, minY - slack, maxX + slack, maxY + slack};
        if (!IsFinite(edges)) {
            boxList.resize(first);
            return Reach::kEverywhere;
        }
        const Box box{edges[0], edges[1], edges[2], edges[3]};
        if (boxList.size() == first) {
            bounds = box;
        } else {
            bounds = {std::min(bounds.minX, box.minX), std::min(bounds.minY, box.minY),
                      std::max(bounds.maxX, box.maxX), std::max(bounds.maxY, box.maxY)};
        }
        boxList.push_back(box);
    }
    return boxList.size() == first ? Reach::kNowhere : Reach::kCells;
}

void CollisionPass::ChooseGrid() {
    sizes.clear();
    centresX.clear();
    centresY.clear();
    Reserve(sizes, boxes.size());
    Reserve(centresX, boxes.size());
    Reserve(centresY, boxes.size());
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        if (bodies[i].reach != Reach::kCells) {
            continue;
        }
        const auto [first, count] = boxSlices[i];
        for (std::size_t j = first; j < first + count; ++j) {
            const Box& box = boxes[j];
            centresX.push_back((box.minX + box.maxX) * 0.5);
            centresY.push_back((box.minY + box.maxY) * 0.5);
            if (bodies[i].circle != nullptr) {
                sizes.push_back(std::max(box.maxX - box.minX, box.maxY - box.minY));
            }
        }
    }
    columns = 0;
    rows = 0;
    if (centresX.empty()) {
        return;
    }
    const double lowX = Quantile(centresX, kLowQuantile);
    const double highX = Quantile(centresX, kHighQuantile);
    const double lowY = Quantile(centresY, kLowQuantile);
    const double highY = Quantile(centresY, kHighQuantile);
    double size = sizes.empty() ? std::max(highX - lowX, highY - lowY) / 16.0
                                : Quantile(sizes, kCellSizeQuantile);
    if (!(size > 0.0) || !IsFinite(size)) {
        size = 1.0;
    }
    const double mostCells =
        std::max(kFewestCells, kCellsPerCollider * static_cast<double>(bodies.size()));
    double across = 0.0;
    double down = 0.0;
    for (;;) {
        across = std::floor((highX - lowX) / size) + 1.0;
        down = std::floor((highY - lowY) / size) + 1.0;
        if (across * down <= mostCells) {
            break;
        }
        size *= 2.0;
    }
    cellSize = size;
    originX = lowX;
    originY = lowY;
    columns = static_cast<std::int32_t>(across);
    rows = static_cast<std::int32_t>(down);
}

std::int32_t CollisionPass::CellColumn(double x) const {
    const double column = std::floor((x - originX) / cellSize);
    return static_cast<std::int32_t>(std::clamp(column, 0.0, static_cast<double>(columns - 1)));
}

std::int32_t CollisionPass::CellRow(double y) const {
    const double row = std::floor((y - originY) / cellSize);
    return static_cast<std::int32_t>(std::clamp(row, 0.0, static_cast<double>(rows - 1)));
}

CollisionPass::Reach CollisionPass::RangesOf(const Body& body, const std::vector<Box>& boxList,
                                             std::size_t first, std::size_t count,
                                             std::vector<CellRange>& rangesOut) const {
    if (columns == 0) {
        return Reach::kEverywhere;
    }
    const std::size_t limit =
        body.line != nullptr
            ? std::max(kMostCellsOfACircle,
                       static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows) / 2)
            : kMostCellsOfACircle;
    const std::size_t start = rangesOut.size();
    std::size_t covered = 0;
    for (std::size_t i = first; i < first + count; ++i) {
        const Box& box = boxList[i];
        const CellRange range{CellColumn(box.minX), CellRow(box.minY), CellColumn(box.maxX),
                              CellRow(box.maxY)};
        covered += static_cast<std::size_t>(range.lastColumn - range.firstColumn + 1) *
                   static_cast<std::size_t>(range.lastRow - range.firstRow + 1);
        if (covered > limit) {
            rangesOut.resize(start);
            return Reach::kEverywhere;
        }
        rangesOut.push_back(range);
    }
    return Reach::kCells;
}

bool CollisionPass::SameRanges(const Body& body, const std::vector<CellRange>& rangeList) const {
    return body.rangeCount == rangeList.size() &&
           std::equal(rangeList.begin(), rangeList.end(),
                      ranges.begin() + static_cast<std::ptrdiff_t>(body.firstRange));
}

void CollisionPass::Link(std::size_t index, Reach reach, const std::vector<CellRange>& rangeList,
                         const Box* boxList) {
    Body& body = bodies[index];
    body.reach = reach;
    body.settled = false;
    body.rangeCount = 0;
    body.cellCount = 0;
    if (reach == Reach::kEverywhere) {
        everywhere.insert(std::lower_bound(everywhere.begin(), everywhere.end(), index), index);
        return;
    }
    if (reach != Reach::kCells) {
        return;
    }
    body.firstRange = ranges.size();
    body.rangeCount = rangeList.size();
    ranges.insert(ranges.end(), rangeList.begin(), rangeList.end());
    shapes.insert(shapes.end(), boxList, boxList + rangeList.size());
    body.firstCell = footprints.size();
    for (const CellRange& range : rangeList) {
        for (std::int32_t row = range.firstRow; row <= range.lastRow; ++row) {
            for (std::int32_t column = range.firstColumn; column <= range.lastColumn; ++column) {
                footprints.push_back(row * columns + column);
            }
        }
    }
    const auto footprint = footprints.begin() + static_cast<std::ptrdiff_t>(body.firstCell);
    if (rangeList.size() > 1) {
        std::sort(footprint, footprints.end());
        footprints.erase(std::unique(footprint, footprints.end()), footprints.end());
    }
    body.cellCount = footprints.size() - body.firstCell;
    if (building) {
        return;
    }
    for (std::size_t i = body.firstCell; i < footprints.size(); ++i) {
        movedEntries.emplace_back(footprints[i], index);
    }
    if (movedEntries.size() > kMostMovedEntries) {
        BuildCellIndex(current);
    }
}

void CollisionPass::Unlink(std::size_t index) {
    Body& body = bodies[index];
    if (body.reach == Reach::kEverywhere) {
        const auto found = std::lower_bound(everywhere.begin(), everywhere.end(), index);
        if (found != everywhere.end() && *found == index) {
            everywhere.erase(found);
        }
    } else if (body.reach == Reach::kCells && !body.settled) {
        std::erase_if(movedEntries, [index](const auto& entry) { return entry.second == index; });
    }
    body.reach = Reach::kNowhere;
    body.settled = false;
    body.rangeCount = 0;
    body.cellCount = 0;
}

void CollisionPass::BuildCellIndex(std::size_t from) {
    const std::size_t cellTotal =
        static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
    Reserve(cellStart, cellTotal + 1);
    Reserve(cellFill, cellTotal);
    cellStart.assign(cellTotal + 1, 0);
    spareRanges.reserve(ranges.capacity());
    spareShapes.reserve(shapes.capacity());
    spareFootprints.reserve(footprints.capacity());
    spareRanges.clear();
    spareShapes.clear();
    spareFootprints.clear();
    for (std::size_t i = from; i < bodies.size(); ++i) {
        Body& body = bodies[i];
        if (body.reach != Reach::kCells) {
            continue;
        }
        const auto rangesFrom = ranges.begin() + static_cast<std::ptrdiff_t>(body.firstRange);
        const auto cellsFrom = footprints.begin() + static_cast<std::ptrdiff_t>(body.firstCell);
        const auto shapesFrom = shapes.begin() + static_cast<std::ptrdiff_t>(body.firstRange);
        body.firstRange = spareRanges.size();
        spareRanges.insert(spareRanges.end(), rangesFrom,
                           rangesFrom + static_cast<std::ptrdiff_t>(body.rangeCount));
        spareShapes.insert(spareShapes.end(), shapesFrom,
                           shapesFrom + static_cast<std::ptrdiff_t>(body.rangeCount));
        body.firstCell = spareFootprints.size();
        spareFootprints.insert(spareFootprints.end(), cellsFrom,
                               cellsFrom + static_cast<std::ptrdiff_t>(body.cellCount));
        for (auto cell = cellsFrom; cell != cellsFrom + static_cast<std::ptrdiff_t>(body.cellCount);
             ++cell) {
            ++cellStart[static_cast<std::size_t>(*cell) + 1];
        }
        body.settled = true;
    }
    ranges.swap(spareRanges);
    shapes.swap(spareShapes);
    footprints.swap(spareFootprints);
    for (std::size_t c = 0; c < cellTotal; ++c) {
        cellStart[c + 1] += cellStart[c];
    }
    Reserve(cellEntries, cellStart[cellTotal]);
    cellEntries.resize(cellStart[cellTotal]);
    cellFill.assign(cellStart.begin(), cellStart.begin() + static_cast<std::ptrdiff_t>(cellTotal));
    for (std::size_t i = from; i < bodies.size(); ++i) {
        const Body& body = bodies[i];
        if (body.reach != Reach::kCells) {
            continue;
        }
        for (std::size_t j = body.firstCell; j < body.firstCell + body.cellCount; ++j) {
            cellEntries[cellFill[static_cast<std::size_t>(footprints[j])]++] = i;
        }
    }
    movedEntries.clear();
}

void CollisionPass::GatherCandidates(std::size_t index, std::size_t from) {
    candidates.clear();
    if (++gathering == 0) {
        std::fill(gathered.begin(), gathered.end(), 0);
        gathering = 1;
    }
    const auto take = [&](std::size_t other) {
        if (other >= from && gathered[other] != gathering) {
            gathered[other] = gathering;
            candidates.push_back(other);
        }
    };
    const Body& body = bodies[index];
    const auto cellsFrom = footprints.begin() + static_cast<std::ptrdiff_t>(body.firstCell);
    const auto cellsTo = cellsFrom + static_cast<std::ptrdiff_t>(body.cellCount);
    for (auto cell = cellsFrom; cell != cellsTo; ++cell) {
        const auto c = static_cast<std::size_t>(*cell);
        for (std::size_t k = cellStart[c]; k < cellStart[c + 1]; ++k) {
            if (bodies[cellEntries[k]].settled) {
                take(cellEntries[k]);
            }
        }
    }
    for (const auto& [cell, other] : movedEntries) {
        if (std::binary_search(cellsFrom, cellsTo, cell)) {
            take(other);
        }
    }
    for (auto other = std::lower_bound(everywhere.begin(), everywhere.end(), from);
         other != everywhere.end(); ++other) {
        take(*other);
    }
    if (body.line != nullptr) {
        for (auto other = std::lower_bound(lineBodies.begin(), lineBodies.end(), from);
             other != lineBodies.end(); ++other) {
            take(*other);
        }
    }
    std::sort(candidates.begin(), candidates.end());
}

bool CollisionPass::Disjoint(const Box& a, const Box& b) {
    return a.maxX < b.minX || b.maxX < a.minX || a.maxY < b.minY || b.maxY < a.minY;
}

bool CollisionPass::Test(std::size_t first, std::size_t second) {
    const Body& a = bodies[first];
    const Body& b = bodies[second];
    // Two lines are always tested in full (their crossing test classifies in single precision,
    // so no box is trusted there); so is any collider not in cells.
    if (a.reach != Reach::kCells || b.reach != Reach::kCells ||
        (a.line != nullptr && b.line != nullptr)) {
        return Touch(first, second);
    }
    if (Disjoint(a.bounds, b.bounds)) {
        return false;
    }
    if (a.line == nullptr && b.line == nullptr) {
        return Touch(first, second);
    }
    // A circle touches a line only within the box of one of its segments, and a wall outline
    // has hundreds of segments: only those whose boxes meet the circle's are looked at.
    const Body& line = a.line != nullptr ? a : b;
    const Body& circle = a.line != nullptr ? b : a;
    segmentScratch.clear();
    for (std::size_t j = 0; j < line.rangeCount; ++j) {
        if (!Disjoint(shapes[line.firstRange + j], circle.bounds)) {
            segmentScratch.push_back(j);
        }
    }
    return !segmentScratch.empty() &&
           ColliderSystem::CircleTouchesLineSegments(circle.circle, line.line, segmentScratch);
}

bool CollisionPass::Touch(std::size_t first, std::size_t second) const {
    const Body& a = bodies[first];
    const Body& b = bodies[second];
    if (a.circle != nullptr) {
        return b.circle != nullptr ? ColliderSystem::CirclesTouch(a.circle, b.circle)
                                   : ColliderSystem::CircleTouchesLine(a.circle, b.line);
    }
    return b.circle != nullptr ? ColliderSystem::CircleTouchesLine(b.circle, a.line)
                               : ColliderSystem::LinesTouch(a.line, b.line);
}

bool CollisionPass::ReportAndFollow(ColliderSystem& system, std::size_t first,
                                    std::size_t second) {
    Collider* a = bodies[first].collider;
    Collider* b = bodies[second].collider;
    system.ReportCollision(a, b);

    bool changed = ReplaceEntity(a->owner);
    if (b->owner != a->owner) {
        changed = ReplaceEntity(b->owner) || changed;
    }
    if (!changedTransforms.empty()) {
        std::sort(changedTransforms.begin(), changedTransforms.end());
        changedTransforms.erase(std::unique(changedTransforms.begin(), changedTransforms.end()),
                                changedTransforms.end());
        for (const Transform* transform : changedTransforms) {
            if (transform->owner != nullptr) {
                changed = ReplaceSubtree(transform->owner) || changed;
            }
        }
        changedTransforms.clear();
    }
    return changed;
}

CollisionPass::LinePlacement CollisionPass::PlacementOf(const ColliderLine& line) {
    LinePlacement placement;
    Transform* transform = line.OwnerTransform();
    if (transform == nullptr) {
        return placement;
    }
    placement.transform = transform;
    placement.position = transform->GetWorldPosition();
    placement.scale = transform->scale;
    placement.offset = line.relativePos;
    placement.vertices = line.vertices.data();
    placement.count = line.vertices.size();
    // The vertices' bits, so that a vertex edited in place counts as a change.
    std::uint64_t contents = 0;
    for (const Vector2 vertex : line.vertices) {
        contents = (contents ^ std::bit_cast<std::uint32_t>(vertex.x)) * 0x100000001b3ULL;
        contents = (contents ^ std::bit_cast<std::uint32_t>(vertex.y)) * 0x100000001b3ULL;
    }
    placement.contents = contents;
    return placement;
}

bool CollisionPass::ReplaceEntity(const Entity* entity) {
    if (entity == nullptr) {
        return false;
    }
    bool changed = false;
    auto found = std::lower_bound(owners.begin(), owners.end(),
                                  std::pair{entity, std::size_t{0}}, ByOwner);
    for (; found != owners.end() && found->first == entity; ++found) {
        changed = Replace(found->second) || changed;
    }
    return changed;
}

bool CollisionPass::ReplaceSubtree(const Entity* entity) {
    bool changed = ReplaceEntity(entity);
    for (const Entity* child : entity->children) {
        changed = ReplaceSubtree(child) || changed;
    }
    return changed;
}

bool CollisionPass::Replace(std::size_t index) {
    // Colliders already done are never tested again.
    if (index < current) {
        return false;
    }
    Body& body = bodies[index];
    if (body.line != nullptr) {
        const LinePlacement placement = PlacementOf(*body.line);
        if (placement.transform != nullptr && placement == body.placement) {
            return false;
        }
        body.placement = placement;
    }
    measured.clear();
    Box bounds{};
    Reach reach = Measure(body, measured, bounds);
    rangeScratch.clear();
    if (reach == Reach::kCells) {
        reach = RangesOf(body, measured, 0, measured.size(), rangeScratch);
    }
    body.bounds = bounds;
    if (reach == body.reach && (reach != Reach::kCells || SameRanges(body, rangeScratch))) {
        // Same cells, but the boxes within them may have moved.
        if (reach == Reach::kCells) {
            std::copy(measured.begin(), measured.end(),
                      shapes.begin() + static_cast<std::ptrdiff_t>(body.firstRange));
        }
        return false;
    }
    Unlink(index);
    Link(index, reach, rangeScratch, measured.data());
    return true;
}
