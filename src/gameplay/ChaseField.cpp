#include "gameplay/ChaseField.h"

#include <cstddef>

#include "gameplay/NavigationGraph.h"
#include "gameplay/Pathfinding.h"

ChaseField& ChaseField::Instance() {
    static auto* field = new ChaseField();
    return *field;
}

Vector2 ChaseField::NextWaypoint(Vector2 from, Vector2 target, float radius) {
    const NavigationGraph& graph = Pathfinding::Graph();
    const std::int32_t node = graph.NodeOfPoint(from);
    if (!graph.Covers(from) || !graph.IsOpen(node) || graph.ClearPath(from, target, radius)) {
        return target;
    }
    Follow(graph, graph.NodeOfPoint(target));
    const std::int32_t next = StepTowardsGoal(graph, node);
    return next != NavigationGraph::kNoNode ? graph.PointOfNode(next) : target;
}

void ChaseField::Follow(const NavigationGraph& graph, std::int32_t target) {
    const std::uint64_t current = Pathfinding::GraphRevision();
    if (made && revision == current && targetNode == target) {
        return;
    }
    made = true;
    revision = current;
    targetNode = target;
    graph.StepsTo(graph.NearestOpenNode(target), steps, queue);
}

std::int32_t ChaseField::StepTowardsGoal(const NavigationGraph& graph, std::int32_t node) const {
    const std::int32_t here = steps[static_cast<std::size_t>(node)];
    // In the goal's cell there is no cell left to cross, and an unreached cell has no route.
    if (here <= 0) {
        return NavigationGraph::kNoNode;
    }
    const NavigationGraph::Neighbours next = graph.OpenNeighbours(node);
    for (std::size_t k = 0; k < next.count; ++k) {
        if (steps[static_cast<std::size_t>(next.nodes[k])] == here - 1) {
            return next.nodes[k];
        }
    }
    return NavigationGraph::kNoNode;
}
