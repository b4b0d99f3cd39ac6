#include "body_height.h"

#include <cmath>

namespace {

constexpr double UPPER_LENGTH = 0.6;
constexpr double LOWER_LENGTH = 0.8;
constexpr double STRAIGHT_LENGTH = UPPER_LENGTH + LOWER_LENGTH;

double toRadians(double degrees)
{
    return (PI_APPROX * degrees) / 180;
}

// How far a leg's foot rises above where a straight leg would reach. The
// shin's inclination from the vertical is the thigh's plus the knee's bend.
double legDrop(double hip, double knee)
{
    const double upper = toRadians(hip);
    const double lower = upper + toRadians(knee);
    return STRAIGHT_LENGTH - (UPPER_LENGTH * std::cos(upper) + LOWER_LENGTH * std::cos(lower));
}

}  // namespace

double computeBodyOffset(double hipA, double kneeA, double hipB, double kneeB)
{
    const double dropA = legDrop(hipA, kneeA);
    const double dropB = legDrop(hipB, kneeB);
    if (dropA > dropB) {
        return -dropB;
    }
    return -dropA;
}
