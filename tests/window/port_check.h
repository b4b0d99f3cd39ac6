// The same program built for another platform and started through a
// launcher on the same Xvfb and Mesa (walker.exe under Wine, the ARM builds
// under qemu), checked against this build's own program: the same pictures
// after the same real keys, and a storm of keys and resizes.
#pragma once

#include <memory>

#include "x_harness.h"

namespace harness {

// Poses the port with real keys (single steps, turret, legs, view, nearer
// and farther) and takes its solid, wireframe and beam pictures; ends it;
// then steps this build's program, posed the same way, until its solid
// picture is the port's, and expects all three to be the same.
void expectSamePicturesAsNative(std::unique_ptr<Walker>& port, const VirtualDisplay& display);

// Random keys and now and then a resize; then it must be alive, walking and
// in sight.
void expectSurvivesAStorm(Walker& port, int presses);

}  // namespace harness
