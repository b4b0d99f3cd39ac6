// After start-up the program's own code never touches the heap: a step, a
// drawing of the walker and a key, a hundred thousand times each, with every
// GL and GLUT call going to a no-op stand-in (bench/noop_gl.cpp) and every
// allocation counted (bench/alloc_counter.cpp).
#include <gtest/gtest.h>

#include "alloc_counter.h"
#include "gait.h"
#include "input.h"
#include "scene_state.h"
#include "walker_model.h"

namespace {

constexpr int REPEATS = 100000;

long allocationsIn(void (*work)())
{
    allocCounter::start();
    for (int i = 0; i < REPEATS; ++i) {
        work();
    }
    return allocCounter::stop();
}

TEST(HeapAllocations, NoneInAStepADrawingOrAKey)
{
    EXPECT_EQ(allocationsIn(walkStep), 0);
    EXPECT_EQ(allocationsIn([] { drawWalker(DRAW_SOLID); }), 0);
    EXPECT_EQ(allocationsIn([] { drawWalker(DRAW_WIRE); }), 0);
    EXPECT_EQ(allocationsIn([] { keyboard(',', 0, 0); }), 0);
    EXPECT_EQ(allocationsIn([] { keyboard('a', 0, 0); }), 0);
}

}  // namespace
