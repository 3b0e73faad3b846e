// SpriteController on the real frame loop: whatever turns the entity, its sprite is drawn at the
// pinned rotation.

#include <gtest/gtest.h>

#include "entities/Entity.h"
#include "graphics/SpriteController.h"
#include "physics/Transform.h"
#include "support/EnginePassTest.h"

namespace {

constexpr int kCentreX = 540;
constexpr int kCentreY = 360;
constexpr int kVisible = 30;
// 100 pixels from the centre: inside a long bar 800 units long along its length (225 pixels
// lying, 267 standing), well outside it across (80 units are 23 to 27 pixels).
constexpr int kOffAxis = 100;

using SpriteControllerTest = EnginePassTest;

TEST_F(SpriteControllerTest, RotationIsPinnedEveryFrameWhateverTurnsTheEntity) {
    constexpr float kPinned = 90.0f;
    constexpr int kFrames = 3;
    Transform* transform = nullptr;
    // Something else turns the entity back to lying flat before the components update.
    probe.onPreUpdate = [&](int) { transform->SetRotation(0.0f); };
    probe.onRender = [&](int frame) {
        SCOPED_TRACE(frame);
        EXPECT_FLOAT_EQ(transform->rotation, kPinned);
        // A standing bar: lit above the centre, dark beside it.
        EXPECT_GT(ReadPixel(kCentreX, kCentreY - kOffAxis).r, kVisible);
        EXPECT_EQ(ReadPixel(kCentreX + kOffAxis, kCentreY).Brightness(), 0);
        engine.running = frame < kFrames;
    };
    RunPasses([&] {
        Entity& bar = AddEntity("Bar", {0.0f, 0.0f}, {800.0f, 80.0f});
        transform = bar.GetComponent<Transform>();
        AddSprite(bar, {1.0f, 0.0f, 0.0f});
        auto* controller = new SpriteController();
        controller->rotation = kPinned;
        bar.AddComponent(controller);
    });
    EXPECT_EQ(probe.frame, kFrames);
}

}  // namespace
