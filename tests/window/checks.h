// What the window tests check of a walker, this build's or the same program
// built for another platform and started through a launcher on the same
// Xvfb and Mesa (walker.exe under Wine, the ARM builds under qemu): its four
// lines, the same pictures as this build's program after the same real
// keys, and that it still works after a storm of keys and resizes.
#pragma once

#include <memory>
#include <string>

#include "x_harness.h"

namespace harness {

// Poses the port with real keys (single steps, turret, legs, view, nearer
// and farther) and takes its solid, wireframe and beam pictures; ends it;
// then steps this build's program, posed the same way, until its solid
// picture is the port's, and expects all three to be the same.
void expectSamePicturesAsNative(std::unique_ptr<Walker>& port, const VirtualDisplay& display);

// Exactly the four information lines on its console, each line ended by
// newline (Windows' C runtime ends them with CR LF), and nothing after them
// once it has walked on a while.
void expectTheFourInformationLines(Walker& w, const std::string& newline = "\n");

// Alive, in sight once drawn solid and paused, and S resumes it and s steps it.
void expectStillWorking(Walker& w);

// A seeded storm (storm.h); then it must still work.
void expectSurvivesAStorm(Walker& port, int presses);

}  // namespace harness
