// Sprite-sheet animation, the SpriteNonsense test component and the Sprite's own copy and JSON
// rules, on entities built by hand. Sprites load the stock assets, so the real window is open.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/DataDirectories.h"
#include "engine/InputMessage.h"
#include "engine/InputType.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "graphics/Animator.h"
#include "graphics/GraphicsSystem.h"
#include "graphics/Mesh.h"
#include "graphics/Shader.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteNonsense.h"
#include "graphics/Texture.h"
#include "physics/Transform.h"
#include "support/GameTree.h"
#include "support/TraceMessages.h"
#include "support/WindowTest.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The stock 2 x 4 sheet mesh: uSize 0.25 and vSize 0.5, so two columns and four rows.
constexpr const char* kSheetMesh = "Sheet2x4Mesh.json";
// Where each frame of that sheet starts in texture space, row by row.
constexpr std::array<Vector2, 8> kSheetOffsets = {{
    {0.0f, 0.0f},
    {0.5f, 0.0f},
    {0.0f, 0.25f},
    {0.5f, 0.25f},
    {0.0f, 0.5f},
    {0.5f, 0.5f},
    {0.0f, 0.75f},
    {0.5f, 0.75f},
}};
constexpr float kFrameDuration = 0.1f;

json AnimationJson(int startFrame, int frameCount, bool isLooping) {
    return {{"startFrame", startFrame},
            {"frameCount", frameCount},
            {"frameDuration", kFrameDuration},
            {"isLooping", isLooping}};
}

void ExpectOffset(Vector2 actual, Vector2 expected) {
    EXPECT_FLOAT_EQ(actual.x, expected.x);
    EXPECT_FLOAT_EQ(actual.y, expected.y);
}

class AnimatorTest : public WindowTest {
protected:
    void SetUp() override {
        DataDirectory = (tree.root() / "Data").string() + "/";
        ShadersDirectory = (tree.root() / "Shaders").string() + "/";
        WindowTest::SetUp();
    }

    void TearDown() override {
        // Entities queue their components' removal; the lists then free everything queued.
        entities.clear();
        ShutDownLists<Transform, Sprite, Animator, SpriteNonsense>();
        WindowTest::TearDown();
    }

    // An entity with a Transform at the origin.
    Entity& NewEntity() {
        entities.push_back(std::make_unique<Entity>("Animated"));
        Entity& entity = *entities.back();
        entity.AddComponent(new Transform());
        return entity;
    }

    template <class T>
    T& Add(Entity& entity) {
        auto* component = new T();
        entity.AddComponent(component);
        return *component;
    }

    // A sprite drawing the 2 x 4 sheet, with an animator started from `settings`.
    std::pair<Sprite*, Animator*> AnimatedSheet(const json& settings) {
        Entity& entity = NewEntity();
        Sprite& sprite = Add<Sprite>(entity);
        sprite.mesh = GetMesh(kSheetMesh);
        Animator& animator = Add<Animator>(entity);
        animator.FromJson(settings);
        return {&sprite, &animator};
    }

    GameTree tree;
    std::vector<std::unique_ptr<Entity>> entities;
};

TEST_F(AnimatorTest, FramesPlayFromZeroAndLoopBackToTheStartFrame) {
    struct Case {
        const char* name;
        bool isLooping;
        // The frame shown after each update of one frame duration.
        std::vector<int> shownFrames;
        bool playingAtEnd;
    };
    const Case cases[] = {
        {"looping", true, {1, 2, 3, 4, 2, 3, 4, 2, 3, 4}, true},
        {"once", false, {1, 2, 3, 4, 4, 4, 4}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto [sprite, animator] = AnimatedSheet(AnimationJson(2, 5, c.isLooping));
        for (std::size_t step = 0; step < c.shownFrames.size(); ++step) {
            SCOPED_TRACE(step);
            animator->Update(kFrameDuration);
            const int frame = c.shownFrames[step];
            EXPECT_EQ(animator->currentFrame, frame);
            EXPECT_EQ(sprite->frameIndex, frame);
            ExpectOffset(sprite->textureOffset, kSheetOffsets[frame]);
        }
        EXPECT_EQ(animator->isPlaying, c.playingAtEnd);
        if (!c.playingAtEnd) {
            EXPECT_EQ(animator->timer, 0.0f);
        }
    }
}

TEST_F(AnimatorTest, EveryCellOfTheSheetGetsItsOwnOffset) {
    auto [sprite, animator] = AnimatedSheet(AnimationJson(0, 8, false));
    // Frame 5 is column 1 of 2 and row 2 of 4: (0.5, 0.5).
    for (int frame = 1; frame < 8; ++frame) {
        SCOPED_TRACE(frame);
        animator->Update(kFrameDuration);
        ASSERT_EQ(animator->currentFrame, frame);
        ExpectOffset(sprite->textureOffset, kSheetOffsets[frame]);
    }
}

TEST_F(AnimatorTest, LongFramesAdvanceOneFrameAndCarryTheOvershoot) {
    constexpr float kLongFrame = 0.35f;
    auto [sprite, animator] = AnimatedSheet(AnimationJson(0, 8, false));
    for (int update = 1; update <= 5; ++update) {
        SCOPED_TRACE(update);
        animator->Update(kLongFrame);
        EXPECT_EQ(animator->currentFrame, update);
        EXPECT_EQ(sprite->frameIndex, update);
        // -0.15 after the first update, then 0.25 further behind with each one.
        EXPECT_NEAR(animator->timer, -0.15f - 0.25f * static_cast<float>(update - 1), 1e-5f);
    }
}

TEST_F(AnimatorTest, WithoutASheetCellTheOffsetIsLeftAlone) {
    struct Case {
        const char* name;
        bool hasSprite;
        float uSize;
        float vSize;
    };
    const Case cases[] = {
        {"no sprite", false, 0.5f, 0.5f},       {"uSize above one", true, 2.0f, 0.5f},
        {"vSize above one", true, 0.25f, 2.0f}, {"uSize zero", true, 0.0f, 0.5f},
        {"vSize zero", true, 0.25f, 0.0f},
    };
    const Vector2 untouched{0.125f, 0.375f};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Entity& entity = NewEntity();
        Mesh cell;
        cell.uSize = c.uSize;
        cell.vSize = c.vSize;
        Sprite* sprite = nullptr;
        if (c.hasSprite) {
            sprite = &Add<Sprite>(entity);
            sprite->mesh = &cell;
            sprite->textureOffset = untouched;
        }
        Animator& animator = Add<Animator>(entity);
        animator.FromJson(AnimationJson(0, 4, true));
        for (int update = 0; update < 3; ++update) {
            animator.Update(kFrameDuration);
        }
        // The frame counter still runs; only the sprite is not touched.
        EXPECT_EQ(animator.currentFrame, 3);
        EXPECT_TRUE(animator.isPlaying);
        if (sprite != nullptr) {
            ExpectOffset(sprite->textureOffset, untouched);
            sprite->mesh = nullptr;
        }
    }
}

TEST_F(AnimatorTest, FrameNumbersAtTheEndsOfTheIntRangeStayInRange) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    struct Case {
        const char* name;
        int startFrame;
        int frameCount;
        bool isLooping;
        // Set before the first update in place of frame 0, as a running animation could hold.
        std::optional<int> currentFrame;
        // The frame after each update of one frame duration.
        std::vector<int> frames;
        bool playingAtEnd;
    };
    const Case cases[] = {
        {"loop start at the top", kMax, 3, true, {}, {1, 2, kMax, kMax, kMax}, true},
        {"loop past the top frame", 1, 3, true, kMax, {1, 2, 1}, true},
        {"lowest frame count, once", 0, kMin, false, {}, {kMin, kMin}, false},
        {"lowest frame count, looping", 0, kMin, true, {}, {0, 0, 0}, true},
        {"highest frame count, once", 0, kMax, false, kMax - 1, {kMax - 1, kMax - 1}, false},
        {"highest frame count, from the top", 0, kMax, false, kMax, {kMax - 1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto [sprite, animator] =
            AnimatedSheet(AnimationJson(c.startFrame, c.frameCount, c.isLooping));
        if (c.currentFrame) {
            animator->currentFrame = *c.currentFrame;
        }
        for (std::size_t step = 0; step < c.frames.size(); ++step) {
            SCOPED_TRACE(step);
            animator->Update(kFrameDuration);
            EXPECT_EQ(animator->currentFrame, c.frames[step]);
        }
        EXPECT_EQ(animator->isPlaying, c.playingAtEnd);
        if (c.playingAtEnd) {
            // The frame shown is the one counted, in its column of the two-column sheet.
            EXPECT_EQ(sprite->frameIndex, c.frames.back());
            EXPECT_FLOAT_EQ(sprite->textureOffset.x, c.frames.back() % 2 == 0 ? 0.0f : 0.5f);
        }
    }
}

TEST_F(AnimatorTest, CellsTooSmallToCountLeaveTheOffsetAndWarnOnce) {
    // 2^-30: a sheet of 2^30 columns or rows still fits an int.
    constexpr float kSmallestCountable = 1.0f / 1073741824.0f;
    struct Case {
        const char* name;
        float uSize;
        float vSize;
        bool countable;
    };
    const Case cases[] = {
        {"uSize 1e-30", 1e-30f, 0.5f, false},
        {"vSize 1e-30", 0.25f, 1e-30f, false},
        {"both the smallest normal float", std::numeric_limits<float>::min(),
         std::numeric_limits<float>::min(), false},
        {"uSize subnormal", std::numeric_limits<float>::denorm_min(), 0.5f, false},
        {"vSize not a number", 0.25f, std::numeric_limits<float>::quiet_NaN(), false},
        {"both 2^-30", kSmallestCountable, kSmallestCountable, true},
    };
    const Vector2 untouched{0.125f, 0.375f};
    const fs::path traceLog = fs::path(DataDirectory) / "Trace_Log.txt";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(traceLog);
        Mesh cell;
        cell.name = "Tiny";
        cell.uSize = c.uSize;
        cell.vSize = c.vSize;
        Entity& entity = NewEntity();
        Sprite& sprite = Add<Sprite>(entity);
        sprite.mesh = &cell;
        sprite.textureOffset = untouched;
        Animator& animator = Add<Animator>(entity);
        animator.FromJson(AnimationJson(0, 4, true));
        for (int update = 0; update < 3; ++update) {
            animator.Update(kFrameDuration);
        }

        EXPECT_EQ(animator.currentFrame, 3);
        std::size_t warnings = 0;
        for (const std::string& message : TraceMessages(traceLog)) {
            warnings += message.starts_with("WARNING: Animator - The mesh \"Tiny\"") ? 1 : 0;
        }
        if (c.countable) {
            // Frame 3 is column 1 and row 0 of 2^30 each.
            ExpectOffset(sprite.textureOffset, {3.0f * kSmallestCountable, 0.0f});
            EXPECT_EQ(warnings, 0u);
        } else {
            ExpectOffset(sprite.textureOffset, untouched);
            // NaN is no size at all, like zero; only a countless sheet is reported.
            EXPECT_EQ(warnings, std::isnan(c.vSize) ? 0u : 1u);
        }
        sprite.mesh = nullptr;
    }
}

TEST_F(AnimatorTest, FromJsonRestartsFromFrameZero) {
    auto [sprite, animator] = AnimatedSheet(AnimationJson(0, 3, false));
    for (int update = 0; update < 4; ++update) {
        animator->Update(kFrameDuration);
    }
    ASSERT_FALSE(animator->isPlaying);
    ASSERT_EQ(animator->currentFrame, 2);

    // Missing keys keep the settings already read; the restart happens regardless.
    animator->FromJson(json::object());
    EXPECT_TRUE(animator->isPlaying);
    EXPECT_EQ(animator->currentFrame, 0);
    EXPECT_FLOAT_EQ(animator->timer, kFrameDuration);
    EXPECT_EQ(animator->frameCount, 3);

    animator->Update(kFrameDuration);
    EXPECT_EQ(animator->currentFrame, 1);
    ExpectOffset(sprite->textureOffset, kSheetOffsets[1]);
}

TEST_F(AnimatorTest, SpriteNonsenseActsByAFixedStepWhileAnInputIsHeld) {
    constexpr float kRotationSpeed = 2.0f;
    constexpr float kScalingSpeed = 0.5f;
    struct Case {
        InputType input;
        float rotationStep;
        float scaleStep;
    };
    const Case cases[] = {
        {InputType::ROTATE_LEFT, kRotationSpeed, 0.0f},
        {InputType::ROTATE_RIGHT, -kRotationSpeed, 0.0f},
        {InputType::SCALE_UP, 0.0f, kScalingSpeed},
        {InputType::SCALE_DOWN, 0.0f, -kScalingSpeed},
        {InputType::JUMP, 0.0f, 0.0f},
    };
    // Very different frame times: the step does not depend on them.
    const float frameTimes[] = {0.001f, 0.5f, 3.0f};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.input));
        Entity& entity = NewEntity();
        Transform& transform = *entity.GetComponent<Transform>();
        SpriteNonsense& nonsense = Add<SpriteNonsense>(entity);
        nonsense.rotationSpeed = kRotationSpeed;
        nonsense.scalingSpeed = kScalingSpeed;

        nonsense.HandleMessage(InputMessage{c.input, true});
        float steps = 0.0f;
        for (const float dt : frameTimes) {
            nonsense.Update(dt);
            steps += 1.0f;
            EXPECT_FLOAT_EQ(transform.rotation, steps * c.rotationStep);
            EXPECT_FLOAT_EQ(transform.scale.x, 1.0f + steps * c.scaleStep);
            EXPECT_FLOAT_EQ(transform.scale.y, 1.0f + steps * c.scaleStep);
        }

        // Releasing an input that has nothing to do with it stops it all the same.
        nonsense.HandleMessage(InputMessage{InputType::BEEP, false});
        nonsense.Update(0.5f);
        EXPECT_FLOAT_EQ(transform.rotation, steps * c.rotationStep);
        EXPECT_FLOAT_EQ(transform.scale.x, 1.0f + steps * c.scaleStep);
    }
}

TEST_F(AnimatorTest, SpriteNonsenseFromJsonNeedsEveryKey) {
    const json complete = {
        {"rotationSpeed", 2.5}, {"scalingSpeed", 0.25}, {"buttonState", 1}, {"buttonType", 7}};
    SpriteNonsense nonsense;
    nonsense.FromJson(complete);
    EXPECT_FLOAT_EQ(nonsense.rotationSpeed, 2.5f);
    EXPECT_FLOAT_EQ(nonsense.scalingSpeed, 0.25f);
    EXPECT_TRUE(nonsense.buttonState);
    EXPECT_EQ(nonsense.buttonType, static_cast<int>(InputType::ROTATE_LEFT));

    for (const char* key : {"rotationSpeed", "scalingSpeed", "buttonState", "buttonType"}) {
        SCOPED_TRACE(key);
        json partial = complete;
        partial.erase(key);
        SpriteNonsense fresh;
        EXPECT_THROW(fresh.FromJson(partial), json::out_of_range);
    }
}

TEST_F(AnimatorTest, SpriteCloneSharesAssetsButNotColour) {
    Sprite original;
    ASSERT_NE(original.texture, nullptr);
    ASSERT_NE(original.mesh, nullptr);
    ASSERT_NE(original.shader, nullptr);
    EXPECT_EQ(original.texture->name, Sprite::kDefaultTexture);
    EXPECT_EQ(original.mesh->name, Sprite::kDefaultMesh);
    EXPECT_EQ(original.shader->name, Sprite::kDefaultShader);
    original.color = {0.2f, 0.4f, 0.6f};
    original.alpha = 0.5f;
    original.textureOffset = {0.5f, 0.25f};
    original.frameIndex = 3;

    const std::unique_ptr<Component> copy = original.Clone();
    auto* clone = dynamic_cast<Sprite*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->texture, original.texture);
    EXPECT_EQ(clone->mesh, original.mesh);
    EXPECT_EQ(clone->shader, original.shader);
    EXPECT_EQ(clone->color, original.color);
    EXPECT_FLOAT_EQ(clone->alpha, 0.5f);
    ExpectOffset(clone->textureOffset, {0.5f, 0.25f});
    EXPECT_EQ(clone->frameIndex, 3);

    clone->color = {1.0f, 0.0f, 0.0f};
    EXPECT_EQ(original.color, (Vector3{0.2f, 0.4f, 0.6f}));
}

TEST_F(AnimatorTest, SpriteFromJsonWithoutAnAssetKeyLooksUpTheMarkerName) {
    const json complete = {{"texture", "milk.png"},
                           {"mesh", kSheetMesh},
                           {"shader", "DebugShader.json"},
                           {"alpha", 0.75}};
    struct Case {
        const char* missingKey;
        // Where the marker name leads for a mesh or shader; empty for the texture, which fails
        // softly instead.
        std::string failingPath;
    };
    const Case cases[] = {
        {"texture", ""},
        {"mesh", DataDirectory + "Meshes/" + kMissingJsonValue},
        {"shader", ShadersDirectory + kMissingJsonValue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missingKey);
        json data = complete;
        data.erase(c.missingKey);
        Sprite sprite;
        if (c.failingPath.empty()) {
            ASSERT_NO_THROW(sprite.FromJson(data));
            EXPECT_EQ(sprite.texture->name, kMissingJsonValue);
            EXPECT_EQ(sprite.texture->id, -1);
            EXPECT_EQ(sprite.mesh->name, kSheetMesh);
            EXPECT_FLOAT_EQ(sprite.alpha, 0.75f);
            continue;
        }
        try {
            sprite.FromJson(data);
            ADD_FAILURE() << "the load did not fail";
        } catch (const std::exception& error) {
            EXPECT_NE(std::string(error.what()).find(c.failingPath), std::string::npos)
                << error.what();
        }
        EXPECT_FALSE(fs::exists(c.failingPath));
    }
}

}  // namespace
