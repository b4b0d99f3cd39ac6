// walker.exe, the Windows build, under Wine on the same Xvfb and Mesa as the
// Linux program: what it links and how Windows starts it, its console lines
// and window, the same picture as the Linux program after the same real
// keys, pause, resume and close, and a storm of keys.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <sys/wait.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <memory>
#include <random>
#include <regex>
#include <set>

#include "gait.h"
#include "x_harness.h"

namespace {

using namespace harness;

// Pixels whose colour class may differ between the Linux and the Windows
// picture of the same scene (measured: none, both draw through Mesa): 8 of
// the 400 x 400 window's 160000. One walk step moves at least 198 in the
// test's pose, a leg key 1300, a turret key 8900; feet drawn 0.02 units too
// low, 38 to 3500 depending on the step.
constexpr int TOLERANCE = 8;

const std::vector<std::string> WINE_ENV{"WINEPREFIX=" WALKER_WINE_PREFIX, "WINEDEBUG=-all",
                                        "WINEDLLOVERRIDES=mscoree,mshtml="};  // no Mono or Gecko installer

// Runs a command and returns its standard output.
std::string outputOf(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string text;
    std::array<char, 4096> buffer{};
    while (pipe && std::fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) {
        text += buffer.data();
    }
    return text;
}

// Runs one Wine program to its end (wineboot, wineserver -k) on the display.
bool runToEnd(const VirtualDisplay& display, const std::vector<std::string>& argv)
{
    std::vector<std::string> env = WINE_ENV;
    env.push_back("DISPLAY=" + display.name());  // the desktop Wine starts now serves every later program
    Child child;
    return child.start(argv, env, false) && pollUntil([&] { return !child.alive(); }, Millis(120000));
}

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

class Wine : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        display = std::make_unique<VirtualDisplay>();
        // A Wine left from an earlier run would keep its own display; the
        // prefix is made before any test waits for a window.
        if (!display->start() || !runToEnd(*display, {WALKER_WINESERVER, "-k"}) ||
            !runToEnd(*display, {WALKER_WINE, "wineboot", "-i"})) {
            display.reset();
        }
    }
    static void TearDownTestSuite()
    {
        if (display) {
            runToEnd(*display, {WALKER_WINESERVER, "-k"});  // no Wine process outlives the tests
            display.reset();
        }
    }
    void SetUp() override
    {
        ASSERT_TRUE(display) << "Xvfb or wineboot did not start";
        exe_ = std::make_unique<Walker>(*display);
        Walker::Options options;
        options.env = WINE_ENV;
        options.wrapper = {WALKER_WINE};
        options.errorFile = "/dev/null";  // freeglut warns that Wine has no screen DC
        options.startTimeout = Millis(60000);
        ASSERT_TRUE(exe_->start(WALKER_WINDOWS_EXECUTABLE, options)) << "walker.exe showed no window";
    }

    Walker& w() { return *exe_; }

    static std::unique_ptr<VirtualDisplay> display;
    std::unique_ptr<Walker> exe_;
};

std::unique_ptr<VirtualDisplay> Wine::display;

TEST(WindowsExecutable, ImportsOnlyWindowsOwnDllsAndIsAConsoleProgram)
{
    const std::string headers = outputOf(std::string(WALKER_OBJDUMP) + " -p '" WALKER_WINDOWS_EXECUTABLE "'");
    EXPECT_NE(headers.find("(Windows CUI)"), std::string::npos) << "not a console program: its four lines are lost";
    const std::set<std::string> allowed{"KERNEL32.DLL", "USER32.DLL",   "GDI32.DLL", "ADVAPI32.DLL",
                                        "WINMM.DLL",    "OPENGL32.DLL", "GLU32.DLL", "MSVCRT.DLL"};
    const std::regex dll("DLL Name: (\\S+)");
    std::set<std::string> imported;
    for (std::sregex_iterator i(headers.begin(), headers.end(), dll), end; i != end; ++i) {
        std::string name = (*i)[1];
        for (char& c : name) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        imported.insert(name);
        EXPECT_EQ(allowed.count(name), 1U) << name << " is not one of Windows' own DLLs";
    }
    EXPECT_EQ(imported.count("OPENGL32.DLL"), 1U) << "no import table read from " << WALKER_WINDOWS_EXECUTABLE;
}

TEST_F(Wine, PrintsTheFourLinesAndOpensOneWindow)
{
    ASSERT_TRUE(
        pollUntil([&] { return std::count(w().output().begin(), w().output().end(), '\n') >= 4; }, Millis(5000)))
        << "console so far: " << w().output();
    w().pause();  // nothing more may be printed meanwhile
    // Windows' C runtime ends console lines with CR LF.
    const std::regex format(
        "VENDOR : [^\r\n]+\r\nRENDERER : [^\r\n]+\r\nEXTENSIONS : [^\r\n]*\r\nVERSION : [^\r\n]+\r\n");
    EXPECT_TRUE(std::regex_match(w().output(), format)) << w().output().substr(0, 400);
    EXPECT_EQ(w().windowCount(), 1);
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(w().geometry(x, y, width, height));
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 400);
}

// Pauses, poses with real keys (single steps, turret, legs, view, nearer and
// farther), lets align() step the walk, then takes the solid picture, the
// wireframe and the solid one with the beam.
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

TEST_F(Wine, DrawsWhatTheLinuxProgramDrawsAfterTheSameKeys)
{
    const auto windows = posedPictures(w(), [] {});
    exe_.reset();
    Walker linux(*display);
    ASSERT_TRUE(linux.start(walkerPath()));
    // Both were paused wherever the walk was: the Linux one steps on, a
    // frame at a time, until its picture is the Windows one's.
    int differing = 1 << 30;
    int steps = 0;
    const auto linuxPictures = posedPictures(linux, [&] {
        Image now = linux.capture();
        for (; steps <= CYCLE_STEPS && (differing = classesDiffering(now, windows[0])) > TOLERANCE; ++steps) {
            linux.key('s');
            const Image next = linux.waitForChange(now, Millis(1000));
            now = next.pixels.empty() ? linux.capture() : next;
        }
    });
    std::printf("Linux walk stepped %d times; pixels of another class: %d solid, %d wire, %d beam\n", steps, differing,
                classesDiffering(linuxPictures[1], windows[1]), classesDiffering(linuxPictures[2], windows[2]));
    ASSERT_LE(differing, TOLERANCE) << "no step of the Linux walk looks like walker.exe's picture";
    EXPECT_LE(classesDiffering(linuxPictures[1], windows[1]), TOLERANCE) << "wireframe";
    EXPECT_LE(classesDiffering(linuxPictures[2], windows[2]), TOLERANCE) << "beam";
    EXPECT_GT(windows[2].count(WHITE), 100) << "walker.exe fired no beam";
}

TEST_F(Wine, UnboundKeysPauseCapitalSResumesAndClosingEndsItWithStatusZero)
{
    for (const char key : {'q', ' ', '\x1b'}) {
        ASSERT_FALSE(w().waitForChange(w().capture()).pixels.empty()) << "not walking before key " << int(key);
        w().key(key);
        const Image rest = w().waitForStill();
        ASSERT_FALSE(rest.pixels.empty()) << "key " << int(key) << " did not pause";
        EXPECT_TRUE(w().staysStill(rest, Millis(500))) << "key " << int(key);
        w().key('S');
        EXPECT_FALSE(w().waitForChange(rest).pixels.empty()) << "S did not resume after key " << int(key);
    }
    w().close();
    ASSERT_TRUE(pollUntil([&] { return !w().alive(); }, Millis(10000))) << "closing the window did not end it";
    EXPECT_TRUE(WIFEXITED(w().waitStatus()) && WEXITSTATUS(w().waitStatus()) == 0) << w().waitStatus();
}

TEST_F(Wine, StormOfKeysAndResizesLeavesItWalking)
{
    const auto seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    // Every bound key but the dolly ones, which could walk it out of sight,
    // and unbound ones; arrows; now and then a resize.
    const std::string keys = ",.zx12asSdq w/;";
    const std::array<unsigned long, 4> arrows{XK_Left, XK_Up, XK_Right, XK_Down};
    for (int i = 0; i < 400; ++i) {
        if (i % 50 == 49) {
            w().resize(1 + static_cast<int>(random() % 700), 1 + static_cast<int>(random() % 700));
        } else if (random() % 4 == 0) {
            w().keysym(arrows[random() % arrows.size()], false, false);
        } else {
            w().key(keys[random() % keys.size()], false);
        }
    }
    w().resize(400, 400);
    w().key('2');
    w().key('S');
    ASSERT_TRUE(w().alive()) << "the storm ended walker.exe";
    EXPECT_FALSE(w().waitForChange(w().capture()).pixels.empty()) << "not walking after the storm";
    EXPECT_GT(w().pause().countNot(BLACK), 500) << "the walker is out of sight";
}

}  // namespace
