#pragma once
// What the player reads over a level, in screen space (placed from the camera each frame, like a
// canvas): the level's name top left, the enemies left in the middle of the top edge, the current
// weapon top right; the level's name large in the middle as the level begins; and "PAUSED" over
// a dimmed level while the game is paused. PAUSE (Esc) pauses and resumes the game. Drawn in the
// pixel font of the shipped art, after every other component, so nothing covers it.

#include <string>

#include "entities/Component.h"

class Hud : public Component {
public:
    static constexpr const char* kComponentName = "Hud";
    // How long the level's name stays in the middle, and how much of that is its fade.
    static constexpr float kAnnounceSeconds = 2.5f;
    static constexpr float kAnnounceFadeSeconds = 0.8f;
    static constexpr const char* kPausedText = "PAUSED";
    static constexpr const char* kResumeHint = "ESC TO RESUME";

    Hud();

    std::unique_ptr<Component> Clone() const override;
    // Counts the announcement down in simulated time (a paused game keeps it where it is).
    void Update(float dt) override;
    void Render() override;
    void HandleMessage(const InputMessage& message) override;
    // "levelName": the text of the level label and of its announcement.
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    // Living enemies now (and about to join their list), and the player's weapon name (empty
    // without a player): what the HUD shows.
    static int EnemiesLeft();
    static std::string WeaponName();

    std::string levelName;
    float announceSecondsLeft = kAnnounceSeconds;
};
