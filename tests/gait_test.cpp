#include <gtest/gtest.h>

#include <algorithm>

#include "body_height.h"
#include "gait.h"
#include "gl_recorder.h"
#include "scene_fixture.h"
#include "scene_state.h"

namespace {

struct Joints {
    float hip0, knee0, hip1, knee1;
};

Joints drawnJoints()
{
    return {legs[0].hip, legs[0].knee, legs[1].hip, legs[1].knee};
}

void steps(int count)
{
    for (int i = 0; i < count; ++i) {
        walkStep();
    }
}

class Gait : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        poseAsStarted();
    }
};

TEST_F(Gait, ReachesEveryKeyPoseExactly)
{
    const Joints keyPoses[PHASE_COUNT] = {
        {35, 5, -15, 15}, {-30, 90, 5, 0}, {-55, 50, 10, 10}, {-30, 0, 30, 0},
        {-15, 15, 35, 5}, {5, 0, -30, 90}, {10, 10, -55, 50}, {30, 0, -30, 0},
    };
    for (int p = 0; p < PHASE_COUNT; ++p) {
        steps(PHASE_STEPS);
        const Joints j = drawnJoints();
        EXPECT_EQ(j.hip0, keyPoses[p].hip0) << "after phase " << p + 1;
        EXPECT_EQ(j.knee0, keyPoses[p].knee0) << "after phase " << p + 1;
        EXPECT_EQ(j.hip1, keyPoses[p].hip1) << "after phase " << p + 1;
        EXPECT_EQ(j.knee1, keyPoses[p].knee1) << "after phase " << p + 1;
        EXPECT_EQ(legs[0].ankle, 0.0F);
        EXPECT_EQ(legs[1].ankle, 0.0F);
    }
}

TEST_F(Gait, MovesEveryJointByAnEqualShareWithinAPhase)
{
    walkStep();
    EXPECT_EQ(legs[0].hip, 30.25F);
    EXPECT_EQ(legs[0].knee, 0.25F);
    EXPECT_EQ(legs[1].hip, -29.25F);
    EXPECT_EQ(legs[1].knee, 0.75F);
    steps(PHASE_STEPS);  // one step into phase 2: -65/20 and 85/20
    EXPECT_EQ(legs[0].hip, 35.0F - 3.25F);
    EXPECT_EQ(legs[0].knee, 5.0F + 4.25F);
}

TEST_F(Gait, CountsStepsAndWrapsThePhase)
{
    steps(PHASE_STEPS - 1);
    EXPECT_EQ(phase, 1);
    EXPECT_EQ(phaseCounter, 1);
    walkStep();
    EXPECT_EQ(phase, 2);
    EXPECT_EQ(phaseCounter, PHASE_STEPS);
    steps(PHASE_STEPS * 6);
    EXPECT_EQ(phase, 8);
    steps(PHASE_STEPS);
    EXPECT_EQ(phase, 1);
    EXPECT_EQ(phaseCounter, PHASE_STEPS);
}

TEST_F(Gait, HeightModelFollowsTheLegsByItsRule)
{
    // Phases 1 to 4: A is minus leg 1, B is minus leg 0.
    for (int i = 0; i < PHASE_STEPS * 4; ++i) {
        walkStep();
        ASSERT_EQ(heightHipA, -legs[1].hip) << i;
        ASSERT_EQ(heightKneeA, -legs[1].knee) << i;
        ASSERT_EQ(heightHipB, -legs[0].hip) << i;
        ASSERT_EQ(heightKneeB, -legs[0].knee) << i;
        ASSERT_EQ(bodyOffset, computeBodyOffset(heightHipA, heightKneeA, heightHipB, heightKneeB));
    }
    // Phases 5 to 8: A equals leg 0, B is still minus leg 0.
    for (int i = 0; i < PHASE_STEPS * 4; ++i) {
        walkStep();
        ASSERT_EQ(heightHipA, legs[0].hip) << i;
        ASSERT_EQ(heightKneeA, legs[0].knee) << i;
        ASSERT_EQ(heightHipB, -legs[0].hip) << i;
        ASSERT_EQ(heightKneeB, -legs[0].knee) << i;
        ASSERT_EQ(bodyOffset, computeBodyOffset(heightHipA, heightKneeA, heightHipB, heightKneeB));
    }
}

void expectStartingPose()
{
    EXPECT_EQ(legs[0].hip, 30.0F);
    EXPECT_EQ(legs[0].knee, 0.0F);
    EXPECT_EQ(legs[1].hip, -30.0F);
    EXPECT_EQ(legs[1].knee, 0.0F);
    EXPECT_EQ(heightHipA, 30.0F);
    EXPECT_EQ(heightKneeA, 0.0F);
    EXPECT_EQ(heightHipB, -30.0F);
    EXPECT_EQ(heightKneeB, 0.0F);
    EXPECT_EQ(phase, 1);
    EXPECT_EQ(phaseCounter, PHASE_STEPS);
    EXPECT_NEAR(bodyOffset, -0.187554, 1e-6);
}

TEST_F(Gait, ReturnsExactlyToTheStartAfterOneCycle)
{
    steps(CYCLE_STEPS);
    expectStartingPose();
}

TEST_F(Gait, ReturnsExactlyToTheStartAfterAMillionSteps)
{
    steps(1'000'000);  // 6250 whole cycles
    expectStartingPose();
}

TEST_F(Gait, BodyOffsetStaysInItsBoundsOverACycle)
{
    double lowest = 0.0;
    double highest = -2.8;
    for (int i = 0; i < CYCLE_STEPS; ++i) {
        walkStep();
        ASSERT_LE(bodyOffset, 0.0);
        ASSERT_GE(bodyOffset, -2.8);
        lowest = std::min(lowest, bodyOffset);
        highest = std::max(highest, bodyOffset);
    }
    // The body really rises and sinks with the legs: from its starting depth
    // up to almost straight-legged height mid-stride.
    EXPECT_NEAR(lowest, -0.187554, 1e-6);
    EXPECT_GT(highest, -0.01);
}

TEST_F(Gait, RequestsOneRedisplayPerStep)
{
    walkStep();
    EXPECT_EQ(recorder::texts(), std::vector<std::string>{"glutPostRedisplay()"});
    steps(9);
    EXPECT_EQ(recorder::count("glutPostRedisplay"), 10);
}

TEST_F(Gait, LeavesTheViewAloneWhileDollyAndSpinAreOff)
{
    steps(CYCLE_STEPS);
    EXPECT_EQ(dollyZ, 0.0F);
    EXPECT_EQ(viewYaw, 0);
    EXPECT_EQ(dollyDirection, 0);
}

TEST_F(Gait, DollyTurnsAtTheEdgesOfItsBand)
{
    autoDolly = 1;
    std::vector<int> turns;
    int direction = dollyDirection;
    for (int step = 1; step <= 400; ++step) {
        walkStep();
        if (dollyDirection != direction) {
            turns.push_back(step);
            direction = dollyDirection;
        }
        ASSERT_LT(dollyZ, 2.6F);
        ASSERT_GT(dollyZ, -2.6F);
    }
    EXPECT_EQ(turns, (std::vector<int>{51, 153, 255, 357}));
}

TEST_F(Gait, DollyStepsByAFiftiethAndTurnsPastTheLimit)
{
    autoDolly = 1;
    steps(50);
    EXPECT_NEAR(dollyZ, 2.5F, 1e-4);
    EXPECT_EQ(dollyDirection, 0);
    walkStep();
    EXPECT_NEAR(dollyZ, 2.55F, 1e-4);
    EXPECT_EQ(dollyDirection, 1);
    walkStep();
    EXPECT_NEAR(dollyZ, 2.5F, 1e-4);
}

TEST_F(Gait, DollyReturnsIntoItsBandFromOutside)
{
    autoDolly = 1;
    dollyZ = 10.0F;
    walkStep();
    EXPECT_FLOAT_EQ(dollyZ, 10.05F);
    EXPECT_EQ(dollyDirection, 1);
    steps(500);
    EXPECT_LT(dollyZ, 2.6F);
    EXPECT_GT(dollyZ, -2.6F);
}

TEST_F(Gait, DollyOffKeepsItsValueAndDirection)
{
    autoDolly = 1;
    steps(60);
    const float held = dollyZ;
    autoDolly = 0;
    steps(30);
    EXPECT_EQ(dollyZ, held);
    EXPECT_EQ(dollyDirection, 1);
    autoDolly = 1;
    walkStep();
    EXPECT_NEAR(dollyZ, held - 0.05F, 1e-5);
}

TEST_F(Gait, SpinTurnsTheViewAndWrapsToZero)
{
    autoSpin = 1;
    walkStep();
    EXPECT_EQ(viewYaw, 1);
    viewYaw = 359;
    walkStep();
    EXPECT_EQ(viewYaw, 0);
    viewYaw = -1;
    walkStep();
    EXPECT_EQ(viewYaw, 0);
    viewYaw = -359;
    walkStep();
    EXPECT_EQ(viewYaw, -358);
}

}  // namespace
