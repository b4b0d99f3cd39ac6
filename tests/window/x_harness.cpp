#include "x_harness.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

namespace harness {

using Clock = std::chrono::steady_clock;

bool pollUntil(const std::function<bool()>& cond, Millis timeout, Millis interval)
{
    const auto deadline = Clock::now() + timeout;
    while (true) {
        if (cond()) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(interval);
    }
}

// ---- Image ----------------------------------------------------------------

int Image::count(std::uint32_t colour) const
{
    return count(colour, {0, 0, width - 1, height - 1});
}

int Image::count(std::uint32_t colour, Rect area) const
{
    int n = 0;
    for (int y = std::max(area.y0, 0); y <= std::min(area.y1, height - 1); ++y) {
        for (int x = std::max(area.x0, 0); x <= std::min(area.x1, width - 1); ++x) {
            n += at(x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

int Image::countNot(std::uint32_t colour) const
{
    return width * height - count(colour);
}

namespace {

// The smallest box holding every pixel that is (or is not) of the colour.
Box boundsWhere(const Image& image, std::uint32_t colour, bool of)
{
    Box box{image.width, image.height, -1, -1};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if ((image.at(x, y) == colour) == of) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
        }
    }
    return box;
}

}  // namespace

Box Image::boundsNot(std::uint32_t colour) const
{
    return boundsWhere(*this, colour, false);
}

Box Image::boundsOf(std::uint32_t colour) const
{
    return boundsWhere(*this, colour, true);
}

double Image::meanX(std::uint32_t colour) const
{
    double sum = 0.0;
    long n = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (at(x, y) == colour) {
                sum += x;
                ++n;
            }
        }
    }
    return n == 0 ? -1.0 : sum / static_cast<double>(n);
}

bool Image::savePpm(const std::string& path) const
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) {
        return false;
    }
    std::fprintf(file.get(), "P6\n%d %d\n255\n", width, height);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = at(x, y);
            const auto at3 = static_cast<std::size_t>(x) * 3;
            row[at3] = static_cast<unsigned char>(p >> 16);
            row[at3 + 1] = static_cast<unsigned char>(p >> 8);
            row[at3 + 2] = static_cast<unsigned char>(p);
        }
        if (std::fwrite(row.data(), 1, row.size(), file.get()) != row.size()) {
            return false;
        }
    }
    return true;
}

// ---- Child ----------------------------------------------------------------

bool Child::start(const std::vector<std::string>& argv, const std::vector<std::string>& env, bool captureOutput,
                  int keepFd, const std::string& errorFile)
{
    int out[2] = {-1, -1};
    if (captureOutput && pipe(out) != 0) {
        return false;
    }
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        // Die with the harness, whatever ends it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) {
            _exit(127);
        }
        if (!errorFile.empty()) {
            const int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (err >= 0) {
                dup2(err, STDERR_FILENO);
                close(err);
            }
        }
        if (captureOutput) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
        }
        for (int fd = 3; fd < 1024; ++fd) {
            if (fd != keepFd) {
                close(fd);
            }
        }
        for (const auto& entry : env) {
            putenv(const_cast<char*>(entry.c_str()));
        }
        std::vector<char*> args;
        args.reserve(argv.size() + 1);
        for (const auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    pid_ = child;
    status_ = -1;
    if (captureOutput) {
        close(out[1]);
        outFd_ = out[0];
        fcntl(outFd_, F_SETFL, O_NONBLOCK);
    }
    return true;
}

bool Child::alive()
{
    if (pid_ <= 0) {
        return false;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = status;
        pid_ = -1;
        return false;
    }
    return true;
}

const std::string& Child::output()
{
    if (outFd_ >= 0) {
        char buffer[4096];
        ssize_t n = 0;
        while ((n = read(outFd_, buffer, sizeof buffer)) > 0) {
            output_.append(buffer, static_cast<std::size_t>(n));
        }
    }
    return output_;
}

void Child::stop(Millis grace)
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        const bool ended = pollUntil([this] { return !alive(); }, grace, Millis(10));
        if (!ended && pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }
    if (outFd_ >= 0) {
        output();
        close(outFd_);
        outFd_ = -1;
    }
}

// ---- VirtualDisplay -------------------------------------------------------

bool VirtualDisplay::start(int width, int height)
{
    int fds[2];
    if (pipe(fds) != 0) {
        return false;
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const bool started = server_.start(
        {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp", "-noreset"}, {},
        false, fds[1]);
    close(fds[1]);
    std::string number;
    if (started) {
        // Xvfb writes its display number once it accepts connections.
        pollfd pfd{fds[0], POLLIN, 0};
        const auto deadline = Clock::now() + Millis(15000);
        while (number.find('\n') == std::string::npos && Clock::now() < deadline) {
            if (poll(&pfd, 1, 100) > 0) {
                char c = 0;
                if (read(fds[0], &c, 1) != 1) {
                    break;
                }
                number += c;
            }
        }
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        return false;
    }
    name_ = ":" + number.substr(0, number.find('\n'));
    return true;
}

// ---- Walker ---------------------------------------------------------------

namespace {

const char* const TITLE = WALKER_WINDOW_TITLE;  // the program's own (CMakeLists.txt)

int ignoreXErrors(Display* /*display*/, XErrorEvent* /*event*/)
{
    return 0;  // a window may vanish between finding it and reading it
}

}  // namespace

std::string walkerPath()
{
    const char* chosen = std::getenv("WALKER_EXECUTABLE");
    return chosen != nullptr && *chosen != '\0' ? chosen : WALKER_EXECUTABLE;
}

Walker::~Walker()
{
    if (x_ != nullptr) {
        if (damage_ != 0) {
            XDamageDestroy(x_, damage_);
        }
        XCloseDisplay(x_);
    }
}

void Walker::findWindows(Window from, const std::string& title, std::vector<Window>& found)
{
    char* name = nullptr;
    if (XFetchName(x_, from, &name) != 0 && name != nullptr) {
        if (title == name) {
            found.push_back(from);
        }
        XFree(name);
    }
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(x_, from, &root, &parent, &children, &count) != 0) {
        for (unsigned int i = 0; i < count; ++i) {
            findWindows(children[i], title, found);
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
}

int Walker::windowCount()
{
    std::vector<Window> found;
    findWindows(DefaultRootWindow(x_), TITLE, found);
    return static_cast<int>(found.size());
}

void Walker::close()
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = XInternAtom(x_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x_, window_, False, NoEventMask, &event);
    XSync(x_, False);
}

bool Walker::start(const std::string& executable, const Options& options)
{
    std::vector<std::string> env{"DISPLAY=" + display_.name()};
    env.insert(env.end(), options.env.begin(), options.env.end());
    std::vector<std::string> argv = options.wrapper;
    argv.push_back(executable);
    if (!program_.start(argv, env, true, -1, options.errorFile)) {
        return false;
    }
    x_ = XOpenDisplay(display_.name().c_str());
    if (x_ == nullptr) {
        return false;
    }
    XSetErrorHandler(ignoreXErrors);
    const bool found = pollUntil(
        [this] {
            std::vector<Window> found;
            findWindows(DefaultRootWindow(x_), TITLE, found);
            if (found.empty()) {
                return false;
            }
            window_ = found.front();
            XWindowAttributes attributes;
            return XGetWindowAttributes(x_, window_, &attributes) != 0 && attributes.map_state == IsViewable;
        },
        options.startTimeout);
    if (!found) {
        return false;
    }
    // There is no window manager: give the walker the keyboard and put the
    // pointer over it, as a user clicking into it would.
    XSetInputFocus(x_, window_, RevertToPointerRoot, CurrentTime);
    XTestFakeMotionEvent(x_, DefaultScreen(x_), 300, 300, CurrentTime);
    XSync(x_, False);
    if (!pollUntil([this] { return capture().countNot(BLACK) > 0; }, options.startTimeout)) {
        return false;
    }
    measureFramePeriod(options.startTimeout);
    return true;
}

void Walker::measureFramePeriod(Millis timeout)
{
    // It walks from the start: the mean time of a few frames, counted from
    // the X server's reports, once the first has been seen.
    constexpr long FRAMES = 8;
    if (!watchFrames() || !pollUntil([this] { return countFrames() > 0; }, timeout)) {
        return;
    }
    const auto first = Clock::now();
    const long seen = countFrames();
    pollUntil([&] { return countFrames() >= seen + FRAMES; }, timeout, Millis(5));
    const long frames = countFrames() - seen;
    if (frames > 0) {
        framePeriod_ = std::chrono::duration_cast<Millis>(Clock::now() - first) / frames;
    }
    XDamageDestroy(x_, damage_);  // no reports pile up unless a test asks for them
    damage_ = 0;
    XSync(x_, False);
    countFrames();
}

Millis Walker::stillFor(Millis atLeast) const
{
    // Five frames: a frame taking twice as long as usual is no pause.
    constexpr int FRAMES = 5;
    return std::max(atLeast, framePeriod_ * FRAMES);
}

bool Walker::watchFrames()
{
    int error = 0;
    if (XDamageQueryExtension(x_, &damageEvent_, &error) == 0) {
        return false;
    }
    if (damage_ != 0) {
        XDamageDestroy(x_, damage_);
    }
    // Every buffer swap puts the whole frame into the window: one report each.
    damage_ = XDamageCreate(x_, window_, XDamageReportRawRectangles);
    XSync(x_, False);
    frames_ = 0;
    return damage_ != 0;
}

long Walker::countFrames()
{
    while (XPending(x_) > 0) {
        XEvent event;
        XNextEvent(x_, &event);
        if (event.type == damageEvent_ + XDamageNotify) {
            const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
            // A swap may arrive as several rectangles; count each swap once.
            if (notify.more == False) {
                ++frames_;
            }
        }
    }
    return frames_;
}

Image Walker::capture()
{
    Image image;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(x_, window_, &attributes) == 0) {
        return image;
    }
    XImage* x = XGetImage(x_, window_, 0, 0, static_cast<unsigned>(attributes.width),
                          static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (x == nullptr) {
        return image;
    }
    image.width = attributes.width;
    image.height = attributes.height;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int xx = 0; xx < image.width; ++xx) {
            const unsigned long p = XGetPixel(x, xx, y);
            const auto channel = [p](unsigned long mask) {
                unsigned long v = p & mask;
                while (mask != 0 && (mask & 1UL) == 0) {
                    mask >>= 1;
                    v >>= 1;
                }
                return static_cast<std::uint32_t>(v & 0xffUL);
            };
            image.pixels[static_cast<std::size_t>(y) * image.width + xx] =
                (channel(x->red_mask) << 16) | (channel(x->green_mask) << 8) | channel(x->blue_mask);
        }
    }
    XDestroyImage(x);
    return image;
}

void Walker::flush()
{
    XSync(x_, False);
}

namespace {

unsigned long symOf(char c)
{
    if (c == '\x1b') {
        return XK_Escape;
    }
    return static_cast<unsigned char>(c);  // Latin-1 keysyms are their codes
}

bool needsShift(Display* x, unsigned long sym)
{
    const KeyCode code = XKeysymToKeycode(x, sym);
    return XkbKeycodeToKeysym(x, code, 0, 0) != sym;
}

// Presses a key (with Shift if asked), keeps it down for held, releases it.
void pressKey(Display* x, unsigned long sym, bool shift, Millis held)
{
    const KeyCode code = XKeysymToKeycode(x, sym);
    const KeyCode shiftCode = XKeysymToKeycode(x, XK_Shift_L);
    if (shift) {
        XTestFakeKeyEvent(x, shiftCode, True, CurrentTime);
    }
    XTestFakeKeyEvent(x, code, True, CurrentTime);
    if (held.count() > 0) {
        XSync(x, False);
        std::this_thread::sleep_for(held);  // the server's auto-repeat runs meanwhile
    }
    XTestFakeKeyEvent(x, code, False, CurrentTime);
    if (shift) {
        XTestFakeKeyEvent(x, shiftCode, False, CurrentTime);
    }
}

}  // namespace

void Walker::keysym(unsigned long sym, bool shift, bool sync)
{
    pressKey(x_, sym, shift, Millis(0));
    if (sync) {
        XSync(x_, False);
    }
}

void Walker::holdFor(char c, Millis duration)
{
    const unsigned long sym = symOf(c);
    pressKey(x_, sym, needsShift(x_, sym), duration);
    XSync(x_, False);
}

void Walker::key(char c, bool sync)
{
    const unsigned long sym = symOf(c);
    keysym(sym, needsShift(x_, sym), sync);
}

void Walker::resize(int width, int height)
{
    XResizeWindow(x_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(x_, False);
}

bool Walker::geometry(int& x, int& y, int& width, int& height)
{
    XWindowAttributes attributes;
    Window child = 0;
    if (XGetWindowAttributes(x_, window_, &attributes) == 0 ||
        XTranslateCoordinates(x_, window_, DefaultRootWindow(x_), 0, 0, &x, &y, &child) == 0) {
        return false;
    }
    width = attributes.width;
    height = attributes.height;
    return true;
}

std::string Walker::title()
{
    char* name = nullptr;
    std::string result;
    if (XFetchName(x_, window_, &name) != 0 && name != nullptr) {
        result = name;
        XFree(name);
    }
    return result;
}

Image Walker::waitForChange(const Image& before, Millis timeout)
{
    Image now;
    if (pollUntil([&] { return (now = capture()) != before; }, timeout)) {
        return now;
    }
    return {};
}

Image Walker::waitForStill(Millis timeout, Millis quiet)
{
    Image last = capture();
    auto since = Clock::now();
    const bool still = pollUntil(
        [&] {
            Image now = capture();
            if (now != last) {
                last = std::move(now);
                since = Clock::now();
                return false;
            }
            return Clock::now() - since >= stillFor(quiet);
        },
        timeout);
    return still ? last : Image{};
}

bool Walker::staysStill(const Image& from, Millis period)
{
    const bool changed = pollUntil([&] { return capture() != from; }, stillFor(period));
    return !changed;
}

Image Walker::pause()
{
    key('q');
    return waitForStill();
}

}  // namespace harness
