#pragma once
// The sound calls of FMOD's C interface that the engine's audio code makes, and nothing else of
// that interface. The FMOD runtime is a closed library we cannot ship or install, so these calls
// are provided here with the same names, arguments and meaning, over OpenAL Soft (one OpenAL
// source per channel) and libsndfile (decoding .ogg, .wav and the other formats it reads).
//
// What the engine relies on, and this module keeps:
//   - one system object per FMOD_System_Create, playing on a fixed number of channels given to
//     FMOD_System_Init (the engine asks for 32);
//   - every sound is 2D: no distance attenuation or panning of its own, the caller sets volumes;
//   - lengths and positions are in milliseconds;
//   - FMOD_System_PlaySound can start a channel paused, so the caller can set it up first;
//   - every failure is silent: a call on a null or stale handle, on a system without an output
//     device, or with a sound that failed to load returns an error code and changes nothing. The
//     engine ignores the codes (only FMODAudio says once that no output opened); no call ever
//     aborts or prints.
//
// Handles. Sounds belong to their system and work until the system is closed. A channel
// handle names one use of a channel: it dies when FMOD_Channel_Stop releases the channel or when
// FMOD_System_PlaySound has to take the channel for another sound, and calls on a dead handle
// fail with FMOD_ERR_INVALID_HANDLE instead of touching the sound now playing there. A channel
// whose sound has played to its end keeps its handle (and can be moved back into the sound with
// FMOD_Channel_SetPosition) until it is stopped or taken.
//
// Only what the engine calls exists here; the argument values it does not use (other modes, time
// units, init flags, channel groups, extra creation info) are refused with
// FMOD_ERR_INVALID_PARAM rather than half supported.

// The version this interface is compiled with; FMOD_System_Create refuses any other.
inline constexpr unsigned int FMOD_VERSION = 0x00020211;

extern "C" {

typedef struct FMOD_SYSTEM FMOD_SYSTEM;
typedef struct FMOD_SOUND FMOD_SOUND;
typedef struct FMOD_CHANNEL FMOD_CHANNEL;
typedef struct FMOD_CHANNELGROUP FMOD_CHANNELGROUP;
typedef struct FMOD_CREATESOUNDEXINFO FMOD_CREATESOUNDEXINFO;

typedef int FMOD_BOOL;
typedef unsigned int FMOD_INITFLAGS;
typedef unsigned int FMOD_MODE;
typedef unsigned int FMOD_TIMEUNIT;

// The codes this module returns. Callers in the engine ignore them; tests and FMODAudio's start
// check read them.
typedef enum FMOD_RESULT {
    FMOD_OK = 0,
    FMOD_ERR_FILE_NOTFOUND,
    FMOD_ERR_FORMAT,
    FMOD_ERR_HEADER_MISMATCH,
    FMOD_ERR_INITIALIZED,
    FMOD_ERR_INVALID_HANDLE,
    FMOD_ERR_INVALID_PARAM,
    FMOD_ERR_INVALID_POSITION,
    FMOD_ERR_MEMORY,
    FMOD_ERR_OUTPUT_INIT,
    FMOD_ERR_UNINITIALIZED,
} FMOD_RESULT;

// Creates a system object (no output yet). `headerversion` must be FMOD_VERSION.
FMOD_RESULT FMOD_System_Create(FMOD_SYSTEM** system, unsigned int headerversion);
// Opens the default output device with `maxchannels` channels. Flags must be FMOD_INIT_NORMAL;
// `extradriverdata` is not used. Fails with FMOD_ERR_OUTPUT_INIT when no device can be opened,
// after which every call on the system fails.
FMOD_RESULT FMOD_System_Init(FMOD_SYSTEM* system, int maxchannels, FMOD_INITFLAGS flags,
                             void* extradriverdata);
// Decodes the whole file `name_or_data` (a path) into a sound. `mode` must be FMOD_2D and
// `exinfo` null. *sound is null on failure (a missing file, or one libsndfile cannot decode into
// one or two channels).
FMOD_RESULT FMOD_System_CreateSound(FMOD_SYSTEM* system, const char* name_or_data, FMOD_MODE mode,
                                    FMOD_CREATESOUNDEXINFO* exinfo, FMOD_SOUND** sound);
// The sound's length in whole milliseconds; `lengthtype` must be FMOD_TIMEUNIT_MS. *length is
// 0 on failure.
FMOD_RESULT FMOD_Sound_GetLength(FMOD_SOUND* sound, unsigned int* length, FMOD_TIMEUNIT lengthtype);
// Starts `sound` from its beginning on a free channel at volume 1, paused or playing.
// `channelgroup` must be null. When every channel is in use, one whose sound has ended is taken,
// else one still sounding; the earliest started first either way. `channel` may be null when the
// caller does not keep the channel; otherwise *channel is null on failure.
FMOD_RESULT FMOD_System_PlaySound(FMOD_SYSTEM* system, FMOD_SOUND* sound,
                                  FMOD_CHANNELGROUP* channelgroup, FMOD_BOOL paused,
                                  FMOD_CHANNEL** channel);
// Linear volume; 0 is silent, 1 the sound as recorded. Negative values are taken as 0.
FMOD_RESULT FMOD_Channel_SetVolume(FMOD_CHANNEL* channel, float volume);
// Pauses or resumes. A channel whose sound has ended stays silent until it is moved back into the
// sound with FMOD_Channel_SetPosition, and then plays on from there unless paused.
FMOD_RESULT FMOD_Channel_SetPaused(FMOD_CHANNEL* channel, FMOD_BOOL paused);
// Moves playback to `position` milliseconds into the sound; `postype` must be FMOD_TIMEUNIT_MS.
// A position at or past the end ends the channel's sound and returns FMOD_ERR_INVALID_POSITION.
FMOD_RESULT FMOD_Channel_SetPosition(FMOD_CHANNEL* channel, unsigned int position,
                                     FMOD_TIMEUNIT postype);
// Loops the channel's sound seamlessly (FMOD_LOOP_NORMAL) or plays it once (FMOD_LOOP_OFF, what
// every channel starts with); other modes are refused. A looping channel never ends by itself.
FMOD_RESULT FMOD_Channel_SetMode(FMOD_CHANNEL* channel, FMOD_MODE mode);
// Stops the channel and releases it; the handle is dead afterwards.
FMOD_RESULT FMOD_Channel_Stop(FMOD_CHANNEL* channel);
// Stops every channel, frees every sound and closes the output device. The system may be
// initialized again.
FMOD_RESULT FMOD_System_Close(FMOD_SYSTEM* system);
// Closes the system if needed and ends it; its handle is dead afterwards.
FMOD_RESULT FMOD_System_Release(FMOD_SYSTEM* system);

}  // extern "C"

inline constexpr FMOD_INITFLAGS FMOD_INIT_NORMAL = 0x0;
inline constexpr FMOD_MODE FMOD_LOOP_OFF = 0x1;
inline constexpr FMOD_MODE FMOD_LOOP_NORMAL = 0x2;
inline constexpr FMOD_MODE FMOD_2D = 0x8;
inline constexpr FMOD_TIMEUNIT FMOD_TIMEUNIT_MS = 0x1;
