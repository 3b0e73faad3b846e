// The audio components in entity files: what the entity reader builds from "AudioSource",
// "AudioListener" and "SoundEffect" entries, how values are clamped and typed, and what the
// writer stores. No sound device is opened: a sound that cannot load is still named and cached.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "audio/AudioListener.h"
#include "audio/AudioSource.h"
#include "audio/Sound.h"
#include "audio/SoundEffect.h"
#include "engine/DataDirectories.h"
#include "entities/ComponentListSystem.h"
#include "entities/Entity.h"
#include "support/ChildProcess.h"
#include "support/TempDirectory.h"
#include "support/TraceMessages.h"

namespace {

using nlohmann::json;

bool Contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

json Entry(const std::string& key, const json& data, int layer = 2) {
    return json{{key, data}, {"Update layer", layer}};
}

json SourceData(json bufferedSound, json playOnStart = 0) {
    return json{{"bufferedSound", std::move(bufferedSound)}, {"playOnStart", playOnStart}};
}

json Sound(json maxVolume = nullptr) {
    json sound = {{"soundClip", "pistol_shot.ogg"},
                  {"strength", 250.0},
                  {"isLooping", 0},
                  {"isContinuous", 0}};
    if (!maxVolume.is_null()) {
        sound["maxVolume"] = maxVolume;
    }
    return sound;
}

class AudioJsonTest : public ::testing::Test {
protected:
    void SetUp() override { DataDirectory = temp.path().string() + "/"; }
    void TearDown() override {
        entities.clear();
        ShutDownLists();
    }

    Entity& Read(const json& value) {
        entities.push_back(std::make_unique<Entity>("Read"));
        Entity::from_json(value, *entities.back());
        return *entities.back();
    }

    std::vector<std::string> Lines(std::string_view tag) const {
        std::vector<std::string> found;
        for (const std::string& line : TraceMessages(temp.path() / "Trace_Log.txt")) {
            if (line.starts_with(tag)) {
                found.push_back(line);
            }
        }
        return found;
    }

    static void ShutDownLists() {
        ComponentListSystem<AudioSource>::Instance().ShutDown();
        ComponentListSystem<AudioListener>::Instance().ShutDown();
        ComponentListSystem<SoundEffect>::Instance().ShutDown();
    }

    TempDirectory temp;
    std::vector<std::unique_ptr<Entity>> entities;
};

TEST_F(AudioJsonTest, AnAudioSourceReadsItsSoundAndFlags) {
    const json sound = {{"soundClip", "sniper_shot.ogg"},
                        {"strength", 250.0},
                        {"maxVolume", 0.75},
                        {"isLooping", 1},
                        {"isContinuous", true}};
    Entity& entity = Read({{"AudioSource", Entry("AudioSource", SourceData(sound, 2), 3)}});

    const AudioSource* source = entity.GetComponent<AudioSource>();
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(entity.components.at(&ComponentListSystem<AudioSource>::Instance()).layer,
              UpdateLayer::SLOW);
    EXPECT_EQ(source->bufferedSound.sound, GetSound("sniper_shot.ogg"));
    EXPECT_EQ(source->bufferedSound.strength, 250.0f);
    EXPECT_EQ(source->bufferedSound.maxVolume, 0.75f);
    EXPECT_TRUE(source->bufferedSound.isLooping);
    EXPECT_TRUE(source->bufferedSound.isContinuous);
    EXPECT_TRUE(source->playOnStart);
    EXPECT_TRUE(Lines("WARNING: ").empty());
}

TEST_F(AudioJsonTest, FlagsAreBooleansOrNumbersNonZeroBeingTrue) {
    struct Case {
        json value;
        bool expected;
    };
    const Case cases[] = {{true, true}, {false, false}, {1, true},
                          {0, false},   {0.5, true},    {-3, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.dump());
        json sound = Sound();
        sound["isLooping"] = c.value;
        sound["isContinuous"] = c.value;
        const AudioSource* source =
            Read({{"AudioSource", Entry("AudioSource", SourceData(sound, c.value))}})
                .GetComponent<AudioSource>();
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(source->bufferedSound.isLooping, c.expected);
        EXPECT_EQ(source->bufferedSound.isContinuous, c.expected);
        EXPECT_EQ(source->playOnStart, c.expected);
    }
    EXPECT_TRUE(Lines("ERROR: ").empty());
}

TEST_F(AudioJsonTest, MaxVolumeIsOptionalAndClampedToZeroToOne) {
    struct Case {
        json maxVolume;  // null: the key is left out
        float expected;
    };
    const Case cases[] = {{5, 1.0f}, {-2, 0.0f}, {0.3, 0.3f}, {1, 1.0f}, {nullptr, 1.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.maxVolume.dump());
        const AudioSource* source =
            Read({{"AudioSource", Entry("AudioSource", SourceData(Sound(c.maxVolume)))}})
                .GetComponent<AudioSource>();
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(source->bufferedSound.maxVolume, c.expected);
    }
    // Leaving out the optional key is not worth a warning.
    EXPECT_TRUE(Lines("WARNING: ").empty());
}

TEST_F(AudioJsonTest, ASoundClipThatIsNotAStringIsAReadError) {
    json sound = Sound();
    sound["soundClip"] = 7;
    Entity& entity = Read({{"AudioSource", Entry("AudioSource", SourceData(sound))}});

    EXPECT_EQ(entity.GetComponent<AudioSource>(), nullptr);
    // The error line carries the entity's JSON over several lines, the reason at its end.
    const std::string log = ReadFileText(temp.path() / "Trace_Log.txt");
    EXPECT_EQ(CountOccurrences(log, "ERROR: "), 1u) << log;
    EXPECT_TRUE(Contains(log, "type must be string, but is number")) << log;
}

TEST_F(AudioJsonTest, AnAudioSourceIsWrittenWithFloatingPointNumbersAndIntegerFlags) {
    Entity& original = Read({{"AudioSource", Entry("AudioSource", SourceData(Sound(0.4)))}});
    AudioSource* source = original.GetComponent<AudioSource>();
    ASSERT_NE(source, nullptr);
    source->bufferedSound.isContinuous = true;

    const json written = Entity::to_json(original);
    const json& data = written.at("AudioSource").at("AudioSource");
    const json& sound = data.at("bufferedSound");
    EXPECT_EQ(sound.at("soundClip"), "pistol_shot.ogg");
    EXPECT_TRUE(sound.at("strength").is_number_float());
    EXPECT_TRUE(sound.at("maxVolume").is_number_float());
    EXPECT_FLOAT_EQ(sound.at("maxVolume").get<float>(), 0.4f);
    EXPECT_TRUE(sound.at("isLooping").is_number_integer());
    EXPECT_EQ(sound.at("isLooping"), 0);
    EXPECT_EQ(sound.at("isContinuous"), 1);
    EXPECT_TRUE(data.at("playOnStart").is_number_integer());

    const AudioSource* reread = Read(written).GetComponent<AudioSource>();
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ(reread->bufferedSound.sound, source->bufferedSound.sound);
    EXPECT_EQ(reread->bufferedSound.strength, source->bufferedSound.strength);
    EXPECT_EQ(reread->bufferedSound.maxVolume, source->bufferedSound.maxVolume);
    EXPECT_EQ(reread->bufferedSound.isLooping, source->bufferedSound.isLooping);
    EXPECT_EQ(reread->bufferedSound.isContinuous, source->bufferedSound.isContinuous);
    EXPECT_EQ(reread->playOnStart, source->playOnStart);
}

TEST_F(AudioJsonTest, ASoundEffectIsBuiltFromItsSoundName) {
    struct Case {
        const char* what;
        json data;
        std::string name;
        std::size_t warnings;
    };
    const Case cases[] = {
        {"named", {{"sound name", "button_click.ogg"}}, "button_click.ogg", 0},
        {"unnamed", json::object(), "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(temp.path() / "Trace_Log.txt");
        Entity& entity = Read({{"SoundEffect", Entry("SoundEffect", c.data, 4)}});

        const SoundEffect* effect = entity.GetComponent<SoundEffect>();
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->soundName, c.name);
        EXPECT_EQ(effect->sound, GetSound(c.name));
        EXPECT_EQ(entity.components.at(&ComponentListSystem<SoundEffect>::Instance()).layer,
                  UpdateLayer::SLOWEST);
        const std::vector<std::string> warnings = Lines("WARNING: ");
        ASSERT_EQ(warnings.size(), c.warnings);
        if (c.warnings > 0) {
            EXPECT_TRUE(Contains(warnings[0], "sound name")) << warnings[0];
        }

        const json written = Entity::to_json(entity);
        EXPECT_EQ(written.at("SoundEffect").at("SoundEffect"), json({{"sound name", c.name}}));
        const std::unique_ptr<Component> copy = effect->Clone();
        const auto* copied = dynamic_cast<const SoundEffect*>(copy.get());
        ASSERT_NE(copied, nullptr);
        EXPECT_EQ(copied->sound, effect->sound);
        EXPECT_EQ(copied->soundName, effect->soundName);
    }
}

TEST_F(AudioJsonTest, AnAudioListenerIsWrittenAsNullAndReadsBackWithoutWarnings) {
    Entity& original = Read({{"AudioListener", Entry("AudioListener", json::object())}});
    ASSERT_NE(original.GetComponent<AudioListener>(), nullptr);
    const json written = Entity::to_json(original);
    EXPECT_TRUE(written.at("AudioListener").at("AudioListener").is_null());

    EXPECT_NE(Read(written).GetComponent<AudioListener>(), nullptr);
    EXPECT_TRUE(Lines("WARNING: ").empty());
}

}  // namespace
