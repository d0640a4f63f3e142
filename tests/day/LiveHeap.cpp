// This test program's own global operator new and delete: they count the bytes held, so a
// test can see whether anything piles up. Over-aligned allocations keep the standard ones;
// nothing in the game asks for them.

#include "LiveHeap.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {
std::atomic<std::int64_t> held{0};
}

std::int64_t namoro::testing::liveHeapBytes() { return held.load(); }

void* operator new(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block)
        throw std::bad_alloc();
    held += static_cast<std::int64_t>(malloc_usable_size(block));
    return block;
}

void operator delete(void* block) noexcept
{
    if (!block)
        return;
    held -= static_cast<std::int64_t>(malloc_usable_size(block));
    std::free(block);
}

void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return ::operator new(size, tag); }
void operator delete[](void* block) noexcept { ::operator delete(block); }
void operator delete(void* block, std::size_t) noexcept { ::operator delete(block); }
void operator delete[](void* block, std::size_t) noexcept { ::operator delete(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { ::operator delete(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { ::operator delete(block); }
