#include "support/EnginePassTest.h"

#include <glad/gl.h>

#include <array>

#include <nlohmann/json.hpp>

#include "entities/Entity.h"
#include "graphics/Sprite.h"
#include "physics/Transform.h"

EnginePassTest::EnginePassTest() {
    tree.WriteFile("Data/EngineSettingFiles/SettingsRouter.txt", "Settings.json");
    tree.WriteFile("Data/EngineSettingFiles/Settings.json",
                   nlohmann::json{{"defaultEntityFile", ""}, {"runOnStart", "1"}}.dump());
}

void EnginePassTest::TearDown() {
    graphics.ShutDown();
}

void EnginePassTest::RunPasses(const std::function<void()>& setup) {
    // One tick per frame, however long the frames take on this machine.
    engine.ticksPerFrame = 1;
    ASSERT_TRUE(program.StartUp());
    program.RunEnginePasses([&] {
        setup();
        probe.frame = 0;
        engine.RegisterSystem(&probe);
    });
}

Entity& EnginePassTest::AddEntity(const char* name, Vector2 position, Vector2 scale,
                                  Entity* parent) {
    auto* entity = new Entity(name);
    auto* transform = new Transform();
    transform->SetPosition(position);
    transform->SetScale(scale);
    entity->AddComponent(transform);
    (parent != nullptr ? parent : engine.originEntity)->AddChild(entity);
    return *entity;
}

Sprite& EnginePassTest::AddSprite(Entity& entity, Vector3 color) {
    auto* sprite = new Sprite();
    sprite->color = color;
    entity.AddComponent(sprite);
    return *sprite;
}

Pixel EnginePassTest::ReadPixel(int x, int y) const {
    std::array<unsigned char, 4> rgba{};
    glReadPixels(x, graphics.window.height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return {rgba[0], rgba[1], rgba[2]};
}
