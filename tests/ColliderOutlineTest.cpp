// Collider outlines on the real window: what each kind hands to debug drawing, read back from
// the framebuffer, and where the outlines fall in the frame (over the sprites, under the queued
// debug lines). Also the circle the engine's start-up gives its pointer entity, since start-up
// makes OpenGL objects.

#include <gtest/gtest.h>

#include <glad/gl.h>

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/Engine.h"
#include "engine/UpdateLayer.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "game/GameComposition.h"
#include "graphics/DebugDrawSystem.h"
#include "graphics/GraphicsSystem.h"
#include "physics/Collider.h"
#include "physics/ColliderCircle.h"
#include "physics/ColliderLine.h"
#include "physics/ColliderRectangle.h"
#include "physics/ColliderSystem.h"
#include "physics/Transform.h"
#include "support/EnginePassTest.h"
#include "support/GameTree.h"
#include "support/WindowTest.h"

namespace {

constexpr Pixel kGreen{0, 255, 0};
constexpr Pixel kRed{255, 0, 0};
constexpr Pixel kWhite{255, 255, 255};

// Window pixel with the origin at the top left.
Pixel ReadWindowPixel(int x, int y) {
    std::array<unsigned char, 4> rgba{};
    glReadPixels(x, GameWindow::kInitialHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.data());
    return {rgba[0], rgba[1], rgba[2]};
}

bool Same(Pixel a, Pixel b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

// Whether a pixel of exactly `colour` lies within `reach` pixels of (x, y).
bool ColourNear(int x, int y, Pixel colour, int reach = 3) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            if (Same(ReadWindowPixel(x + dx, y + dy), colour)) {
                return true;
            }
        }
    }
    return false;
}

// The window pixel of a world point with the camera at its start: 1080 x 720 pixels show
// 3240 x 2160 world units, 3 units a pixel both ways.
struct WindowPoint {
    int x;
    int y;
};
WindowPoint PixelOf(Vector2 world) {
    return {540 + static_cast<int>(std::lround(world.x / 3.0f)),
            360 - static_cast<int>(std::lround(world.y / 3.0f))};
}

bool ColourNear(Vector2 world, Pixel colour) {
    const WindowPoint point = PixelOf(world);
    return ColourNear(point.x, point.y, colour);
}

class ColliderOutlineTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        DebugDrawSystem::Instance().Initialize();
    }

    void TearDown() override {
        entities.clear();
        ShutDownLists<ColliderCircle, ColliderLine, ColliderRectangle, Transform>();
        DebugDrawSystem::Instance().ShutDown();
        WindowTest::TearDown();
    }

    Entity& AddEntity(const std::string& name, Vector2 position, Vector2 scale = {1.0f, 1.0f}) {
        entities.push_back(std::make_unique<Entity>(name));
        auto* transform = new Transform();
        transform->SetPosition(position);
        transform->SetScale(scale);
        entities.back()->AddComponent(transform);
        return *entities.back();
    }

    ColliderCircle& AddCircle(Entity& entity, float radius) {
        auto* circle = new ColliderCircle();
        circle->radius = radius;
        entity.AddComponent(circle);
        return *circle;
    }

    ColliderLine& AddLine(Entity& entity, std::vector<Vector2> vertices) {
        auto* line = new ColliderLine();
        line->vertices = std::move(vertices);
        entity.AddComponent(line);
        return *line;
    }

    ColliderRectangle& AddRectangle(Entity& entity, Vector2 relativePos, Vector2 size) {
        auto* rectangle = new ColliderRectangle();
        rectangle->relativePos = relativePos;
        rectangle->size = size;
        entity.AddComponent(rectangle);
        return *rectangle;
    }

    // The colliders enter their lists (Initialize: outlines).
    static void Flush() {
        ComponentListSystem<Transform>::Instance().FlushPending();
        ComponentListSystem<ColliderCircle>::Instance().FlushPending();
        ComponentListSystem<ColliderLine>::Instance().FlushPending();
        ComponentListSystem<ColliderRectangle>::Instance().FlushPending();
    }

    GameTree tree;
    std::vector<std::unique_ptr<Entity>> entities;
};

TEST_F(ColliderOutlineTest, OutlinesAreDrawnOnlyWhileDebugCollidersAreShown) {
    // World x 200 is pixel 607 at the camera's start; world x -1000 is pixel 207, y 100 is 327.
    ColliderCircle& circle = AddCircle(AddEntity("Ball", {0, 0}), 200.0f);
    ColliderLine& line = AddLine(AddEntity("Wall", {-1000, 0}), {{-100, 0}, {100, 0}});
    Flush();

    graphics.StartDrawing();
    circle.Render();
    line.Render();
    EXPECT_TRUE(ColourNear(607, 360, kGreen)) << "circle outline";
    EXPECT_FALSE(ColourNear(540, 360, kGreen)) << "only the outline, not the disc";
    EXPECT_TRUE(ColourNear(207, 360, kGreen)) << "line segment";
    EXPECT_TRUE(ColourNear(207, 327, kRed)) << "line bounds";

    Collider::showDebugColliders = false;
    graphics.SwapBuffers();
    graphics.StartDrawing();
    circle.Render();
    line.Render();
    EXPECT_FALSE(ColourNear(607, 360, kGreen));
    EXPECT_FALSE(ColourNear(207, 360, kGreen));
    Collider::showDebugColliders = true;
}

// A world point and the colour that must (or must not) be drawn near it.
struct Mark {
    Vector2 world;
    Pixel colour;
};

struct OutlineCase {
    const char* name;
    // Adds the collider to draw and returns it.
    std::function<Collider&()> add;
    std::vector<Mark> drawn;
    std::vector<Mark> notDrawn;
};

TEST_F(ColliderOutlineTest, EachKindsOutlineLiesAtItsPlaceScaleAndPrimitive) {
    const OutlineCase cases[] = {
        {"a circle takes the larger world scale on both axes",
         [&]() -> Collider& {
             return AddCircle(AddEntity("Ball", {0, 0}, {2, 3}), 100.0f);
         },
         {{{300, 0}, kGreen}, {{0, 300}, kGreen}, {{-300, 0}, kGreen}},
         {{{200, 0}, kGreen}, {{0, 200}, kGreen}, {{0, 0}, kGreen}}},
        // The corners hold the offset (scaled with them), and the outline is placed at it too.
        {"a rectangle's offset counts in its corners and in its place, its size scales per axis",
         [&]() -> Collider& {
             return AddRectangle(AddEntity("Box", {-1000, 0}, {2, 1}), {100, 0}, {400, 200});
         },
         {{{-1100, 0}, kGreen}, {{-300, 0}, kGreen}, {{-700, 100}, kGreen}, {{-700, -100}, kGreen}},
         {{{-700, 0}, kGreen}, {{-500, 0}, kGreen}}},
        {"a line strip joins every vertex and hidden bounds stay hidden",
         [&]() -> Collider& {
             ColliderLine& line =
                 AddLine(AddEntity("Roof", {1000, -300}), {{-200, 0}, {0, 200}, {200, 0}});
             line.drawMode = GL_LINE_STRIP;
             line.showBounds = false;
             return line;
         },
         {{{900, -200}, kGreen}, {{1100, -200}, kGreen}},
         {{{1200, -233}, kRed}, {{800, -233}, kRed}}},
    };
    for (const OutlineCase& c : cases) {
        SCOPED_TRACE(c.name);
        Collider& collider = c.add();
        Flush();
        graphics.StartDrawing();
        collider.Render();
        for (const Mark& mark : c.drawn) {
            EXPECT_TRUE(ColourNear(mark.world, mark.colour))
                << "at (" << mark.world.x << ", " << mark.world.y << ")";
        }
        for (const Mark& mark : c.notDrawn) {
            EXPECT_FALSE(ColourNear(mark.world, mark.colour))
                << "at (" << mark.world.x << ", " << mark.world.y << ")";
        }
        graphics.SwapBuffers();
    }
}

// In the real frame the outlines go out during the component lists' render pass: after the
// sprites, before the lines queued with debug drawing.
using ColliderOutlineFrameTest = EnginePassTest;

TEST_F(ColliderOutlineFrameTest, OutlinesLieOverTheSpritesAndUnderTheQueuedLines) {
    constexpr Vector2 kCentre{-1000.0f, 300.0f};
    // A cross of two segments over a red panel; the horizontal one is queued as a white line too.
    const Vector2 left = kCentre + Vector2{-200.0f, 0.0f};
    const Vector2 right = kCentre + Vector2{200.0f, 0.0f};
    probe.onUpdate = [&](int) { DebugDrawSystem::Instance().AddLine(left, right); };
    probe.onRender = [&](int) {
        const WindowPoint onVertical = PixelOf(kCentre + Vector2{0.0f, 50.0f});
        const WindowPoint onHorizontal = PixelOf(kCentre + Vector2{-100.0f, 0.0f});
        const WindowPoint panelOnly = PixelOf(kCentre + Vector2{-100.0f, 50.0f});
        // The reach covers where a line between two pixel rows or columns may land.
        constexpr int kReach = 2;
        EXPECT_TRUE(ColourNear(onVertical.x, onVertical.y, kGreen, kReach))
            << "outline over sprite";
        // The queued line has the horizontal segment's very points, so it covers it pixel for
        // pixel when it is drawn last.
        EXPECT_TRUE(ColourNear(onHorizontal.x, onHorizontal.y, kWhite, kReach));
        EXPECT_FALSE(ColourNear(onHorizontal.x, onHorizontal.y, kGreen, kReach))
            << "queued line over outline";
        const Pixel panel = ReadPixel(panelOnly.x, panelOnly.y);
        EXPECT_GT(panel.r, 30);
        EXPECT_EQ(panel.g, 0);
        engine.running = false;
    };
    RunPasses([&] {
        AddSprite(AddEntity("Panel", kCentre, {800.0f, 400.0f}), {1.0f, 0.0f, 0.0f});
        auto* cross = new ColliderLine();
        cross->vertices = {{-200, 0}, {200, 0}, {0, -100}, {0, 100}};
        cross->showBounds = false;
        AddEntity("Cross", kCentre).AddComponent(cross);
    });
    EXPECT_EQ(probe.frame, 1);
}

// ---- Engine wiring ----

class ColliderEngineTest : public WindowTest {
protected:
    GameTree tree;
};

TEST_F(ColliderEngineTest, EnginePointerCarriesACircleOfRadiusTen) {
    Engine& engine = Engine::Instance();
    engine.Initialize(GameComposition().engineSystems);

    auto* pointer = engine.mouseObject->GetComponent<ColliderCircle>();
    ASSERT_NE(pointer, nullptr);
    EXPECT_EQ(pointer->radius, 10.0f);
    EXPECT_FALSE(pointer->isSolid);
    EXPECT_EQ(
        engine.mouseObject->components.at(&ComponentListSystem<ColliderCircle>::Instance()).layer,
        UpdateLayer::AVERAGE);
    ASSERT_GE(engine.systems.size(), 3u);
    EXPECT_EQ(engine.systems[2], &ColliderSystem::Instance());

    engine.Shutdown();
}

}  // namespace
