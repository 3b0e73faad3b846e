#pragma once
// Names a sound and keeps it loaded. A pressed JUMP plays it once, at full volume wherever the
// entity is, on a channel that is not kept (the channel frees itself for reuse when the sound
// has played).

#include <string>

#include "entities/Component.h"

struct Sound;

class SoundEffect : public Component {
public:
    static constexpr const char* kComponentName = "SoundEffect";
    static constexpr const char* kSoundNameKey = "sound name";

    explicit SoundEffect(std::string name);

    void HandleMessage(const InputMessage& message) override;
    std::unique_ptr<Component> Clone() const override;
    // The entity reader passes "sound name" to the constructor; a later "sound name" (the editor's)
    // loads that sound instead.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    Sound* sound = nullptr;
    std::string soundName;
};
