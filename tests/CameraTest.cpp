// The camera as the player sees it, on the real frame loop and window: the Camera component puts
// its entity at the centre of the picture, a Canvas keeps its children in place on screen (one
// frame behind a moving camera), and a TransformUI is never taken for the entity's Transform.
// What was drawn is read back from the framebuffer after every component has drawn.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <GLFW/glfw3.h>

#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "graphics/Camera.h"
#include "graphics/Canvas.h"
#include "graphics/TransformUI.h"
#include "physics/Transform.h"
#include "support/EnginePassTest.h"
#include "support/WindowTest.h"

namespace {

constexpr Vector3 kRed{1.0f, 0.0f, 0.0f};
constexpr Vector3 kGreen{0.0f, 1.0f, 0.0f};
constexpr Vector2 kSpriteSize{200.0f, 200.0f};
// The 1080 x 720 window shows 3240 x 2160 world units around the camera: 1/3 pixel per unit
// across and up.
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

// The shipped first level: 30 x 17 cells of 128 units, cells centred from (-1920, -1088).
constexpr CameraMatrices::Bounds kLevelOne{{-1984.0f, -1152.0f}, {1856.0f, 1024.0f}};
constexpr Vector2 kLevelOneSpawn{-1664.0f, -832.0f};

using CameraTest = EnginePassTest;

TEST_F(CameraTest, EntityWithTheCameraIsDrawnAtTheWindowCentreWhereverItGoes) {
    Entity* player = nullptr;
    probe.onRender = [&](int frame) {
        if (frame == 1) {
            EXPECT_EQ(graphics.camera.position, (Vector3{500.0f, 200.0f, 0.0f}));
            EXPECT_TRUE(IsRed(ReadPixel(kCentreX, kCentreY)));
            // Where (500, 200) would be drawn with the camera still at the origin.
            EXPECT_EQ(ReadPixel(707, 293).Brightness(), 0);
            player->GetComponent<Transform>()->SetPosition({-700.0f, 300.0f});
            return;
        }
        EXPECT_EQ(graphics.camera.position, (Vector3{-700.0f, 300.0f, 0.0f}));
        EXPECT_TRUE(IsRed(ReadPixel(kCentreX, kCentreY)));
        // Where it would be drawn had the camera stayed at (500, 200).
        EXPECT_EQ(ReadPixel(140, 327).Brightness(), 0);
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
        EXPECT_TRUE(IsGreen(ReadPixel(273, kCentreY)));
        EXPECT_EQ(ReadPixel(807, kCentreY).Brightness(), 0);
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
    // 1000 world units are 333 pixels across.
    constexpr int kOneStepLeft = kCentreX - 333;
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

struct BoundsCase {
    const char* name;
    int windowWidth;
    int windowHeight;
    std::optional<CameraMatrices::Bounds> bounds;
    Vector2 entity;
    Vector2 view;
};

// A bounded camera stops where the view's edge meets the bounds, and stays at their centre on an
// axis where they are narrower than the view. The view is 3240 x 2160 units at 1080 x 720 and
// 3840 x 2160 at 1920 x 1080, so the first level (3840 x 2176) only just fills it then.
using CameraBoundsTest = WindowTest;

TEST_F(CameraBoundsTest, BoundedCameraKeepsTheViewInsideItsBounds) {
    const CameraMatrices::Bounds narrow{{-500.0f, -2000.0f}, {500.0f, 2000.0f}};
    const BoundsCase cases[] = {
        {"spawn, held off the bottom-left corner",
         1080,
         720,
         kLevelOne,
         kLevelOneSpawn,
         {-364.0f, -72.0f}},
        {"middle: the level is 16 units taller than the view",
         1080,
         720,
         kLevelOne,
         {0.0f, 0.0f},
         {0.0f, -56.0f}},
        {"top-right corner", 1080, 720, kLevelOne, {1800.0f, 1000.0f}, {236.0f, -56.0f}},
        {"narrower than the view: centred across, free up to its ends",
         1080,
         720,
         narrow,
         {400.0f, 1500.0f},
         {0.0f, 920.0f}},
        {"wider window: the level's width exactly fills the view",
         1920,
         1080,
         kLevelOne,
         kLevelOneSpawn,
         {-64.0f, -72.0f}},
        {"no bounds: anywhere", 1080, 720, std::nullopt, {3000.0f, -3000.0f}, {3000.0f, -3000.0f}},
    };
    for (const BoundsCase& c : cases) {
        SCOPED_TRACE(c.name);
        graphics.OnFramebufferResized(c.windowWidth, c.windowHeight);
        Entity entity("Player");
        auto* transform = new Transform();
        transform->SetPosition(c.entity);
        entity.AddComponent(transform);
        auto* camera = new Camera();
        camera->bounds = c.bounds;
        entity.AddComponent(camera);
        camera->Update(0.0f);
        const Vector2 centre = graphics.camera.ViewCentre();
        EXPECT_NEAR(centre.x, c.view.x, 1e-3);
        EXPECT_NEAR(centre.y, c.view.y, 1e-3);
        // What chases the camera (enemies) still runs at the entity.
        EXPECT_EQ(graphics.camera.position, (Vector3{c.entity.x, c.entity.y, 0.0f}));
    }
    ShutDownLists<Camera, Transform>();
}

// At the first level's spawn the whole window shows the level (a green panel of its size), and
// the player is drawn off-centre, towards the corner it stands in.
TEST_F(CameraTest, ViewAtTheLevelsSpawnShowsOnlyTheLevel) {
    const Vector2 levelSize = kLevelOne.max - kLevelOne.min;
    const Vector2 levelCentre = (kLevelOne.min + kLevelOne.max) * 0.5f;
    // The spawn is 1300 units left of and 760 units below the held camera (-364, -72).
    constexpr int kSpawnX = kCentreX - 433;
    constexpr int kSpawnY = kCentreY + 253;
    probe.onRender = [&](int) {
        for (const auto& [x, y] :
             {std::pair{0, 0}, std::pair{1079, 0}, std::pair{0, 719}, std::pair{1079, 719},
              std::pair{kCentreX, 719}, std::pair{0, kCentreY}}) {
            EXPECT_TRUE(IsGreen(ReadPixel(x, y))) << "level at " << x << ", " << y;
        }
        EXPECT_TRUE(IsRed(ReadPixel(kSpawnX, kSpawnY)));
        EXPECT_TRUE(IsGreen(ReadPixel(kCentreX, kCentreY)));
        engine.running = false;
    };
    RunPasses([&] {
        AddSprite(AddEntity("Level", levelCentre, levelSize), kGreen);
        Entity& player = AddEntity("Player", kLevelOneSpawn, kSpriteSize);
        AddSprite(player, kRed);
        auto* camera = new Camera();
        camera->bounds = kLevelOne;
        player.AddComponent(camera);
    });
    EXPECT_EQ(probe.frame, 1);
}

// A canvas child anchored to the screen's right edge through the visible extent stays at that
// edge, at its size in pixels for the window's height, when the window takes another shape.
TEST_F(CameraTest, CanvasChildAnchoredToTheVisibleEdgeFollowsAResize) {
    constexpr float kMargin = 150.0f;
    constexpr int kResizedWidth = 1000;
    constexpr int kResizedHeight = 500;
    Entity* anchored = nullptr;
    bool resizeAsked = false;
    std::vector<int> checkedWidths;
    probe.onUpdate = [&](int) {
        const float halfWidth = graphics.camera.VisibleHalfWidth();
        anchored->GetComponent<Transform>()->SetPosition({halfWidth - kMargin, 0.0f});
    };
    probe.onRender = [&](int) {
        const int width = graphics.window.width;
        const int height = graphics.window.height;
        if (resizeAsked && width != kResizedWidth) {
            return;  // the window system has not reported the new size yet
        }
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        // The sprite's centre lies `kMargin` units in from the right edge, 2160 units being the
        // window's height.
        const double pixelsPerUnit = height / 2160.0;
        const int centreX = width - static_cast<int>(kMargin * pixelsPerUnit);
        const int halfSprite = static_cast<int>(100.0 * pixelsPerUnit);
        EXPECT_TRUE(IsRed(ReadPixel(centreX, height / 2)));
        EXPECT_TRUE(IsRed(ReadPixel(centreX + halfSprite - 2, height / 2)));
        EXPECT_EQ(ReadPixel(centreX + halfSprite + 3, height / 2).Brightness(), 0);
        EXPECT_EQ(ReadPixel(centreX - halfSprite - 3, height / 2).Brightness(), 0);
        checkedWidths.push_back(width);
        if (!resizeAsked) {
            glfwSetWindowSize(graphics.window, kResizedWidth, kResizedHeight);
            resizeAsked = true;
            return;
        }
        engine.running = false;
    };
    RunPasses([&] {
        Entity& canvasEntity = AddEntity("Canvas", {0.0f, 0.0f});
        canvasEntity.AddComponent(new Canvas());
        anchored = &AddEntity("Anchored", {0.0f, 0.0f}, kSpriteSize, &canvasEntity);
        AddSprite(*anchored, kRed);
    });
    EXPECT_EQ(checkedWidths, (std::vector<int>{1080, kResizedWidth}));
}

}  // namespace
