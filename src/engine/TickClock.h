#pragma once
// Turns frame times into simulation ticks of a fixed length. Each frame adds its time to an
// accumulator and runs the whole ticks due; the remainder carries over to the next frame, so the
// simulation keeps the clock's pace at any frame rate. A frame runs at most kMaxTicksPerFrame
// ticks: time beyond that (a stall, a machine too slow for the tick rate) is dropped and the game
// slows down instead of falling further behind with every frame it spends catching up.

class TickClock {
public:
    static constexpr double kDefaultTicksPerSecond = 60.0;
    // 8 ticks of 1/60 s: the game keeps its pace down to 7.5 frames per second.
    static constexpr int kMaxTicksPerFrame = 8;

    // A tick length that is not a positive finite number keeps the previous one.
    void SetTickLength(double seconds);
    double TickLength() const { return tickLength; }

    // Adds a frame's time and returns how many ticks to run now, 0 to kMaxTicksPerFrame. A
    // negative or non-finite frame time adds nothing.
    int TicksDue(double frameSeconds);
    // Forgets the time not yet run (a new engine pass starts on a tick boundary).
    void Reset() { accumulator = 0.0; }

    // The time not yet run, less than one tick after TicksDue.
    double Accumulated() const { return accumulator; }

private:
    double tickLength = 1.0 / kDefaultTicksPerSecond;
    double accumulator = 0.0;
};
