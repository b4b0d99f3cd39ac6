#pragma once

// Four decimals on purpose: the body height is defined with this value,
// so cos(90 degrees) comes out as about 0.0000463, not 0.
constexpr double PI_APPROX = 3.1415;

// Minus the smaller of the two height-model legs' drops below a straight leg:
// the leg that reaches lowest carries the body. Angles in degrees; the result
// lies in [-2.8, 0].
double computeBodyOffset(double hipA, double kneeA, double hipB, double kneeB);
