#include "allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Each block carries its size in front of it, so that delete knows what it gives back.
constexpr std::size_t kHeader = alignof(std::max_align_t);

std::atomic<std::size_t> allocations{0};
std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};

void* Allocate(std::size_t size) noexcept
{
    void* block = std::malloc(size + kHeader);
    if (!block) return nullptr;
    *static_cast<std::size_t*>(block) = size;
    ++allocations;
    std::size_t live = liveBytes += size;
    std::size_t peak = peakBytes.load();
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
    return static_cast<char*>(block) + kHeader;
}

void Release(void* pointer) noexcept
{
    if (!pointer) return;
    void* block = static_cast<char*>(pointer) - kHeader;
    liveBytes -= *static_cast<std::size_t*>(block);
    std::free(block);
}

void* AllocateOrThrow(std::size_t size)
{
    if (void* pointer = Allocate(size)) return pointer;
    throw std::bad_alloc();
}

} // namespace

CAllocationCounter::CAllocationCounter()
    : startAllocations(allocations.load()), startBytes(liveBytes.load())
{
    peakBytes = startBytes;
}

AllocationFigures CAllocationCounter::Figures() const
{
    AllocationFigures figures;
    figures.allocations = allocations.load() - startAllocations;
    std::size_t peak = peakBytes.load();
    figures.peakBytes = peak > startBytes ? peak - startBytes : 0;
    return figures;
}

void* operator new(std::size_t size)
{
    return AllocateOrThrow(size);
}
void* operator new[](std::size_t size)
{
    return AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void operator delete(void* pointer) noexcept
{
    Release(pointer);
}
void operator delete[](void* pointer) noexcept
{
    Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept
{
    Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept
{
    Release(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept
{
    Release(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept
{
    Release(pointer);
}
