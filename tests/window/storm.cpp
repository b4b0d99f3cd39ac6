#include "storm.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace harness {

unsigned stormSeed()
{
    const char* given = std::getenv("WALKER_STORM_SEED");
    const unsigned seed = given != nullptr && *given != '\0' ? static_cast<unsigned>(std::strtoul(given, nullptr, 10))
                                                             : std::random_device{}();
    std::printf("storm seed %u (WALKER_STORM_SEED=%u replays it)\n", seed, seed);
    return seed;
}

void Storm::run(long presses)
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
    walker_.resize(400, 400);
}

int Storm::pick(int n)
{
    return static_cast<int>(random_() % static_cast<unsigned>(n));
}

// One key press and release: bound keys, arrows, other special keys and
// unbound keys, roughly as a cat walking over the keyboard would mix them.
void Storm::press(bool sync)
{
    static const std::string bound = ",.zx=-12aDdSs";
    static const std::string unbound = "qwertyuiopAZX []\\;'/`~!@#$%^&*()_+{}|:\"<>?\x1b\t\r0345789";
    static const unsigned long arrows[] = {XK_Left, XK_Up, XK_Right, XK_Down};
    static const unsigned long specials[] = {XK_F1,    XK_F5,   XK_F12,    XK_Home,    XK_End,
                                             XK_Prior, XK_Next, XK_Insert, XK_Num_Lock};
    const int kind = pick(100);
    if (kind < 50) {
        const char key = bound[static_cast<std::size_t>(pick(static_cast<int>(bound.size())))];
        sendChar(steerDolly(key));  // at once, even in a burst
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

// A dolly key becomes '-' and '=' in turn, so that their sum stays within
// -1..0: added to the automatic dolly's band, the walker then stays in
// sight (between 1.45 and 8.55 units from the eye). Every other key is
// left to chance.
char Storm::steerDolly(char key)
{
    if (key == '=' || key == '-') {
        key = dollyKeysSum_ == 0 ? '-' : '=';
        dollyKeysSum_ += key == '=' ? 1 : -1;
    }
    return key;
}

void Storm::burst(int count)
{
    for (int i = 0; i < count; ++i) {
        press(false);
    }
    walker_.flush();
    ++figures_.bursts;
}

// A key held down long enough for the server's auto-repeat to kick in.
void Storm::hold()
{
    static const std::string held = ",.zxaSsq ";
    const char key = held[static_cast<std::size_t>(pick(static_cast<int>(held.size())))];
    walker_.holdFor(key, Millis(700 + pick(300)));
    ++figures_.holds;
    ++figures_.presses;
    figures_.xtestEvents += 2;
}

void Storm::resize()
{
    const auto side = [this] { return pick(4) == 0 ? 1 : 1 + pick(800); };
    walker_.resize(side(), side());
    ++figures_.resizes;
}

}  // namespace harness
