#include "support/Screenshot.h"

#include <stb_image.h>

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int kChannels = 3;

// The difference of two pixels summed over their channels.
int Change(const unsigned char* one, const unsigned char* other) {
    int change = 0;
    for (int channel = 0; channel < kChannels; ++channel) {
        change += std::abs(one[channel] - other[channel]);
    }
    return change;
}
}  // namespace

Screenshot::Screenshot(const std::filesystem::path& file) {
    int channelsInFile = 0;
    unsigned char* loaded = stbi_load(file.c_str(), &columns, &rows, &channelsInFile, kChannels);
    if (loaded == nullptr) {
        columns = 0;
        rows = 0;
        return;
    }
    pixels.assign(loaded, loaded + static_cast<std::size_t>(columns) * rows * kChannels);
    stbi_image_free(loaded);
}

const unsigned char* Screenshot::At(int x, int y) const {
    return pixels.data() + (static_cast<std::size_t>(y) * columns + x) * kChannels;
}

PixelArea Screenshot::Clipped(const PixelArea& area) const {
    return {std::max(area.x0, 0), std::max(area.y0, 0), std::min(area.x1, columns),
            std::min(area.y1, rows)};
}

int Screenshot::Differences(const Screenshot& other, const PixelArea& area) const {
    // Only the part both pictures cover can be compared.
    const PixelArea common = other.Clipped(Clipped(area));
    int count = 0;
    for (int y = common.y0; y < common.y1; ++y) {
        for (int x = common.x0; x < common.x1; ++x) {
            count += Change(At(x, y), other.At(x, y)) > kNoticeable ? 1 : 0;
        }
    }
    return count;
}

int Screenshot::Unlike(Rgb colour, const PixelArea& area) const {
    const unsigned char reference[kChannels] = {colour.r, colour.g, colour.b};
    const PixelArea inside = Clipped(area);
    int count = 0;
    for (int y = inside.y0; y < inside.y1; ++y) {
        for (int x = inside.x0; x < inside.x1; ++x) {
            count += Change(At(x, y), reference) > kNoticeable ? 1 : 0;
        }
    }
    return count;
}

int Screenshot::CountColour(Rgb colour) const {
    int count = 0;
    for (std::size_t i = 0; i < pixels.size(); i += kChannels) {
        count += pixels[i] == colour.r && pixels[i + 1] == colour.g && pixels[i + 2] == colour.b;
    }
    return count;
}

std::optional<PixelArea> Screenshot::Extent(Rgb colour, const PixelArea& area) const {
    const PixelArea inside = Clipped(area);
    std::optional<PixelArea> extent;
    for (int y = inside.y0; y < inside.y1; ++y) {
        for (int x = inside.x0; x < inside.x1; ++x) {
            const unsigned char* pixel = At(x, y);
            if (pixel[0] != colour.r || pixel[1] != colour.g || pixel[2] != colour.b) {
                continue;
            }
            if (!extent) {
                extent = PixelArea{x, y, x + 1, y + 1};
            }
            extent->x0 = std::min(extent->x0, x);
            extent->x1 = std::max(extent->x1, x + 1);
            extent->y0 = std::min(extent->y0, y);
            extent->y1 = std::max(extent->y1, y + 1);
        }
    }
    return extent;
}
