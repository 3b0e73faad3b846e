#pragma once
// How many heap allocations the calling thread made while it was counting. The counts come from
// the replacement operator new of CountingAllocator.h, which a program that uses them must
// include in exactly one of its source files. Only the thread that counts is counted: the GL
// driver's and the audio library's own threads allocate whenever they like.

#include <cstddef>

namespace allocation_count {

inline thread_local bool counting = false;
inline thread_local std::size_t allocations = 0;

}  // namespace allocation_count

// Counts this thread's allocations from construction to Stop (or destruction).
class CountAllocations {
public:
    CountAllocations() : start(allocation_count::allocations) { allocation_count::counting = true; }
    ~CountAllocations() { Stop(); }
    CountAllocations(const CountAllocations&) = delete;
    CountAllocations& operator=(const CountAllocations&) = delete;

    // The allocations counted so far; counting ends.
    std::size_t Stop() {
        allocation_count::counting = false;
        return allocation_count::allocations - start;
    }

private:
    std::size_t start;
};
