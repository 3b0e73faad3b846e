// Sound as it comes out of the device: the real audio layer over OpenAL Soft, whose "wave" driver
// records the mixed output to a file, and the real audio components driven frame by frame in the
// engine's order (pending flush, component lists, then the AudioSystem). Every check on what is
// heard reads that recording. Each test case runs in its own process, so each gets a device of
// its own and a recording that starts with it.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioListener.h"
#include "audio/AudioSource.h"
#include "audio/AudioSystem.h"
#include "audio/FMODAudio.h"
#include "audio/PlayRequest.h"
#include "audio/Sound.h"
#include "audio/SoundEffect.h"
#include "engine/DataDirectories.h"
#include "engine/Engine.h"
#include "engine/InputMessage.h"
#include "engine/SteadyClock.h"
#include "entities/ComponentListSystem.h"
#include "entities/ComponentLists.h"
#include "entities/Entity.h"
#include "entities/VirtualComponentListSystem.h"
#include "physics/Transform.h"
#include "support/ChildProcess.h"
#include "support/TempDirectory.h"
#include "support/TraceMessages.h"
#include "support/WaveRecording.h"

namespace {

using namespace std::chrono_literals;

constexpr float kToneAmplitude = 0.5f;
constexpr const char* kShortTone = "tone_300ms.wav";
constexpr double kShortToneSeconds = 0.3;
constexpr const char* kSecondTone = "tone_1s.wav";
constexpr const char* kLongTone = "tone_3s.wav";
// A frame of a game running at about 100 frames per second.
constexpr auto kFrameTime = 10ms;
// Far beyond the default strength's cut-off (about 31607): silent.
constexpr float kFarAway = 50000.0f;
// Two and a bit cycles of the 440 Hz tone: a gap in a loop leaves a window without its peak.
constexpr double kLoopWindow = 0.005;
constexpr const char* kShotTone = "tone_100ms.wav";
constexpr double kShotToneSeconds = 0.1;

class AudioOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(temp.path());
        std::filesystem::create_directories("Assets/Sounds");
        WaveRecording::WriteTone("Assets/Sounds/tone_300ms.wav", kShortToneSeconds, kToneAmplitude);
        WaveRecording::WriteTone("Assets/Sounds/tone_1s.wav", 1.0, kToneAmplitude);
        WaveRecording::WriteTone("Assets/Sounds/tone_3s.wav", 3.0, kToneAmplitude);
        WaveRecording::WriteTone("Assets/Sounds/tone_100ms.wav", kShotToneSeconds, kToneAmplitude);
        DataDirectory = temp.path().string() + "/";

        WaveRecording::WriteDriverConfig(temp.path() / "alsoft.conf", recordingFile());
        setenv("ALSOFT_CONF", (temp.path() / "alsoft.conf").c_str(), 1);
        unsetenv("ALSOFT_DRIVERS");
        FMODAudio::Instance().Initialize();
        ASSERT_NE(FMODAudio::Instance().fmodSystem, nullptr);
        start = NowNanoseconds();
    }

    void TearDown() override {
        StopEverything();
        std::filesystem::current_path(previousDirectory);
    }

    std::filesystem::path recordingFile() const { return temp.path() / "out.wav"; }

    Entity& AddEntity(const char* name, std::optional<Vector2> position) {
        entities.push_back(std::make_unique<Entity>(name));
        Entity& entity = *entities.back();
        if (position) {
            auto* transform = new Transform();
            transform->SetPosition(*position);
            entity.AddComponent(transform);
        }
        return entity;
    }

    AudioListener& AddListener(Entity& entity) {
        auto* listener = new AudioListener();
        entity.AddComponent(listener);
        return *listener;
    }

    // A source that starts its clip when it joins its list, at the next frame.
    AudioSource& AddSource(Entity& entity, const char* clip, bool looping = false,
                           bool continuous = false) {
        auto* source = new AudioSource();
        source->bufferedSound.sound = GetSound(clip);
        source->bufferedSound.isLooping = looping;
        source->bufferedSound.isContinuous = continuous;
        source->playOnStart = true;
        entity.AddComponent(source);
        return *source;
    }

    static void Frame() {
        const auto lists = ComponentListsInFanOutOrder();
        for (VirtualComponentListSystem* list : lists) {
            list->FlushPending();
        }
        for (VirtualComponentListSystem* list : lists) {
            list->Update(std::chrono::duration<float>(kFrameTime).count());
        }
        AudioSystem::Instance().Update(std::chrono::duration<float>(kFrameTime).count());
    }

    double SecondsSinceStart() const { return static_cast<double>(NowNanoseconds() - start) / 1e9; }

    // Runs frames until `seconds` after the device opened. The device plays in real time, so
    // the frames are paced like a game's.
    void RunUntil(double seconds) {
        while (SecondsSinceStart() < seconds) {
            Frame();
            std::this_thread::sleep_for(kFrameTime);
        }
    }

    // Ends every sound and closes the device, which completes the recording.
    WaveRecording Finish() {
        StopEverything();
        return WaveRecording(recordingFile());
    }

    TempDirectory temp;
    std::filesystem::path previousDirectory;
    std::int64_t start = 0;
    std::vector<std::unique_ptr<Entity>> entities;

private:
    void StopEverything() {
        entities.clear();
        AudioSystem::Instance().ShutDown();
        for (VirtualComponentListSystem* list : ComponentListsInFanOutOrder()) {
            list->ShutDown();
        }
        FMODAudio::Instance().ShutDown();
    }
};

// --- Distance falloff: volume = min(maxVolume, strength / (d² + strength)), 0 below 0.001 ----

struct FalloffCase {
    const char* name;
    float distance;
    float maxVolume;
    // The volume the tone must come out with.
    float volume;
};

void PrintTo(const FalloffCase& c, std::ostream* out) {
    *out << c.name;
}

class AudioFalloffTest : public AudioOutputTest,
                         public ::testing::WithParamInterface<FalloffCase> {};

TEST_P(AudioFalloffTest, ToneComesOutAtTheVolumeOfItsDistance) {
    const FalloffCase& c = GetParam();
    AddListener(AddEntity("Ear", Vector2{0.0f, 0.0f}));
    AudioSource& source = AddSource(AddEntity("Speaker", Vector2{c.distance, 0.0f}), kSecondTone);
    source.bufferedSound.maxVolume = c.maxVolume;
    RunUntil(1.3);

    const WaveRecording recording = Finish();
    ASSERT_GT(recording.Seconds(), 1.0) << "the device recorded too little";
    const float expected = kToneAmplitude * c.volume;
    EXPECT_NEAR(recording.Peak(), expected, expected * 0.03f + 1e-6f);
}

// With the default strength of 1000000 the cut-off lies at sqrt(999 x 1000000) ≈ 31607.
INSTANTIATE_TEST_SUITE_P(
    Distances, AudioFalloffTest,
    ::testing::Values(FalloffCase{"NextToTheListener", 0.0f, 1.0f, 1.0f},
                      FalloffCase{"HalvedAtDistance1000", 1000.0f, 1.0f, 0.5f},
                      FalloffCase{"CappedByMaxVolume", 0.0f, 0.3f, 0.3f},
                      FalloffCase{"JustInsideTheCutOff", 31606.0f, 1.0f, 0.001f},
                      FalloffCase{"SilentJustPastTheCutOff", 31608.0f, 1.0f, 0.0f},
                      FalloffCase{"SilentFarAway", kFarAway, 1.0f, 0.0f}),
    [](const auto& info) { return std::string(info.param.name); });

// --- How long a request sounds ---------------------------------------------------------------

class AudioLoopTest : public AudioOutputTest, public ::testing::WithParamInterface<bool> {};

TEST_P(AudioLoopTest, ASingleRequestSoundsOnceALoopingOneUntilShutDown) {
    const bool looping = GetParam();
    AddListener(AddEntity("Ear", Vector2{0.0f, 0.0f}));
    AddSource(AddEntity("Speaker", Vector2{0.0f, 0.0f}), kShortTone, looping);
    RunUntil(1.5);
    // A looping request never leaves the queue by itself; a single one is gone once played.
    EXPECT_EQ(playQueue.size(), looping ? 1u : 0u);

    const WaveRecording recording = Finish();
    EXPECT_TRUE(playQueue.empty()) << "the shutdown ends every request";
    const std::optional<double> first = recording.FirstSound();
    const std::optional<double> last = recording.LastSound();
    ASSERT_TRUE(first && last) << "nothing was heard";
    if (looping) {
        // Heard over and over without a gap: the tone (whole cycles) loops on its channel, so
        // every stretch of a few milliseconds reaches its full swing. The check starts where the
        // tone first reaches it: on a loaded machine the mixer may take the channel's volume one
        // mixing period after its start and ramp up to it, which is no gap in the loop.
        EXPECT_GT(*last, 1.3);
        double full = *first;
        while (full < *first + kShortToneSeconds / 3 &&
               recording.Peak(full, full + kLoopWindow) <= kToneAmplitude * 0.9f) {
            full += kLoopWindow;
        }
        ASSERT_LT(full, *first + kShortToneSeconds / 3) << "the tone never reached its full swing";
        for (double from = full; from + kLoopWindow < 1.3; from += kLoopWindow) {
            EXPECT_GT(recording.Peak(from, from + kLoopWindow), kToneAmplitude * 0.9f)
                << "at " << from;
        }
    } else {
        EXPECT_NEAR(*last - *first, kShortToneSeconds, 0.1);
    }
}

INSTANTIATE_TEST_SUITE_P(Requests, AudioLoopTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Looping" : "Single"; });

// --- Where a request is first heard ----------------------------------------------------------

struct StartCase {
    const char* name;
    const char* clip;
    double clipSeconds;
    // The listener has listened before the request is queued; otherwise it arrives after `wait`.
    bool listenerFirst;
    // Between the request's queueing and the next frame: a slow frame, or the time the request
    // plays before the listener arrives.
    std::chrono::milliseconds wait;
    // How far the length heard may lie from the clip's rest after the point it is heard from.
    double tolerance;
};

void PrintTo(const StartCase& c, std::ostream* out) {
    *out << c.name;
}

class AudioStartTest : public AudioOutputTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(AudioStartTest, ANewRequestIsHeardWholeARunningOneFromWhereItHasGotTo) {
    const StartCase& c = GetParam();
    Entity& ear = AddEntity("Ear", Vector2{0.0f, 0.0f});
    if (c.listenerFirst) {
        AddListener(ear);
    }
    auto* source = new AudioSource();
    source->bufferedSound.sound = GetSound(c.clip);
    AddEntity("Speaker", Vector2{0.0f, 0.0f}).AddComponent(source);
    RunUntil(0.3);
    // As a shot is queued: after the listener's turn in the frame.
    source->Play(source->bufferedSound);
    const double queued = SecondsSinceStart();
    std::this_thread::sleep_for(c.wait);
    if (!c.listenerFirst) {
        AddListener(ear);
    }
    // The next frame follows at once: a late listener joins after this long.
    const double played = SecondsSinceStart() - queued;
    RunUntil(queued + played + c.clipSeconds + 0.3);

    const WaveRecording recording = Finish();
    const std::optional<double> first = recording.FirstSound();
    const std::optional<double> last = recording.LastSound();
    ASSERT_TRUE(first && last) << "nothing was heard";
    const double heardFrom = c.listenerFirst ? 0.0 : played;
    EXPECT_NEAR(*last - *first, c.clipSeconds - heardFrom, c.tolerance);
    EXPECT_NEAR(recording.Peak(), kToneAmplitude, kToneAmplitude * 0.03f);
}

// The shot's 30 ms wait was once skipped over: a 100 ms clip was heard for 70 ms.
INSTANTIATE_TEST_SUITE_P(Requests, AudioStartTest,
                         ::testing::Values(StartCase{"AShotAfterASlowFrameFromItsFirstSample",
                                                     kShotTone, kShotToneSeconds, true, 30ms,
                                                     0.002},
                                           StartCase{"AShotInTheSameFrameFromItsFirstSample",
                                                     kShotTone, kShotToneSeconds, true, 0ms, 0.002},
                                           StartCase{"AListenerArrivingLateJoinsWhereItHasGotTo",
                                                     kSecondTone, 1.0, false, 300ms, 0.02}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Interface sounds -------------------------------------------------------------------------

// A button's click: no listener hears it from a place, and the source goes (as its scene does)
// while it plays.
TEST_F(AudioOutputTest, AnUnplacedSoundIsHeardWholeWithoutAListenerAfterItsSourceHasGone) {
    constexpr float kVolume = 0.4f;
    Entity& button = AddEntity("Button", std::nullopt);
    auto* source = new AudioSource();
    source->bufferedSound.sound = GetSound(kShortTone);
    source->bufferedSound.maxVolume = kVolume;
    button.AddComponent(source);
    Entity& silent = AddEntity("NoSource", Vector2{0.0f, 0.0f});
    RunUntil(0.3);
    AudioSource::PlayInterfaceSound(&silent);
    AudioSource::PlayInterfaceSound(&button);
    auto& list = ComponentListSystem<AudioSource>::Instance();
    list.RemoveComponent(button.components.at(&list));
    RunUntil(1.0);
    EXPECT_TRUE(playQueue.empty()) << "nothing goes through the play queue";

    const WaveRecording recording = Finish();
    const std::optional<double> first = recording.FirstSound();
    const std::optional<double> last = recording.LastSound();
    ASSERT_TRUE(first && last) << "the click was not heard";
    EXPECT_GT(*first, 0.25);
    EXPECT_NEAR(*last - *first, kShortToneSeconds, 0.002);
    EXPECT_NEAR(recording.Peak(), kToneAmplitude * kVolume, kToneAmplitude * kVolume * 0.03f);
}

// --- A continuous source keeps its sound on the moving entity ---------------------------------

class AudioFollowTest : public AudioOutputTest, public ::testing::WithParamInterface<bool> {};

TEST_P(AudioFollowTest, ASoundStartedFarAwayIsHeardWhenItsContinuousSourceComesClose) {
    const bool continuous = GetParam();
    AddListener(AddEntity("Ear", Vector2{0.0f, 0.0f}));
    Entity& speaker = AddEntity("Speaker", Vector2{kFarAway, 0.0f});
    AudioSource& source = AddSource(speaker, kShortTone, true, continuous);
    RunUntil(0.6);
    ASSERT_EQ(playQueue.size(), 1u);
    const std::shared_ptr<PlayRequest> request = playQueue.front();
    speaker.GetComponent<Transform>()->SetPosition({3.0f, 4.0f});
    RunUntil(1.4);

    EXPECT_EQ(request->position, (continuous ? Vector2{3.0f, 4.0f} : Vector2{kFarAway, 0.0f}));
    EXPECT_EQ(source.continuousRequests.size(), continuous ? 1u : 0u);
    const WaveRecording recording = Finish();
    if (continuous) {
        const std::optional<double> first = recording.FirstSound();
        ASSERT_TRUE(first) << "the source came close and was not heard";
        EXPECT_GT(*first, 0.45) << "heard while still far away";
        EXPECT_GT(recording.Peak(1.0, 1.3), kToneAmplitude * 0.9f);
    } else {
        EXPECT_EQ(recording.Peak(), 0.0f) << "a fixed sound stays where it started";
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, AudioFollowTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Continuous" : "Fixed"; });

// --- Removing a source ------------------------------------------------------------------------

class AudioSourceRemovalTest : public AudioOutputTest,
                               public ::testing::WithParamInterface<bool> {};

TEST_P(AudioSourceRemovalTest, AContinuousSoundStopsWithItsSourceOthersPlayOn) {
    const bool continuous = GetParam();
    AddListener(AddEntity("Ear", Vector2{0.0f, 0.0f}));
    Entity& speaker = AddEntity("Speaker", Vector2{0.0f, 0.0f});
    AddSource(speaker, kLongTone, true, continuous);
    RunUntil(0.6);
    // As the editor removes a component: queued, carried out at the next frame's flush.
    auto& list = ComponentListSystem<AudioSource>::Instance();
    list.RemoveComponent(speaker.components.at(&list));
    RunUntil(1.6);
    EXPECT_EQ(speaker.GetComponent<AudioSource>(), nullptr);

    const WaveRecording recording = Finish();
    const std::optional<double> last = recording.LastSound();
    ASSERT_TRUE(last) << "nothing was heard";
    if (continuous) {
        // Removed at 0.6 s; the three-second tone would sound on to the end of the run.
        EXPECT_LT(*last, 0.9);
        EXPECT_GT(*last, 0.4);
    } else {
        EXPECT_GT(*last, 1.4);
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, AudioSourceRemovalTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Continuous" : "Fixed"; });

// --- Nothing to hear with ---------------------------------------------------------------------

struct SilentCase {
    const char* name;
    bool listenerHasTransform;
    bool listenerExists;
    bool sourceHasTransform;
    // Requests still in the queue after the run.
    std::size_t queued;
};

void PrintTo(const SilentCase& c, std::ostream* out) {
    *out << c.name;
}

class AudioSilenceTest : public AudioOutputTest,
                         public ::testing::WithParamInterface<SilentCase> {};

TEST_P(AudioSilenceTest, NothingIsHeardAndRequestsStillEnd) {
    const SilentCase& c = GetParam();
    AudioListener* listener = nullptr;
    if (c.listenerExists) {
        listener = &AddListener(AddEntity(
            "Ear", c.listenerHasTransform ? std::optional(Vector2{0.0f, 0.0f}) : std::nullopt));
    }
    AddSource(AddEntity("Speaker",
                        c.sourceHasTransform ? std::optional(Vector2{10.0f, 0.0f}) : std::nullopt),
              kShortTone);
    Frame();
    EXPECT_EQ(playQueue.size(), c.sourceHasTransform ? 1u : 0u);
    RunUntil(1.0);
    EXPECT_EQ(playQueue.size(), c.queued);
    if (listener != nullptr && !c.listenerHasTransform) {
        EXPECT_TRUE(listener->channels.empty());
    }

    const WaveRecording recording = Finish();
    ASSERT_GT(recording.Seconds(), 0.8) << "the device recorded too little";
    EXPECT_EQ(recording.Peak(), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AudioSilenceTest,
    ::testing::Values(SilentCase{"NoListener", false, false, true, 0},
                      SilentCase{"ListenerWithoutTransform", false, true, true, 0},
                      SilentCase{"SourceWithoutTransform", true, true, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Sound effects ----------------------------------------------------------------------------

TEST_F(AudioOutputTest, APressedJumpPlaysTheSoundEffectOnceOtherInputsNothing) {
    Entity& entity = AddEntity("Jingle", std::nullopt);
    entity.AddComponent(new SoundEffect(kShortTone));
    Engine& engine = Engine::Instance();
    RunUntil(0.2);
    engine.SendMessage(InputMessage{InputType::JUMP, false});
    engine.SendMessage(InputMessage{InputType::CLICK, true});
    RunUntil(0.8);
    engine.SendMessage(InputMessage{InputType::JUMP, true});
    RunUntil(1.6);

    const WaveRecording recording = Finish();
    const std::optional<double> first = recording.FirstSound();
    const std::optional<double> last = recording.LastSound();
    ASSERT_TRUE(first && last) << "the jump was not heard";
    EXPECT_GT(*first, 0.6) << "heard before the jump";
    EXPECT_NEAR(*last - *first, kShortToneSeconds, 0.1) << "heard more than once";
    EXPECT_NEAR(recording.Peak(), kToneAmplitude, kToneAmplitude * 0.03f);
}

// --- The sound cache --------------------------------------------------------------------------

TEST_F(AudioOutputTest, SoundsAreCachedByTheirExactName) {
    Sound* tone = GetSound(kShortTone);
    ASSERT_NE(tone->handle, nullptr) << "the tone did not load";
    EXPECT_EQ(GetSound(kShortTone), tone);

    // File names are case-sensitive: another entry, and this file does not exist.
    Sound* otherCase = GetSound("Tone_300ms.wav");
    EXPECT_NE(otherCase, tone);
    EXPECT_EQ(otherCase->name, "Tone_300ms.wav");
    EXPECT_EQ(otherCase->handle, nullptr);
    // A failed load is kept, not retried, even once the file exists.
    WaveRecording::WriteTone("Assets/Sounds/Tone_300ms.wav", kShortToneSeconds, kToneAmplitude);
    EXPECT_EQ(GetSound("Tone_300ms.wav"), otherCase);
    EXPECT_EQ(otherCase->handle, nullptr);
}

// A sound file that cannot be played is reported once, by its path and the reason; the game goes
// on without it. A header that claims a rate no output plays counts as broken.
TEST_F(AudioOutputTest, ASoundThatCannotBeLoadedIsReportedOnceByItsPath) {
    std::filesystem::create_directories("Assets/Sounds/Folder.wav");
    std::ofstream("Assets/Sounds/Text.wav") << "not a sound";
    std::string tooFast = ReadFileText("Assets/Sounds/tone_300ms.wav");
    // The sample rate field, 12 bytes into the format chunk: 2^31 - 1 samples per second.
    tooFast.replace(tooFast.find("fmt ") + 12, 4, std::string("\xff\xff\xff\x7f", 4));
    std::ofstream("Assets/Sounds/TooFast.wav", std::ios::binary) << tooFast;
    struct Case {
        const char* name;
        const char* reason;
    };
    const Case cases[] = {
        {"Absent.wav", "it is missing or not a file"},
        {"Folder.wav", "it is missing or not a file"},
        {"Text.wav", "it is not a sound that can be decoded"},
        {"TooFast.wav", "it is not a sound that can be decoded"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetSound(c.name)->handle, nullptr);
        GetSound(c.name);
        const std::string report =
            std::string("ERROR: GetSound - cannot load Assets/Sounds/") + c.name + ": " + c.reason;
        const std::string trace = ReadFileText(temp.path() / "Trace_Log.txt");
        EXPECT_EQ(CountOccurrences(trace, report), 1u) << trace;
    }
    EXPECT_EQ(CountOccurrences(ReadFileText(temp.path() / "Trace_Log.txt"), "GetSound"), 4u);
}

}  // namespace
