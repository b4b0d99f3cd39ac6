// A storm of keys and resizes against a walker on a virtual display, the
// same for the program, its sanitizer build and its ports (Wine, qemu):
// drawn from a seeded generator, so that a failing storm replays exactly.
#pragma once

#include <random>

#include "x_harness.h"

namespace harness {

// The storm's seed: WALKER_STORM_SEED where set, else a random one; printed,
// so that any storm can be replayed.
unsigned stormSeed();

class Storm {
public:
    Storm(Walker& walker, unsigned seed) : walker_(walker), random_(seed) {}

    struct Figures {
        long presses = 0, xtestEvents = 0, holds = 0, bursts = 0, resizes = 0;
    };

    // Presses keys, now and then in a burst between frames or held long
    // enough to auto-repeat, and now and then resizes the window; stops early
    // where the program has died. The window is 400 x 400 again at the end.
    void run(long presses);
    const Figures& figures() const { return figures_; }

private:
    int pick(int n);
    void press(bool sync);
    void sendChar(char key, bool sync = true) { walker_.key(key, sync); }
    char steerDolly(char key);
    void burst(int count);
    void hold();
    void resize();

    Walker& walker_;
    std::mt19937 random_;
    Figures figures_;
    int dollyKeysSum_ = 0;
};

}  // namespace harness
