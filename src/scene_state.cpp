#include "scene_state.h"

#include "gait.h"

int viewYaw = 0;
int viewPitch = 0;
float dollyZ = 0.0F;
int autoDolly = 0;
int dollyDirection = 0;
int autoSpin = 0;

int drawMode = DRAW_SOLID;
int turretYaw = -90;
int legYaw = 0;
int beamState = BEAM_IDLE;
LegPose legs[2] = {{0.0F, 0.0F, 0.0F}, {0.0F, 0.0F, 0.0F}};
double bodyOffset = 0.0;

int phase = 1;
int phaseCounter = PHASE_STEPS;

float heightHipA = 30.0F;
float heightKneeA = 0.0F;
float heightHipB = -30.0F;
float heightKneeB = 0.0F;

int stepAngle(int angle, int step)
{
    // C++ division truncates, so the remainder keeps the dividend's sign.
    return (angle + step) % 360;
}
