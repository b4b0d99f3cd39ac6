// Counts heap allocations (malloc, calloc, realloc and so every operator new)
// made by the whole process while counting is on. Linking alloc_counter.cpp
// puts counting wrappers in front of glibc's allocator.
#pragma once

namespace allocCounter {

void start();
// Stops counting; returns the allocations made since start().
long stop();

}  // namespace allocCounter
