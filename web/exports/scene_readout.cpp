// What the page's readout and plot read of the scene state: plain accessors,
// each kept and exported by EMSCRIPTEN_KEEPALIVE for the page's script as
// Module._walker... They only read, except walkerDisplay, which draws one
// frame for the page's benchmark.
#include <emscripten/emscripten.h>

#include "gait.h"
#include "main.h"
#include "scene_state.h"

extern "C" {

EMSCRIPTEN_KEEPALIVE int walkerPhase()
{
    return phase;
}

// Steps taken in the current phase, 0 to PHASE_STEPS - 1.
EMSCRIPTEN_KEEPALIVE int walkerStepInPhase()
{
    return PHASE_STEPS - phaseCounter;
}

// Steps taken in the current cycle, 0 to CYCLE_STEPS - 1.
EMSCRIPTEN_KEEPALIVE int walkerStepInCycle()
{
    return (phase - 1) * PHASE_STEPS + walkerStepInPhase();
}

EMSCRIPTEN_KEEPALIVE int walkerCycleSteps()
{
    return CYCLE_STEPS;
}

EMSCRIPTEN_KEEPALIVE int walkerPhaseSteps()
{
    return PHASE_STEPS;
}

EMSCRIPTEN_KEEPALIVE double walkerHip(int leg)
{
    return legs[leg != 0 ? 1 : 0].hip;
}

EMSCRIPTEN_KEEPALIVE double walkerKnee(int leg)
{
    return legs[leg != 0 ? 1 : 0].knee;
}

EMSCRIPTEN_KEEPALIVE double walkerBodyOffset()
{
    return bodyOffset;
}

EMSCRIPTEN_KEEPALIVE int walkerTurretYaw()
{
    return turretYaw;
}

EMSCRIPTEN_KEEPALIVE int walkerLegYaw()
{
    return legYaw;
}

EMSCRIPTEN_KEEPALIVE int walkerViewYaw()
{
    return viewYaw;
}

EMSCRIPTEN_KEEPALIVE int walkerViewPitch()
{
    return viewPitch;
}

// How far the eye is from the walker: the eye's distance less the dolly's.
EMSCRIPTEN_KEEPALIVE double walkerViewDistance()
{
    return EYE_DISTANCE - dollyZ;
}

EMSCRIPTEN_KEEPALIVE int walkerAutoDolly()
{
    return autoDolly;
}

EMSCRIPTEN_KEEPALIVE int walkerAutoSpin()
{
    return autoSpin;
}

// 1 while the walker is drawn as wireframe, 0 while solid.
EMSCRIPTEN_KEEPALIVE int walkerWireframe()
{
    return drawMode == DRAW_WIRE ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void walkerDisplay()
{
    display();
}
}
