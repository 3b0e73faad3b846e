#pragma once
// The way to the player for every enemy of a level at once. One breadth-first search outward
// from the player's cell over the navigation graph gives every cell its number of steps to the
// player; an enemy then only steps to a neighbour one step nearer. The search runs again only
// when the player enters another cell or the graph is replaced, so a crowd of enemies shares one
// search and pays for it rarely. What an enemy is told depends only on the graph and the two
// positions, never on when the search last ran, so replays see the same steering.
//
// The field is process-wide, like the graph it is made from.

#include <cstdint>
#include <vector>

#include "engine/Vector2.h"

class NavigationGraph;

class ChaseField {
public:
    static ChaseField& Instance();

    // Where a body of `radius` at `from` runs next to reach `target`, over the process-wide
    // navigation graph: the target itself when the body can go straight at it without touching
    // a wall, and also whenever the graph cannot help (there is none, the body is off it, or no
    // route leads from the body's cell to the target); otherwise the centre of the next cell on
    // a shortest route. A target off the graph (in a wall, outside the map) is approached through
    // the open cell nearest to it.
    Vector2 NextWaypoint(Vector2 from, Vector2 target, float radius);

private:
    ChaseField() = default;

    // Makes `steps` count towards the open cell nearest to `targetNode` of the current graph.
    void Follow(const NavigationGraph& graph, std::int32_t targetNode);
    // The open neighbour of `node` one step nearer the goal, or NavigationGraph::kNoNode.
    std::int32_t StepTowardsGoal(const NavigationGraph& graph, std::int32_t node) const;

    // What `steps` was made for: the graph's revision and the target's cell.
    bool made = false;
    std::uint64_t revision = 0;
    std::int32_t targetNode = 0;
    // Steps to the goal per node, and the search's scratch; both keep their capacity.
    std::vector<std::int32_t> steps;
    std::vector<std::int32_t> queue;
};
