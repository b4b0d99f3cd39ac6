// A harness for driving the real walker program: its own Xvfb, the real
// executable on it, key presses through XTest as a keyboard would send them,
// and the window's pixels read back with XGetImage. Every process it starts
// is ended by pid when its owner goes, and every wait is bounded.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace harness {

using Millis = std::chrono::milliseconds;

// Polls cond every interval until it holds or timeout passes.
bool pollUntil(const std::function<bool()>& cond, Millis timeout, Millis interval = Millis(20));

constexpr std::uint32_t BLACK = 0x000000;
constexpr std::uint32_t GREEN = 0x00ff00;
constexpr std::uint32_t BLUE = 0x0000ff;
constexpr std::uint32_t CYAN = 0x00ffff;
constexpr std::uint32_t MAGENTA = 0xff00ff;
constexpr std::uint32_t WHITE = 0xffffff;

struct Rect {
    int x0, y0, x1, y1;  // inclusive
};

struct Box {
    int left = 0, top = 0, right = -1, bottom = -1;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

// A capture of a window: one 0xRRGGBB value a pixel, row by row.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    int count(std::uint32_t colour) const;
    int count(std::uint32_t colour, Rect area) const;
    int countNot(std::uint32_t colour) const;
    // The smallest box holding every pixel not of the colour, or of it.
    Box boundsNot(std::uint32_t colour) const;
    Box boundsOf(std::uint32_t colour) const;
    // Mean x of the pixels of a colour; -1 when there are none.
    double meanX(std::uint32_t colour) const;
    bool operator==(const Image& other) const
    {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
    bool operator!=(const Image& other) const { return !(*this == other); }
    // Binary PPM; the scripts turn it into PNG.
    bool savePpm(const std::string& path) const;
};

// A child process, killed (and reaped) when this object goes.
class Child {
public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() { stop(); }

    // Starts argv[0] with extra environment entries ("NAME=value"). Its
    // standard output comes to this process through a pipe when
    // captureOutput is set; keepFd, if not -1, stays open in the child.
    // errorFile, if not empty, receives the child's standard error.
    bool start(const std::vector<std::string>& argv, const std::vector<std::string>& env, bool captureOutput,
               int keepFd = -1, const std::string& errorFile = "");
    bool alive();
    // SIGTERM, then SIGKILL if it has not ended within grace.
    void stop(Millis grace = Millis(3000));
    // Everything read from the child's standard output so far.
    const std::string& output();
    // How it ended, as waitpid tells (once alive() has seen it end); -1 before.
    int waitStatus() const { return status_; }

private:
    int pid_ = -1;
    int status_ = -1;
    int outFd_ = -1;
    std::string output_;
};

// Xvfb on a display number it chooses itself (-displayfd), so that parallel
// runs never collide.
class VirtualDisplay {
public:
    bool start(int width = 1280, int height = 1024);
    const std::string& name() const { return name_; }
    bool alive() { return server_.alive(); }

private:
    Child server_;
    std::string name_;
};

// The real walker program on a virtual display, with an X connection of the
// harness's own to find its window, press keys and read pixels.
class Walker {
public:
    explicit Walker(const VirtualDisplay& display) : display_(display) {}
    Walker(const Walker&) = delete;
    Walker& operator=(const Walker&) = delete;
    ~Walker();

    struct Options {
        std::vector<std::string> env;      // extra "NAME=value" entries
        std::vector<std::string> wrapper;  // a command to run it under, e.g. valgrind
        std::string errorFile;             // where its standard error goes
        Millis startTimeout{15000};
    };
    // Starts the program and waits until its window shows a drawn walker.
    bool start(const std::string& executable) { return start(executable, Options{}); }
    bool start(const std::string& executable, const Options& options);
    bool alive() { return program_.alive(); }
    int waitStatus() const { return program_.waitStatus(); }
    // Asks the window to close, as a window manager's close button does.
    void close();
    // How many windows bear the program's title.
    int windowCount();
    // Ends the program; a program under valgrind needs a long grace.
    void stop(Millis grace = Millis(60000)) { program_.stop(grace); }
    const std::string& output() { return program_.output(); }

    Image capture();
    // Character keys as a keyboard sends them: Shift is held for capitals.
    // Without sync the events are only queued (see flush), for bursts.
    void key(char c, bool sync = true);
    // Any key by its keysym (arrows, Escape, F1, ...), with Shift if asked.
    void keysym(unsigned long sym, bool shift = false, bool sync = true);
    // Holds a character key down for a while: the X server repeats it.
    void holdFor(char c, Millis duration);
    void flush();
    void resize(int width, int height);
    // The window's size and its position on the screen.
    bool geometry(int& x, int& y, int& width, int& height);
    std::string title();

    // A capture that differs from before, or an empty image after timeout.
    Image waitForChange(const Image& before, Millis timeout = Millis(5000));
    // Waits until the picture stops changing; returns it (empty on timeout).
    // Still means unchanged for quiet and for several of the program's frame
    // times, as measured when it started: an emulated program is slow.
    Image waitForStill(Millis timeout = Millis(8000), Millis quiet = Millis(250));
    // True when the picture is the same over the whole period (at least as
    // many frame times as waitForStill waits).
    bool staysStill(const Image& from, Millis period = Millis(400));
    // How long the program took a frame while walking at its start.
    Millis framePeriod() const { return framePeriod_; }
    // Pauses the walk with an unbound key and waits for a still picture.
    Image pause();

    // Counts the frames the program puts on screen, from the X server's
    // damage reports on its window; call countFrames to collect them.
    bool watchFrames();
    long countFrames();

private:
    void findWindows(Window from, const std::string& title, std::vector<Window>& found);
    void measureFramePeriod(Millis timeout);
    Millis stillFor(Millis atLeast) const;

    const VirtualDisplay& display_;
    Child program_;
    Display* x_ = nullptr;
    Window window_ = 0;
    int damageEvent_ = -1;
    unsigned long damage_ = 0;
    long frames_ = 0;
    Millis framePeriod_{0};
};

// The walker executable built alongside the tests, or the one named by the
// environment variable WALKER_EXECUTABLE (a sanitizer build, say).
std::string walkerPath();

}  // namespace harness
