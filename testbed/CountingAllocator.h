#pragma once
// Replaces the program's global operator new and delete (every form) with ones that count the
// allocations of a thread while it is counting (AllocationCount.h) and otherwise behave as the
// standard ones. Replacement functions must be defined once per program: include this header in
// exactly one source file of a test or benchmark program, and AllocationCount.h elsewhere.

#include <cstddef>
#include <cstdlib>
#include <new>

#include "testbed/AllocationCount.h"

namespace counting_allocator_detail {

inline void* Allocate(std::size_t size) noexcept {
    if (allocation_count::counting) {
        ++allocation_count::allocations;
    }
    return std::malloc(size == 0 ? 1 : size);
}

inline void* AllocateAligned(std::size_t size, std::align_val_t alignment) noexcept {
    if (allocation_count::counting) {
        ++allocation_count::allocations;
    }
    const auto align = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a whole number of alignments.
    const std::size_t rounded = (size == 0 ? 1 : size + align - 1) / align * align;
    return std::aligned_alloc(align, rounded);
}

inline void* OrThrow(void* memory) {
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

}  // namespace counting_allocator_detail

void* operator new(std::size_t size) {
    return counting_allocator_detail::OrThrow(counting_allocator_detail::Allocate(size));
}
void* operator new[](std::size_t size) {
    return counting_allocator_detail::OrThrow(counting_allocator_detail::Allocate(size));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return counting_allocator_detail::Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return counting_allocator_detail::Allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return counting_allocator_detail::OrThrow(
        counting_allocator_detail::AllocateAligned(size, alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return counting_allocator_detail::OrThrow(
        counting_allocator_detail::AllocateAligned(size, alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return counting_allocator_detail::AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment,
                     const std::nothrow_t&) noexcept {
    return counting_allocator_detail::AllocateAligned(size, alignment);
}

// The memory of every form of new above comes from malloc or aligned_alloc, so free is the right
// release; the compiler, which sees both ends inlined into a delete expression, takes free for a
// mismatch with operator new.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(memory);
}

#pragma GCC diagnostic pop
