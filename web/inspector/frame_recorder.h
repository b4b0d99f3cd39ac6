// The frame inspector's recorder (frame_recorder.cpp): while it records, it
// listens to the GL and GLUT calls through the trace hooks and keeps each
// frame the program draws, call by call, from the end of the frame before to
// its glutSwapBuffers. Not recording, it has no hooks installed.
#ifndef WALKER_WEB_FRAME_RECORDER_H
#define WALKER_WEB_FRAME_RECORDER_H

#include <array>

#include "fixed_function.h"
#include "routine_trace.h"
#include "shape_on_canvas.h"
#include "trace_hooks.h"

// The program draws about two hundred calls a frame.
constexpr int MAX_RECORDED_CALLS = 1024;

struct RecordedCall {
    TracedCall call;
    CallArgs args;
    int depth;         // of the modelview stack, after the call
    Matrix modelview;  // after the call
    // The program's routines that made it, outermost first (routine_trace.h).
    int routines;
    std::array<int, 2 * MAX_ROUTINE_DEPTH> chain;
    // Shapes only:
    int shape;  // its place in the painter's order, from 0; -1 for other calls
    Colour colour;
    ShapeOnCanvas onCanvas;
    // Worked out when the frame is first read: while walking, most recorded
    // frames never are.
    bool visible;  // something of it is left in the view volume, in box
    CanvasBox box;
};

struct RecordedFrame {
    unsigned number;  // frames recorded before it since the page started
    bool complete;    // drawn to its end; until then, nothing to show
    FixedFunctionState start;
    Viewport viewport;  // as the frame's first shape found it
    std::array<RecordedCall, MAX_RECORDED_CALLS> calls;
    int count;
    int shapes;
    bool truncated;  // more calls than MAX_RECORDED_CALLS, the rest not recorded
    bool placed;     // its shapes' boxes worked out
};

// Installs the recorder's hooks, and removes them.
void startRecording();
void stopRecording();
bool recordingFrames();

// The last frame recorded to its end, its shapes placed on the canvas.
const RecordedFrame& recordedFrame();

// Calls that reached the recorder while it was not recording: none, unless
// its hooks were left installed.
int strayCalls();

#endif
