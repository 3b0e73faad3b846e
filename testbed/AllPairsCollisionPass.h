#pragma once
// The collision pass written the straightforward way: every circle and line collider against
// every later one, with the system's own pair tests and reports, and no broad phase at all. It is
// what ColliderSystem::Update must reproduce report for report and push for push, so tests
// compare the two on the same scenes and the collision benchmark times the engine against it.
// It is not part of the game.
//
// The order: for each layer k from FASTEST to SLOWEST, each circle of k (in index order) against
// the later circles of k, the lines of k, then the circles and lines of every later layer; then
// each line of k against the later lines of k and the circles and lines of every later layer.
// List sizes are re-read at every step, and every test sees the positions left by the responses
// to earlier reports.

#include <cstddef>
#include <vector>

#include "entities/ComponentListSystem.h"
#include "physics/ColliderCircle.h"
#include "physics/ColliderLine.h"
#include "physics/ColliderSystem.h"

namespace all_pairs_detail {

inline void CircleAgainstLayer(ColliderSystem& system, ColliderCircle* circle,
                               const std::vector<ColliderCircle*>& circles,
                               std::size_t firstCircle, const std::vector<ColliderLine*>& lines) {
    for (std::size_t j = firstCircle; j < circles.size(); ++j) {
        if (ColliderSystem::CirclesTouch(circle, circles[j])) {
            system.ReportCollision(circle, circles[j]);
        }
    }
    for (std::size_t j = 0; j < lines.size(); ++j) {
        if (ColliderSystem::CircleTouchesLine(circle, lines[j])) {
            system.ReportCollision(circle, lines[j]);
        }
    }
}

inline void LineAgainstCircles(ColliderSystem& system, ColliderLine* line,
                               const std::vector<ColliderCircle*>& circles) {
    for (std::size_t j = 0; j < circles.size(); ++j) {
        if (ColliderSystem::CircleTouchesLine(circles[j], line)) {
            system.ReportCollision(line, circles[j]);
        }
    }
}

inline void LineAgainstLines(ColliderSystem& system, ColliderLine* line,
                             const std::vector<ColliderLine*>& lines, std::size_t firstLine) {
    for (std::size_t j = firstLine; j < lines.size(); ++j) {
        if (ColliderSystem::LinesTouch(line, lines[j])) {
            system.ReportCollision(line, lines[j]);
        }
    }
}

}  // namespace all_pairs_detail

inline void RunAllPairsCollisionPass(ColliderSystem& system = ColliderSystem::Instance()) {
    using namespace all_pairs_detail;
    const auto& circles = ComponentListSystem<ColliderCircle>::Instance().Layers();
    const auto& lines = ComponentListSystem<ColliderLine>::Instance().Layers();
    for (std::size_t k = 0; k < circles.size(); ++k) {
        for (std::size_t i = 0; i < circles[k].size(); ++i) {
            ColliderCircle* circle = circles[k][i];
            if (circle->OwnerTransform() == nullptr) {
                continue;
            }
            CircleAgainstLayer(system, circle, circles[k], i + 1, lines[k]);
            for (std::size_t m = k + 1; m < circles.size(); ++m) {
                CircleAgainstLayer(system, circle, circles[m], 0, lines[m]);
            }
        }
        for (std::size_t i = 0; i < lines[k].size(); ++i) {
            ColliderLine* line = lines[k][i];
            if (line->OwnerTransform() == nullptr) {
                continue;
            }
            LineAgainstLines(system, line, lines[k], i + 1);
            for (std::size_t m = k + 1; m < lines.size(); ++m) {
                LineAgainstCircles(system, line, circles[m]);
                LineAgainstLines(system, line, lines[m], 0);
            }
        }
    }
}
