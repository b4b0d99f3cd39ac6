// The frame inspector's recorder (frame_recorder.cpp). While the page's
// inspector is open, the GL functions the program draws with note each call
// here, and each frame the program draws is recorded, call by call, until its
// glutSwapBuffers; the inspector's view (the painter's order up to a shape,
// a selected shape, the pick colours) is applied as the shapes are drawn.
// Closed, each GL function pays for one test of frameInspected.
#ifndef WALKER_WEB_FRAME_RECORDER_H
#define WALKER_WEB_FRAME_RECORDER_H

#include <GL/gl.h>

#include <array>
#include <vector>

#include "fixed_function.h"
#include "shape_on_canvas.h"

// The calls the program makes to draw, by their GL, GLU and GLUT names.
enum class GlCall : int {
    CLEAR,
    MATRIX_MODE,
    LOAD_IDENTITY,
    PUSH_MATRIX,
    POP_MATRIX,
    TRANSLATE,
    ROTATE,
    SCALE,
    COLOUR,
    PERSPECTIVE,
    SOLID_CUBE,
    WIRE_CUBE,
    SOLID_SPHERE,
    WIRE_SPHERE,
};
constexpr int GL_CALLS = static_cast<int>(GlCall::WIRE_SPHERE) + 1;

using CallArgs = std::array<double, 4>;

// The inspector is open: every frame is recorded and drawn as it shows it.
extern bool frameInspected;

// A call that has just taken effect.
void recordCall(GlCall call, const CallArgs& args);

// A shape about to be drawn through clip (projection, modelview and size),
// in shade, the current colour: recorded, with where it lands on the canvas.
// False where the inspector's view leaves it out; shade becomes the colour
// the view draws it in.
bool inspectShape(GlCall call, const CallArgs& args, const UnitShape& shape, const Matrix& clip, Colour& shade);

// What the page's inspector does with the last recorded frame
// (frame_inspector.cpp, its exports).
constexpr int ALL_SHAPES = 1 << 30;
void startInspecting();
void stopInspecting();
// Draws the last recorded frame again, as the view now shows it: only its
// first shown shapes, every other than selected (unless it is -1) dimmed.
void redrawFrame(int shown, int selected);
// The shape drawn last at canvas pixel (x, y) from the top left, among the
// first shown of the last recorded frame, or -1.
int shapeAt(int x, int y, int shown);

// The program draws about two hundred calls a frame.
constexpr int MAX_RECORDED_CALLS = 1024;

struct RecordedCall {
    GlCall call;
    CallArgs args;
    int depth;         // of the modelview stack, after the call
    Matrix modelview;  // after the call
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
    bool complete;  // drawn to its end; until then, nothing to show
    FixedFunctionState start;
    Viewport viewport;  // as the frame's first shape found it
    std::array<RecordedCall, MAX_RECORDED_CALLS> calls;
    int count;
    int shapes;
    bool truncated;  // more calls than MAX_RECORDED_CALLS, the rest not recorded
    bool placed;     // its shapes' boxes worked out
};

// The last frame recorded to its end.
const RecordedFrame& recordedFrame();

#endif
