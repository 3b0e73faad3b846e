#pragma once
// Steps a frame counter on a timer and writes the matching sprite-sheet cell into the entity's
// Sprite. Plays from frame 0 up to frameCount - 1; a looping animation continues from
// startFrame. At most one frame advances per update, and overshoot carries into the next frame.
// Any int frame numbers are safe: a loop start at or past frameCount stays on that frame, and
// a non-looping animation with no frames (frameCount <= 0) stops on a negative frame, showing
// no cell.

#include "entities/Component.h"

struct Mesh;

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
    // One trace warning for a mesh whose cells are too small to count, not one per frame.
    void ReportUncountableSheet(const Mesh& mesh);

    // The last mesh reported by ReportUncountableSheet.
    const Mesh* reportedMesh = nullptr;
};
