// The shader, mesh and texture caches on the real window and context: records shared by name,
// the vertex layout the shaders rely on, and what happens to files that are missing or wrong.

#include <gtest/gtest.h>

#include <glad/gl.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/DataDirectories.h"
#include "graphics/GraphicsSystem.h"
#include "graphics/Mesh.h"
#include "graphics/Shader.h"
#include "graphics/Texture.h"
#include "support/ChildProcess.h"
#include "support/GameTree.h"
#include "support/TraceMessages.h"
#include "support/WindowTest.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr const char* kStageFailure = "Failed to compile the vertex stage: ";
constexpr const char* kTextureFailureLine =
    "Error creating texture: stbi_load failed to generate image.\n";
constexpr const char* kTextureFailureTrace =
    "ERROR: Error creating texture: stbi_load failed to generate image: ";
// What the report reads of an info log: a zero-filled 256-byte buffer.
constexpr GLsizei kInfoLogCapacity = 255;

// Width and height from a PNG's header chunk, so the texture record can be checked against the
// file on disk.
std::array<int, 2> PngSize(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::array<unsigned char, 24> header{};
    in.read(reinterpret_cast<char*>(header.data()), header.size());
    const auto bigEndian = [&](std::size_t at) {
        return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3];
    };
    return {bigEndian(16), bigEndian(20)};
}

// The info log the driver gives for a stage compiled from an empty source, which is what a
// source file that cannot be opened turns into.
std::string EmptyStageLog(GLenum stage) {
    const GLuint shader = glCreateShader(stage);
    const char* text = "";
    const GLint length = 0;
    glShaderSource(shader, 1, &text, &length);
    glCompileShader(shader);
    std::array<char, kInfoLogCapacity + 1> log{};
    glGetShaderInfoLog(shader, kInfoLogCapacity, nullptr, log.data());
    glDeleteShader(shader);
    return log.data();
}

std::set<fs::path> FolderEntries(const fs::path& folder) {
    std::set<fs::path> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        entries.insert(entry.path());
    }
    return entries;
}

json VertexJson(std::vector<float> position, std::vector<float> textureCoord,
                std::vector<float> color) {
    return {{"position", position}, {"textureCoord", textureCoord}, {"color", color}};
}

void ExpectVertex(const Vertex& actual, const Vertex& expected) {
    for (int i = 0; i < 2; ++i) {
        EXPECT_FLOAT_EQ(actual.position[i], expected.position[i]) << "position " << i;
        EXPECT_FLOAT_EQ(actual.textureCoord[i], expected.textureCoord[i]) << "textureCoord " << i;
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(actual.color[i], expected.color[i]) << "color " << i;
    }
}

class GraphicsAssetsTest : public WindowTest {
protected:
    void SetUp() override {
        DataDirectory = (tree.root() / "Data").string() + "/";
        ShadersDirectory = (tree.root() / "Shaders").string() + "/";
        WindowTest::SetUp();
    }

    void WriteMesh(const std::string& name, const std::string& text) const {
        tree.WriteFile(fs::path("Data") / "Meshes" / name, text);
    }
    void WriteShaderDescriptor(const std::string& name, const std::string& vertexFile,
                               const std::string& pixelFile) const {
        tree.WriteFile(fs::path("Shaders") / name,
                       json{{"vertex file", vertexFile}, {"pixel file", pixelFile}}.dump());
    }
    std::string TraceLogText() const { return ReadFileText(DataDirectory + "Trace_Log.txt"); }

    GameTree tree;
};

TEST_F(GraphicsAssetsTest, SameNameReturnsTheSameRecordAndOpenGLObject) {
    Texture* texture = GetTexture("milk.png");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(GetTexture("milk.png"), texture);
    EXPECT_EQ(texture->name, "milk.png");
    ASSERT_GT(texture->id, 0);
    EXPECT_TRUE(glIsTexture(static_cast<GLuint>(texture->id)));
    const std::array<int, 2> size = PngSize(tree.root() / "Assets" / "Textures" / "milk.png");
    EXPECT_EQ(texture->width, size[0]);
    EXPECT_EQ(texture->height, size[1]);
    // Only the first request decodes the image.
    EXPECT_EQ(CountOccurrences(TraceLogText(), "WARNING: Texture loaded fine"), 1u);

    Mesh* mesh = GetMesh("1x1Mesh.json");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(GetMesh("1x1Mesh.json"), mesh);
    EXPECT_EQ(mesh->name, "1x1Mesh.json");
    EXPECT_TRUE(glIsVertexArray(mesh->vertexArray));

    const int loadsBefore = ShaderLoadCount();
    Shader* shader = GetShader("LightingShader.json");
    ASSERT_NE(shader, nullptr);
    EXPECT_EQ(GetShader("LightingShader.json"), shader);
    EXPECT_EQ(ShaderLoadCount(), loadsBefore + 1);
    EXPECT_EQ(shader->name, "LightingShader.json");
}

TEST_F(GraphicsAssetsTest, TexturesAreSampledNearestAndClampedWithoutMipmaps) {
    const Texture* texture = GetTexture("sheet2x4.png");
    ASSERT_GT(texture->id, 0);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture->id));
    struct Case {
        GLenum parameter;
        GLint expected;
    };
    const Case cases[] = {
        {GL_TEXTURE_MIN_FILTER, GL_NEAREST},
        {GL_TEXTURE_MAG_FILTER, GL_NEAREST},
        {GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE},
        {GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parameter);
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, c.parameter, &value);
        EXPECT_EQ(value, c.expected);
    }
    const std::array<int, 2> size = PngSize(tree.root() / "Assets" / "Textures" / "sheet2x4.png");
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, size[0]);
    EXPECT_EQ(height, size[1]);
    GLint levelOneWidth = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
    EXPECT_EQ(levelOneWidth, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(GraphicsAssetsTest, NamesThatDifferOnlyInCaseAreLoadedSeparately) {
    WriteMesh("quad.json",
              json{{"vertices", json::array()}, {"uSize", 0.5}, {"vSize", 1.0}}.dump());
    WriteMesh("QUAD.json",
              json{{"vertices", json::array()}, {"uSize", 0.25}, {"vSize", 1.0}}.dump());
    Mesh* lower = GetMesh("quad.json");
    Mesh* upper = GetMesh("QUAD.json");
    EXPECT_NE(lower, upper);
    EXPECT_NE(lower->vertexArray, upper->vertexArray);
    EXPECT_FLOAT_EQ(lower->uSize, 0.5f);
    EXPECT_FLOAT_EQ(upper->uSize, 0.25f);

    WriteShaderDescriptor("debug.json", "Shaders/DebugShader.vert", "Shaders/DebugShader.frag");
    WriteShaderDescriptor("Debug.json", "Shaders/DebugShader.vert", "Shaders/DebugShader.frag");
    const int loadsBefore = ShaderLoadCount();
    Shader* lowerShader = GetShader("debug.json");
    Shader* upperShader = GetShader("Debug.json");
    EXPECT_NE(lowerShader, upperShader);
    EXPECT_EQ(ShaderLoadCount(), loadsBefore + 2);
    EXPECT_GT(lowerShader->program, 0);
    EXPECT_GT(upperShader->program, 0);
    EXPECT_NE(lowerShader->program, upperShader->program);

    // The file system is case-sensitive, so the upper-case name finds no image of its own.
    Texture* milk = GetTexture("milk.png");
    Texture* shouting = GetTexture("MILK.png");
    EXPECT_NE(milk, shouting);
    EXPECT_GT(milk->id, 0);
    EXPECT_EQ(shouting->id, -1);
}

TEST_F(GraphicsAssetsTest, TextureThatFailsIsReportedOnceAndCachedWithIdMinusOne) {
    testing::internal::CaptureStdout();
    Texture* first = GetTexture("no-such-image.png");
    Texture* second = GetTexture("no-such-image.png");
    const std::string output = testing::internal::GetCapturedStdout();

    EXPECT_EQ(first, second);
    EXPECT_EQ(first->id, -1);
    EXPECT_EQ(first->name, "no-such-image.png");
    EXPECT_EQ(CountOccurrences(output, kTextureFailureLine), 1u) << output;
    const std::string trace = TraceLogText();
    EXPECT_EQ(CountOccurrences(trace, kTextureFailureTrace), 1u) << trace;
    EXPECT_EQ(CountOccurrences(trace, std::string(kTextureFailureTrace) + "no-such-image.png\n"),
              1u)
        << trace;
}

TEST_F(GraphicsAssetsTest, MeshFilesLoadOrFailWithTheJsonLibrarysError) {
    enum class Outcome { kLoads, kParseError, kOutOfRange, kTypeError };
    struct Case {
        const char* name;
        std::string text;
        Outcome outcome;
        int errorId;
        // What a mesh that loads holds; a case that fails leaves them out.
        std::vector<Vertex> vertices = {};
        float uSize = 0.0f;
        float vSize = 0.0f;
    };
    const json plainVertex = VertexJson({1.0f, 2.0f}, {0.25f, 0.5f}, {0.1f, 0.2f, 0.3f, 0.4f});
    json decoratedVertex =
        VertexJson({1.0f, 2.0f, 99.0f}, {0.25f, 0.5f, 98.0f}, {0.1f, 0.2f, 0.3f, 0.4f, 97.0f});
    decoratedVertex["normal"] = {0.0f, 0.0f, 1.0f};
    const Vertex plain{{1.0f, 2.0f}, {0.25f, 0.5f}, {0.1f, 0.2f, 0.3f, 0.4f}};

    const Case cases[] = {
        {"Empty.json",
         json{{"vertices", json::array()}, {"uSize", 0.5}, {"vSize", 0.25}}.dump(),
         Outcome::kLoads,
         0,
         {},
         0.5f,
         0.25f},
        {"Extras.json",
         json{{"comment", "a note for whoever edits this"},
              {"vertices", {decoratedVertex, plainVertex}},
              {"uSize", 1.0},
              {"vSize", 1.0}}
             .dump(),
         Outcome::kLoads,
         0,
         {plain, plain},
         1.0f,
         1.0f},
        {"ShortColour.json",
         json{{"vertices", {VertexJson({0.0f, 0.0f}, {0.0f, 0.0f}, {1.0f, 1.0f, 1.0f})}},
              {"uSize", 1.0},
              {"vSize", 1.0}}
             .dump(),
         Outcome::kOutOfRange, 401},
        {"VerticesObject.json",
         json{{"vertices", {{"only", plainVertex}}}, {"uSize", 1.0}, {"vSize", 1.0}}.dump(),
         Outcome::kTypeError, 302},
        {"NoUSize.json", json{{"vertices", {plainVertex}}, {"vSize", 1.0}}.dump(),
         Outcome::kOutOfRange, 403},
        {"NotJson.json", "{ \"vertices\": [", Outcome::kParseError, 101},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteMesh(c.name, c.text);
        if (c.outcome == Outcome::kLoads) {
            Mesh* mesh = nullptr;
            ASSERT_NO_THROW(mesh = GetMesh(c.name));
            ASSERT_EQ(mesh->VertexCount(), static_cast<int>(c.vertices.size()));
            for (std::size_t i = 0; i < c.vertices.size(); ++i) {
                ExpectVertex(mesh->vertices[i], c.vertices[i]);
            }
            EXPECT_FLOAT_EQ(mesh->uSize, c.uSize);
            EXPECT_FLOAT_EQ(mesh->vSize, c.vSize);
            EXPECT_EQ(GetMesh(c.name), mesh);
            continue;
        }
        // Asked twice: a failed load is not cached, so the second request fails the same way.
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                GetMesh(c.name);
                ADD_FAILURE() << "no exception on attempt " << attempt;
            } catch (const json::exception& error) {
                EXPECT_EQ(error.id, c.errorId) << error.what();
                EXPECT_NE(std::string(error.what()).find(DataDirectory + "Meshes/" + c.name),
                          std::string::npos)
                    << "the error does not name the file: " << error.what();
                const bool rightKind =
                    (c.outcome == Outcome::kParseError &&
                     dynamic_cast<const json::parse_error*>(&error) != nullptr) ||
                    (c.outcome == Outcome::kOutOfRange &&
                     dynamic_cast<const json::out_of_range*>(&error) != nullptr) ||
                    (c.outcome == Outcome::kTypeError &&
                     dynamic_cast<const json::type_error*>(&error) != nullptr);
                EXPECT_TRUE(rightKind) << error.what();
            }
        }
    }
}

TEST_F(GraphicsAssetsTest, MissingDescriptorThrowsNamingThePathAndCreatesNoFile) {
    struct Case {
        const char* kind;
        std::function<void()> load;
        std::string path;
        fs::path folder;
    };
    const Case cases[] = {
        {"mesh", [] { GetMesh("Absent.json"); }, DataDirectory + "Meshes/Absent.json",
         tree.root() / "Data"},
        {"shader", [] { GetShader("Absent.json"); }, ShadersDirectory + "Absent.json",
         tree.root() / "Shaders"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const std::set<fs::path> before = FolderEntries(c.folder);
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                c.load();
                ADD_FAILURE() << "no exception on attempt " << attempt;
            } catch (const std::exception& error) {
                EXPECT_NE(std::string(error.what()).find(c.path), std::string::npos)
                    << error.what();
            }
        }
        EXPECT_FALSE(fs::exists(c.path));
        EXPECT_EQ(FolderEntries(c.folder), before);
    }
}

// A folder opens for reading on this platform and reads as empty; it is still no file, and the
// error says so by its path rather than as a parse error at the first character.
TEST_F(GraphicsAssetsTest, FolderInPlaceOfADescriptorThrowsNamingThePath) {
    fs::create_directories(tree.root() / "Data" / "Meshes" / "Folder.json");
    fs::create_directories(tree.root() / "Shaders" / "Folder.json");
    struct Case {
        const char* kind;
        std::function<void()> load;
        std::string path;
    };
    const Case cases[] = {
        {"mesh", [] { GetMesh("Folder.json"); }, DataDirectory + "Meshes/Folder.json"},
        {"shader", [] { GetShader("Folder.json"); }, ShadersDirectory + "Folder.json"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        try {
            c.load();
            ADD_FAILURE() << "no exception";
        } catch (const json::exception& error) {
            ADD_FAILURE() << "read as a file: " << error.what();
        } catch (const std::exception& error) {
            EXPECT_EQ(std::string(error.what()), "Failed To Open Stream: " + c.path);
        }
        EXPECT_TRUE(fs::is_directory(c.path));
    }
}

TEST_F(GraphicsAssetsTest, ShaderThatFailsToBuildIsReportedAndCachedWithProgramZero) {
    tree.WriteFile("Shaders/Unlinked.vert",
                   "#version 330 core\n"
                   "layout(location = 0) in vec2 position;\n"
                   "void main() { gl_Position = vec4(position, 0.0, 1.0); }\n");
    // Compiles on its own, but a program cannot link without a main in every stage.
    tree.WriteFile("Shaders/Unlinked.frag",
                   "#version 330 core\n"
                   "vec4 Tint(vec4 color) { return color * 0.5; }\n");
    struct Case {
        const char* descriptor;
        const char* vertexFile;
        const char* pixelFile;
        // The stage whose empty source fails, or 0 when the failure is the link.
        GLenum emptyStage;
        // The one trace error: it names the source that failed (both for a link) and why.
        const char* traced;
    };
    const Case cases[] = {
        {"NoPixel.json", "Shaders/DebugShader.vert", "Shaders/Absent.frag", GL_FRAGMENT_SHADER,
         "ERROR: CompileShaderProgram - NoPixel.json: Shaders/Absent.frag cannot be read as a "
         "shader source"},
        {"NoVertex.json", "Shaders/Absent.vert", "Shaders/DebugShader.frag", GL_VERTEX_SHADER,
         "ERROR: CompileShaderProgram - NoVertex.json: Shaders/Absent.vert cannot be read as a "
         "shader source"},
        {"Unlinked.json", "Shaders/Unlinked.vert", "Shaders/Unlinked.frag", 0,
         "ERROR: CompileShaderProgram - Unlinked.json: Shaders/Unlinked.vert and "
         "Shaders/Unlinked.frag do not link: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.descriptor);
        WriteShaderDescriptor(c.descriptor, c.vertexFile, c.pixelFile);
        const int loadsBefore = ShaderLoadCount();
        const std::size_t tracedBefore = CountOccurrences(TraceLogText(), "CompileShaderProgram");

        testing::internal::CaptureStdout();
        Shader* shader = GetShader(c.descriptor);
        const std::string output = testing::internal::GetCapturedStdout();

        EXPECT_EQ(shader->program, 0);
        EXPECT_EQ(shader->vertexFile, c.vertexFile);
        EXPECT_EQ(shader->pixelFile, c.pixelFile);
        const std::string firstLine = std::string(kStageFailure) + "\n";
        ASSERT_EQ(output.rfind(firstLine, 0), 0u) << output;
        EXPECT_EQ(CountOccurrences(output, kStageFailure), 1u) << output;
        // The report, then the echo of the trace error (a time-stamped line of its own).
        const std::size_t echo = output.find("\n[", firstLine.size() - 1);
        ASSERT_NE(echo, std::string::npos) << output;
        const std::string log = output.substr(firstLine.size(), echo + 1 - firstLine.size());
        if (c.emptyStage != 0) {
            EXPECT_EQ(log, EmptyStageLog(c.emptyStage) + "\n");
        } else {
            EXPECT_GT(log.size(), 1u) << "the link failure's info log is missing";
        }
        EXPECT_NE(output.find(c.traced, echo), std::string::npos) << output;
        EXPECT_EQ(CountOccurrences(TraceLogText(), "CompileShaderProgram"), tracedBefore + 1);
        EXPECT_NE(TraceLogText().find(c.traced), std::string::npos) << TraceLogText();

        testing::internal::CaptureStdout();
        EXPECT_EQ(GetShader(c.descriptor), shader);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(ShaderLoadCount(), loadsBefore + 1);
    }
}

TEST_F(GraphicsAssetsTest, StockShadersCompileAndLink) {
    for (const char* name : {"LightingShader.json", "DebugShader.json"}) {
        SCOPED_TRACE(name);
        testing::internal::CaptureStdout();
        const Shader* shader = GetShader(name);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        ASSERT_GT(shader->program, 0);
        const auto program = static_cast<GLuint>(shader->program);
        EXPECT_TRUE(glIsProgram(program));
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE);
        const json descriptor = json::parse(ReadFileText(ShadersDirectory + name));
        EXPECT_EQ(shader->vertexFile, descriptor.at("vertex file").get<std::string>());
        EXPECT_EQ(shader->pixelFile, descriptor.at("pixel file").get<std::string>());
    }
}

TEST_F(GraphicsAssetsTest, MeshBuffersHoldTheVerticesInTheSharedLayout) {
    const Mesh* mesh = GetMesh("Sheet2x4Mesh.json");
    ASSERT_GT(mesh->VertexCount(), 0);
    GLint bound = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound);
    EXPECT_EQ(bound, 0) << "the mesh's vertex array was left bound";

    glBindVertexArray(mesh->vertexArray);
    struct Case {
        GLuint attribute;
        GLint components;
        std::uintptr_t offset;
    };
    const Case cases[] = {{0, 2, 0}, {1, 2, 8}, {2, 4, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attribute);
        const auto query = [&](GLenum name) {
            GLint value = -1;
            glGetVertexAttribiv(c.attribute, name, &value);
            return value;
        };
        EXPECT_EQ(query(GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_TRUE);
        EXPECT_EQ(query(GL_VERTEX_ATTRIB_ARRAY_STRIDE), 32);
        EXPECT_EQ(query(GL_VERTEX_ATTRIB_ARRAY_SIZE), c.components);
        EXPECT_EQ(query(GL_VERTEX_ATTRIB_ARRAY_TYPE), GL_FLOAT);
        EXPECT_EQ(query(GL_VERTEX_ATTRIB_ARRAY_NORMALIZED), GL_FALSE);
        EXPECT_EQ(query(GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING),
                  static_cast<GLint>(mesh->vertexBuffer));
        void* pointer = nullptr;
        glGetVertexAttribPointerv(c.attribute, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(pointer), c.offset);
    }
    GLint fourthEnabled = -1;
    glGetVertexAttribiv(3, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &fourthEnabled);
    EXPECT_EQ(fourthEnabled, GL_FALSE);
    glBindVertexArray(0);

    glBindBuffer(GL_ARRAY_BUFFER, mesh->vertexBuffer);
    GLint bytes = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    ASSERT_EQ(bytes, mesh->VertexCount() * 32);
    std::vector<Vertex> uploaded(mesh->vertices.size());
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, bytes, uploaded.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (std::size_t i = 0; i < uploaded.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectVertex(uploaded[i], mesh->vertices[i]);
    }
    // The file's values reached the record, so the buffer check above compares real data.
    const json file = json::parse(ReadFileText(DataDirectory + "Meshes/Sheet2x4Mesh.json"));
    ASSERT_EQ(file.at("vertices").size(), mesh->vertices.size());
    EXPECT_FLOAT_EQ(mesh->vertices[0].textureCoord[1],
                    file.at("vertices")[0].at("textureCoord")[1].get<float>());
    EXPECT_FLOAT_EQ(mesh->uSize, file.at("uSize").get<float>());
    EXPECT_FLOAT_EQ(mesh->vSize, file.at("vSize").get<float>());
}

}  // namespace
