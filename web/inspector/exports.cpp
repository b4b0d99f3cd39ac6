// What the page's frame inspector asks of the recorder: plain exports, each
// kept by EMSCRIPTEN_KEEPALIVE for the page's script as Module._walker...
// Calls of the last recorded frame are counted from 0 in the order the
// program made them; a box is in pixels of the canvas's drawing buffer from
// its top left corner, its right and bottom edges one past its last pixels.
#include <GL/glut.h>
#include <emscripten/emscripten.h>

#include <cstddef>

#include "frame_recorder.h"

namespace {

struct CallName {
    const char* name;
    int args;
};

// By GlCall, in its order.
constexpr CallName CALL_NAMES[GL_CALLS] = {
    {"glClear", 1},       {"glMatrixMode", 1}, {"glLoadIdentity", 0},  {"glPushMatrix", 0},   {"glPopMatrix", 0},
    {"glTranslatef", 3},  {"glRotatef", 4},    {"glScalef", 3},        {"glColor3f", 3},      {"gluPerspective", 4},
    {"glutSolidCube", 1}, {"glutWireCube", 1}, {"glutSolidSphere", 3}, {"glutWireSphere", 3},
};

// k where it is below size, else 0.
std::size_t index(int k, std::size_t size)
{
    return k >= 0 && static_cast<std::size_t>(k) < size ? static_cast<std::size_t>(k) : 0;
}

// Call i of the last recorded frame; the first for any other i.
const RecordedCall& recordedCall(int i)
{
    const RecordedFrame& frame = recordedFrame();
    return frame.calls[index(i, static_cast<std::size_t>(frame.count))];
}

}  // namespace

extern "C" {

// 1: from now on, every frame is recorded and drawn as the inspector shows
// it, and the current frame is drawn again to be recorded; the page hears of
// each (Module.onWalkerFrameRecorded). 0: back to the plain frame.
EMSCRIPTEN_KEEPALIVE void walkerInspect(int on)
{
    if (on != 0) {
        startInspecting();
        glutPostRedisplay();
    } else if (frameInspected) {
        stopInspecting();
    }
}

// The last recorded frame drawn again with only its first shown shapes (all
// where shown is negative), every shape but selected dimmed (none dimmed
// where selected is negative).
EMSCRIPTEN_KEEPALIVE void walkerShowRecordedFrame(int shown, int selected)
{
    redrawFrame(shown < 0 ? ALL_SHAPES : shown, selected);
}

// The shape drawn last at the canvas's pixel (x, y), among the first shown
// (all where negative), or -1.
EMSCRIPTEN_KEEPALIVE int walkerShapeAt(int x, int y, int shown)
{
    return shapeAt(x, y, shown < 0 ? ALL_SHAPES : shown);
}

// The number of calls of the last recorded frame; -1 until one is recorded.
EMSCRIPTEN_KEEPALIVE int walkerRecordedCalls()
{
    return recordedFrame().complete ? recordedFrame().count : -1;
}

// The number of shapes it drew, those beyond its recorded calls included.
EMSCRIPTEN_KEEPALIVE int walkerRecordedShapes()
{
    return recordedFrame().shapes;
}

// 1 where it had more calls than were recorded.
EMSCRIPTEN_KEEPALIVE int walkerRecordedTruncated()
{
    return recordedFrame().truncated ? 1 : 0;
}

// Call i's name, as the program calls it.
EMSCRIPTEN_KEEPALIVE const char* walkerRecordedName(int i)
{
    return CALL_NAMES[static_cast<int>(recordedCall(i).call)].name;
}

// How many arguments call i has, and argument k.
EMSCRIPTEN_KEEPALIVE int walkerRecordedArgCount(int i)
{
    return CALL_NAMES[static_cast<int>(recordedCall(i).call)].args;
}

EMSCRIPTEN_KEEPALIVE double walkerRecordedArg(int i, int k)
{
    return recordedCall(i).args[index(k, 4)];
}

// The modelview stack's depth after call i (the frame's start for i = -1).
EMSCRIPTEN_KEEPALIVE int walkerRecordedDepth(int i)
{
    return i < 0 ? recordedFrame().start.modelviewTop : recordedCall(i).depth;
}

// Element k (column-major) of the modelview matrix after call i (at the
// frame's start for i = -1).
EMSCRIPTEN_KEEPALIVE double walkerRecordedMatrix(int i, int k)
{
    const RecordedFrame& frame = recordedFrame();
    const Matrix& m =
        i < 0 ? frame.start.modelview[static_cast<std::size_t>(frame.start.modelviewTop)] : recordedCall(i).modelview;
    return m[index(k, m.size())];
}

// Call i's place in the painter's order, or -1 where it draws no shape.
EMSCRIPTEN_KEEPALIVE int walkerRecordedShape(int i)
{
    return recordedCall(i).shape;
}

// Component k (red, green, blue) of the colour shape call i was drawn in.
EMSCRIPTEN_KEEPALIVE double walkerRecordedColour(int i, int k)
{
    return recordedCall(i).colour[index(k, 3)];
}

// 1 where something of shape call i lies on the canvas, in its box.
EMSCRIPTEN_KEEPALIVE int walkerRecordedVisible(int i)
{
    return recordedCall(i).visible ? 1 : 0;
}

// Edge k (left, top, right, bottom) of the box of shape call i.
EMSCRIPTEN_KEEPALIVE int walkerRecordedBox(int i, int k)
{
    const CanvasBox& box = recordedCall(i).box;
    const int edges[4] = {box.left, box.top, box.right, box.bottom};
    return edges[index(k, 4)];
}
}
