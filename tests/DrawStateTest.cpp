// The sprite and line paths skip binds and uploads that repeat what they left bound, so a draw
// must never inherit another draw's program, vertex array, texture or uniform locations, nor a
// binding that other OpenGL code changed behind their back. Read back from the framebuffer and
// from the programs themselves (glGetUniform*).

#include <gtest/gtest.h>

#include <glad/gl.h>

#include <imgui.h>

#include <array>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "engine/Matrix4.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "graphics/Emitter.h"
#include "graphics/GraphicsSystem.h"
#include "graphics/Mesh.h"
#include "graphics/PointBuffers.h"
#include "graphics/Shader.h"
#include "graphics/Sprite.h"
#include "graphics/Texture.h"
#include "physics/Transform.h"
#include "support/GameTree.h"
#include "support/WindowTest.h"
#include "tools/IMGUISystem.h"

namespace {

// Colours the sprite with passColor alone, ignoring texture and lights.
constexpr const char* kFlatFragment = R"(#version 330 core
uniform vec4 passColor;
out vec4 outColor;
void main() {
    outColor = vec4(passColor.rgb, 1.0);
}
)";

// Two builds of one flat program whose uniforms sit at different, fixed locations, so that a
// location remembered from the first build writes to the wrong place in the second.
std::string PinnedVertex(int first) {
    return "#version 330 core\n#extension GL_ARB_explicit_uniform_location : require\n"
           "layout(location = 0) in vec2 position;\n"
           "layout(location = " + std::to_string(first) + ") uniform mat4 world;\n"
           "layout(location = " + std::to_string(first + 4) + ") uniform mat4 projection;\n"
           "void main() { gl_Position = projection * world * vec4(position, 0.0, 1.0); }\n";
}
std::string PinnedFragment(int location) {
    return "#version 330 core\n#extension GL_ARB_explicit_uniform_location : require\n"
           "layout(location = " + std::to_string(location) + ") uniform vec4 passColor;\n"
           "out vec4 outColor;\n"
           "void main() { outColor = vec4(passColor.rgb, 1.0); }\n";
}

struct Pixel {
    int r = 0;
    int g = 0;
    int b = 0;
    auto operator<=>(const Pixel&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Pixel& pixel) {
    return out << "(" << pixel.r << ", " << pixel.g << ", " << pixel.b << ")";
}

// What a sprite is drawn with.
struct Look {
    const char* texture;
    const char* mesh;
    const char* shader;
    Vector3 color;
};

class DrawStateTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        tree.WriteFile("Shaders/Flat.frag", kFlatFragment);
        tree.WriteFile("Shaders/FlatShader.json",
                       R"({"vertex file": "Shaders/LightingShader.vert",
                           "pixel file": "Shaders/Flat.frag"})");
    }

    void TearDown() override {
        entities.clear();
        ShutDownLists<Transform, Sprite, Emitter>();
        WindowTest::TearDown();
    }

    Sprite& AddSprite(const Look& look, Vector2 position, Vector2 scale = {160.0f, 160.0f}) {
        auto entity = std::make_unique<Entity>("Test");
        auto* transform = new Transform();
        transform->SetPosition(position);
        transform->SetScale(scale);
        entity->AddComponent(transform);
        auto* sprite = new Sprite();
        sprite->texture = GetTexture(look.texture);
        sprite->mesh = GetMesh(look.mesh);
        sprite->shader = GetShader(look.shader);
        sprite->color = look.color;
        entity->AddComponent(sprite);
        entities.push_back(std::move(entity));
        return *sprite;
    }

    Emitter& AddEmitter(Vector2 position, Vector3 color, float radius) {
        auto entity = std::make_unique<Entity>("Lamp");
        auto* transform = new Transform();
        transform->SetPosition(position);
        entity->AddComponent(transform);
        auto* emitter = new Emitter();
        emitter->color = color;
        emitter->radius = radius;
        entity->AddComponent(emitter);
        entities.push_back(std::move(entity));
        return *emitter;
    }

    void CompileLights() {
        ComponentListSystem<Emitter>::Instance().FlushPending();
        graphics.CompileEmitters(ComponentListSystem<Emitter>::Instance().Layers());
    }

    // The pixel at a world point, with the camera at the origin: 3 world units a pixel both ways.
    static Pixel PixelAt(Vector2 world) {
        const int x = 540 + static_cast<int>(world.x / 3.0f);
        const int y = 360 - static_cast<int>(world.y / 3.0f);
        std::array<unsigned char, 4> rgba{};
        glReadPixels(x, 719 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return {rgba[0], rgba[1], rgba[2]};
    }

    // The sprite drawn alone in a fresh frame from nothing bound, as every draw of it must look.
    static Pixel Alone(Sprite& sprite, Vector2 position) {
        glUseProgram(0);
        glBindVertexArray(0);
        glBindTexture(GL_TEXTURE_2D, 0);
        GraphicsSystem::Instance().ForgetGlState();
        GraphicsSystem::Instance().StartDrawing();
        sprite.Render();
        return PixelAt(position);
    }

    static std::vector<float> Uniform(int program, const char* name, int count) {
        std::vector<float> values(count, -99.0f);
        const GLint location = glGetUniformLocation(static_cast<GLuint>(program), name);
        EXPECT_NE(location, -1) << name;
        glGetUniformfv(static_cast<GLuint>(program), location, values.data());
        return values;
    }

    static std::vector<float> Floats(const float* values, int count) {
        return std::vector<float>(values, values + count);
    }

    GameTree tree;
    std::vector<std::unique_ptr<Entity>> entities;
};

TEST_F(DrawStateTest, InterleavedTexturesMeshesAndShadersDrawAsEachDrawsAlone) {
    const Look looks[] = {
        {"milk.png", "1x1Mesh.json", "LightingShader.json", {1.0f, 1.0f, 1.0f}},
        {"wall.png", "1x1Mesh.json", "LightingShader.json", {1.0f, 1.0f, 1.0f}},
        {"sheet2x4.png", "Sheet2x4Mesh.json", "LightingShader.json", {1.0f, 1.0f, 1.0f}},
        // A texture that failed to load keeps the name -1, which samples no texture.
        {"no such texture.png", "1x1Mesh.json", "LightingShader.json", {1.0f, 1.0f, 1.0f}},
        {"milk.png", "1x1Mesh.json", "FlatShader.json", {1.0f, 0.0f, 0.0f}},
        {"wall.png", "Sheet2x4Mesh.json", "FlatShader.json", {0.0f, 0.0f, 1.0f}},
    };
    AddEmitter({0.0f, 0.0f}, {1.0f, 0.5f, 0.2f}, 2500.0f);
    CompileLights();
    // Each look twice, in two rounds, so every draw follows a draw of another look.
    struct Drawn {
        Sprite* sprite;
        Vector2 position;
        std::size_t look;
    };
    std::vector<Drawn> drawn;
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < std::size(looks); ++i) {
            const Vector2 position{-1500.0f + 600.0f * static_cast<float>(i),
                                   round == 0 ? 500.0f : -500.0f};
            drawn.push_back({&AddSprite(looks[i], position), position, i});
        }
    }

    std::vector<Pixel> alone;
    for (const Drawn& d : drawn) {
        alone.push_back(Alone(*d.sprite, d.position));
    }
    // Every look must be told apart from every other, or a wrong binding could go unseen.
    std::set<Pixel> distinct(alone.begin(), alone.begin() + std::size(looks));
    ASSERT_EQ(distinct.size(), std::size(looks));

    graphics.StartDrawing();
    for (const Drawn& d : drawn) {
        d.sprite->Render();
    }
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(PixelAt(drawn[i].position), alone[i]) << "look " << drawn[i].look << ", draw " << i;
    }
}

TEST_F(DrawStateTest, DrawsAfterOtherOpenGlCodeBindWhatTheyNeed) {
    const Look wall{"wall.png", "1x1Mesh.json", "LightingShader.json", {1.0f, 1.0f, 1.0f}};
    tree.WriteFile("Data/Meshes/OtherMesh.json",
                   R"({"uSize": 1, "vSize": 1, "vertices": [
                       {"position": [0, 0], "textureCoord": [0, 0], "color": [1, 1, 1, 1]}]})");
    IMGUISystem& gui = IMGUISystem::Instance();
    gui.Initialize();
    struct Case {
        const char* what;
        std::function<void()> run;
    };
    const Case cases[] = {
        {"a texture loads", [] { GetTexture("bricks.png"); }},
        {"a mesh loads", [] { GetMesh("OtherMesh.json"); }},
        {"point buffers are made and freed",
         [] {
             unsigned int array = 0;
             unsigned int buffer = 0;
             CreatePointBuffers(array, buffer, {{0.0f, 0.0f}, {1.0f, 1.0f}});
             DeletePointBuffers(array, buffer);
         }},
        {"the GUI draws a window",
         [&gui] {
             gui.Update(0.0f);
             ImGui::SetNextWindowPos({0.0f, 0.0f});
             ImGui::Begin("Between two sprites");
             ImGui::Text("drawn with the GUI's own program, texture and vertex array");
             ImGui::End();
             gui.Render();
         }},
    };
    Sprite& before = AddSprite(wall, {-1000.0f, -300.0f});
    Sprite& after = AddSprite(wall, {1000.0f, -300.0f});
    const Pixel expected = Alone(after, {1000.0f, -300.0f});
    ASSERT_NE(expected, (Pixel{0, 0, 0})) << "a sprite drawn without its texture would pass";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        graphics.StartDrawing();
        before.Render();
        c.run();
        after.Render();
        EXPECT_EQ(PixelAt({1000.0f, -300.0f}), expected);
    }
    gui.ShutDown();
}

TEST_F(DrawStateTest, ProgramsHoldTheLastDrawsUniformValues) {
    Emitter& red = AddEmitter({-300.0f, 40.0f}, {1.0f, 0.0f, 0.0f}, 500.0f);
    AddEmitter({700.0f, -20.0f}, {0.0f, 0.5f, 1.0f}, 250.0f);
    CompileLights();
    Sprite& first =
        AddSprite({"milk.png", "1x1Mesh.json", "LightingShader.json", {0.2f, 0.4f, 0.6f}},
                  {100.0f, 50.0f});
    first.textureOffset = {0.25f, 0.5f};
    first.alpha = 0.3f;
    Sprite& last =
        AddSprite({"wall.png", "Sheet2x4Mesh.json", "LightingShader.json", {0.9f, 0.8f, 0.7f}},
                  {-400.0f, 300.0f}, {30.0f, 60.0f});
    last.textureOffset = {0.5f, 0.75f};
    last.alpha = 0.1f;
    const int lighting = GetShader("LightingShader.json")->program;
    const int debug = GetShader("DebugShader.json")->program;
    unsigned int array = 0;
    unsigned int buffer = 0;
    CreatePointBuffers(array, buffer, {});

    graphics.camera.position = {300.0f, -200.0f, 1.0f};
    graphics.StartDrawing();
    first.Render();
    graphics.DrawDebugShape({{0.0f, 0.0f}, {1.0f, 0.0f}}, {5.0f, 6.0f}, {7.0f, 8.0f}, array,
                            buffer, "red", GL_LINES);
    last.Render();

    const Matrix4& world = last.owner->GetComponent<Transform>()->matrix;
    EXPECT_EQ(Uniform(lighting, "world", 16), Floats(world.data(), 16));
    EXPECT_EQ(Uniform(lighting, "projection", 16), Floats(graphics.camera.projection.data(), 16));
    EXPECT_EQ(Uniform(lighting, "textureOffset", 2), (std::vector<float>{0.5f, 0.75f}));
    EXPECT_EQ(Uniform(lighting, "passColor", 4), (std::vector<float>{0.9f, 0.8f, 0.7f, 0.1f}));
    EXPECT_EQ(Uniform(lighting, "emitterPos[1]", 3), (std::vector<float>{700.0f, -20.0f, 0.0f}));
    EXPECT_EQ(Uniform(lighting, "emitterCols[0]", 3), (std::vector<float>{1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(Uniform(lighting, "emitterRadii[1]", 1), (std::vector<float>{250.0f}));
    GLint lights = -1;
    glGetUniformiv(static_cast<GLuint>(lighting),
                   glGetUniformLocation(static_cast<GLuint>(lighting), "numLights"), &lights);
    EXPECT_EQ(lights, 2);
    const Matrix4 shapeWorld = Matrix4::Translate({5.0f, 6.0f, 0.0f}) * Matrix4::RotateZ(0.0f) *
                               Matrix4::Scale({7.0f, 8.0f, 1.0f});
    EXPECT_EQ(Uniform(debug, "world", 16), Floats(shapeWorld.data(), 16));
    EXPECT_EQ(Uniform(debug, "passColor", 4), (std::vector<float>{1.0f, 0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(Uniform(debug, "projection", 16), Floats(graphics.camera.projection.data(), 16));

    // The camera moving between two draws of one frame reaches the second draw.
    graphics.camera.position = {-900.0f, 400.0f, 1.0f};
    graphics.UpdateCameraMatrices();
    first.Render();
    EXPECT_EQ(Uniform(lighting, "projection", 16), Floats(graphics.camera.projection.data(), 16));

    // The next frame brings its own camera and lights to every program it draws with, even
    // where the matrices of its program were uploaded before.
    graphics.SwapBuffers();
    red.radius = 75.0f;
    CompileLights();
    graphics.camera.position = {300.0f, -200.0f, 1.0f};
    graphics.StartDrawing();
    graphics.DrawDebugShape({{0.0f, 0.0f}, {1.0f, 0.0f}}, {1.0f, 2.0f}, {3.0f, 4.0f}, array,
                            buffer, "green", GL_LINES);
    last.Render();
    EXPECT_EQ(Uniform(lighting, "emitterRadii[0]", 1), (std::vector<float>{75.0f}));
    EXPECT_EQ(Uniform(lighting, "projection", 16), Floats(graphics.camera.projection.data(), 16));
    EXPECT_EQ(Uniform(debug, "projection", 16), Floats(graphics.camera.projection.data(), 16));
    EXPECT_EQ(Uniform(debug, "passColor", 4), (std::vector<float>{0.0f, 1.0f, 0.0f, 1.0f}));
    DeletePointBuffers(array, buffer);
}

TEST_F(DrawStateTest, AProgramRebuiltBetweenFramesGetsFreshLocationsAndValues) {
    tree.WriteFile("Shaders/Pinned.vert", PinnedVertex(0));
    tree.WriteFile("Shaders/Pinned.frag", PinnedFragment(9));
    tree.WriteFile("Shaders/PinnedShader.json",
                   R"({"vertex file": "Shaders/Pinned.vert", "pixel file": "Shaders/Pinned.frag"})");
    Sprite& sprite =
        AddSprite({"milk.png", "1x1Mesh.json", "PinnedShader.json", {1.0f, 0.0f, 0.0f}},
                  {0.0f, 0.0f});
    const auto program = static_cast<GLuint>(sprite.shader->program);
    ASSERT_NE(program, 0u) << "the pinned shader must build here";
    graphics.StartDrawing();
    sprite.Render();
    ASSERT_EQ(PixelAt({0.0f, 0.0f}), (Pixel{255, 0, 0}));

    // Relinked in place under the same name, with every uniform moved. Linking resets the values
    // of all its uniforms too.
    std::array<GLuint, 2> attached{};
    GLsizei count = 0;
    glGetAttachedShaders(program, 2, &count, attached.data());
    for (GLsizei i = 0; i < count; ++i) {
        glDetachShader(program, attached[i]);
    }
    const std::string sources[] = {PinnedVertex(20), PinnedFragment(30)};
    const GLenum stages[] = {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER};
    for (int i = 0; i < 2; ++i) {
        const GLuint stage = glCreateShader(stages[i]);
        const char* text = sources[i].c_str();
        glShaderSource(stage, 1, &text, nullptr);
        glCompileShader(stage);
        glAttachShader(program, stage);
        glDeleteShader(stage);
    }
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    ASSERT_EQ(linked, GL_TRUE);
    ASSERT_EQ(glGetUniformLocation(program, "passColor"), 30);

    graphics.StartDrawing();
    sprite.Render();
    EXPECT_EQ(PixelAt({0.0f, 0.0f}), (Pixel{255, 0, 0}));
    EXPECT_EQ(Uniform(sprite.shader->program, "passColor", 4),
              (std::vector<float>{1.0f, 0.0f, 0.0f, 0.0f}));
}

}  // namespace
