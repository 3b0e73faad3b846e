#include "physics/ColliderSystem.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "engine/ComponentType.h"
#include "entities/Entity.h"
#include "physics/ColliderCircle.h"
#include "entities/ComponentListSystem.h"
#include "physics/ColliderLine.h"
#include "physics/Physics.h"
#include "physics/Transform.h"

namespace {

using Segment = ColliderLine::Segment;

float Dot(Vector2 a, Vector2 b) {
    return a.x * b.x + a.y * b.y;
}

float LengthSquared(Vector2 v) {
    return Dot(v, v);
}

// Where a collider sits for the tests: its centre, the entity's own (local) scale, and the scale
// factor that multiplies radii, the larger of the two scale components (x when they are equal or
// unordered).
struct Placement {
    Vector2 centre;
    Vector2 scale;
    float scaleFactor;
};

std::optional<Placement> Place(const Collider& collider, Vector2 relativePos) {
    Transform* transform = collider.OwnerTransform();
    if (transform == nullptr) {
        return std::nullopt;
    }
    const Vector2 scale = transform->scale;
    return Placement{transform->GetWorldPosition() + relativePos, scale,
                     scale.y > scale.x ? scale.y : scale.x};
}

// The first endpoint is scaled by scale.x and the second by scale.y, each in both coordinates
// rather than per axis; the two placements agree for a uniform scale, which is what the data uses.
Segment PlaceSegment(const Placement& line, Vector2 first, Vector2 second) {
    return {line.centre + first * line.scale.x, line.centre + second * line.scale.y};
}

// Inclusive: a segment exactly `radius` away touches.
bool SegmentWithinRadius(const Segment& segment, Vector2 centre, float radiusSquared) {
    if (radiusSquared >= LengthSquared(segment.first - centre) ||
        radiusSquared >= LengthSquared(segment.second - centre)) {
        return true;
    }
    const Vector2 along = segment.second - segment.first;
    const float lengthSquared = LengthSquared(along);
    if (lengthSquared == 0.0f) {
        return false;
    }
    const float t = std::clamp(Dot(centre - segment.first, along) / lengthSquared, 0.0f, 1.0f);
    const Vector2 nearest = segment.first + along * t;
    return radiusSquared >= LengthSquared(nearest - centre);
}

enum class Turn { kCollinear, kPositive, kNegative };

// The sign of the cross product, computed in single precision and classified in double.
Turn Orientation(Vector2 a, Vector2 b, Vector2 x) {
    const float cross = (x.x - a.x) * (b.y - a.y) - (x.y - a.y) * (b.x - a.x);
    const auto value = static_cast<double>(cross);
    if (std::abs(value) < ColliderSystem::kCollinearTolerance) {
        return Turn::kCollinear;
    }
    return value > 0.0 ? Turn::kPositive : Turn::kNegative;
}

bool WithinBox(Vector2 point, const Segment& box) {
    return std::min(box.first.x, box.second.x) <= point.x &&
           point.x <= std::max(box.first.x, box.second.x) &&
           std::min(box.first.y, box.second.y) <= point.y &&
           point.y <= std::max(box.first.y, box.second.y);
}

bool SegmentsTouch(const Segment& p, const Segment& q) {
    const Turn o1 = Orientation(p.first, p.second, q.first);
    const Turn o2 = Orientation(p.first, p.second, q.second);
    const Turn o3 = Orientation(q.first, q.second, p.first);
    const Turn o4 = Orientation(q.first, q.second, p.second);
    return (o1 != o2 && o3 != o4) || (o1 == Turn::kCollinear && WithinBox(q.first, p)) ||
           (o2 == Turn::kCollinear && WithinBox(q.second, p)) ||
           (o3 == Turn::kCollinear && WithinBox(p.first, q)) ||
           (o4 == Turn::kCollinear && WithinBox(p.second, q));
}

}  // namespace

ColliderSystem& ColliderSystem::Instance() {
    static auto* system = new ColliderSystem();
    return *system;
}

void ColliderSystem::Update(float /*dt*/) {
    // An entity records at most one component per type: room for the components of both
    // entities of a report, so that telling them never allocates.
    toldComponents.reserve(2 * kComponentTypeCount);
    // A fast body can pass a wall between two ticks without ever touching it; stopped where it
    // first reaches the wall, it touches it in the pass like a slow one.
    KeepBodiesOutOfWalls();
    pass.Run(*this);
    // The pass's responses (a crowd pushing a body) may have carried a body across a wall or into
    // it: walls have the last word.
    KeepBodiesOutOfWalls();
    SettleAgainstWalls();
}

namespace {

// Where the path from `from` to `to` crosses the segment, as a share of the path (0 to 1); none
// when it does not cross it or runs along it.
std::optional<float> Crossing(Vector2 from, Vector2 to, const Segment& segment) {
    const Vector2 path = to - from;
    const Vector2 side = segment.second - segment.first;
    const float denominator = path.x * side.y - path.y * side.x;
    if (denominator == 0.0f) {
        return std::nullopt;
    }
    const Vector2 offset = segment.first - from;
    const float alongPath = (offset.x * side.y - offset.y * side.x) / denominator;
    const float alongSide = (offset.x * path.y - offset.y * path.x) / denominator;
    if (!(alongPath >= 0.0f && alongPath <= 1.0f && alongSide >= 0.0f && alongSide <= 1.0f)) {
        return std::nullopt;
    }
    return alongPath;
}

float DistanceToSegment(Vector2 point, const Segment& segment) {
    const Vector2 along = segment.second - segment.first;
    const float lengthSquared = LengthSquared(along);
    const float t = lengthSquared > 0.0f
                        ? std::clamp(Dot(point - segment.first, along) / lengthSquared, 0.0f, 1.0f)
                        : 0.0f;
    return std::sqrt(LengthSquared(segment.first + along * t - point));
}

// Bisection steps for the point where a path reaches a wall: 2^-24 of the path, below a float's
// resolution of the positions.
constexpr int kReachSteps = 24;

}  // namespace

bool ColliderSystem::KeepOutOfWall(ColliderCircle& circle, Vector2 from, Transform& transform,
                                   ColliderLine& line) {
    const std::optional<Placement> shape = Place(line, line.relativePos);
    const std::optional<Placement> round = Place(circle, circle.relativePos);
    if (!shape || !round) {
        return false;
    }
    const Vector2 offset = round->centre - transform.GetWorldPosition();
    const Vector2 start = from + offset;
    const Vector2 end = round->centre;
    const float radius = round->scaleFactor * circle.radius;
    // Neither end of the path near the outline's bounds: nothing to cross.
    const float reach = shape->scaleFactor * line.boundingRadius + radius;
    const Vector2 middle = (start + end) * 0.5f;
    const float halfPath = std::sqrt(LengthSquared(end - start)) * 0.5f;
    if (LengthSquared(middle - shape->centre) > (reach + halfPath) * (reach + halfPath)) {
        return false;
    }
    // The earliest crossing of any segment.
    std::optional<float> first;
    Segment crossed{};
    const std::vector<Vector2>& vertices = line.vertices;
    for (std::size_t i = 0; i + 1 < vertices.size(); i += 2) {
        const Segment segment = PlaceSegment(*shape, vertices[i], vertices[i + 1]);
        const std::optional<float> at = Crossing(start, end, segment);
        if (at && (!first || *at < *first)) {
            first = at;
            crossed = segment;
        }
    }
    if (!first) {
        return false;
    }
    // Back along the path to where the body first touches the crossed segment: its centre stays
    // on the side it came from, so the pass pushes it out on that side.
    float low = 0.0f;
    float high = *first;
    const Vector2 path = end - start;
    if (DistanceToSegment(start, crossed) <= radius) {
        high = 0.0f;
    }
    for (int step = 0; step < kReachSteps && high > 0.0f; ++step) {
        const float mid = (low + high) * 0.5f;
        if (DistanceToSegment(start + path * mid, crossed) <= radius) {
            high = mid;
        } else {
            low = mid;
        }
    }
    // The first point found touching, so the pass reports the contact; a point before the
    // crossing itself, so the centre is still on its side (a body of no size stops short).
    const float keep = high < *first ? high : low;
    transform.SetPosition(transform.position - path * (1.0f - keep));
    return true;
}

void ColliderSystem::KeepBodiesOutOfWalls() {
    const auto& lineLayers = ComponentListSystem<ColliderLine>::Instance().Layers();
    for (const auto& circles : ComponentListSystem<ColliderCircle>::Instance().Layers()) {
        for (ColliderCircle* circle : circles) {
            Entity* owner = circle->owner;
            Transform* transform = circle->OwnerTransform();
            Physics* physics = owner != nullptr ? owner->GetComponent<Physics>() : nullptr;
            if (transform == nullptr || physics == nullptr || transform->isStatic ||
                owner->name == kPointerEntityName) {
                continue;
            }
            // Where the body stood when this tick began, in world coordinates.
            const Vector2 from =
                transform->GetWorldPosition() + (physics->oldPosition - transform->position);
            for (const auto& lines : lineLayers) {
                for (ColliderLine* line : lines) {
                    if (line->isSolid && line->owner != owner) {
                        KeepOutOfWall(*circle, from, *transform, *line);
                    }
                }
            }
        }
    }
}

void ColliderSystem::SettleAgainstWalls() {
    const auto& lineLayers = ComponentListSystem<ColliderLine>::Instance().Layers();
    for (const auto& circles : ComponentListSystem<ColliderCircle>::Instance().Layers()) {
        for (ColliderCircle* circle : circles) {
            if (!circle->isSolid || circle->owner == nullptr) {
                continue;
            }
            for (const auto& lines : lineLayers) {
                for (ColliderLine* line : lines) {
                    if (line->isSolid && line->owner != circle->owner) {
                        circle->Collider::OnCollision(line);
                    }
                }
            }
        }
    }
}

void ColliderSystem::ReportCollision(Collider* a, Collider* b) {
    Report(a, b);
    Report(b, a);
}

void ColliderSystem::Report(Collider* collider, Collider* other) {
    const Entity* entity = collider->owner;
    if (entity == nullptr) {
        return;
    }
    // Appended after whatever an enclosing report still holds, and trimmed back afterwards.
    const std::size_t first = toldComponents.size();
    for (const auto& [list, entry] : entity->components) {
        toldComponents.push_back(entry.component);
    }
    for (std::size_t i = first; i < toldComponents.size(); ++i) {
        toldComponents[i]->OnCollision(other);
    }
    toldComponents.resize(first);
}

bool ColliderSystem::CirclesTouch(ColliderCircle* a, ColliderCircle* b) {
    const std::optional<Placement> first = Place(*a, a->relativePos);
    const std::optional<Placement> second = Place(*b, b->relativePos);
    if (!first || !second) {
        return false;
    }
    const float reach = first->scaleFactor * a->radius + second->scaleFactor * b->radius;
    return reach * reach > LengthSquared(first->centre - second->centre);
}

namespace {

// The numbers of every segment of a line, 0 to count - 1: a counting range written out, since
// std::views::iota of this standard library does not compile with clang 14 (the fuzz build).
struct EverySegment {
    struct Iterator {
        std::size_t number;
        std::size_t operator*() const { return number; }
        Iterator& operator++() {
            ++number;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return number != other.number; }
    };
    std::size_t count;
    Iterator begin() const { return {0}; }
    Iterator end() const { return {count}; }
};

// The circle-line test over the segments `numbers` names (segment k joins vertices 2k and
// 2k + 1), in their order.
template <class SegmentNumbers>
bool CircleTouchesSegments(ColliderCircle* circle, ColliderLine* line,
                           const SegmentNumbers& numbers) {
    const std::optional<Placement> round = Place(*circle, circle->relativePos);
    const std::optional<Placement> shape = Place(*line, line->relativePos);
    if (!round || !shape) {
        return false;
    }
    const float radius = round->scaleFactor * circle->radius;
    const float reach = shape->scaleFactor * line->boundingRadius + radius;
    if (!(reach * reach > LengthSquared(round->centre - shape->centre))) {
        return false;
    }
    if (circle->owner->name == ColliderSystem::kPointerEntityName) {
        return false;
    }
    const std::vector<Vector2>& vertices = line->vertices;
    for (const std::size_t number : numbers) {
        const std::size_t i = 2 * number;
        if (i + 1 >= vertices.size()) {
            break;
        }
        const Segment segment = PlaceSegment(*shape, vertices[i], vertices[i + 1]);
        if (SegmentWithinRadius(segment, round->centre, radius * radius)) {
            line->hitSegment = segment;
            return true;
        }
    }
    return false;
}

}  // namespace

bool ColliderSystem::CircleTouchesLine(ColliderCircle* circle, ColliderLine* line) {
    return CircleTouchesSegments(circle, line,
                                 EverySegment{line->vertices.size() / 2});
}

bool ColliderSystem::CircleTouchesLineSegments(ColliderCircle* circle, ColliderLine* line,
                                               std::span<const std::size_t> segments) {
    return CircleTouchesSegments(circle, line, segments);
}

bool ColliderSystem::LinesTouch(ColliderLine* a, ColliderLine* b) {
    const std::optional<Placement> first = Place(*a, a->relativePos);
    const std::optional<Placement> second = Place(*b, b->relativePos);
    if (!first || !second) {
        return false;
    }
    const float reach =
        first->scaleFactor * a->boundingRadius + second->scaleFactor * b->boundingRadius;
    if (!(reach * reach > LengthSquared(first->centre - second->centre))) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < a->vertices.size(); i += 2) {
        const Segment p = PlaceSegment(*first, a->vertices[i], a->vertices[i + 1]);
        for (std::size_t j = 0; j + 1 < b->vertices.size(); j += 2) {
            if (SegmentsTouch(p, PlaceSegment(*second, b->vertices[j], b->vertices[j + 1]))) {
                return true;
            }
        }
    }
    return false;
}

bool ColliderSystem::PairTouches(Collider* a, Collider* b) {
    auto* circleA = dynamic_cast<ColliderCircle*>(a);
    auto* circleB = dynamic_cast<ColliderCircle*>(b);
    auto* lineA = dynamic_cast<ColliderLine*>(a);
    auto* lineB = dynamic_cast<ColliderLine*>(b);
    if (circleA != nullptr && circleB != nullptr) {
        return CirclesTouch(circleA, circleB);
    }
    if (circleA != nullptr && lineB != nullptr) {
        return CircleTouchesLine(circleA, lineB);
    }
    if (lineA != nullptr && circleB != nullptr) {
        return CircleTouchesLine(circleB, lineA);
    }
    if (lineA != nullptr && lineB != nullptr) {
        return LinesTouch(lineA, lineB);
    }
    return false;
}

Vector2 ColliderSystem::AwayFromPoint(Vector2 position, Vector2 other) {
    const Vector2 away = position - other;
    // hypot: no overflow or underflow on the way to the length.
    const float length = std::hypot(away.x, away.y);
    if (!(length > 0.0f) || !std::isfinite(length)) {
        return {};
    }
    return away * (1.0f / length);
}

Vector2 ColliderSystem::AwayFromSegment(Vector2 position, const Segment& segment) {
    const Vector2 along = segment.second - segment.first;
    const float lengthSquared = LengthSquared(along);
    // A zero-length segment (also the never-written zeros of hitSegment) is a point; dividing by
    // its length would give NaN.
    if (lengthSquared == 0.0f) {
        return AwayFromPoint(position, segment.first);
    }
    const Vector2 fromFirst = position - segment.first;
    const float t = Dot(fromFirst, along) / lengthSquared;
    if (t < 0.0f) {
        return AwayFromPoint(position, segment.first);
    }
    if (t > 1.0f) {
        return AwayFromPoint(position, segment.second);
    }
    const float length = std::sqrt(lengthSquared);
    const Vector2 normal{along.y / length, -along.x / length};
    const float side = fromFirst.x * along.y - fromFirst.y * along.x;
    return side >= 0.0f ? normal : normal * -1.0f;
}
