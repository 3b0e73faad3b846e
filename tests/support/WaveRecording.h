#pragma once
// What OpenAL Soft's "wave" output driver recorded: the mixed output of a whole device session
// (mono, 32-bit float, 44.1 kHz as the driver configuration below asks), read back with
// libsndfile once the device is closed. Sample 0 is the moment the device started mixing, and
// the driver writes in step with the wall clock, so a sample index is a time since then.
//
// Also writes the configuration that selects the driver and a steady test tone, the two things
// a test needs to make a real sound land in a file, and compares a recording with a clip (any
// mono 44.1 kHz file libsndfile decodes, read the same way) to tell which sound was heard.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

class WaveRecording {
public:
    static constexpr int kSampleRate = 44100;
    // Anything quieter is silence: a playing sound at the smallest audible volume (0.001) of a
    // tone of amplitude 0.5 still leaves samples 50 times louder.
    static constexpr float kSilence = 1e-5f;

    // The OpenAL Soft configuration that sends every device's output to `wavFile`; point
    // ALSOFT_CONF at `configFile` before the device opens.
    static void WriteDriverConfig(const std::filesystem::path& configFile,
                                  const std::filesystem::path& wavFile);
    // A mono 16-bit .wav of a sine at `frequency` Hz and `amplitude`, lasting `seconds`.
    static void WriteTone(const std::filesystem::path& file, double seconds, double amplitude,
                          double frequency = 440.0);

    // Reads a finished recording; empty (no samples) when the file is missing or unreadable.
    explicit WaveRecording(const std::filesystem::path& file);

    const std::vector<float>& samples() const { return data; }
    double Seconds() const { return static_cast<double>(data.size()) / kSampleRate; }
    // The largest absolute sample between the two times (seconds since the start; clamped to
    // the recording).
    float Peak(double from = 0.0, double to = 1e9) const;
    // Seconds since the start of the first and last sample louder than kSilence; nothing when
    // the whole recording is silent.
    std::optional<double> FirstSound() const;
    std::optional<double> LastSound() const;
    // Seconds since the start of every sound that follows at least `gap` seconds of silence (or
    // the start of the recording).
    std::vector<double> Onsets(double gap) const;
    // The end of the sound that starts at or before `from`: the last sample louder than kSilence
    // before the next `gap` seconds of silence (or the end of the recording).
    double SoundEnd(double from, double gap) const;

    // How closely the recording, from `from` on for `seconds`, follows `clip` played from
    // `clipOffset` seconds into it (the clip wraps around, as a loop does): their normalized
    // correlation, 1 for the clip itself at any volume, near 0 for an unrelated sound.
    double Likeness(const WaveRecording& clip, double from, double seconds,
                    double clipOffset = 0.0) const;
    // The best likeness to `clip` from its start, over starts within `slack` seconds either side
    // of `from`; `bestFrom` (when given) receives the start that gave it.
    double BestLikeness(const WaveRecording& clip, double from, double seconds, double slack,
                        double* bestFrom = nullptr) const;

private:
    std::size_t Index(double seconds) const;
    double LikenessAt(const WaveRecording& clip, std::size_t begin, std::size_t count,
                      std::size_t clipIndex) const;

    std::vector<float> data;
};
