#pragma once
// Steps a frame counter on a timer and writes the matching sprite-sheet cell into the entity's
// Sprite. Plays from frame 0 up to frameCount - 1; a looping animation continues from
// startFrame. At most one frame advances per update, and overshoot carries into the next frame.

#include "entities/Component.h"

class Animator : public Component {
public:
    static constexpr const char* kComponentName = "Animator";

    Animator();

    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    // Reads the settings and restarts the animation from frame 0.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    int startFrame = 0;
    int currentFrame = 0;
    int frameCount = 0;
    float timer = 0.0f;
    float frameDuration = 0.0f;
    bool isPlaying = false;
    bool isLooping = false;

private:
    void ShowCurrentFrame();
};
