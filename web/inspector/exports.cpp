// What the page's frame inspector asks of the recorder: plain exports, each
// kept by EMSCRIPTEN_KEEPALIVE for the page's script as Module._walker...
// Shapes are counted from 0 in the painter's order; a pixel is one of the
// canvas's drawing buffer, from its top left corner.
#include <GL/glut.h>
#include <emscripten/emscripten.h>

#include "covering.h"
#include "frame_recorder.h"
#include "packed_record.h"
#include "replay.h"

namespace {

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

// Calls that reached the recorder while it was not recording.
EMSCRIPTEN_KEEPALIVE int walkerStrayCalls()
{
    return strayCalls();
}
}
