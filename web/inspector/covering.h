// Which later shapes cover a shape of the recorded frame, and how much of it
// stays in sight (covering.cpp): with no depth buffer, the shape drawn last
// at a pixel is the one seen there.
#ifndef WALKER_WEB_COVERING_H
#define WALKER_WEB_COVERING_H

#include "frame_recorder.h"

// For shape (its place in the painter's order) among the first shown:
// { its pixels, those in sight, N, then N pairs: a later shape, the pixels
// of the shape it covers }, the later shapes in the painter's order.
const double* covering(const RecordedFrame& frame, int shape, int shown);

#endif
