#pragma once
// Click-to-move. While RIGHT_CLICK is held, the entity plans a route from its cell to the
// pointer's cell over the process-wide navigation graph (re-planning whenever either end enters
// another cell), then steers its Physics along it at `followSpeed`. A held movement key cancels
// the route, and the next right click plans afresh, on the same cells too. The component list
// runs last in the update order, so the velocity set here replaces the one PlayerInput wrote in
// the same frame.
//
// The navigation graph is owned here: the most recent tile-map rebuild replaces it, and it
// outlives scene changes. It is empty (no columns) until the first rebuild.

#include <cstdint>
#include <vector>

#include "engine/Vector2.h"
#include "entities/Component.h"
#include "gameplay/NavigationGraph.h"

class Pathfinding : public Component {
public:
    static constexpr const char* kComponentName = "Pathfinding";
    static constexpr const char* kGraphCreatedTrace =
        "Pathfinding::CreateGraph - Created tilemap graph";

    Pathfinding();

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    // The remaining route as debug lines, starting at the node last left.
    void Render() override;
    // A missing "followSpeed" keeps the current speed, with the usual missing-key warning.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // Replaces the process-wide graph. `nodes` are the cell values, row-major.
    static void CreateGraph(std::vector<std::int32_t> nodes, std::int32_t columns,
                            std::int32_t rows, Vector2 origin, float cellWidth, float cellHeight);
    static const NavigationGraph& Graph();
    // Counts the graph's replacements: what was derived from the graph is out of date once it
    // changes.
    static std::uint64_t GraphRevision();
    static std::int32_t NodeOfPoint(Vector2 p);
    static Vector2 PointOfNode(std::int32_t node);
    static std::vector<std::int32_t> FindPath(std::int32_t start, std::int32_t goal);

    // The planned route, start node first.
    std::vector<std::int32_t> path;
    // The ends the route was planned between; NavigationGraph::kNoNode before the first plan and
    // once cancelled.
    std::int32_t lastStartNode = NavigationGraph::kNoNode;
    std::int32_t lastGoalNode = NavigationGraph::kNoNode;
    // Index in `path` of the node being approached.
    std::int32_t pathIndex = 0;
    // World units per second along the route.
    float followSpeed = 0.0f;

private:
    void PlanWhileRightClickHeld();
    void CancelRoute();
    void FollowRoute();
};
