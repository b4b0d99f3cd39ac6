// What the page's readout and plot read of the scene state: plain accessors,
// every one of them exported to the page's script (web/CMakeLists.txt lists
// them from this file). They only read.
#include "gait.h"
#include "scene_state.h"

extern "C" {

int walkerPhase()
{
    return phase;
}

// Steps taken in the current phase, 0 to PHASE_STEPS - 1.
int walkerStepInPhase()
{
    return PHASE_STEPS - phaseCounter;
}

// Steps taken in the current cycle, 0 to PHASE_COUNT * PHASE_STEPS - 1.
int walkerStepInCycle()
{
    return (phase - 1) * PHASE_STEPS + walkerStepInPhase();
}

int walkerCycleSteps()
{
    return PHASE_COUNT * PHASE_STEPS;
}

int walkerPhaseSteps()
{
    return PHASE_STEPS;
}

double walkerHip(int leg)
{
    return legs[leg != 0 ? 1 : 0].hip;
}

double walkerKnee(int leg)
{
    return legs[leg != 0 ? 1 : 0].knee;
}

double walkerBodyOffset()
{
    return bodyOffset;
}

int walkerTurretYaw()
{
    return turretYaw;
}

int walkerLegYaw()
{
    return legYaw;
}

int walkerViewYaw()
{
    return viewYaw;
}

int walkerViewPitch()
{
    return viewPitch;
}

double walkerDollyZ()
{
    return dollyZ;
}

int walkerAutoDolly()
{
    return autoDolly;
}

int walkerAutoSpin()
{
    return autoSpin;
}

int walkerDrawMode()
{
    return drawMode;
}
}
