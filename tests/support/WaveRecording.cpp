#include "support/WaveRecording.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <stdexcept>

void WaveRecording::WriteDriverConfig(const std::filesystem::path& configFile,
                                      const std::filesystem::path& wavFile) {
    std::ofstream(configFile) << "[general]\n"
                                 "drivers=wave\n"
                                 "channels=mono\n"
                                 "sample-type=float32\n"
                                 "frequency="
                              << kSampleRate
                              << "\n"
                                 "[wave]\n"
                                 "file="
                              << wavFile.string() << "\n";
}

void WaveRecording::WriteTone(const std::filesystem::path& file, double seconds, double amplitude,
                              double frequency) {
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* out = sf_open(file.c_str(), SFM_WRITE, &info);
    if (out == nullptr) {
        throw std::runtime_error("cannot write " + file.string());
    }
    std::vector<float> tone(static_cast<std::size_t>(seconds * kSampleRate));
    for (std::size_t i = 0; i < tone.size(); ++i) {
        tone[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * frequency *
                                                          static_cast<double>(i) / kSampleRate));
    }
    sf_writef_float(out, tone.data(), static_cast<sf_count_t>(tone.size()));
    sf_close(out);
}

WaveRecording::WaveRecording(const std::filesystem::path& file) {
    SF_INFO info{};
    SNDFILE* in = sf_open(file.c_str(), SFM_READ, &info);
    if (in == nullptr) {
        return;
    }
    std::vector<float> frames(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_float(in, frames.data(), info.frames);
    sf_close(in);
    // Only the first channel is kept; the configuration asks for one.
    data.resize(static_cast<std::size_t>(std::max<sf_count_t>(read, 0)));
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = frames[i * static_cast<std::size_t>(info.channels)];
    }
}

std::size_t WaveRecording::Index(double seconds) const {
    const double index = std::clamp(seconds * kSampleRate, 0.0, static_cast<double>(data.size()));
    return static_cast<std::size_t>(index);
}

float WaveRecording::Peak(double from, double to) const {
    float peak = 0.0f;
    for (std::size_t i = Index(from); i < Index(to); ++i) {
        peak = std::max(peak, std::abs(data[i]));
    }
    return peak;
}

std::optional<double> WaveRecording::FirstSound() const {
    const auto found = std::find_if(data.begin(), data.end(),
                                    [](float sample) { return std::abs(sample) > kSilence; });
    if (found == data.end()) {
        return std::nullopt;
    }
    return static_cast<double>(found - data.begin()) / kSampleRate;
}

std::optional<double> WaveRecording::LastSound() const {
    const auto found = std::find_if(data.rbegin(), data.rend(),
                                    [](float sample) { return std::abs(sample) > kSilence; });
    if (found == data.rend()) {
        return std::nullopt;
    }
    return static_cast<double>(data.rend() - found - 1) / kSampleRate;
}

std::vector<double> WaveRecording::Onsets(double gap) const {
    const auto gapSamples = static_cast<std::size_t>(gap * kSampleRate);
    std::vector<double> onsets;
    // Silent samples since the last sound; the start of the recording counts as a long silence.
    std::size_t quiet = gapSamples;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (std::abs(data[i]) <= kSilence) {
            ++quiet;
            continue;
        }
        if (quiet >= gapSamples) {
            onsets.push_back(static_cast<double>(i) / kSampleRate);
        }
        quiet = 0;
    }
    return onsets;
}

double WaveRecording::SoundEnd(double from, double gap) const {
    const auto gapSamples = static_cast<std::size_t>(gap * kSampleRate);
    std::size_t last = Index(from);
    for (std::size_t i = last; i < data.size() && i - last < gapSamples; ++i) {
        if (std::abs(data[i]) > kSilence) {
            last = i;
        }
    }
    return static_cast<double>(last) / kSampleRate;
}

double WaveRecording::Likeness(const WaveRecording& clip, double from, double seconds,
                               double clipOffset) const {
    const std::size_t begin = Index(from);
    return LikenessAt(clip, begin, Index(from + seconds) - begin,
                      static_cast<std::size_t>(clipOffset * kSampleRate));
}

double WaveRecording::BestLikeness(const WaveRecording& clip, double from, double seconds,
                                   double slack, double* bestFrom) const {
    const std::size_t centre = Index(from);
    const auto count = static_cast<std::size_t>(seconds * kSampleRate);
    const auto slackSamples = static_cast<std::size_t>(slack * kSampleRate);
    double best = -1.0;
    const std::size_t first = centre > slackSamples ? centre - slackSamples : 0;
    for (std::size_t begin = first; begin <= centre + slackSamples; ++begin) {
        const double likeness = LikenessAt(clip, begin, count, 0);
        if (likeness > best) {
            best = likeness;
            if (bestFrom != nullptr) {
                *bestFrom = static_cast<double>(begin) / kSampleRate;
            }
        }
    }
    return best;
}

double WaveRecording::LikenessAt(const WaveRecording& clip, std::size_t begin, std::size_t count,
                                 std::size_t clipIndex) const {
    const std::vector<float>& reference = clip.samples();
    if (reference.empty()) {
        return 0.0;
    }
    const std::size_t end = std::min(begin + count, data.size());
    std::size_t at = clipIndex % reference.size();
    double product = 0.0;
    double heardEnergy = 0.0;
    double clipEnergy = 0.0;
    for (std::size_t i = begin; i < end; ++i) {
        product += static_cast<double>(data[i]) * reference[at];
        heardEnergy += static_cast<double>(data[i]) * data[i];
        clipEnergy += static_cast<double>(reference[at]) * reference[at];
        at = at + 1 < reference.size() ? at + 1 : 0;
    }
    const double norm = std::sqrt(heardEnergy * clipEnergy);
    return norm > 0.0 ? product / norm : 0.0;
}
