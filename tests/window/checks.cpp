// Google Test before Xlib, whose macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include "checks.h"

#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <regex>

#include "gait.h"
#include "storm.h"

namespace harness {

namespace {

// Pixels whose colour class may differ between the port's picture and this
// build's of the same scene (measured: none, both draw through Mesa): 8 of
// the 400 x 400 window's 160000. One walk step moves at least 198 in the
// test's pose, a leg key 1300, a turret key 8900; feet drawn 0.02 units too
// low, 38 to 3500 depending on the step.
constexpr int TOLERANCE = 8;

// Pixels of another colour class: which channels are at half or more, as
// the walker's flat colours are all or nothing, so that the two GL paths may
// differ in a channel's low bits without counting.
int classesDiffering(const Image& a, const Image& b)
{
    constexpr std::uint32_t HALVES = 0x808080;
    if (a.width != b.width || a.height != b.height) {
        return std::max(a.width * a.height, b.width * b.height);
    }
    int n = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        n += (a.pixels[i] & HALVES) != (b.pixels[i] & HALVES) ? 1 : 0;
    }
    return n;
}

// Pauses, poses with real keys, lets align() step the walk, then takes the
// solid picture, the wireframe and the solid one with the beam.
std::array<Image, 3> posedPictures(Walker& w, const std::function<void()>& align)
{
    w.pause();
    for (const char key : std::string("ssszz,=-=")) {
        w.key(key);
    }
    w.keysym(XK_Left);
    w.keysym(XK_Up);
    w.waitForStill();
    align();
    std::array<Image, 3> pictures;
    pictures[0] = w.waitForStill();
    w.key('1');
    w.waitForChange(pictures[0]);
    pictures[1] = w.waitForStill();
    w.key('2');
    w.key('a');
    w.waitForChange(pictures[1]);
    pictures[2] = w.waitForStill();
    return pictures;
}

}  // namespace

void expectSamePicturesAsNative(std::unique_ptr<Walker>& port, const VirtualDisplay& display)
{
    const auto ported = posedPictures(*port, [] {});
    port.reset();
    Walker native(display);
    ASSERT_TRUE(native.start(walkerPath()));
    // Both were paused wherever the walk was: this build's steps on, a frame
    // at a time, until its picture is the port's.
    int differing = 1 << 30;
    int steps = 0;
    const auto pictures = posedPictures(native, [&] {
        Image now = native.capture();
        for (; steps <= CYCLE_STEPS && (differing = classesDiffering(now, ported[0])) > TOLERANCE; ++steps) {
            native.key('s');
            const Image next = native.waitForChange(now, Millis(1000));
            now = next.pixels.empty() ? native.capture() : next;
        }
    });
    std::printf("native walk stepped %d times; pixels of another class: %d solid, %d wire, %d beam\n", steps, differing,
                classesDiffering(pictures[1], ported[1]), classesDiffering(pictures[2], ported[2]));
    ASSERT_LE(differing, TOLERANCE) << "no step of the native walk looks like the port's picture";
    EXPECT_LE(classesDiffering(pictures[1], ported[1]), TOLERANCE) << "wireframe";
    EXPECT_LE(classesDiffering(pictures[2], ported[2]), TOLERANCE) << "beam";
    EXPECT_GT(ported[2].count(WHITE), 100) << "the port fired no beam";
}

void expectTheFourInformationLines(Walker& w, const std::string& newline)
{
    ASSERT_TRUE(pollUntil([&] { return std::count(w.output().begin(), w.output().end(), '\n') >= 4; }, Millis(20000)))
        << "console so far: " << w.output();
    w.pause();  // it walks on meanwhile: nothing more may be printed
    const std::string line = "[^\r\n]";
    const std::string format = "VENDOR : " + line + "+" + newline + "RENDERER : " + line + "+" + newline +
                               "EXTENSIONS : " + line + "*" + newline + "VERSION : " + line + "+" + newline;
    EXPECT_TRUE(std::regex_match(w.output(), std::regex(format))) << w.output().substr(0, 400);
}

void expectStillWorking(Walker& w)
{
    ASSERT_TRUE(w.alive()) << "it has ended";
    w.key('2');  // solid, whatever came before: the walker must show plainly
    const Image paused = w.pause();
    ASSERT_FALSE(paused.pixels.empty()) << "the picture never came to rest";
    EXPECT_GT(paused.countNot(BLACK), 500) << "the walker is out of sight";
    w.key('S');
    EXPECT_FALSE(w.waitForChange(paused).pixels.empty()) << "S did not resume";
    const Image again = w.pause();
    w.key('s');
    EXPECT_FALSE(w.waitForChange(again).pixels.empty()) << "s did not step";
}

void expectSurvivesAStorm(Walker& port, int presses)
{
    const unsigned seed = stormSeed();
    SCOPED_TRACE("replay with WALKER_STORM_SEED=" + std::to_string(seed));
    Storm(port, seed).run(presses);
    expectStillWorking(port);
}

}  // namespace harness
