#include <gtest/gtest.h>

#include <cmath>

#include "body_height.h"

namespace {

// The drop of one leg, written out independently: thigh 0.6 at the hip
// angle, shin 0.8 at hip + knee from the vertical.
double dropOf(double hip, double knee)
{
    const double h = PI_APPROX * hip / 180;
    const double k = PI_APPROX * knee / 180;
    return 1.4 - (0.6 * std::cos(h) + 0.8 * std::cos(h + k));
}

TEST(BodyHeight, StraightLegsGiveZero)
{
    EXPECT_EQ(computeBodyOffset(0, 0, 0, 0), 0.0);
}

TEST(BodyHeight, StartingAnglesGiveTheStartingOffset)
{
    EXPECT_NEAR(computeBodyOffset(30, 0, -30, 0), -0.187554, 1e-6);
}

TEST(BodyHeight, EqualDropsGiveMinusThatDrop)
{
    EXPECT_NEAR(computeBodyOffset(40, 20, 40, 20), -dropOf(40, 20), 1e-12);
    EXPECT_NEAR(computeBodyOffset(-25, 10, 25, -10), -dropOf(25, -10), 1e-12);
}

TEST(BodyHeight, TheLowerReachingLegCarriesTheBody)
{
    // Leg B bends more, so leg A reaches lower and sets the height.
    EXPECT_NEAR(computeBodyOffset(10, 0, 50, 40), -dropOf(10, 0), 1e-12);
    // And the other way round: the smaller drop wins whichever leg has it.
    EXPECT_NEAR(computeBodyOffset(50, 40, 10, 0), -dropOf(10, 0), 1e-12);
}

TEST(BodyHeight, AStraightLegPinsTheBodyAtZero)
{
    EXPECT_EQ(computeBodyOffset(0, 0, -55, 90), 0.0);
    EXPECT_EQ(computeBodyOffset(70, 120, 0, 0), 0.0);
}

TEST(BodyHeight, KneeBendChangesTheShinsInclination)
{
    // Hip 0 with a bent knee lifts the foot: the knee enters the inclination.
    EXPECT_NEAR(dropOf(0, 90), 0.8, 1e-4);
    EXPECT_NEAR(computeBodyOffset(0, 90, 0, 90), -0.8, 1e-4);
    // Hip and knee cancelling leave the shin vertical.
    EXPECT_NEAR(computeBodyOffset(60, -60, 60, -60), -(0.6 - 0.6 * 0.5000267), 1e-6);
}

TEST(BodyHeight, FourDecimalPiShowsInTheCosines)
{
    // With pi as 3.1415, 90 degrees has a cosine of about 0.0000463.
    const double drop90 = 1.4 - (0.6 * 0.0000463 + 0.8 * std::cos(PI_APPROX / 2));
    EXPECT_NEAR(computeBodyOffset(90, 0, 90, 0), -drop90, 1e-7);
    EXPECT_NE(computeBodyOffset(90, 0, 90, 0), -1.4);
}

TEST(BodyHeight, StaysWithinItsBoundsForAnyAngles)
{
    for (int hipA = -360; hipA <= 360; hipA += 15) {
        for (int kneeA = -360; kneeA <= 360; kneeA += 45) {
            for (int hipB = -180; hipB <= 180; hipB += 30) {
                for (int kneeB = -180; kneeB <= 180; kneeB += 60) {
                    const double offset = computeBodyOffset(hipA, kneeA, hipB, kneeB);
                    ASSERT_LE(offset, 0.0) << hipA << ' ' << kneeA << ' ' << hipB << ' ' << kneeB;
                    ASSERT_GE(offset, -2.8) << hipA << ' ' << kneeA << ' ' << hipB << ' ' << kneeB;
                }
            }
        }
    }
}

}  // namespace
