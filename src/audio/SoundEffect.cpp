#include "audio/SoundEffect.h"

#include <utility>

#include "audio/AudioBackend.h"
#include "audio/FMODAudio.h"
#include "audio/Sound.h"
#include "engine/InputMessage.h"
#include "entities/JsonReaders.h"

SoundEffect::SoundEffect(std::string name)
    : Component(kComponentName), sound(GetSound(name)), soundName(std::move(name)) {}

void SoundEffect::HandleMessage(const InputMessage& message) {
    if (message.input != InputType::JUMP || !message.pressed) {
        return;
    }
    FMOD_System_PlaySound(FMODAudio::Instance().fmodSystem, sound->handle, nullptr, false, nullptr);
}

std::unique_ptr<Component> SoundEffect::Clone() const {
    return std::make_unique<SoundEffect>(*this);
}

// The entity reader builds the component from its name; the editor hands a changed name here,
// which loads that sound in place of the old one.
void SoundEffect::FromJson(const nlohmann::json& data) {
    std::string name = soundName;
    ReadJsonString(data, kSoundNameKey, name);
    if (name != soundName) {
        sound = GetSound(name);
        soundName = std::move(name);
    }
}

nlohmann::json SoundEffect::ToJson() const {
    return nlohmann::json{{kSoundNameKey, soundName}};
}
