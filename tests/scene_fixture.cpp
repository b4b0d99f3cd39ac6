#include "scene_fixture.h"

#include "gl_recorder.h"
#include "scene_state.h"

namespace {

struct SceneSnapshot {
    int viewYaw, viewPitch;
    float dollyZ;
    int autoDolly, dollyDirection, autoSpin, drawMode, turretYaw, legYaw, beamState;
    LegPose legs[2];
    double bodyOffset;
    int phase, phaseCounter;
    float heightHipA, heightKneeA, heightHipB, heightKneeB;
};

SceneSnapshot capture()
{
    return {viewYaw,    viewPitch, dollyZ,      autoDolly,    dollyDirection, autoSpin,
            drawMode,   turretYaw, legYaw,      beamState,    {legs[0], legs[1]},
            bodyOffset, phase,     phaseCounter, heightHipA,  heightKneeA,    heightHipB,
            heightKneeB};
}

// Taken during static initialisation, before any test has run: the scene
// variables are constant-initialised, so this holds their starting values.
const SceneSnapshot pristine = capture();

}  // namespace

void resetScene()
{
    viewYaw = pristine.viewYaw;
    viewPitch = pristine.viewPitch;
    dollyZ = pristine.dollyZ;
    autoDolly = pristine.autoDolly;
    dollyDirection = pristine.dollyDirection;
    autoSpin = pristine.autoSpin;
    drawMode = pristine.drawMode;
    turretYaw = pristine.turretYaw;
    legYaw = pristine.legYaw;
    beamState = pristine.beamState;
    legs[0] = pristine.legs[0];
    legs[1] = pristine.legs[1];
    bodyOffset = pristine.bodyOffset;
    phase = pristine.phase;
    phaseCounter = pristine.phaseCounter;
    heightHipA = pristine.heightHipA;
    heightKneeA = pristine.heightKneeA;
    heightHipB = pristine.heightHipB;
    heightKneeB = pristine.heightKneeB;
    recorder::clear();
    recorder::resetStrings();
    recorder::setIdle(nullptr);
}

void poseAsStarted()
{
    legs[0].hip = heightHipA;
    legs[1].hip = heightHipB;
}
