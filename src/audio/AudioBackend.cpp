#include "audio/AudioBackend.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace {

// A channel handle is not an address: it packs the channel's place and the use of the channel it
// names, so a stale handle is recognised. Bits 0-11 hold the channel index + 1 (never 0, so a
// handle is never null), bits 12-31 the system's serial number, bits 32-63 the channel's use
// count when the handle was given out.
constexpr int kIndexBits = 12;
constexpr int kSerialBits = 20;
constexpr int kUseShift = 32;
constexpr std::uintptr_t kIndexMask = (std::uintptr_t{1} << kIndexBits) - 1;
constexpr std::uintptr_t kSerialMask = (std::uintptr_t{1} << kSerialBits) - 1;
static_assert(sizeof(std::uintptr_t) >= 8, "channel handles need 64-bit pointers");

constexpr int kMaxChannels = static_cast<int>(kIndexMask) - 1;
constexpr std::size_t kMaxSystems = kSerialMask;

constexpr std::uint64_t kMillisecondsPerSecond = 1000;
constexpr int kMonoChannels = 1;
constexpr int kStereoChannels = 2;
// The highest rate audio files and devices use (768 kHz); a header claiming more is broken, and
// its sound would end before a single sample is heard.
constexpr int kMaxSampleRate = 768000;

struct Channel {
    ALuint source = 0;
    // Null while the channel is free.
    FMOD_SOUND* sound = nullptr;
    // Counts the starts and stops on this channel; the live handle carries the current count.
    std::uint32_t use = 0;
    // As the caller last set it. OpenAL has no paused state for a source that has run out, so
    // this decides whether a channel moved back into its sound plays on.
    bool paused = false;
    // When its sound was started, in the system's start count: the earliest is taken first.
    std::uint64_t startOrder = 0;
};

struct DecodedSound {
    std::vector<short> samples;
    int channels = 0;
    int sampleRate = 0;
    std::uint64_t frames = 0;
};

}  // namespace

struct FMOD_SOUND {
    FMOD_SYSTEM* system = nullptr;
    // 0 once the system's output is closed: the sound is dead.
    ALuint buffer = 0;
    std::uint32_t sampleRate = 0;
    std::uint64_t frames = 0;
    std::uint32_t lengthMs = 0;
};

struct FMOD_SYSTEM {
    std::uint32_t serial = 0;
    bool released = false;
    // Both null until FMOD_System_Init succeeds and again after FMOD_System_Close.
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    std::vector<Channel> channels;
    // Kept after they die (see Systems), so a stale sound handle is recognised.
    std::vector<std::unique_ptr<FMOD_SOUND>> sounds;
    std::uint64_t startCount = 0;
};

namespace {

// Every system ever created, at its serial number - 1. Nothing here is freed before the process
// ends: a released system keeps its small record so that its stale handles and those of its
// sounds and channels fail cleanly instead of reaching freed memory.
std::vector<std::unique_ptr<FMOD_SYSTEM>>& Systems() {
    static auto* systems = new std::vector<std::unique_ptr<FMOD_SYSTEM>>();
    return *systems;
}

FMOD_SYSTEM* LiveSystem(FMOD_SYSTEM* system) {
    const auto& systems = Systems();
    const bool known = std::any_of(systems.begin(), systems.end(),
                                   [&](const auto& s) { return s.get() == system; });
    return known && !system->released ? system : nullptr;
}

bool HasOutput(const FMOD_SYSTEM& system) {
    return system.device != nullptr;
}

// OpenAL calls act on the current context; with one system it is set once and stays.
void MakeCurrent(const FMOD_SYSTEM& system) {
    if (alcGetCurrentContext() != system.context) {
        alcMakeContextCurrent(system.context);
    }
}

bool SoundUsable(const FMOD_SOUND* sound) {
    return sound != nullptr && sound->buffer != 0;
}

FMOD_CHANNEL* EncodeChannel(const FMOD_SYSTEM& system, std::size_t index, std::uint32_t use) {
    const std::uintptr_t bits = (std::uintptr_t{use} << kUseShift) |
                                (std::uintptr_t{system.serial} << kIndexBits) | (index + 1);
    return reinterpret_cast<FMOD_CHANNEL*>(bits);
}

// The channel a live handle names, with its system's context made current; null for a null,
// stale or made-up handle.
Channel* FindChannel(FMOD_CHANNEL* handle) {
    const auto bits = reinterpret_cast<std::uintptr_t>(handle);
    const std::size_t index = bits & kIndexMask;
    const std::size_t serial = (bits >> kIndexBits) & kSerialMask;
    const auto use = static_cast<std::uint32_t>(bits >> kUseShift);
    const auto& systems = Systems();
    if (index == 0 || serial == 0 || serial > systems.size()) {
        return nullptr;
    }
    FMOD_SYSTEM& system = *systems[serial - 1];
    if (system.released || !HasOutput(system) || index > system.channels.size()) {
        return nullptr;
    }
    Channel& channel = system.channels[index - 1];
    if (channel.sound == nullptr || channel.use != use) {
        return nullptr;
    }
    MakeCurrent(system);
    return &channel;
}

ALint SourceState(ALuint source) {
    ALint state = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

// OpenAL Soft and the ALSA library below it print their own reports on the standard error when
// no device can be opened (a dozen lines on a machine without a sound card). The failure is
// returned as FMOD_ERR_OUTPUT_INIT instead, and the caller decides what to say about it.
class StandardErrorMuted {
public:
    StandardErrorMuted() {
        std::fflush(stderr);
        saved = dup(STDERR_FILENO);
        const int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved >= 0 && sink >= 0) {
            dup2(sink, STDERR_FILENO);
        }
        if (sink >= 0) {
            close(sink);
        }
    }
    ~StandardErrorMuted() {
        std::fflush(stderr);
        if (saved >= 0) {
            dup2(saved, STDERR_FILENO);
            close(saved);
        }
    }
    StandardErrorMuted(const StandardErrorMuted&) = delete;
    StandardErrorMuted& operator=(const StandardErrorMuted&) = delete;

private:
    int saved = -1;
};

void CloseOutput(FMOD_SYSTEM& system) {
    if (!HasOutput(system)) {
        return;
    }
    MakeCurrent(system);
    for (Channel& channel : system.channels) {
        alSourceStop(channel.source);
        alSourcei(channel.source, AL_BUFFER, 0);
        alDeleteSources(1, &channel.source);
    }
    system.channels.clear();
    for (const auto& sound : system.sounds) {
        if (sound->buffer != 0) {
            alDeleteBuffers(1, &sound->buffer);
            sound->buffer = 0;
        }
    }
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(system.context);
    alcCloseDevice(system.device);
    system.context = nullptr;
    system.device = nullptr;
}

// Each channel plays its sound as is: a source relative to the listener, at the listener, with
// no rolloff, under no distance model, so OpenAL neither attenuates nor pans it.
bool CreateChannels(FMOD_SYSTEM& system, int count) {
    system.channels.resize(static_cast<std::size_t>(count));
    for (Channel& channel : system.channels) {
        alGetError();
        alGenSources(1, &channel.source);
        if (alGetError() != AL_NO_ERROR) {
            channel.source = 0;
            return false;
        }
        alSourcei(channel.source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(channel.source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcef(channel.source, AL_ROLLOFF_FACTOR, 0.0f);
    }
    return true;
}

FMOD_RESULT Decode(const char* path, DecodedSound& decoded) {
    SF_INFO info{};
    const std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open(path, SFM_READ, &info),
                                                           &sf_close);
    if (file == nullptr) {
        std::error_code ignored;
        return std::filesystem::is_regular_file(path, ignored) ? FMOD_ERR_FORMAT
                                                               : FMOD_ERR_FILE_NOTFOUND;
    }
    // OpenAL takes one or two channels, and a buffer's size in bytes as an int.
    const bool playable =
        (info.channels == kMonoChannels || info.channels == kStereoChannels) &&
        info.samplerate > 0 && info.samplerate <= kMaxSampleRate && info.frames > 0 &&
        info.frames <= INT_MAX / static_cast<sf_count_t>(info.channels * sizeof(short));
    if (!playable) {
        return FMOD_ERR_FORMAT;
    }
    decoded.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_short(file.get(), decoded.samples.data(), info.frames);
    if (read <= 0) {
        return FMOD_ERR_FORMAT;
    }
    decoded.samples.resize(static_cast<std::size_t>(read * info.channels));
    decoded.channels = info.channels;
    decoded.sampleRate = info.samplerate;
    decoded.frames = static_cast<std::uint64_t>(read);
    return FMOD_OK;
}

// A free channel; else, when all are in use, one whose sound has ended, else any: the earliest
// started first in both cases.
std::size_t ChooseChannel(const FMOD_SYSTEM& system) {
    std::size_t chosen = 0;
    bool chosenEnded = false;
    for (std::size_t i = 0; i < system.channels.size(); ++i) {
        const Channel& channel = system.channels[i];
        if (channel.sound == nullptr) {
            return i;
        }
        const bool ended = SourceState(channel.source) == AL_STOPPED;
        const Channel& best = system.channels[chosen];
        if ((ended && !chosenEnded) ||
            (ended == chosenEnded && channel.startOrder < best.startOrder)) {
            chosen = i;
            chosenEnded = ended;
        }
    }
    return chosen;
}

}  // namespace

extern "C" {

FMOD_RESULT FMOD_System_Create(FMOD_SYSTEM** system, unsigned int headerversion) {
    if (system == nullptr) {
        return FMOD_ERR_INVALID_PARAM;
    }
    *system = nullptr;
    if (headerversion != FMOD_VERSION) {
        return FMOD_ERR_HEADER_MISMATCH;
    }
    auto& systems = Systems();
    if (systems.size() >= kMaxSystems) {
        return FMOD_ERR_MEMORY;
    }
    try {
        auto created = std::make_unique<FMOD_SYSTEM>();
        created->serial = static_cast<std::uint32_t>(systems.size() + 1);
        systems.push_back(std::move(created));
    } catch (const std::exception&) {
        return FMOD_ERR_MEMORY;
    }
    *system = systems.back().get();
    return FMOD_OK;
}

FMOD_RESULT FMOD_System_Init(FMOD_SYSTEM* system, int maxchannels, FMOD_INITFLAGS flags,
                             void* /*extradriverdata*/) {
    FMOD_SYSTEM* live = LiveSystem(system);
    if (live == nullptr) {
        return FMOD_ERR_INVALID_HANDLE;
    }
    if (HasOutput(*live)) {
        return FMOD_ERR_INITIALIZED;
    }
    if (maxchannels < 1 || maxchannels > kMaxChannels || flags != FMOD_INIT_NORMAL) {
        return FMOD_ERR_INVALID_PARAM;
    }
    {
        const StandardErrorMuted muted;
        live->device = alcOpenDevice(nullptr);
        if (live->device != nullptr) {
            live->context = alcCreateContext(live->device, nullptr);
        }
    }
    if (live->context == nullptr) {
        if (live->device != nullptr) {
            alcCloseDevice(live->device);
            live->device = nullptr;
        }
        return FMOD_ERR_OUTPUT_INIT;
    }
    alcMakeContextCurrent(live->context);
    alDistanceModel(AL_NONE);
    bool created = false;
    try {
        created = CreateChannels(*live, maxchannels);
    } catch (const std::exception&) {
        created = false;
    }
    if (!created) {
        std::erase_if(live->channels, [](const Channel& channel) { return channel.source == 0; });
        CloseOutput(*live);
        return FMOD_ERR_OUTPUT_INIT;
    }
    return FMOD_OK;
}

FMOD_RESULT FMOD_System_CreateSound(FMOD_SYSTEM* system, const char* name_or_data, FMOD_MODE mode,
                                    FMOD_CREATESOUNDEXINFO* exinfo, FMOD_SOUND** sound) {
    if (sound == nullptr) {
        return FMOD_ERR_INVALID_PARAM;
    }
    *sound = nullptr;
    FMOD_SYSTEM* live = LiveSystem(system);
    if (live == nullptr) {
        return FMOD_ERR_INVALID_HANDLE;
    }
    if (!HasOutput(*live)) {
        return FMOD_ERR_UNINITIALIZED;
    }
    if (name_or_data == nullptr || mode != FMOD_2D || exinfo != nullptr) {
        return FMOD_ERR_INVALID_PARAM;
    }
    try {
        DecodedSound decoded;
        const FMOD_RESULT result = Decode(name_or_data, decoded);
        if (result != FMOD_OK) {
            return result;
        }
        auto created = std::make_unique<FMOD_SOUND>();
        created->system = live;
        created->sampleRate = static_cast<std::uint32_t>(decoded.sampleRate);
        created->frames = decoded.frames;
        created->lengthMs = static_cast<std::uint32_t>(decoded.frames * kMillisecondsPerSecond /
                                                       created->sampleRate);

        MakeCurrent(*live);
        alGetError();
        alGenBuffers(1, &created->buffer);
        alBufferData(created->buffer,
                     decoded.channels == kMonoChannels ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16,
                     decoded.samples.data(),
                     static_cast<ALsizei>(decoded.samples.size() * sizeof(short)),
                     decoded.sampleRate);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &created->buffer);
            return FMOD_ERR_MEMORY;
        }
        *sound = created.get();
        live->sounds.push_back(std::move(created));
    } catch (const std::exception&) {
        *sound = nullptr;
        return FMOD_ERR_MEMORY;
    }
    return FMOD_OK;
}

FMOD_RESULT FMOD_Sound_GetLength(FMOD_SOUND* sound, unsigned int* length,
                                 FMOD_TIMEUNIT lengthtype) {
    if (length == nullptr) {
        return FMOD_ERR_INVALID_PARAM;
    }
    *length = 0;
    if (!SoundUsable(sound)) {
        return FMOD_ERR_INVALID_HANDLE;
    }
    if (lengthtype != FMOD_TIMEUNIT_MS) {
        return FMOD_ERR_INVALID_PARAM;
    }
    *length = sound->lengthMs;
    return FMOD_OK;
}

FMOD_RESULT FMOD_System_PlaySound(FMOD_SYSTEM* system, FMOD_SOUND* sound,
                                  FMOD_CHANNELGROUP* channelgroup, FMOD_BOOL paused,
                                  FMOD_CHANNEL** channel) {
    if (channel != nullptr) {
        *channel = nullptr;
    }
    FMOD_SYSTEM* live = LiveSystem(system);
    if (live == nullptr) {
        return FMOD_ERR_INVALID_HANDLE;
    }
    if (!HasOutput(*live)) {
        return FMOD_ERR_UNINITIALIZED;
    }
    if (!SoundUsable(sound) || sound->system != live || channelgroup != nullptr) {
        return FMOD_ERR_INVALID_PARAM;
    }
    MakeCurrent(*live);
    const std::size_t index = ChooseChannel(*live);
    Channel& chosen = live->channels[index];
    alSourceStop(chosen.source);
    alSourceRewind(chosen.source);
    alSourcei(chosen.source, AL_BUFFER, static_cast<ALint>(sound->buffer));
    alSourcef(chosen.source, AL_GAIN, 1.0f);
    alSourcei(chosen.source, AL_LOOPING, AL_FALSE);
    chosen.sound = sound;
    ++chosen.use;
    chosen.paused = paused != 0;
    chosen.startOrder = ++live->startCount;
    if (!chosen.paused) {
        alSourcePlay(chosen.source);
    }
    if (channel != nullptr) {
        *channel = EncodeChannel(*live, index, chosen.use);
    }
    return FMOD_OK;
}

FMOD_RESULT FMOD_Channel_SetVolume(FMOD_CHANNEL* channel, float volume) {
    Channel* found = FindChannel(channel);
    if (found == nullptr) {
        return FMOD_ERR_INVALID_HANDLE;
    }
    if (!std::isfinite(volume)) {
        return FMOD_ERR_INVALID_PARAM;
    }
    alSourcef(found->source, AL_GAIN, std::max(volume, 0.0f));
    return FMOD_OK;
}

FMOD_RESULT FMOD_Channel_SetPaused(FMOD_CHANNEL* channel, FMOD_BOOL paused) {
    Channel* found = FindChannel(channel);
    if (found == nullptr) {
        return FMOD_ERR_INVALID_HANDLE;
    }
    found->paused = paused != 0;
    const ALint state = SourceState(found->source);
    if (found->paused && state == AL_PLAYING) {
        alSourcePause(found->source);
    } else if (!found->paused && (state == AL_PAUSED || state == AL_INITIAL)) {
        alSourcePlay(found->source);
    }
    return FMOD_OK;
}

FMOD_RESULT FMOD_Channel_SetPosition(FMOD_CHANNEL* channel, unsigned int position,
                                     FMOD_TIMEUNIT postype) {
    Channel* found = FindChannel(channel);
    if (found == nullptr) {
        return FMOD_ERR_INVALID_HANDLE;
    }
    if (postype != FMOD_TIMEUNIT_MS) {
        return FMOD_ERR_INVALID_PARAM;
    }
    const std::uint64_t frame =
        std::uint64_t{position} * found->sound->sampleRate / kMillisecondsPerSecond;
    if (frame >= found->sound->frames) {
        alSourceStop(found->source);
        return FMOD_ERR_INVALID_POSITION;
    }
    const auto offset = static_cast<ALint>(frame);
    if (SourceState(found->source) == AL_PLAYING) {
        alSourcei(found->source, AL_SAMPLE_OFFSET, offset);
        return FMOD_OK;
    }
    // A source that is not playing is put back to its initial state, where OpenAL keeps the
    // offset for the next play; this also brings back a source whose sound had run out.
    alSourceRewind(found->source);
    alSourcei(found->source, AL_SAMPLE_OFFSET, offset);
    if (!found->paused) {
        alSourcePlay(found->source);
    }
    return FMOD_OK;
}

FMOD_RESULT FMOD_Channel_SetMode(FMOD_CHANNEL* channel, FMOD_MODE mode) {
    Channel* found = FindChannel(channel);
    if (found == nullptr) {
        return FMOD_ERR_INVALID_HANDLE;
    }
    if (mode != FMOD_LOOP_OFF && mode != FMOD_LOOP_NORMAL) {
        return FMOD_ERR_INVALID_PARAM;
    }
    alSourcei(found->source, AL_LOOPING, mode == FMOD_LOOP_NORMAL ? AL_TRUE : AL_FALSE);
    return FMOD_OK;
}

FMOD_RESULT FMOD_Channel_Stop(FMOD_CHANNEL* channel) {
    Channel* found = FindChannel(channel);
    if (found == nullptr) {
        return FMOD_ERR_INVALID_HANDLE;
    }
    alSourceStop(found->source);
    alSourcei(found->source, AL_BUFFER, 0);
    found->sound = nullptr;
    ++found->use;
    return FMOD_OK;
}

FMOD_RESULT FMOD_System_Close(FMOD_SYSTEM* system) {
    FMOD_SYSTEM* live = LiveSystem(system);
    if (live == nullptr) {
        return FMOD_ERR_INVALID_HANDLE;
    }
    CloseOutput(*live);
    return FMOD_OK;
}

FMOD_RESULT FMOD_System_Release(FMOD_SYSTEM* system) {
    FMOD_SYSTEM* live = LiveSystem(system);
    if (live == nullptr) {
        return FMOD_ERR_INVALID_HANDLE;
    }
    CloseOutput(*live);
    live->released = true;
    return FMOD_OK;
}

}  // extern "C"
