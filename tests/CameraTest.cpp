// The camera as the player sees it, on the real frame loop and window: the Camera component puts
// its entity at the centre of the picture, a Canvas keeps its children in place on screen (one
// frame behind a moving camera), and a TransformUI is never taken for the entity's Transform.
// What was drawn is read back from the framebuffer after every component has drawn.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "graphics/Camera.h"
#include "graphics/Canvas.h"
#include "graphics/TransformUI.h"
#include "physics/Transform.h"
#include "support/EnginePassTest.h"

namespace {

constexpr Vector3 kRed{1.0f, 0.0f, 0.0f};
constexpr Vector3 kGreen{0.0f, 1.0f, 0.0f};
constexpr Vector2 kSpriteSize{200.0f, 200.0f};
// The 1080 x 720 window shows 3840 x 2160 world units around the camera: 0.28125 pixels per
// unit across and 1/3 pixel per unit up.
constexpr int kCentreX = 540;
constexpr int kCentreY = 360;
constexpr int kVisible = 30;

bool IsRed(Pixel pixel) {
    return pixel.r > kVisible && pixel.g == 0;
}

bool IsGreen(Pixel pixel) {
    return pixel.g > kVisible && pixel.r == 0;
}

bool InCameraList(const Camera* camera) {
    const auto& layer = ComponentListSystem<Camera>::Instance().Layer(UpdateLayer::AVERAGE);
    return std::find(layer.begin(), layer.end(), camera) != layer.end();
}

using CameraTest = EnginePassTest;

TEST_F(CameraTest, EntityWithTheCameraIsDrawnAtTheWindowCentreWhereverItGoes) {
    Entity* player = nullptr;
    probe.onRender = [&](int frame) {
        if (frame == 1) {
            EXPECT_EQ(graphics.camera.position, (Vector3{500.0f, 200.0f, 0.0f}));
            EXPECT_TRUE(IsRed(ReadPixel(kCentreX, kCentreY)));
            // Where (500, 200) would be drawn with the camera still at the origin.
            EXPECT_EQ(ReadPixel(681, 293).Brightness(), 0);
            player->GetComponent<Transform>()->SetPosition({-700.0f, 300.0f});
            return;
        }
        EXPECT_EQ(graphics.camera.position, (Vector3{-700.0f, 300.0f, 0.0f}));
        EXPECT_TRUE(IsRed(ReadPixel(kCentreX, kCentreY)));
        // Where it would be drawn had the camera stayed at (500, 200).
        EXPECT_EQ(ReadPixel(202, 327).Brightness(), 0);
        engine.running = false;
    };
    RunPasses([&] {
        player = &AddEntity("Player", {500.0f, 200.0f}, kSpriteSize);
        AddSprite(*player, kRed);
        player->AddComponent(new Camera());
    });
    EXPECT_EQ(probe.frame, 2);
}

// A camera follows the entity's Transform only: on an entity without one, or with a TransformUI
// in its place, it leaves the camera where it was.
TEST_F(CameraTest, CameraWithoutATransformLeavesTheCameraWhereItWas) {
    constexpr Vector3 kStart{30.0f, 40.0f, 1.0f};
    std::vector<Camera*> cameras;
    probe.onUpdate = [&](int frame) {
        for (const Camera* camera : cameras) {
            EXPECT_TRUE(InCameraList(camera)) << "the camera must have been updated";
        }
        EXPECT_EQ(graphics.camera.position, kStart) << "frame " << frame;
        engine.running = frame < 2;
    };
    RunPasses([&] {
        graphics.camera.position = kStart;
        auto* bare = new Entity("Bare");
        cameras.push_back(new Camera());
        bare->AddComponent(cameras.back());
        engine.originEntity->AddChild(bare);

        auto* screenSpace = new Entity("ScreenSpace");
        auto* transformUI = new TransformUI();
        transformUI->SetPosition({500.0f, 200.0f});
        screenSpace->AddComponent(transformUI);
        cameras.push_back(new Camera());
        screenSpace->AddComponent(cameras.back());
        engine.originEntity->AddChild(screenSpace);
    });
}

// TransformUI is recorded under its own type, so the typed lookup for Transform (and with it every
// component that draws or moves the entity) never finds it.
TEST_F(CameraTest, TransformLookupDoesNotFindATransformUI) {
    Entity* both = nullptr;
    Entity* uiOnly = nullptr;
    Transform* transform = nullptr;
    TransformUI* bothUI = nullptr;
    TransformUI* onlyUI = nullptr;
    probe.onRender = [&](int) {
        EXPECT_EQ(both->GetComponent<Transform>(), transform);
        EXPECT_EQ(both->GetComponent<TransformUI>(), bothUI);
        EXPECT_EQ(uiOnly->GetComponent<Transform>(), nullptr);
        EXPECT_EQ(uiOnly->GetComponent<TransformUI>(), onlyUI);

        // The green sprite is drawn at its Transform (-800, 0), not at its TransformUI (800, 0).
        EXPECT_TRUE(IsGreen(ReadPixel(315, kCentreY)));
        EXPECT_EQ(ReadPixel(765, kCentreY).Brightness(), 0);
        // The red sprite has nothing to be placed by, so it is not drawn, not even at (0, -600).
        EXPECT_EQ(ReadPixel(kCentreX, 560).Brightness(), 0);
        EXPECT_EQ(ReadPixel(kCentreX, kCentreY).Brightness(), 0);
        engine.running = false;
    };
    RunPasses([&] {
        both = &AddEntity("Both", {-800.0f, 0.0f}, kSpriteSize);
        transform = both->GetComponent<Transform>();
        bothUI = new TransformUI();
        bothUI->SetPosition({800.0f, 0.0f});
        bothUI->SetScale(kSpriteSize);
        both->AddComponent(bothUI);
        AddSprite(*both, kGreen);

        uiOnly = new Entity("UIOnly");
        onlyUI = new TransformUI();
        onlyUI->SetPosition({0.0f, -600.0f});
        onlyUI->SetScale(kSpriteSize);
        uiOnly->AddComponent(onlyUI);
        AddSprite(*uiOnly, kRed);
        engine.originEntity->AddChild(uiOnly);
    });
}

// The canvas updates before the camera, so it copies where the camera was left by the previous
// frame: a label at the top of the screen stays there while the camera stands, and lags one
// frame's movement behind while it moves.
TEST_F(CameraTest, CanvasChildrenStayOnScreenOneFrameBehindAMovingCamera) {
    constexpr float kStep = 1000.0f;
    // 1000 world units are 281 pixels across.
    constexpr int kOneStepLeft = kCentreX - 281;
    constexpr int kLabelRow = 10;
    constexpr int kLastMovingFrame = 2;
    Entity* player = nullptr;
    Transform* canvas = nullptr;
    std::vector<float> cameraX{0.0f};
    probe.onUpdate = [&](int frame) {
        if (frame <= kLastMovingFrame) {
            player->GetComponent<Transform>()->SetPosition({kStep * frame, 0.0f});
        }
    };
    probe.onRender = [&](int frame) {
        SCOPED_TRACE(frame);
        cameraX.push_back(graphics.camera.position.x);
        EXPECT_EQ(canvas->position, (Vector2{cameraX[frame - 1], 0.0f})) << "last frame's camera";
        // The camera moved in frames 2 and 3 (it follows the player's position from before this
        // frame's move) and stands from frame 4 on.
        const bool moved = frame == 2 || frame == 3;
        EXPECT_EQ(cameraX[frame] != cameraX[frame - 1], moved);
        const int labelX = moved ? kOneStepLeft : kCentreX;
        const int otherX = moved ? kCentreX : kOneStepLeft;
        EXPECT_TRUE(IsRed(ReadPixel(labelX, kLabelRow)));
        EXPECT_EQ(ReadPixel(otherX, kLabelRow).Brightness(), 0);
        engine.running = frame < 5;
    };
    RunPasses([&] {
        player = &AddEntity("Player", {0.0f, 0.0f});
        player->AddComponent(new Camera());
        Entity& canvasEntity = AddEntity("Canvas", {0.0f, 0.0f});
        canvasEntity.AddComponent(new Canvas());
        canvas = canvasEntity.GetComponent<Transform>();
        // Local (0, 1080) is the top edge of the screen.
        Entity& label = AddEntity("Label", {0.0f, 1080.0f}, kSpriteSize, &canvasEntity);
        AddSprite(label, kRed);
    });
    EXPECT_EQ(cameraX.size(), 6u);
}

}  // namespace
