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
    return {viewYaw,  viewPitch,    dollyZ,     autoDolly,   dollyDirection,     autoSpin,
            drawMode, turretYaw,    legYaw,     beamState,   {legs[0], legs[1]}, bodyOffset,
            phase,    phaseCounter, heightHipA, heightKneeA, heightHipB,         heightKneeB};
}

// Taken during static initialisation, before any test has run: the scene
// variables are constant-initialised, so this holds their starting values.
const SceneSnapshot PRISTINE = capture();

}  // namespace

void resetScene()
{
    viewYaw = PRISTINE.viewYaw;
    viewPitch = PRISTINE.viewPitch;
    dollyZ = PRISTINE.dollyZ;
    autoDolly = PRISTINE.autoDolly;
    dollyDirection = PRISTINE.dollyDirection;
    autoSpin = PRISTINE.autoSpin;
    drawMode = PRISTINE.drawMode;
    turretYaw = PRISTINE.turretYaw;
    legYaw = PRISTINE.legYaw;
    beamState = PRISTINE.beamState;
    legs[0] = PRISTINE.legs[0];
    legs[1] = PRISTINE.legs[1];
    bodyOffset = PRISTINE.bodyOffset;
    phase = PRISTINE.phase;
    phaseCounter = PRISTINE.phaseCounter;
    heightHipA = PRISTINE.heightHipA;
    heightKneeA = PRISTINE.heightKneeA;
    heightHipB = PRISTINE.heightHipB;
    heightKneeB = PRISTINE.heightKneeB;
    recorder::clear();
    recorder::resetStrings();
    recorder::setIdle(nullptr);
}

void poseAsStarted()
{
    legs[0].hip = heightHipA;
    legs[1].hip = heightHipB;
}
