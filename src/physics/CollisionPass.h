#pragma once
// The collision pass with a broad phase. The pass is defined as a walk over one sequence of
// colliders (the circles of layer FASTEST, then its lines, then the circles and lines of each
// later layer): each collider in turn against every later one, reporting each touching pair at
// once, so that the push-outs of one report are seen by every later test. That walk is
// quadratic; this one gives the same reports in the same order by testing, for each collider,
// only the later colliders that share a cell of a uniform grid with it, in sequence order, with
// the system's own pair tests.
//
// Skipping a pair is safe only while the grid matches the world, and reports move entities: the
// push-out moves both told entities, and any handler may move any entity. So after every report
// the pass re-places (a) every collider of the two told entities, which catches changes their own
// handlers made to their shapes, and (b) every collider of each entity whose Transform changed
// during the report, and of its descendants (their world positions follow it). Transforms tell
// the pass of their changes through Transform::changeLog. When a collider's cells change, the
// candidates of the collider being tested are gathered again from the next sequence position.
// What the pass cannot see is a handler that changes the shape (radius, vertices, relativePos) of
// a collider on neither told entity while the pass runs; no handler does. (A line is re-measured
// only when what places it changed: its transform, position, scale, offset, vertex array or a
// 64-bit hash of the vertices' bits.)
//
// A circle and a line are tested only when the circle's box meets the box of one of the line's
// segments, and then only at those segments, in order, so the segment recorded as hit is the
// one the full test would record. Colliders that cannot be placed in cells (no Transform, values
// that are not finite, or too big for the grid) are tested against everything, as are line-line
// pairs (a handful per level, and their exact test has its own bound). Every scratch buffer is
// kept between frames, so a pass of a steady scene allocates nothing.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/Vector2.h"

class Collider;
class ColliderCircle;
class ColliderLine;
class ColliderSystem;
class Entity;
class Transform;

class CollisionPass {
public:
    // Runs the whole pass over the live circle and line lists, reporting through `system`.
    void Run(ColliderSystem& system);

private:
    // Where a collider may touch others.
    enum class Reach : std::uint8_t {
        kCells,       // only within its cells
        kEverywhere,  // anywhere: tested against every later collider
        kNowhere,     // nowhere: a line without segments
    };

    struct Box {
        double minX;
        double minY;
        double maxX;
        double maxY;
    };
    static bool Disjoint(const Box& a, const Box& b);

    // Cells from (firstColumn, firstRow) to (lastColumn, lastRow), inclusive.
    struct CellRange {
        std::int32_t firstColumn;
        std::int32_t firstRow;
        std::int32_t lastColumn;
        std::int32_t lastRow;
        bool operator==(const CellRange&) const = default;
    };

    // What places a line's segments. Measuring a wall outline of hundreds of segments again
    // after each of its contacts is the costliest part of following a report; an unchanged
    // fingerprint makes that unnecessary.
    struct LinePlacement {
        const Transform* transform = nullptr;
        Vector2 position{};
        Vector2 scale{};
        Vector2 offset{};
        const Vector2* vertices = nullptr;
        std::size_t count = 0;
        std::uint64_t contents = 0;
        bool operator==(const LinePlacement&) const = default;
    };

    struct Body {
        Collider* collider = nullptr;
        ColliderCircle* circle = nullptr;
        ColliderLine* line = nullptr;
        Reach reach = Reach::kNowhere;
        // Its cells are those listed in the cell index (rather than among the moved entries).
        bool settled = false;
        // The union of the collider's boxes; narrows the candidates further.
        Box bounds{};
        // One range per box (a circle has one box, a line one per segment), a slice of `ranges`;
        // comparing them tells cheaply whether a moved collider changed cells. The boxes
        // themselves are the same slice of `shapes`.
        std::size_t firstRange = 0;
        std::size_t rangeCount = 0;
        // The cells those ranges cover, each once and in increasing order, a slice of
        // `footprints`.
        std::size_t firstCell = 0;
        std::size_t cellCount = 0;
        // Lines only: what they were last measured from.
        LinePlacement placement{};
    };

    static LinePlacement PlacementOf(const ColliderLine& line);

    void CollectBodies();
    void IndexOwners();
    // The boxes the collider can touch anything in (appended to `boxes`), and their union.
    Reach Measure(const Body& body, std::vector<Box>& boxList, Box& bounds) const;
    void ChooseGrid();
    // The cell ranges of `count` boxes from `first` (appended to `rangesOut`); kEverywhere when
    // they cover too many cells.
    Reach RangesOf(const Body& body, const std::vector<Box>& boxList, std::size_t first,
                   std::size_t count, std::vector<CellRange>& rangesOut) const;
    std::int32_t CellColumn(double x) const;
    std::int32_t CellRow(double y) const;
    bool SameRanges(const Body& body, const std::vector<CellRange>& rangeList) const;
    // Gives the body its reach and, in cells, new slices of ranges and cells, listed among the
    // moved entries until the next build of the cell index (built at once when they are many).
    void Link(std::size_t index, Reach reach, const std::vector<CellRange>& rangeList,
              const Box* boxList);
    void Unlink(std::size_t index);
    // Builds the cell index from the cells of every body in cells from sequence position `from`
    // on, compacting their slices; the moved entries are then empty.
    void BuildCellIndex(std::size_t from);

    // The collider at `current` against every later one that may touch it, in sequence order.
    void TestAgainstLater(ColliderSystem& system);
    // The later colliders (from sequence position `from` on) that may touch `index`, in order.
    void GatherCandidates(std::size_t index, std::size_t from);
    // Touch, skipping the test when both are in cells and their boxes show they cannot touch,
    // and for a circle and a line, visiting only the segments whose boxes meet the circle's.
    bool Test(std::size_t first, std::size_t second);
    // The pair test for the two colliders' kinds, with the arguments in the order the pass
    // defines (the earlier collider first, a circle before a line).
    bool Touch(std::size_t first, std::size_t second) const;
    // Reports the pair and brings the grid up to date with whatever the report changed. True
    // when the cells of any collider still to be tested changed.
    bool ReportAndFollow(ColliderSystem& system, std::size_t first, std::size_t second);
    bool Replace(std::size_t index);
    bool ReplaceEntity(const Entity* entity);
    bool ReplaceSubtree(const Entity* entity);

    std::vector<Body> bodies;
    // (owner, body index), sorted by owner.
    std::vector<std::pair<const Entity*, std::size_t>> owners;
    // Sequence positions of the line colliders and of the colliders tested against everything,
    // each sorted.
    std::vector<std::size_t> lineBodies;
    std::vector<std::size_t> everywhere;

    // The grid: `columns` x `rows` cells of `cellSize`, the first at (`originX`, `originY`).
    // Positions outside fall into the border cells.
    double originX = 0.0;
    double originY = 0.0;
    double cellSize = 1.0;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    // The cell index: the settled bodies of cell c are cellEntries[cellStart[c]] up to
    // cellEntries[cellStart[c + 1]]. Bodies whose cells changed since it was built are listed
    // as (cell, body) pairs in movedEntries instead, until there are enough of them to build it
    // again. Flat arrays, so that their capacity carries over to the next frames whichever
    // cells the bodies wander into.
    std::vector<std::size_t> cellStart;
    std::vector<std::size_t> cellFill;
    std::vector<std::size_t> cellEntries;
    std::vector<std::pair<std::int32_t, std::size_t>> movedEntries;
    // Every body's cell ranges and cells, one slice each; a body moved to other cells gets new
    // slices, and a rebuild of the cell index compacts them into the spare pair.
    std::vector<CellRange> ranges;
    std::vector<Box> shapes;
    std::vector<std::int32_t> footprints;
    std::vector<CellRange> spareRanges;
    std::vector<Box> spareShapes;
    std::vector<std::int32_t> spareFootprints;

    // The sequence position of the collider being tested against the later ones.
    std::size_t current = 0;
    // Set while the pass places every collider at its start: the cell index is built once after.
    bool building = false;

    // Scratch, kept for its capacity.
    std::vector<Box> boxes;
    std::vector<std::pair<std::size_t, std::size_t>> boxSlices;
    std::vector<Box> measured;
    std::vector<CellRange> rangeScratch;
    std::vector<double> sizes;
    std::vector<double> centresX;
    std::vector<double> centresY;
    std::vector<std::size_t> candidates;
    std::vector<std::size_t> segmentScratch;
    // The gather that last took each body as a candidate, so it is taken once.
    std::vector<std::uint32_t> gathered;
    std::uint32_t gathering = 0;
    std::vector<Transform*> changedTransforms;
};
