// The real program under abuse: a seeded storm of keys and resizes
// (storm.h), and a memcheck run. Set WALKER_STORM_PRESSES and
// WALKER_STORM_SEED to size or replay a storm; WALKER_EXECUTABLE to aim it at
// a sanitizer build.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "checks.h"
#include "gait.h"
#include "storm.h"
#include "x_harness.h"

namespace {

using namespace harness;

long envNumber(const char* name, long fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtol(value, nullptr, 10) : fallback;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string tempPath(const std::string& stem)
{
    return (std::getenv("TMPDIR") != nullptr ? std::string(std::getenv("TMPDIR")) : std::string("/tmp")) + "/" + stem +
           "." + std::to_string(getpid());
}

// A report from AddressSanitizer, UndefinedBehaviorSanitizer or LeakSanitizer.
bool hasSanitizerReport(const std::string& text)
{
    return text.find("runtime error") != std::string::npos || text.find("Sanitizer") != std::string::npos;
}

// After whatever happened, one of the four dolly/spin settings must make 160
// single steps bring back exactly the same picture: the gait still cycles.
bool gaitStillCycles(Walker& w)
{
    const char flips[] = {'\0', 'd', 'D', 'd'};
    for (char flip : flips) {
        if (flip != '\0') {
            w.key(flip);
        }
        w.key('s');  // a frame after any pending shot
        const Image before = w.waitForStill();
        for (int i = 0; i < CYCLE_STEPS; ++i) {
            w.key('s');
        }
        if (w.waitForStill() == before && before.countNot(BLACK) > 0) {
            return true;
        }
    }
    return false;
}

class Hardening : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(display_.start()) << "Xvfb did not start"; }
    VirtualDisplay display_;
};

TEST_F(Hardening, SurvivesAStormOfKeysAndResizes)
{
    const long presses = envNumber("WALKER_STORM_PRESSES", 20000);
    const unsigned seed = stormSeed();
    SCOPED_TRACE("replay with WALKER_STORM_SEED=" + std::to_string(seed));
    std::printf("%ld presses, program %s\n", presses, walkerPath().c_str());

    const std::string errors = tempPath("walker-storm-stderr");
    Walker w(display_);
    Walker::Options options;
    options.errorFile = errors;
    ASSERT_TRUE(w.start(walkerPath(), options));
    ASSERT_TRUE(w.watchFrames());

    Storm storm(w, seed);
    storm.run(presses);
    const long frames = w.countFrames();
    const auto& f = storm.figures();
    std::printf(
        "storm: %ld presses (%ld XTest key events, %ld held with auto-repeat, %ld bursts), %ld resizes, "
        "%ld frames drawn\n",
        f.presses, f.xtestEvents, f.holds, f.bursts, f.resizes, frames);
    RecordProperty("frames", static_cast<int>(frames));

    ASSERT_TRUE(w.alive()) << "the program died; its standard error:\n" << readFile(errors);
    EXPECT_GE(f.presses, presses);
    EXPECT_GT(frames, 0);

    expectStillWorking(w);
    EXPECT_TRUE(gaitStillCycles(w)) << "160 steps no longer bring the same picture back";
    EXPECT_TRUE(w.alive());
    w.stop();
    const std::string report = readFile(errors);
    EXPECT_FALSE(hasSanitizerReport(report)) << report;
    std::remove(errors.c_str());
}

TEST_F(Hardening, MemcheckFindsNothingInAFewHundredFrames)
{
    const std::string log = tempPath("walker-memcheck");
    Walker w(display_);
    Walker::Options options;
    options.wrapper = {"valgrind",
                       "--tool=memcheck",
                       "--leak-check=full",
                       "--show-leak-kinds=definite",
                       "--errors-for-leak-kinds=definite",
                       "--num-callers=30",
                       std::string("--suppressions=") + WALKER_MEMCHECK_SUPPRESSIONS,
                       "--log-file=" + log};
    options.startTimeout = Millis(120000);
    ASSERT_TRUE(w.start(walkerPath(), options)) << readFile(log);
    ASSERT_TRUE(w.watchFrames());
    // Walk, turn, fire, switch to wireframe and back, resize, step.
    const std::string keys = "a,z=1a.x-2Dd,a";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(4);
    std::size_t next = 0;
    while (w.countFrames() < 300 && std::chrono::steady_clock::now() < deadline) {
        w.key(keys[next % keys.size()]);
        if (++next % 5 == 0) {
            w.resize(200 + static_cast<int>(next % 3) * 150, 300);
        }
        std::this_thread::sleep_for(Millis(100));
    }
    w.keysym(XK_Left);
    w.key('q');
    w.key('s');
    const long frames = w.countFrames();
    std::printf("memcheck: %ld frames drawn\n", frames);
    EXPECT_GE(frames, 300);
    ASSERT_TRUE(w.alive());
    w.stop();  // memcheck writes its summary as the program ends
    const std::string report = readFile(log);
    EXPECT_NE(report.find("ERROR SUMMARY: 0 errors"), std::string::npos) << report;
    EXPECT_NE(report.find("definitely lost: 0 bytes"), std::string::npos) << report;
    std::remove(log.c_str());
}

}  // namespace
