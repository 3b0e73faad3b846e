#pragma once
// The once-per-tick collision pass: every circle and line collider against every other, in a
// fixed order over the five update layers, telling both entities' components of each contact.
// Rectangles are never tested. The pair tests and the push-out directions are public so that the
// response in Collider::OnCollision re-tests a pair exactly as the pass did. The pass itself
// (CollisionPass) skips pairs that a grid shows cannot touch, with the same reports in the same
// order as testing every pair.

#include <cstddef>
#include <span>
#include <vector>

#include "engine/NamedSystem.h"
#include "engine/Vector2.h"
#include "physics/ColliderLine.h"
#include "physics/CollisionPass.h"

class Collider;
class ColliderCircle;
class Component;
class Transform;

class ColliderSystem : public NamedSystem<SystemType::COLLIDER_SYSTEM> {
public:
    // The entity name of the engine's pointer: its circle finds other circles (buttons) but never
    // lines, so the mouse never collides with walls.
    static constexpr const char* kPointerEntityName = "MouseObject";
    // Orientation values whose magnitude is below this count as collinear.
    static constexpr double kCollinearTolerance = 1e-9;

    static ColliderSystem& Instance();

    // The whole pass; dt plays no part. For each layer k from FASTEST to SLOWEST: each circle of k
    // against the later circles of k, the lines of k, then the circles and lines of every later
    // layer; then each line of k against the later lines of k and the circles and lines of every
    // later layer. Every unordered pair is tested once, and positions moved by earlier responses
    // are seen by later tests. Colliders whose entity has no Transform are skipped. Pairs that
    // cannot touch are left out without a test; the reports are those of testing every pair.
    void Update(float dt) override;

    // Tells every component of a's entity OnCollision(b), in the entity's map order, then every
    // component of b's entity OnCollision(a).
    void ReportCollision(Collider* a, Collider* b);

    // The pair tests. A collider without an entity or without a Transform touches nothing.
    // Strict: circles exactly touching do not collide.
    static bool CirclesTouch(ColliderCircle* a, ColliderCircle* b);
    // Inclusive, and records the first touching segment in the line's hitSegment. The pointer's
    // circle never touches a line.
    static bool CircleTouchesLine(ColliderCircle* circle, ColliderLine* line);
    // CircleTouchesLine looking only at the listed segments (segment k joins vertices 2k and
    // 2k + 1; increasing numbers), for a caller that knows every segment the circle can touch
    // is among them: the same answer and the same recorded segment, without visiting the rest
    // of a long outline.
    static bool CircleTouchesLineSegments(ColliderCircle* circle, ColliderLine* line,
                                          std::span<const std::size_t> segments);
    static bool LinesTouch(ColliderLine* a, ColliderLine* b);
    // The test for the two colliders' kinds, in either role; false for pairs that are never
    // tested (rectangles, plain colliders).
    static bool PairTouches(Collider* a, Collider* b);

    // Unit vector from `other` towards `position`; (0, 0) when they coincide.
    static Vector2 AwayFromPoint(Vector2 position, Vector2 other);
    // Unit vector from the segment towards `position`: from the nearer end beyond the ends,
    // otherwise the segment's normal on the position's side. (0, 0) when there is no direction
    // (a zero-length segment with the position on it).
    static Vector2 AwayFromSegment(Vector2 position, const ColliderLine::Segment& segment);

    // The steps around the pass in Update that keep bodies out of walls. Every moving circle (one
    // with Physics, not static, not the pointer) whose centre crossed a solid line since the
    // tick began is put back on its path where it first touches that line (before the pass, so
    // a fast body touches the wall it would have jumped; after it, for bodies the responses
    // pushed across).
    static void KeepBodiesOutOfWalls();
    // Every solid circle still touching a solid line is pushed out of it: after every other
    // response of the pass, so walls win over a crowd pushing a body.
    static void SettleAgainstWalls();

private:
    ColliderSystem() = default;

    void Report(Collider* collider, Collider* other);

    // KeepBodiesOutOfWalls for one body and one line; `from` is the entity's world position at
    // the start of the tick. Whether the body was moved back.
    static bool KeepOutOfWall(ColliderCircle& circle, Vector2 from, Transform& transform,
                              ColliderLine& line);

    // The components being told, copied out of the entity's map first: a handler that adds a
    // component to its entity must not rehash the map under the loop. Reused between reports.
    std::vector<Component*> toldComponents;
    // Kept between frames for its buffers.
    CollisionPass pass;
};
