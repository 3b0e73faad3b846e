#pragma once
// A line graph of the latest samples of one quantity, oldest on the left, as wide as the space
// left in the window, with the newest sample written over it. The samples live in a ring whose
// storage is made once, at construction, so adding a sample every frame allocates nothing.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "tools/WindowObject.h"

class WindowPlot : public WindowObject {
public:
    // Keeps the last `capacity` samples (at least one) and draws them `height` pixels high; the
    // newest is written over the graph with one decimal and `unit` ("16.7 ms").
    WindowPlot(std::size_t capacity, float height, std::string unit,
               WindowObjectDescription description = {});

    // Adds a sample, dropping the oldest once the ring is full.
    void Push(float sample);

    void Update() override;

    std::string id;
    float height = 0.0f;
    std::string unit;

private:
    std::vector<float> samples;
    // Where the next sample goes; once the ring is full, also where the oldest one is.
    std::size_t next = 0;
    std::size_t count = 0;
    std::array<char, 64> caption{};
};
