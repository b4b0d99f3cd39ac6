// The real program under abuse: a seeded storm of keys and resizes, and a
// memcheck run. Set WALKER_STORM_PRESSES and WALKER_STORM_SEED to size or
// replay a storm; WALKER_EXECUTABLE to aim it at a sanitizer build.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <thread>

#include "gait.h"
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

// What a storm sends, drawn from a seeded generator so that a failing storm
// can be replayed exactly.
class Storm {
public:
    Storm(Walker& walker, unsigned seed) : walker_(walker), random_(seed) {}

    struct Figures {
        long presses = 0, xtestEvents = 0, holds = 0, bursts = 0, resizes = 0;
    };

    void run(long presses)
    {
        const long holdEvery = std::max(presses / 12, 1L);
        long nextHold = holdEvery / 2;
        while (figures_.presses < presses) {
            const int dice = pick(1000);
            if (figures_.presses >= nextHold) {
                hold();
                nextHold += holdEvery;
            } else if (dice < 15) {
                resize();
            } else if (dice < 70) {
                burst(10 + pick(41));
            } else {
                press(true);
            }
            if (figures_.presses % 2000 == 0 && !walker_.alive()) {
                return;
            }
        }
    }
    const Figures& figures() const { return figures_; }

private:
    int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

    // One key press and release: bound keys, arrows, other special keys and
    // unbound keys, roughly as a cat walking over the keyboard would mix them.
    void press(bool sync)
    {
        static const std::string bound = ",.zx=-12aDdSs";
        static const std::string unbound = "qwertyuiopAZX []\\;'/`~!@#$%^&*()_+{}|:\"<>?\x1b\t\r0345789";
        static const unsigned long arrows[] = {XK_Left, XK_Up, XK_Right, XK_Down};
        static const unsigned long specials[] = {XK_F1,    XK_F5,   XK_F12,    XK_Home,    XK_End,
                                                 XK_Prior, XK_Next, XK_Insert, XK_Num_Lock};
        const int kind = pick(100);
        if (kind < 50) {
            char key = bound[static_cast<std::size_t>(pick(static_cast<int>(bound.size())))];
            sendChar(steerDolly(key));
        } else if (kind < 65) {
            walker_.keysym(arrows[pick(4)], false, sync);
        } else if (kind < 75) {
            walker_.keysym(specials[pick(9)], pick(2) == 0, sync);
        } else {
            sendChar(unbound[static_cast<std::size_t>(pick(static_cast<int>(unbound.size())))], sync);
        }
        ++figures_.presses;
        figures_.xtestEvents += 2;
    }

    void sendChar(char key, bool sync = true) { walker_.key(key, sync); }

    // A dolly key becomes '-' and '=' in turn, so that their sum stays within
    // -1..0: added to the automatic dolly's band, the walker then stays in
    // sight (between 1.45 and 8.55 units from the eye). Every other key is
    // left to chance.
    char steerDolly(char key)
    {
        if (key == '=' || key == '-') {
            key = dollyKeysSum_ == 0 ? '-' : '=';
            dollyKeysSum_ += key == '=' ? 1 : -1;
        }
        return key;
    }

    void burst(int count)
    {
        for (int i = 0; i < count; ++i) {
            press(false);
        }
        walker_.flush();
        ++figures_.bursts;
    }

    // A key held down long enough for the server's auto-repeat to kick in.
    void hold()
    {
        static const std::string held = ",.zxaSsq ";
        const char key = held[static_cast<std::size_t>(pick(static_cast<int>(held.size())))];
        walker_.holdFor(key, Millis(700 + pick(300)));
        ++figures_.holds;
        ++figures_.presses;
        figures_.xtestEvents += 2;
    }

    void resize()
    {
        const auto side = [this] { return pick(4) == 0 ? 1 : 1 + pick(800); };
        walker_.resize(side(), side());
        ++figures_.resizes;
    }

    Walker& walker_;
    std::mt19937 random_;
    Figures figures_;
    int dollyKeysSum_ = 0;
};

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
    const auto seed = static_cast<unsigned>(envNumber("WALKER_STORM_SEED", std::random_device{}()));
    SCOPED_TRACE("replay with WALKER_STORM_SEED=" + std::to_string(seed));
    std::printf("storm seed %u, %ld presses, program %s\n", seed, presses, walkerPath().c_str());

    const std::string errors = tempPath("walker-storm-stderr");
    Walker w(display_);
    Walker::Options options;
    options.errorFile = errors;
    ASSERT_TRUE(w.start(walkerPath(), options));
    ASSERT_TRUE(w.watchFrames());

    Storm storm(w, seed);
    storm.run(presses);
    w.resize(400, 400);
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

    // Still drawing, still walking when told, still pausing and stepping.
    w.key('2');  // solid, whatever the storm left: the walker must show plainly
    const Image paused = w.pause();
    ASSERT_FALSE(paused.pixels.empty()) << "the picture never came to rest";
    EXPECT_GT(paused.countNot(BLACK), 500) << "the walker is out of sight";
    w.key('S');
    EXPECT_FALSE(w.waitForChange(paused).pixels.empty()) << "S did not resume";
    const Image again = w.pause();
    w.key('s');
    EXPECT_FALSE(w.waitForChange(again).pixels.empty()) << "s did not step";
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
