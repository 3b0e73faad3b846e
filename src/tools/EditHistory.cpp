#include "tools/EditHistory.h"

#include <utility>

#include "engine/Engine.h"
#include "engine/TraceLog.h"
#include "entities/Entity.h"

namespace {

constexpr const char* kUndoTrace = "EditorSystem - Undo: ";
constexpr const char* kRedoTrace = "EditorSystem - Redo: ";
constexpr const char* kGoneTrace = " cannot be carried out: what it changed is gone";

Entity* FindBelow(Entity* entity, std::int32_t id) {
    if (entity->destroyed) {
        return nullptr;
    }
    if (entity->id == id) {
        return entity;
    }
    for (Entity* child : entity->children) {
        if (Entity* found = FindBelow(child, id)) {
            return found;
        }
    }
    return nullptr;
}

void CollectIds(const Entity& entity, std::vector<std::int32_t>& ids) {
    ids.push_back(entity.id);
    for (const Entity* child : entity.children) {
        CollectIds(*child, ids);
    }
}

}  // namespace

EditHistory& EditHistory::Instance() {
    static auto* history = new EditHistory();
    return *history;
}

void EditHistory::Record(std::string what, Action undo, Action redo) {
    // The saved state lay among the undone steps, which are gone now.
    if (savedDepth > static_cast<long long>(done.size())) {
        savedDepth = -1;
    }
    undone.clear();
    done.push_back({std::move(what), std::move(undo), std::move(redo)});
    if (done.size() > kStepLimit) {
        done.pop_front();
        savedDepth = savedDepth > 0 ? savedDepth - 1 : -1;
    }
}

bool EditHistory::Undo() {
    if (done.empty()) {
        return false;
    }
    Step step = std::move(done.back());
    done.pop_back();
    if (!step.undo()) {
        TraceLog::Warning(kUndoTrace + step.what + kGoneTrace);
        // What follows it may still be undone; what was undone before it can no longer be redone
        // on top of a state it never had.
        undone.clear();
        savedDepth = -1;
        return false;
    }
    TraceLog::Log(kUndoTrace + step.what);
    undone.push_back(std::move(step));
    return true;
}

bool EditHistory::Redo() {
    if (undone.empty()) {
        return false;
    }
    Step step = std::move(undone.back());
    undone.pop_back();
    if (!step.redo()) {
        TraceLog::Warning(kRedoTrace + step.what + kGoneTrace);
        undone.clear();
        savedDepth = -1;
        return false;
    }
    TraceLog::Log(kRedoTrace + step.what);
    done.push_back(std::move(step));
    return true;
}

void EditHistory::Clear() {
    done.clear();
    undone.clear();
    renames.clear();
    savedDepth = 0;
}

void EditHistory::FollowScene(const Entity* scene) {
    const std::int32_t id = scene != nullptr ? scene->id : -1;
    if (id != sceneId) {
        Clear();
        sceneId = id;
    }
}

void EditHistory::MarkSaved() {
    savedDepth = static_cast<long long>(done.size());
}

bool EditHistory::HasUnsavedSteps() const {
    return savedDepth != static_cast<long long>(done.size());
}

std::int32_t EditHistory::Current(std::int32_t id) const {
    // Ids only grow, so a chain of renames always ends.
    for (auto found = renames.find(id); found != renames.end(); found = renames.find(id)) {
        id = found->second;
    }
    return id;
}

Entity* EditHistory::Find(std::int32_t id) const {
    Entity* root = Engine::Instance().originEntity;
    return root != nullptr ? FindBelow(root, Current(id)) : nullptr;
}

void EditHistory::Renamed(const std::vector<std::int32_t>& before, const Entity& after) {
    const std::vector<std::int32_t> now = IdsInPreOrder(after);
    for (std::size_t i = 0; i < before.size() && i < now.size(); ++i) {
        const std::int32_t old = Current(before[i]);
        if (old != now[i]) {
            renames[old] = now[i];
        }
    }
}

std::vector<std::int32_t> EditHistory::IdsInPreOrder(const Entity& root) {
    std::vector<std::int32_t> ids;
    CollectIds(root, ids);
    return ids;
}
