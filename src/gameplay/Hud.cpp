#include "gameplay/Hud.h"

#include <algorithm>
#include <array>

#include "engine/Engine.h"
#include "engine/InputMessage.h"
#include "engine/InputType.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/PlayerInput.h"
#include "gameplay/Weapon.h"
#include "graphics/CameraMatrices.h"
#include "graphics/GraphicsSystem.h"
#include "graphics/PixelText.h"

namespace {

// Sizes of a font pixel in world units, and the margin from the screen's edges.
constexpr float kLabelPixel = 12.0f;
constexpr float kAnnouncePixel = 34.0f;
constexpr float kPausedPixel = 40.0f;
constexpr float kHintPixel = 12.0f;
constexpr float kMargin = 60.0f;
constexpr float kPauseDim = 0.45f;

constexpr Vector3 kLevelColor{0.95f, 0.95f, 1.0f};
constexpr Vector3 kEnemyColor{1.0f, 0.55f, 0.45f};
constexpr Vector3 kWeaponColor{1.0f, 0.85f, 0.4f};
constexpr Vector3 kAnnounceColor{1.0f, 0.92f, 0.75f};
constexpr Vector3 kPausedColor{1.0f, 1.0f, 1.0f};
constexpr Vector3 kBlack{0.0f, 0.0f, 0.0f};

constexpr std::array<const char*, 7> kWeaponNames{"PISTOL",       "RIFLE",     "SNIPER", "SHOTGUN",
                                                  "FLAMETHROWER", "CURVEBALL", "CUSTOM"};

bool IsCounted(const BasicEnemyBehavior* enemy) {
    return enemy->IsAlive();
}

}  // namespace

Hud::Hud() : Component(kComponentName) {}

std::unique_ptr<Component> Hud::Clone() const {
    return std::make_unique<Hud>(*this);
}

int Hud::EnemiesLeft() {
    const auto& list = ComponentListSystem<BasicEnemyBehavior>::Instance();
    int left = 0;
    for (const auto& layer : list.Layers()) {
        left += static_cast<int>(std::count_if(layer.begin(), layer.end(), IsCounted));
    }
    for (const auto& record : list.Pending()) {
        if (record.add && IsCounted(record.component)) {
            ++left;
        }
    }
    return left;
}

std::string Hud::WeaponName() {
    for (const auto& layer : ComponentListSystem<PlayerInput>::Instance().Layers()) {
        for (const PlayerInput* player : layer) {
            const Weapon* weapon =
                player->owner != nullptr ? player->owner->GetComponent<Weapon>() : nullptr;
            if (weapon == nullptr) {
                continue;
            }
            const auto type = static_cast<std::size_t>(weapon->weaponType);
            return type < kWeaponNames.size() ? kWeaponNames[type] : "?";
        }
    }
    return {};
}

void Hud::Update(float dt) {
    if (dt > 0.0f && announceSecondsLeft > 0.0f) {
        announceSecondsLeft = std::max(0.0f, announceSecondsLeft - dt);
    }
}

void Hud::HandleMessage(const InputMessage& message) {
    Engine& engine = Engine::Instance();
    // In Edit the scene stays still until the designer chooses Play.
    if (message.input == InputType::PAUSE && message.pressed && !engine.editing) {
        engine.paused = !engine.paused;
    }
}

void Hud::Render() {
    // The screen: the view's centre (kept inside the level) and its edges.
    const CameraMatrices& camera = GraphicsSystem::Instance().camera;
    const Vector2 centre = camera.ViewCentre();
    const Vector2 half{camera.VisibleHalfWidth(), camera.VisibleHalfHeight()};
    const float top = centre.y + half.y - kMargin - PixelText::kGlyphHeight * kLabelPixel * 0.5f;
    // Editing is a pause the designer chose: the scene shows undimmed.
    const bool paused = Engine::Instance().paused && !Engine::Instance().editing;

    // The level goes dim under the overlay; the HUD's own lettering stays readable over it.
    if (paused) {
        PixelText::Fill(centre, half * 2.0f, kBlack, 1.0f - kPauseDim);
    }
    PixelText::Draw(levelName, {centre.x - half.x + kMargin, top}, kLabelPixel, kLevelColor);
    PixelText::Draw("ENEMIES " + std::to_string(EnemiesLeft()), {centre.x, top}, kLabelPixel,
                    kEnemyColor, 0.0f, PixelText::Align::kCentre);
    PixelText::Draw(WeaponName(), {centre.x + half.x - kMargin, top}, kLabelPixel, kWeaponColor,
                    0.0f, PixelText::Align::kRight);

    // The level's name announces play; while editing it would stand over the scene.
    if (announceSecondsLeft > 0.0f && !Engine::Instance().editing) {
        const float fade = 1.0f - std::min(1.0f, announceSecondsLeft / kAnnounceFadeSeconds);
        PixelText::Draw(levelName, {centre.x, centre.y + half.y * 0.35f}, kAnnouncePixel,
                        kAnnounceColor, fade, PixelText::Align::kCentre);
    }
    if (paused) {
        PixelText::Draw(kPausedText, centre, kPausedPixel, kPausedColor, 0.0f,
                        PixelText::Align::kCentre);
        PixelText::Draw(kResumeHint, {centre.x, centre.y - kPausedPixel * 8.0f}, kHintPixel,
                        kPausedColor, 0.0f, PixelText::Align::kCentre);
    }
}

void Hud::FromJson(const nlohmann::json& data) {
    ReadJsonString(data, "levelName", levelName);
}

nlohmann::json Hud::ToJson() const {
    return nlohmann::json{{"levelName", levelName}};
}
