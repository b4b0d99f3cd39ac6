// walker.exe, the Windows build, under Wine on the same Xvfb and Mesa as the
// Linux program: what it links and how Windows starts it, its console lines
// and window, the same picture as the Linux program after the same real
// keys, pause, resume and close, and a storm of keys.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <memory>
#include <regex>
#include <set>

#include "checks.h"

namespace {

using namespace harness;

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
    expectTheFourInformationLines(w(), "\r\n");  // as Windows' C runtime ends console lines
    EXPECT_EQ(w().windowCount(), 1);
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(w().geometry(x, y, width, height));
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 400);
}

TEST_F(Wine, DrawsWhatTheLinuxProgramDrawsAfterTheSameKeys)
{
    expectSamePicturesAsNative(exe_, *display);
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
    expectSurvivesAStorm(w(), 400);
}

}  // namespace
