#include "gameplay/Pathfinding.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "engine/Engine.h"
#include "engine/InputType.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "gameplay/NavigationGraph.h"
#include "gameplay/PlayerInput.h"
#include "graphics/DebugDrawSystem.h"
#include "input/InputStateSystem.h"
#include "physics/Physics.h"
#include "physics/Transform.h"

namespace {

constexpr const char* kFollowSpeedKey = "followSpeed";

NavigationGraph& SharedGraph() {
    static auto* graph = new NavigationGraph();
    return *graph;
}

std::uint64_t graphRevision = 0;

bool RightClickHeld() {
    return IsHeld(InputType::RIGHT_CLICK);
}

// `speed` along the direction from `from` to `to`. On the point itself there is no direction:
// the follower stands still instead of dividing by zero. hypot does not underflow to zero for a
// tiny but non-zero offset, so each quotient stays within -1 .. 1.
Vector2 VelocityTowards(Vector2 from, Vector2 to, float speed) {
    const Vector2 offset = to - from;
    const float distance = std::hypot(offset.x, offset.y);
    if (!(distance > 0.0f)) {
        return {0.0f, 0.0f};
    }
    return Vector2{offset.x / distance, offset.y / distance} * speed;
}

}  // namespace

Pathfinding::Pathfinding() : Component(kComponentName) {}

std::unique_ptr<Component> Pathfinding::Clone() const {
    auto copy = std::make_unique<Pathfinding>(*this);
    copy->owner = nullptr;
    return copy;
}

void Pathfinding::CreateGraph(std::vector<std::int32_t> nodes, std::int32_t columns,
                              std::int32_t rows, Vector2 origin, float cellWidth,
                              float cellHeight) {
    SharedGraph() = NavigationGraph(std::move(nodes), columns, rows, origin, cellWidth, cellHeight);
    ++graphRevision;
}

const NavigationGraph& Pathfinding::Graph() {
    return SharedGraph();
}

std::uint64_t Pathfinding::GraphRevision() {
    return graphRevision;
}

std::int32_t Pathfinding::NodeOfPoint(Vector2 p) {
    return SharedGraph().NodeOfPoint(p);
}

Vector2 Pathfinding::PointOfNode(std::int32_t node) {
    return SharedGraph().PointOfNode(node);
}

std::vector<std::int32_t> Pathfinding::FindPath(std::int32_t start, std::int32_t goal) {
    return SharedGraph().FindPath(start, goal);
}

void Pathfinding::Update(float /*dt*/) {
    if (owner == nullptr) {
        return;
    }
    const PlayerInput* input = owner->GetComponent<PlayerInput>();
    if (input != nullptr && input->isMoving) {
        CancelRoute();
        return;
    }
    PlanWhileRightClickHeld();
    if (input != nullptr) {
        FollowRoute();
    }
}

void Pathfinding::CancelRoute() {
    path.clear();
    // The ends of a route no longer held: the next click plans again, even on the same cells.
    lastStartNode = NavigationGraph::kNoNode;
    lastGoalNode = NavigationGraph::kNoNode;
}

void Pathfinding::PlanWhileRightClickHeld() {
    Transform* transform = owner->GetComponent<Transform>();
    const Entity* pointer = Engine::Instance().mouseObject;
    Transform* pointerTransform = pointer != nullptr ? pointer->GetComponent<Transform>() : nullptr;
    if (!RightClickHeld() || transform == nullptr || pointerTransform == nullptr) {
        return;
    }
    const std::int32_t start = NodeOfPoint(transform->GetWorldPosition());
    const std::int32_t goal = NodeOfPoint(pointerTransform->GetWorldPosition());
    if (start != lastStartNode || goal != lastGoalNode) {
        path = FindPath(start, goal);
        lastStartNode = start;
        lastGoalNode = goal;
        // The entity already stands in the start node.
        pathIndex = 1;
    }
}

void Pathfinding::FollowRoute() {
    Physics* physics = owner->GetComponent<Physics>();
    Transform* transform = owner->GetComponent<Transform>();
    if (physics == nullptr || transform == nullptr) {
        return;
    }
    if (pathIndex < 0 || static_cast<std::size_t>(pathIndex) >= path.size()) {
        physics->velocity = {0.0f, 0.0f};
        path.clear();
        return;
    }
    const std::int32_t next = path[static_cast<std::size_t>(pathIndex)];
    const Vector2 position = transform->GetWorldPosition();
    physics->velocity = VelocityTowards(position, PointOfNode(next), followSpeed);
    // Entering the next cell is enough to aim for the one after it.
    if (NodeOfPoint(position) == next) {
        ++pathIndex;
    }
}

void Pathfinding::Render() {
    if (pathIndex < 0 || static_cast<std::size_t>(pathIndex) >= path.size()) {
        return;
    }
    DebugDrawSystem& lines = DebugDrawSystem::Instance();
    for (std::size_t k = static_cast<std::size_t>(std::max(pathIndex - 1, 0)); k + 1 < path.size();
         ++k) {
        lines.AddLine(PointOfNode(path[k]), PointOfNode(path[k + 1]));
    }
}

void Pathfinding::FromJson(const nlohmann::json& data) {
    ReadJsonFloat(data, kFollowSpeedKey, followSpeed);
}

nlohmann::json Pathfinding::ToJson() const {
    return nlohmann::json{{kFollowSpeedKey, followSpeed}};
}
