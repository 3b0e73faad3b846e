#pragma once
// The editor's undo and redo: every change made through the tool windows is recorded as a step
// that knows how to take itself back and make itself again. Steps name entities by id, never by
// address, because undoing a deletion builds the entity anew: the new one gets a new id, and the
// history renames the old ids to the new ones, so older steps find it again. The history belongs
// to one scene: it is emptied when another scene is loaded.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class Entity;

class EditHistory {
public:
    // Enough for a working session; the oldest steps go first.
    static constexpr std::size_t kStepLimit = 500;

    // Carries out one direction of a step; false when what it changes is gone (an entity freed
    // in play), and the step is dropped then.
    using Action = std::function<bool()>;

    static EditHistory& Instance();

    // A change just made: `undo` takes it back, `redo` makes it again. The steps undone before
    // it can no longer be made again.
    void Record(std::string what, Action undo, Action redo);
    // Take back the latest step / make the latest undone one again, with one trace line naming
    // it. False when there was none, or it could not be carried out (then it is dropped).
    bool Undo();
    bool Redo();
    void Clear();

    // Called every update with the loaded scene: another scene than the one the steps were made
    // in (or none) empties the history.
    void FollowScene(const Entity* scene);
    // The scene was saved as it is now.
    void MarkSaved();
    // Whether the scene differs from what was last saved or loaded, as far as the steps know.
    bool HasUnsavedSteps() const;
    std::size_t UndoSteps() const { return done.size(); }
    std::size_t RedoSteps() const { return undone.size(); }

    // The live entity (not marked destroyed) that `id` names now, through the renames; searched
    // from the engine's root entity. Null when it is gone.
    Entity* Find(std::int32_t id) const;
    // The subtree whose ids were `before` (in pre-order) was built anew as `after`.
    void Renamed(const std::vector<std::int32_t>& before, const Entity& after);
    static std::vector<std::int32_t> IdsInPreOrder(const Entity& root);

private:
    struct Step {
        std::string what;
        Action undo;
        Action redo;
    };

    EditHistory() = default;
    std::int32_t Current(std::int32_t id) const;

    std::deque<Step> done;
    std::deque<Step> undone;
    // Old id -> the id of the entity built in its place (which may have been renamed again).
    std::unordered_map<std::int32_t, std::int32_t> renames;
    std::int32_t sceneId = -1;
    // How many steps were done when the scene was last saved or loaded; -1 once that state can
    // no longer be reached by undo and redo.
    long long savedDepth = 0;
};
