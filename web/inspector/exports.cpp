// What the page's frame inspector asks of the recorder: plain exports, each
// kept by EMSCRIPTEN_KEEPALIVE for the page's script as Module._walker...
// Shapes are counted from 0 in the painter's order; a pixel is one of the
// canvas's drawing buffer, from its top left corner.
#include <GL/glut.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5_webgl.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "covering.h"
#include "frame_recorder.h"
#include "packed_record.h"
#include "replay.h"

namespace {

std::vector<double> editsGiven;

int shapesOrAll(int shown)
{
    return shown < 0 ? ALL_SHAPES : shown;
}

}  // namespace

extern "C" {

// 1: from now on, every frame is recorded, and the current frame is drawn
// again to be recorded; the page hears of each (Module.onWalkerFrameRecorded).
// 0: the recorder's hooks removed, and the plain frame drawn again.
EMSCRIPTEN_KEEPALIVE void walkerInspect(int on)
{
    inspectorView = {ALL_SHAPES, -1};
    setWhatIf({});
    if (on != 0) {
        startRecording();
        glutPostRedisplay();
    } else if (recordingFrames()) {
        stopRecording();
        replayFrame(recordedFrame(), inspectorView);
    }
}

// The last recorded frame drawn again with only its first shown shapes (all
// where shown is negative), every shape but selected dimmed (none dimmed
// where selected is negative); the program's next frames are drawn so too.
EMSCRIPTEN_KEEPALIVE void walkerShowRecordedFrame(int shown, int selected)
{
    inspectorView = {shapesOrAll(shown), selected};
    replayFrame(recordedFrame(), inspectorView);
}

// The shape drawn last at the canvas's pixel (x, y), among the first shown
// (all where negative), or -1: with no depth buffer, it is the one seen there.
EMSCRIPTEN_KEEPALIVE int walkerShapeAt(int x, int y, int shown)
{
    const RecordedFrame& frame = recordedFrame();
    const int among = shapesOrAll(shown);
    for (int i = frame.count - 1; i >= 0; --i) {
        const RecordedCall& c = frame.calls[static_cast<std::size_t>(i)];
        if (c.shape >= 0 && c.shape < among && c.visible && coversPixel(c.onCanvas, frame.viewport, x, y)) {
            return c.shape;
        }
    }
    return -1;
}

// Where the last recorded frame lies packed in the program's memory (its
// first double is its length in doubles), or 0 until a frame is recorded.
EMSCRIPTEN_KEEPALIVE const double* walkerRecord()
{
    const RecordedFrame& frame = recordedFrame();
    return frame.complete ? packedRecord(frame) : nullptr;
}

// How to read it: JSON (packed_record.h).
EMSCRIPTEN_KEEPALIVE const char* walkerRecordFormat()
{
    return recordFormat();
}

// The later shapes that cover a shape, among the first shown (covering.h).
EMSCRIPTEN_KEEPALIVE const double* walkerCovering(int shape, int shown)
{
    return covering(recordedFrame(), shape, shapesOrAll(shown));
}

// Room for count what-if edits, each three doubles (call, argument, value),
// for the page to fill before walkerWhatIf.
EMSCRIPTEN_KEEPALIVE double* walkerWhatIfEdits(int count)
{
    editsGiven.assign(3 * static_cast<std::size_t>(std::max(count, 0)), 0.0);
    return editsGiven.data();
}

// The edits given made in every replay from now on, argument -1 a swap of
// call with call value (replay.h); the recorded frame drawn again with them
// as the view shows it.
EMSCRIPTEN_KEEPALIVE void walkerWhatIf()
{
    std::vector<WhatIfEdit> list;
    for (std::size_t k = 0; k + 2 < editsGiven.size(); k += 3) {
        list.push_back({static_cast<int>(editsGiven[k]), static_cast<int>(editsGiven[k + 1]), editsGiven[k + 2]});
    }
    setWhatIf(list);
    replayFrame(recordedFrame(), inspectorView);
}

// Where a shape landed in the last drawing of the record, edits and all:
// left, top, right, bottom, or nothing (null) where it is not on the canvas.
EMSCRIPTEN_KEEPALIVE const int* walkerReplayedBox(int shape)
{
    static std::array<int, 4> box{};
    CanvasBox b{};
    if (!replayedBox(recordedFrame(), shape, b)) {
        return nullptr;
    }
    box = {b.left, b.top, b.right, b.bottom};
    return box.data();
}

// The recorded frame drawn off the canvas, at the canvas's size: with shape
// last where how is 1, with a depth buffer where it is 2. Its pixels, RGBA
// from the bottom row up.
EMSCRIPTEN_KEEPALIVE const unsigned char* walkerDrawAside(int how, int shape)
{
    int width = 0;
    int height = 0;
    emscripten_webgl_get_drawing_buffer_size(emscripten_webgl_get_current_context(), &width, &height);
    ReplayView v{ALL_SHAPES, -1};
    v.last = how == 1 ? shape : -1;
    v.depthTest = how == 2;
    return replayAside(recordedFrame(), v, width, height);
}

// Calls that reached the recorder while it was not recording.
EMSCRIPTEN_KEEPALIVE int walkerStrayCalls()
{
    return strayCalls();
}
}
