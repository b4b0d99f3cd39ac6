#include "gait.h"

#include <GL/glut.h>

#include "body_height.h"
#include "scene_state.h"

// Phases 5 to 8 are phases 1 to 4 with the legs exchanged, so the legs run
// half a cycle apart. Every column sums to zero: the pose repeats each cycle.
const PhaseExcursion GAIT_TABLE[PHASE_COUNT] = {
    // leg 0 hip, leg 0 knee, leg 1 hip, leg 1 knee
    {5.0F, 5.0F, 15.0F, 15.0F},      // phase 1
    {-65.0F, 85.0F, 20.0F, -15.0F},  // phase 2
    {-25.0F, -40.0F, 5.0F, 10.0F},   // phase 3
    {25.0F, -50.0F, 20.0F, -10.0F},  // phase 4
    {15.0F, 15.0F, 5.0F, 5.0F},      // phase 5
    {20.0F, -15.0F, -65.0F, 85.0F},  // phase 6
    {5.0F, 10.0F, -25.0F, -40.0F},   // phase 7
    {20.0F, -10.0F, 25.0F, -50.0F},  // phase 8
};

namespace {

constexpr double DOLLY_STEP = 0.05;
constexpr double DOLLY_LIMIT = 2.5;
constexpr int DOLLY_NEARER = 0;
constexpr int DOLLY_AWAY = 1;
constexpr int SPIN_STEP = 1;

void advanceGait()
{
    const PhaseExcursion& row = GAIT_TABLE[phase - 1];
    // Every excursion is a multiple of 5, so each increment is a multiple of
    // 0.25 and the float joint angles never collect rounding error.
    const float steps = static_cast<float>(PHASE_STEPS);
    const float hip0 = row.leg0Hip / steps;
    const float knee0 = row.leg0Knee / steps;
    const float hip1 = row.leg1Hip / steps;
    const float knee1 = row.leg1Knee / steps;

    legs[0].hip += hip0;
    legs[1].hip += hip1;
    legs[0].knee += knee0;
    legs[1].knee += knee1;

    // The height model follows the legs by this rule; in the second half of
    // the cycle both of its legs are driven by leg 0's increments.
    if (phase <= PHASE_COUNT / 2) {
        heightHipA -= hip1;
        heightKneeA -= knee1;
        heightHipB -= hip0;
        heightKneeB -= knee0;
    } else {
        heightHipA += hip0;
        heightKneeA += knee0;
        heightHipB -= hip0;
        heightKneeB -= knee0;
    }

    bodyOffset = computeBodyOffset(heightHipA, heightKneeA, heightHipB, heightKneeB);

    phaseCounter -= 1;
    if (phaseCounter == 0) {
        phase = phase % PHASE_COUNT + 1;
        phaseCounter = PHASE_STEPS;
    }
}

void advanceDolly()
{
    // The sum is formed and compared in double before it is stored as float.
    if (dollyDirection == DOLLY_NEARER) {
        const double next = dollyZ + DOLLY_STEP;
        if (next > DOLLY_LIMIT) {
            dollyDirection = DOLLY_AWAY;
        }
        dollyZ = static_cast<float>(next);
    } else if (dollyDirection == DOLLY_AWAY) {
        const double next = dollyZ - DOLLY_STEP;
        if (next < -DOLLY_LIMIT) {
            dollyDirection = DOLLY_NEARER;
        }
        dollyZ = static_cast<float>(next);
    }
}

}  // namespace

void walkStep()
{
    advanceGait();
    if (autoDolly != 0) {
        advanceDolly();
    }
    if (autoSpin != 0) {
        viewYaw = stepAngle(viewYaw, SPIN_STEP);
    }
    glutPostRedisplay();
}
