// Frame cost with N small lit sprites, against raw OpenGL drawing the same picture.
//
// Engine: N entities with a Transform and a default Sprite (lighting shader, stock quad mesh and
// texture) and 8 lights; every frame moves every sprite and then runs the frame's drawing part as
// the frame loop does: engine update, emitter compilation, start drawing, engine render, and
// glFinish so the measured time includes the rasteriser's work.
//
// Baseline: the same N quads at the same places with the same program, texture, camera, lights
// and uniform values, drawn with one glDrawArrays each; program, vertex array and texture are
// bound once per frame and never unbound, uniform locations are looked up once.
//
// The buffer swap of both sides is left out of the measured time (it is the same copy for both).

#include <benchmark/benchmark.h>

#include <glad/gl.h>

#include <GLFW/glfw3.h>

#include <array>
#include <vector>

#include "BenchEngine.h"
#include "engine/Matrix4.h"
#include "engine/Vector2.h"
#include "engine/Vector3.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "graphics/Emitter.h"
#include "graphics/GraphicsSystem.h"
#include "graphics/Mesh.h"
#include "graphics/Shader.h"
#include "graphics/Sprite.h"
#include "graphics/Texture.h"
#include "physics/Transform.h"

namespace {

constexpr float kDt = 1.0f / 60.0f;
// A few pixels on screen: the frame's cost is the CPU's, not the rasteriser's.
constexpr float kSpriteSize = 12.0f;
constexpr int kGridColumns = 100;
constexpr float kGridLeft = -1850.0f;
constexpr float kGridBottom = -1000.0f;
constexpr float kGridStep = 37.0f;
constexpr int kLightCount = 8;

// Where sprite i stands in frame f: a grid over the visible world, drifting sideways.
Vector2 SpritePosition(int i, int frame) {
    const float drift = static_cast<float>(frame % 40 - 20);
    return {kGridLeft + static_cast<float>(i % kGridColumns) * kGridStep + drift,
            kGridBottom + static_cast<float>(i / kGridColumns) * (kGridStep * 0.5f)};
}

struct Light {
    Vector2 position;
    Vector3 color;
    float radius;
};

std::array<Light, kLightCount> Lights() {
    std::array<Light, kLightCount> lights{};
    for (int i = 0; i < kLightCount; ++i) {
        lights[i] = {{-1600.0f + 450.0f * static_cast<float>(i), (i % 2 == 0) ? 500.0f : -500.0f},
                     {0.2f + 0.1f * static_cast<float>(i), 0.5f, 1.0f - 0.1f * static_cast<float>(i)},
                     700.0f};
    }
    return lights;
}

void BM_Frame_Engine(benchmark::State& state) {
    BenchEngine* bench = BenchEngine::Get();
    if (bench == nullptr) {
        state.SkipWithError("the engine could not start");
        return;
    }
    Engine& engine = Engine::Instance();
    GraphicsSystem& graphics = GraphicsSystem::Instance();
    const int count = static_cast<int>(state.range(0));

    auto* holder = new Entity("FrameBench");
    engine.originEntity->AddChild(holder);
    std::vector<Transform*> transforms;
    transforms.reserve(count);
    for (int i = 0; i < count; ++i) {
        auto* entity = new Entity("Sprite");
        auto* transform = new Transform();
        transform->SetPosition(SpritePosition(i, 0));
        transform->SetScale({kSpriteSize, kSpriteSize});
        entity->AddComponent(transform);
        auto* sprite = new Sprite();
        sprite->color = {1.0f, 1.0f, 1.0f};
        entity->AddComponent(sprite);
        holder->AddChild(entity);
        transforms.push_back(transform);
    }
    for (const Light& light : Lights()) {
        auto* entity = new Entity("Light");
        auto* transform = new Transform();
        transform->SetPosition(light.position);
        entity->AddComponent(transform);
        auto* emitter = new Emitter();
        emitter->color = light.color;
        emitter->radius = light.radius;
        entity->AddComponent(emitter);
        holder->AddChild(entity);
    }
    BenchEngine::Flush();

    int frame = 0;
    for (auto _ : state) {
        ++frame;
        for (int i = 0; i < count; ++i) {
            transforms[i]->SetPosition(SpritePosition(i, frame));
        }
        engine.Update(kDt);
        graphics.CompileEmitters(ComponentListSystem<Emitter>::Instance().Layers());
        graphics.StartDrawing();
        engine.Render();
        glFinish();

        state.PauseTiming();
        graphics.SwapBuffers();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);

    holder->Destroy();
    BenchEngine::Flush();
}

void BM_Frame_Baseline(benchmark::State& state) {
    BenchEngine* bench = BenchEngine::Get();
    if (bench == nullptr) {
        state.SkipWithError("the engine could not start");
        return;
    }
    GraphicsSystem& graphics = GraphicsSystem::Instance();
    const int count = static_cast<int>(state.range(0));

    const auto program = static_cast<GLuint>(GetShader("LightingShader.json")->program);
    const Mesh* mesh = GetMesh("1x1Mesh.json");
    const auto vertexCount = static_cast<GLsizei>(mesh->vertices.size());
    const auto texture = static_cast<GLuint>(GetTexture("milk.png")->id);
    const GLint world = glGetUniformLocation(program, "world");
    const GLint textureOffset = glGetUniformLocation(program, "textureOffset");
    const GLint passColor = glGetUniformLocation(program, "passColor");
    const GLint projectionLocation = glGetUniformLocation(program, "projection");
    const GLint viewLocation = glGetUniformLocation(program, "view");
    const GLint emitterPos = glGetUniformLocation(program, "emitterPos");
    const GLint emitterCols = glGetUniformLocation(program, "emitterCols");
    const GLint emitterRadii = glGetUniformLocation(program, "emitterRadii");
    const GLint numLights = glGetUniformLocation(program, "numLights");

    std::vector<float> lightPositions;
    std::vector<float> lightColors;
    std::vector<float> lightRadii;
    for (const Light& light : Lights()) {
        lightPositions.insert(lightPositions.end(), {light.position.x, light.position.y, 0.0f});
        lightColors.insert(lightColors.end(), {light.color.x, light.color.y, light.color.z});
        lightRadii.push_back(light.radius);
    }
    const Vector2 centre = graphics.camera.ViewCentre();
    const Vector3 camera{centre.x, centre.y, graphics.camera.position.z};
    // The baseline shows the same world area as the engine's camera over the same window.
    const float halfWidth = graphics.camera.VisibleHalfWidth();
    const float halfHeight = graphics.camera.VisibleHalfHeight();

    int frame = 0;
    for (auto _ : state) {
        ++frame;
        glViewport(0, 0, graphics.window.width, graphics.window.height);
        const Matrix4 view =
            Matrix4::LookAt(camera, {camera.x, camera.y, 0.0f}, {0.0f, 1.0f, 0.0f});
        const Matrix4 projection =
            Matrix4::Orthographic(camera.x - halfWidth, camera.x + halfWidth,
                                  camera.y - halfHeight, camera.y + halfHeight);
        glClear(GL_COLOR_BUFFER_BIT);

        glUseProgram(program);
        glBindVertexArray(mesh->vertexArray);
        glBindTexture(GL_TEXTURE_2D, texture);
        glUniform3fv(emitterPos, kLightCount, lightPositions.data());
        glUniform3fv(emitterCols, kLightCount, lightColors.data());
        glUniform1fv(emitterRadii, kLightCount, lightRadii.data());
        glUniform1i(numLights, kLightCount);
        glUniformMatrix4fv(projectionLocation, 1, GL_FALSE, projection.data());
        glUniformMatrix4fv(viewLocation, 1, GL_FALSE, view.data());
        for (int i = 0; i < count; ++i) {
            const Vector2 position = SpritePosition(i, frame);
            const float matrix[16] = {kSpriteSize, 0, 0, 0, 0, kSpriteSize, 0, 0,
                                      0,           0, 1, 0, position.x, position.y, 0, 1};
            glUniformMatrix4fv(world, 1, GL_FALSE, matrix);
            glUniform2f(textureOffset, 0.0f, 0.0f);
            glUniform4f(passColor, 1.0f, 1.0f, 1.0f, 0.0f);
            glDrawArrays(GL_TRIANGLES, 0, vertexCount);
        }
        glFinish();

        state.PauseTiming();
        glfwSwapBuffers(graphics.window);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(BM_Frame_Engine)->Arg(1000)->Arg(5000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame_Baseline)->Arg(1000)->Arg(5000)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
