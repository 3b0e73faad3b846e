#include "engine/StopwatchRegistry.h"

#include <chrono>
#include <vector>

namespace {
constexpr double kNanosecondsPerSecond = 1'000'000'000.0;

using RunningGroups = decltype(RunningStopwatchTree::groups);
using RunningValues = decltype(RunningStopwatchTree::values);

// Every frame the running tree loses each entry at its stop and regains it at the next start.
// The map nodes of stopped entries and pruned groups are kept here for reuse instead of being
// freed, which keeps that churn off the heap: a spare node is re-keyed in place, and a spare
// group's maps keep their bucket arrays.
struct RunningRegistry {
    RunningStopwatchTree tree;
    std::vector<RunningGroups::node_type> spareGroups;
    std::vector<RunningValues::node_type> spareValues;
};

RunningRegistry& Running() {
    static RunningRegistry registry;
    return registry;
}

StopwatchTree& Times() {
    static StopwatchTree tree;
    return tree;
}

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Looks `key` up without building a std::string; only a missing key is created.
template <typename Map>
typename Map::mapped_type& FindOrCreate(Map& map, std::string_view key) {
    auto found = map.find(key);
    if (found == map.end()) {
        found = map.try_emplace(std::string(key)).first;
    }
    return found->second;
}

// Like FindOrCreate, but a missing key reuses a spare node when there is one. The spare's mapped
// value is left as it was: the caller overwrites a value, and a spare group is always empty.
template <typename Map>
typename Map::mapped_type& FindOrCreateRecycled(Map& map, std::string_view key,
                                                std::vector<typename Map::node_type>& spares) {
    auto found = map.find(key);
    if (found != map.end()) {
        return found->second;
    }
    if (spares.empty()) {
        return map.try_emplace(std::string(key)).first->second;
    }
    typename Map::node_type node = std::move(spares.back());
    spares.pop_back();
    node.key().assign(key);
    return map.insert(std::move(node)).position->second;
}

// Moves the running entry `key` found below `node` along [group, last) into `span` and recycles
// it, then every group that this leaves with neither values nor child groups. A group that still
// holds a running child is kept even without values of its own, so that the child can still be
// stopped. Returns whether `node` itself is now empty, for its parent to recycle it.
bool TakeRunning(RunningRegistry& registry, RunningStopwatchTree& node,
                 const std::string_view* group, const std::string_view* last, std::string_view key,
                 StopwatchSpan& span) {
    if (group == last) {
        auto entry = node.values.find(key);
        if (entry != node.values.end()) {
            span = entry->second;
            registry.spareValues.push_back(node.values.extract(entry));
        }
    } else {
        auto child = node.groups.find(*group);
        if (child != node.groups.end() &&
            TakeRunning(registry, child->second, group + 1, last, key, span)) {
            registry.spareGroups.push_back(node.groups.extract(child));
        }
    }
    return node.values.empty() && node.groups.empty();
}
}  // namespace

void StartStopwatch(StopwatchPath groups, std::string_view key) {
    RunningRegistry& running = Running();
    RunningStopwatchTree* node = &running.tree;
    for (std::string_view group : groups) {
        node = &FindOrCreateRecycled(node->groups, group, running.spareGroups);
    }
    StopwatchSpan& span = FindOrCreateRecycled(node->values, key, running.spareValues);
    // The clock is read last so that the look-ups above are not part of the measured span.
    span = {Now(), 0};
}

double StopStopwatch(StopwatchPath groups, std::string_view key) {
    const std::int64_t now = Now();

    // A stopwatch that was never started counts from the clock's epoch.
    StopwatchSpan span{0, 0};
    RunningRegistry& running = Running();
    TakeRunning(running, running.tree, groups.begin(), groups.end(), key, span);
    const std::int64_t end = span.second != 0 ? span.second : now;
    const double seconds = static_cast<double>(end - span.first) / kNanosecondsPerSecond;

    StopwatchTree* node = &Times();
    for (std::string_view group : groups) {
        node = &FindOrCreate(node->groups, group);
    }
    FindOrCreate(node->values, key) = seconds;
    return seconds;
}

const StopwatchTree& StopwatchTimes() {
    return Times();
}

const RunningStopwatchTree& RunningStopwatches() {
    return Running().tree;
}
