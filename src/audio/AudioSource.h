#pragma once
// Starts sounds at its entity's position: on demand (every shot of a weapon) or once when it
// joins its list, and keeps the position of its continuous sounds on the moving entity. An
// entity without a Transform has no position to play from, so its source plays nothing there.
// It also plays interface sounds (a button's click), which have no place and need no listener.

#include <memory>
#include <vector>

#include "audio/BufferedSound.h"
#include "entities/Component.h"

struct PlayRequest;

class AudioSource : public Component {
public:
    static constexpr const char* kComponentName = "AudioSource";

    AudioSource();

    // Plays `bufferedSound` when `playOnStart` is set.
    void Initialize() override;
    // Moves every continuous request that still sounds to the entity's position, and forgets the
    // ones that have ended.
    void Update(float dt) override;
    // The continuous requests end with their source; the others play on.
    void ShutDown() override;
    // "bufferedSound" (an object, see BufferedSound) and "playOnStart" (boolean or number).
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // Queues one sound at the entity's current position and returns its request (null when the
    // entity has no Transform), which StopRequest ends early.
    std::shared_ptr<PlayRequest> Play(const BufferedSound& sound);
    // Plays `sound` once straight to the output at its maxVolume, wherever the listeners are and
    // with none at all, on a channel nobody keeps: the sound outlives the source and its scene, so
    // a button that switches the scene is still heard. Its loop flag is not used.
    void PlayUnplaced(const BufferedSound& sound) const;
    // The interface sound of `entity`: its source's buffered sound, unplaced. Nothing when it has
    // no AudioSource.
    static void PlayInterfaceSound(const Entity* entity);

    BufferedSound bufferedSound;
    bool playOnStart = false;
    // The started requests that follow the entity.
    std::vector<std::shared_ptr<PlayRequest>> continuousRequests;
};
