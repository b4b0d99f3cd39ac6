// One real frame on the real stack: the program's own display (after a walk
// step, as when it walks) in a 400 x 400 window, solid and wire, against an
// empty frame (clear and swap only), interleaved so that machine noise hits
// all three alike. Each frame ends with a round trip to the X server, so it
// includes putting the picture on screen.
//
// With WALKER_BENCH_PROFILE set it draws only that many solid walking frames
// and nothing else, for profiling: two runs under callgrind, with some frames
// and with none, differ by exactly the cost of those frames.
#include <GL/freeglut.h>  // glutMainLoopEvent
#include <GL/glx.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "alloc_counter.h"
#include "gait.h"
#include "main.h"
#include "scene_state.h"

namespace {

using Clock = std::chrono::steady_clock;

Display* xDisplay = nullptr;
bool shaped = false;
// Where a walker frame's time goes: the program's display (its GL calls, the
// rasteriser and the swap) and then the wait for the GL and the X server.
double displayMicros = 0.0;
double finishMicros = 0.0;

void reshapeOnce(int width, int height)
{
    reshape(width, height);
    shaped = true;
}

void finishFrame()
{
    glFinish();
    XSync(xDisplay, False);
}

double microsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

__attribute__((noinline)) void walkerFrame()
{
    const auto start = Clock::now();
    walkStep();
    display();
    const auto displayed = Clock::now();
    finishFrame();
    displayMicros += std::chrono::duration<double, std::micro>(displayed - start).count();
    finishMicros += microsSince(displayed);
}

__attribute__((noinline)) void emptyFrame()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glutSwapBuffers();
    finishFrame();
}

// Microseconds a frame, over one block of frames.
double block(void (*frame)(), int frames)
{
    const auto start = Clock::now();
    for (int i = 0; i < frames; ++i) {
        frame();
    }
    return microsSince(start) / frames;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int envNumber(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : fallback;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = envNumber("WALKER_BENCH_ROUNDS", 40);
    const int frames = envNumber("WALKER_BENCH_FRAMES", 100);

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
    glutInitWindowSize(400, 400);
    glutInitWindowPosition(100, 100);
    glutCreateWindow(WALKER_WINDOW_TITLE);
    initScene();
    glutDisplayFunc(display);
    glutReshapeFunc(reshapeOnce);
    // Let GLUT map the window and set the projection, as it does at start.
    for (int i = 0; i < 1000 && !shaped; ++i) {
        glutMainLoopEvent();
    }
    xDisplay = glXGetCurrentDisplay();
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    std::printf("renderer: %s\n", renderer != nullptr ? renderer : "unknown");

    // Warm up: the renderer compiles its shaders on first use.
    block(walkerFrame, 50);
    block(emptyFrame, 50);

    const int profileFrames = envNumber("WALKER_BENCH_PROFILE", -1);
    if (profileFrames >= 0) {
        for (int i = 0; i < profileFrames; ++i) {
            walkerFrame();
        }
        return 0;
    }

    std::vector<double> solid, wire, empty;
    long solidAllocations = 0;
    double solidDisplay = 0.0;
    double solidFinish = 0.0;
    for (int r = 0; r < rounds; ++r) {
        drawMode = DRAW_SOLID;
        allocCounter::start();
        displayMicros = finishMicros = 0.0;
        solid.push_back(block(walkerFrame, frames));
        solidAllocations += allocCounter::stop();
        solidDisplay += displayMicros;
        solidFinish += finishMicros;
        drawMode = DRAW_WIRE;
        wire.push_back(block(walkerFrame, frames));
        empty.push_back(block(emptyFrame, frames));
    }

    std::printf("frames: %d rounds of %d solid, %d wire and %d empty frames\n", rounds, frames, frames, frames);
    std::printf("heap allocations per solid frame (GLUT, GLX and Mesa; the program's own part makes none): %.2f\n",
                static_cast<double>(solidAllocations) / (static_cast<double>(rounds) * frames));
    const double solidTotal = solidDisplay + solidFinish;
    std::printf(
        "solid frame: %.0f%% in display (GL calls, rasterising, swap), %.0f%% waiting on glFinish and the "
        "X server round trip\n",
        100.0 * solidDisplay / solidTotal, 100.0 * solidFinish / solidTotal);
    std::printf("frame_us_solid: %.1f\n", median(solid));
    std::printf("frame_us_wire: %.1f\n", median(wire));
    std::printf("empty_frame_us: %.1f\n", median(empty));
    return 0;
}
