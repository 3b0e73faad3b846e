#include "tools/WindowPlot.h"

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <utility>

#include <imgui.h>

#include "tools/UniqueId.h"

namespace {
constexpr const char* kIdName = "Plot";
constexpr int kCaptionDecimals = 1;
// The graph's floor is always 0, so the height of a line reads as its size; the top follows
// the largest sample shown.
constexpr float kScaleMin = 0.0f;
constexpr float kScaleMaxFromSamples = FLT_MAX;
}  // namespace

WindowPlot::WindowPlot(std::size_t capacity, float height, std::string unit,
                       WindowObjectDescription description)
    : WindowObject(std::move(description)),
      id(MakeUniqueId(kIdName)),
      height(height),
      unit(std::move(unit)),
      samples(std::max<std::size_t>(capacity, 1), 0.0f) {}

void WindowPlot::Push(float sample) {
    samples[next] = sample;
    next = (next + 1) % samples.size();
    count = std::min(count + 1, samples.size());
}

void WindowPlot::Update() {
    const char* overlay = nullptr;
    if (count > 0) {
        const float newest = samples[(next + samples.size() - 1) % samples.size()];
        std::snprintf(caption.data(), caption.size(), "%.*f %s", kCaptionDecimals,
                      static_cast<double>(newest), unit.c_str());
        overlay = caption.data();
    }
    // Until the ring is full its samples start at index 0; after that the oldest is at `next`.
    const int offset = count < samples.size() ? 0 : static_cast<int>(next);
    ImGui::PlotLines(id.c_str(), samples.data(), static_cast<int>(count), offset, overlay,
                     kScaleMin, kScaleMaxFromSamples,
                     ImVec2(ImGui::GetContentRegionAvail().x, height));
}
