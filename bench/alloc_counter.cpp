#include "alloc_counter.h"

#include <atomic>
#include <cstddef>

// glibc's own allocator entry points: reserved names, and not ours to rename.
// NOLINTBEGIN(bugprone-reserved-identifier,readability-identifier-naming)
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
}
// NOLINTEND(bugprone-reserved-identifier,readability-identifier-naming)

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void note()
{
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
}

}  // namespace

// The executable's definitions take the place of glibc's for every library
// in the process; free stays glibc's own.
extern "C" void* malloc(std::size_t size)
{
    note();
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size)
{
    note();
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* pointer, std::size_t size)
{
    note();
    return __libc_realloc(pointer, size);
}

namespace allocCounter {

void start()
{
    allocations = 0;
    counting = true;
}

long stop()
{
    counting = false;
    return allocations;
}

}  // namespace allocCounter
