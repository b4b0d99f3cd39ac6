// A recorded frame drawn again from its record, without the program
// (replay.cpp): as the inspector's view shows it.
#ifndef WALKER_WEB_REPLAY_H
#define WALKER_WEB_REPLAY_H

#include <vector>

#include "frame_recorder.h"

constexpr int ALL_SHAPES = 1 << 30;

struct ReplayView {
    int shown;               // only the first shown shapes of the painter's order
    int selected;            // every other shape dimmed; none where -1
    int last = -1;           // this shape drawn after all the others, where it was placed; none where -1
    bool depthTest = false;  // as if the program had asked for a depth buffer
};

// A what-if edit of the recorded frame, never of the program: argument k of
// call is value, or, where argument is SWAP, call and call value are made in
// each other's place.
constexpr int SWAP = -1;
struct WhatIfEdit {
    int call;
    int argument;
    double value;
};

// The edits every replay makes from now on, in order; none draws the record as it is.
void setWhatIf(const std::vector<WhatIfEdit>& edits);

// Where shape index landed on the canvas in the last replay, edits and all:
// false where nothing of it is there.
bool replayedBox(const RecordedFrame& frame, int index, CanvasBox& box);

// The frame drawn again off the canvas, into a colour and a depth buffer of
// width by height pixels: its pixels, RGBA from the bottom row up.
const unsigned char* replayAside(const RecordedFrame& frame, const ReplayView& shownAs, int width, int height);

// The view the inspector shows: the program's own frames, as they are
// recorded, are drawn in it too.
extern ReplayView inspectorView;

// Whether shape index is drawn in the view, and in what shade.
bool inView(const ReplayView& shownAs, int index, Colour& shade);

// The GL's state is left as it was: the program's next frame is drawn as if
// no replay had come between.
void replayFrame(const RecordedFrame& frame, const ReplayView& shownAs);

#endif
