// What the sprite and debug-line paths put on screen, read back from the real framebuffer.

#include <gtest/gtest.h>

#include <glad/gl.h>

#include <array>

#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "graphics/DebugDrawSystem.h"
#include "graphics/Emitter.h"
#include "graphics/GraphicsSystem.h"
#include "graphics/Shader.h"
#include "graphics/Sprite.h"
#include "graphics/Texture.h"
#include "physics/Transform.h"
#include "support/GameTree.h"
#include "support/WindowTest.h"

namespace {

struct Pixel {
    int r;
    int g;
    int b;
    int Brightness() const { return r + g + b; }
};

class SpriteRenderTest : public WindowTest {
protected:
    void TearDown() override {
        entities.clear();
        ShutDownLists<Transform, Sprite, Emitter>();
        WindowTest::TearDown();
    }

    Entity& AddEntity(Vector2 position, Vector2 scale, Entity* parent = nullptr) {
        auto entity = std::make_unique<Entity>("Test");
        auto* transform = new Transform();
        entity->AddComponent(transform);
        transform->SetPosition(position);
        transform->SetScale(scale);
        Entity& added = *entity;
        if (parent != nullptr) {
            parent->AddChild(entity.release());
        } else {
            entities.push_back(std::move(entity));
        }
        return added;
    }

    // A sprite tinted pure `color` over the stock texture.
    Sprite& AddSprite(Entity& entity, Vector3 color) {
        auto* sprite = new Sprite();
        sprite->color = color;
        entity.AddComponent(sprite);
        return *sprite;
    }

    Emitter& AddEmitter(Entity& entity, Vector3 color, float radius) {
        auto* emitter = new Emitter();
        emitter->color = color;
        emitter->radius = radius;
        entity.AddComponent(emitter);
        return *emitter;
    }

    void CompileLights() {
        ComponentListSystem<Emitter>::Instance().FlushPending();
        graphics.CompileEmitters(ComponentListSystem<Emitter>::Instance().Layers());
    }

    // Clears, draws every sprite, and leaves the frame in the back buffer for reading.
    void DrawFrame() {
        graphics.StartDrawing();
        for (const auto& entity : entities) {
            if (Sprite* sprite = entity->GetComponent<Sprite>()) {
                sprite->Render();
            }
        }
    }

    // Window pixel with the origin at the top left, as the window-to-world rule counts.
    static Pixel ReadPixel(int x, int y) {
        std::array<unsigned char, 4> rgba{};
        glReadPixels(x, GameWindow::kInitialHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                     rgba.data());
        return {rgba[0], rgba[1], rgba[2]};
    }

    GameTree tree;
    std::vector<std::unique_ptr<Entity>> entities;
};

TEST_F(SpriteRenderTest, SpriteAppearsWhereTheCameraRulePlacesIt) {
    Entity& red = AddEntity({0.0f, 0.0f}, {200.0f, 200.0f});
    AddSprite(red, {1.0f, 0.0f, 0.0f});
    CompileLights();
    DrawFrame();
    const Pixel centre = ReadPixel(540, 360);
    EXPECT_GT(centre.r, 30);
    EXPECT_EQ(centre.g, 0);
    // 100 world units either side are 33 pixels at 1080 pixels for 3240 units.
    EXPECT_GT(ReadPixel(540 + 30, 360 - 30).r, 30);
    EXPECT_EQ(ReadPixel(540 + 37, 360).Brightness(), 0);
    EXPECT_EQ(ReadPixel(540, 360 + 37).Brightness(), 0);

    // Moving the camera 1000 units right moves the sprite 333 pixels left.
    graphics.camera.position = {1000.0f, 0.0f, 1.0f};
    DrawFrame();
    EXPECT_EQ(ReadPixel(540, 360).Brightness(), 0);
    EXPECT_GT(ReadPixel(540 - 333, 360).r, 30);

    // World (1620, 1080) is the top-right corner with the camera at the origin.
    graphics.camera.position = {0.0f, 0.0f, 1.0f};
    red.GetComponent<Transform>()->SetPosition({1620.0f, 1080.0f});
    DrawFrame();
    EXPECT_GT(ReadPixel(1079, 0).r, 30);
    EXPECT_EQ(ReadPixel(1079, 719).Brightness(), 0);
    EXPECT_EQ(ReadPixel(540, 360).Brightness(), 0);
}

TEST_F(SpriteRenderTest, LightArraysAreUploadedOncePerProgramSwitch) {
    Entity& first = AddEntity({-500.0f, 0.0f}, {100.0f, 100.0f});
    Entity& second = AddEntity({500.0f, 0.0f}, {100.0f, 100.0f});
    Sprite& a = AddSprite(first, {1.0f, 1.0f, 1.0f});
    Sprite& b = AddSprite(second, {1.0f, 1.0f, 1.0f});
    AddEmitter(first, {1.0f, 1.0f, 1.0f}, 300.0f);
    CompileLights();
    const auto lighting = static_cast<GLuint>(a.shader->program);
    const GLint numLights = glGetUniformLocation(lighting, "numLights");
    ASSERT_NE(numLights, -1);
    // A light count no upload writes: it survives exactly until the arrays are uploaded again.
    constexpr GLint kUntouched = 99;
    const auto overwriteLightCount = [&] {
        GLint current = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        ASSERT_EQ(static_cast<GLuint>(current), lighting) << "the sprites' program is current";
        glUniform1i(numLights, kUntouched);
    };
    const auto lightCount = [&] {
        GLint count = -1;
        glGetUniformiv(lighting, numLights, &count);
        return count;
    };
    graphics.StartDrawing();
    a.Render();
    EXPECT_EQ(lightCount(), 1) << "the first sprite uploads";
    overwriteLightCount();
    b.Render();
    EXPECT_EQ(lightCount(), kUntouched) << "same program: no second upload";

    DebugDrawSystem::Instance().Initialize();
    DebugDrawSystem::Instance().Render();
    b.Render();
    EXPECT_EQ(lightCount(), 1) << "a debug draw switches program";
    overwriteLightCount();

    graphics.SwapBuffers();
    a.Render();
    EXPECT_EQ(lightCount(), 1) << "every frame uploads again";
    DebugDrawSystem::Instance().ShutDown();
}

TEST_F(SpriteRenderTest, EmittersArePlacedAtTheirEntitiesWorldPositions) {
    Entity& lamp = AddEntity({100.0f, 50.0f}, {1.0f, 1.0f});
    AddEmitter(lamp, {1.0f, 0.0f, 0.0f}, 300.0f);
    AddEmitter(lamp, {0.0f, 0.0f, 1.0f}, 400.0f);
    // Two emitters on one entity are recorded under one type: the second replaces the first in
    // the entity's map, but both stay in the list and both give light.
    Entity& parent = AddEntity({100.0f, 50.0f}, {2.0f, 3.0f});
    parent.GetComponent<Transform>()->SetRotation(90.0f);
    Entity& child = AddEntity({10.0f, 0.0f}, {1.0f, 1.0f}, &parent);
    AddEmitter(child, {0.0f, 1.0f, 0.0f}, 50.0f);
    Entity bare("NoTransform");
    AddEmitter(bare, {1.0f, 1.0f, 1.0f}, 10.0f);
    CompileLights();

    ASSERT_EQ(graphics.lights.positions.size(), 3u) << "the emitter without a transform is skipped";
    EXPECT_EQ(graphics.lights.radii, (std::vector<float>{300.0f, 400.0f, 50.0f}));
    EXPECT_EQ(graphics.lights.positions[0], (Vector3{100.0f, 50.0f, 0.0f}));
    EXPECT_EQ(graphics.lights.positions[1], (Vector3{100.0f, 50.0f, 0.0f}));
    EXPECT_NEAR(graphics.lights.positions[2].x, 100.0f, 1e-3);
    EXPECT_NEAR(graphics.lights.positions[2].y, 70.0f, 1e-3);
    EXPECT_EQ(graphics.lights.colors[2], (Vector3{0.0f, 1.0f, 0.0f}));
    bare.components.clear();
}

TEST_F(SpriteRenderTest, LitSpriteIsBrighterNearTheLight) {
    Entity& wall = AddEntity({0.0f, 0.0f}, {3840.0f, 2160.0f});
    AddSprite(wall, {1.0f, 1.0f, 1.0f});
    Entity& lamp = AddEntity({-1000.0f, 0.0f}, {1.0f, 1.0f});
    AddEmitter(lamp, {1.0f, 0.6f, 0.2f}, 900.0f);
    CompileLights();
    DrawFrame();
    // World x -1000 is pixel 207; +1000 is pixel 873.
    const Pixel nearLight = ReadPixel(207, 360);
    const Pixel farFromLight = ReadPixel(873, 360);
    EXPECT_GT(nearLight.Brightness(), farFromLight.Brightness() + 150);
    EXPECT_GT(nearLight.r, nearLight.b) << "the light's colour shows";
    EXPECT_GT(farFromLight.Brightness(), 0) << "ambient keeps unlit sprites visible";
}

TEST_F(SpriteRenderTest, DebugLinesAreDrawnWhereQueuedAndGoneTheNextFrame) {
    DebugDrawSystem& lines = DebugDrawSystem::Instance();
    lines.Initialize();
    graphics.StartDrawing();
    lines.AddLine({0.0f, 0.0f}, {1920.0f, 0.0f});
    lines.Render();
    const auto whiteNearRow = [](int x) {
        for (int y = 358; y <= 362; ++y) {
            if (ReadPixel(x, y).Brightness() == 3 * 255) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(whiteNearRow(800));
    EXPECT_TRUE(whiteNearRow(1075));
    EXPECT_FALSE(whiteNearRow(300)) << "the line starts at the centre";
    EXPECT_TRUE(lines.points.empty());

    graphics.SwapBuffers();
    graphics.StartDrawing();
    lines.Render();
    EXPECT_FALSE(whiteNearRow(800));
    lines.ShutDown();
}

}  // namespace
