#pragma once
// A picture of a window as a person would see it (RGB, 8 bits a channel), read back from the PNG
// it was saved in, and the comparisons the in-game tests make on it: how many pixels of an area
// changed noticeably since another picture, how many have one exact colour.

#include <filesystem>
#include <optional>
#include <vector>

// Window pixels from x0 to x1 and y0 to y1 (the ends excluded), counted from the top left.
struct PixelArea {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
};

struct Rgb {
    unsigned char r = 0;
    unsigned char g = 0;
    unsigned char b = 0;
};

class Screenshot {
public:
    // A change smaller than this (summed over the three channels) is noise of scaling and
    // blending, not something a person would see.
    static constexpr int kNoticeable = 30;

    Screenshot() = default;
    // Reads a PNG; an empty picture when the file cannot be read.
    explicit Screenshot(const std::filesystem::path& file);

    bool empty() const { return pixels.empty(); }
    int width() const { return columns; }
    int height() const { return rows; }

    // Pixels inside `area` that differ noticeably from the same pixels of `other`.
    int Differences(const Screenshot& other, const PixelArea& area) const;
    // Pixels inside `area` that differ noticeably from `colour`.
    int Unlike(Rgb colour, const PixelArea& area) const;
    // Pixels of exactly `colour` anywhere in the picture.
    int CountColour(Rgb colour) const;
    // The smallest area holding every pixel of exactly `colour` inside `area`; nothing when
    // there is none.
    std::optional<PixelArea> Extent(Rgb colour, const PixelArea& area) const;

    bool operator==(const Screenshot& other) const = default;

private:
    // The part of `area` inside the picture.
    PixelArea Clipped(const PixelArea& area) const;
    const unsigned char* At(int x, int y) const;

    int columns = 0;
    int rows = 0;
    std::vector<unsigned char> pixels;
};
