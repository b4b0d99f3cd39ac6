// A recorded frame drawn again from its record, without the program
// (replay.cpp): as the inspector's view shows it.
#ifndef WALKER_WEB_REPLAY_H
#define WALKER_WEB_REPLAY_H

#include "frame_recorder.h"

constexpr int ALL_SHAPES = 1 << 30;

struct ReplayView {
    int shown;     // only the first shown shapes of the painter's order
    int selected;  // every other shape dimmed; none where -1
};

// The view the inspector shows: the program's own frames, as they are
// recorded, are drawn in it too.
extern ReplayView inspectorView;

// Whether shape index is drawn in the view, and in what shade.
bool inView(const ReplayView& shownAs, int index, Colour& shade);

// The GL's state is left as it was: the program's next frame is drawn as if
// no replay had come between.
void replayFrame(const RecordedFrame& frame, const ReplayView& shownAs);

#endif
