// Takes the README's pictures from the real program under Xvfb:
//   walker.ppm       the walker in its starting view, paused
//   walker-wire.ppm  the same in wireframe
//   walker-side.ppm  seen from its side (the view turned 90 degrees)
//   cycle/NNN.ppm    one whole gait cycle from the side, one frame a step
// Usage: walker_screenshots OUTPUT_DIR
#include <X11/keysym.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "gait.h"
#include "x_harness.h"

using namespace harness;

namespace {

constexpr int QUARTER_TURN_PRESSES = 18;  // 18 x 5 degrees

bool save(const Image& image, const std::string& path)
{
    if (image.pixels.empty() || !image.savePpm(path)) {
        std::fprintf(stderr, "could not take %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    mkdir((out + "/cycle").c_str(), 0755);

    VirtualDisplay display;
    if (!display.start()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    Walker walker(display);
    if (!walker.start(walkerPath())) {
        std::fprintf(stderr, "walker showed no window\n");
        return 1;
    }
    // Let it walk a moment, then stop it at whatever step it has reached.
    walker.waitForChange(walker.capture());
    Image front = walker.pause();
    if (!save(front, out + "/walker.ppm")) {
        return 1;
    }
    walker.key('1');
    if (!save(walker.waitForChange(front), out + "/walker-wire.ppm")) {
        return 1;
    }
    walker.key('2');
    walker.waitForStill();

    for (int i = 0; i < QUARTER_TURN_PRESSES; ++i) {
        walker.keysym(XK_Left);
    }
    Image frame = walker.waitForStill();
    if (!save(frame, out + "/walker-side.ppm")) {
        return 1;
    }
    int unchanged = 0;
    for (int step = 0; step < CYCLE_STEPS; ++step) {
        char name[32];
        std::snprintf(name, sizeof name, "/cycle/%03d.ppm", step);
        if (!save(frame, out + name)) {
            return 1;
        }
        walker.key('s');
        // A step can move the legs by less than a pixel; then nothing changes.
        Image next = walker.waitForChange(frame, Millis(400));
        if (next.pixels.empty()) {
            ++unchanged;
            next = walker.capture();
        }
        frame = std::move(next);
    }
    std::printf("%d steps captured (%d moved no pixel)\n", CYCLE_STEPS, unchanged);
    return 0;
}
