// Hours of walking with the dolly and the spin on, compressed: the state must
// neither drift nor leave its ranges.
#include <gtest/gtest.h>

#include "gait.h"
#include "gl_recorder.h"
#include "scene_fixture.h"
#include "scene_state.h"

namespace {

constexpr long LONG_RUN_STEPS = 20'000'000;  // about 4.6 days at 50 steps a second

class LongRun : public SceneTest {};

TEST_F(LongRun, MillionsOfStepsStayExactAndInRange)
{
    poseAsStarted();
    autoDolly = 1;
    autoSpin = 1;
    recorder::setKeeping(false);
    const LegPose start0 = legs[0];
    const LegPose start1 = legs[1];
    long offCycle = 0;
    long outOfRange = 0;
    for (long step = 1; step <= LONG_RUN_STEPS; ++step) {
        walkStep();
        // Cheap range checks every step, counted rather than asserted so that
        // the loop stays fast; reported below.
        if (viewYaw < -359 || viewYaw > 359 || bodyOffset > 0.0 || bodyOffset < -2.8 || dollyZ > 2.6F ||
            dollyZ < -2.6F || phase < 1 || phase > PHASE_COUNT || phaseCounter < 1 || phaseCounter > PHASE_STEPS) {
            ++outOfRange;
        }
        if (step % CYCLE_STEPS == 0) {
            const bool exact = legs[0].hip == start0.hip && legs[0].knee == start0.knee && legs[1].hip == start1.hip &&
                               legs[1].knee == start1.knee && heightHipA == 30.0F && heightKneeA == 0.0F &&
                               heightHipB == -30.0F && heightKneeB == 0.0F && phase == 1 && phaseCounter == PHASE_STEPS;
            offCycle += exact ? 0 : 1;
        }
    }
    EXPECT_EQ(offCycle, 0) << "cycles that did not end exactly on the starting pose";
    EXPECT_EQ(outOfRange, 0) << "steps that left a range";
    EXPECT_EQ(recorder::count("glutPostRedisplay"), LONG_RUN_STEPS);
    EXPECT_EQ(legs[0].ankle, 0.0F);
    EXPECT_EQ(viewYaw, static_cast<int>(LONG_RUN_STEPS % 360));
}

}  // namespace
