// The frame inspector's recorder: while the page's inspector is open, each
// frame the program draws is recorded call by call (with the modelview
// matrix after each call, and for each shape its colour and where it lands
// on the canvas), from the end of the frame before to the frame's
// glutSwapBuffers. The last whole frame can be drawn again from its record,
// without the program: up to a shape of the painter's order, with one shape
// selected and the others dimmed.
#include "frame_recorder.h"

#include <GL/glut.h>
#include <emscripten/html5_webgl.h>

#include <utility>

bool frameInspected = false;

// Tells the page that a frame has been recorded (tell_page.js).
extern "C" void walkerFrameRecorded();

namespace {

// A selected shape's others, at this share of their colour.
constexpr float DIMMED = 0.3F;

RecordedFrame frames[2];
RecordedFrame* recording = &frames[0];  // the frame being drawn
RecordedFrame* recorded = &frames[1];   // the last frame drawn to its end
bool replaying = false;                 // drawing the recorded frame again: nothing is recorded
bool viewportKnown = false;             // by the frame being recorded

// The view the shapes are drawn in.
int shapesShown = ALL_SHAPES;
int selectedShape = -1;
int shapesReplayed = 0;  // in the replay being drawn

void startRecording()
{
    recording->complete = false;
    recording->start = fixedFunctionState();
    recording->count = 0;
    recording->shapes = 0;
    recording->truncated = false;
    recording->placed = false;
    viewportKnown = false;
}

RecordedCall* record(GlCall call, const CallArgs& args)
{
    if (recording->count == MAX_RECORDED_CALLS) {
        recording->truncated = true;
        return nullptr;
    }
    const FixedFunctionState& now = fixedFunctionState();
    RecordedCall& c = recording->calls[static_cast<std::size_t>(recording->count++)];
    c = {call,  args, now.modelviewTop, now.modelview[static_cast<std::size_t>(now.modelviewTop)], -1, {}, {},
         false, {}};
    return &c;
}

// The viewport is asked for once a frame, at its first shape: the
// program's reshape may change it between frames.
void noteViewport()
{
    Viewport& v = recording->viewport;
    if (!viewportKnown) {
        glGetIntegerv(GL_VIEWPORT, v.box.data());
        int bufferWidth = 0;
        emscripten_webgl_get_drawing_buffer_size(emscripten_webgl_get_current_context(), &bufferWidth, &v.bufferHeight);
        viewportKnown = true;
    }
}

// Where the frame's shapes land on the canvas.
void place(RecordedFrame& frame)
{
    if (frame.placed) {
        return;
    }
    for (int i = 0; i < frame.count; ++i) {
        RecordedCall& c = frame.calls[static_cast<std::size_t>(i)];
        if (c.shape >= 0) {
            c.visible = canvasBox(c.onCanvas, frame.viewport, c.box);
        }
    }
    frame.placed = true;
}

// Each recorded call made again, as the program made it.
void replay(const RecordedCall& c)
{
    const auto f = [&c](std::size_t i) { return static_cast<GLfloat>(c.args[i]); };
    const auto n = [&c](std::size_t i) { return static_cast<GLint>(c.args[i]); };
    switch (c.call) {
    case GlCall::CLEAR:
        glClear(static_cast<GLbitfield>(c.args[0]));
        break;
    case GlCall::MATRIX_MODE:
        glMatrixMode(static_cast<GLenum>(c.args[0]));
        break;
    case GlCall::LOAD_IDENTITY:
        glLoadIdentity();
        break;
    case GlCall::PUSH_MATRIX:
        glPushMatrix();
        break;
    case GlCall::POP_MATRIX:
        glPopMatrix();
        break;
    case GlCall::TRANSLATE:
        glTranslatef(f(0), f(1), f(2));
        break;
    case GlCall::ROTATE:
        glRotatef(f(0), f(1), f(2), f(3));
        break;
    case GlCall::SCALE:
        glScalef(f(0), f(1), f(2));
        break;
    case GlCall::COLOUR:
        glColor3f(f(0), f(1), f(2));
        break;
    case GlCall::PERSPECTIVE:
        gluPerspective(c.args[0], c.args[1], c.args[2], c.args[3]);
        break;
    case GlCall::SOLID_CUBE:
        glutSolidCube(c.args[0]);
        break;
    case GlCall::WIRE_CUBE:
        glutWireCube(c.args[0]);
        break;
    case GlCall::SOLID_SPHERE:
        glutSolidSphere(c.args[0], n(1), n(2));
        break;
    case GlCall::WIRE_SPHERE:
        glutWireSphere(c.args[0], n(1), n(2));
        break;
    }
}

}  // namespace

void recordCall(GlCall call, const CallArgs& args)
{
    if (!replaying) {
        record(call, args);
    }
}

bool inspectShape(GlCall call, const CallArgs& args, const UnitShape& shape, const Matrix& clip, Colour& shade)
{
    const int index = replaying ? shapesReplayed++ : recording->shapes++;
    if (!replaying) {
        if (RecordedCall* c = record(call, args)) {
            c->shape = index;
            c->colour = shade;
            c->onCanvas = {shape.vertices, shape.primitive, clip};
            noteViewport();
        }
    }
    if (index >= shapesShown) {
        return false;
    }
    if (selectedShape >= 0 && index != selectedShape) {
        for (std::size_t i = 0; i < 3; ++i) {
            shade[i] *= DIMMED;
        }
    }
    return true;
}

const RecordedFrame& recordedFrame()
{
    place(*recorded);
    return *recorded;
}

void startInspecting()
{
    frameInspected = true;
    startRecording();
}

void stopInspecting()
{
    redrawFrame(ALL_SHAPES, -1);
    frameInspected = false;
}

// The fixed function is left as the frame left it, as if the program had
// drawn it again.
void redrawFrame(int shown, int selected)
{
    shapesShown = shown;
    selectedShape = selected;
    if (!recorded->complete) {
        return;
    }
    replaying = true;
    restoreFixedFunctionState(recorded->start);
    shapesReplayed = 0;
    for (int i = 0; i < recorded->count; ++i) {
        replay(recorded->calls[static_cast<std::size_t>(i)]);
    }
    replaying = false;
}

// No depth buffer: the shape drawn last at a pixel is the one seen there.
int shapeAt(int x, int y, int shown)
{
    place(*recorded);
    for (int i = recorded->count - 1; i >= 0; --i) {
        const RecordedCall& c = recorded->calls[static_cast<std::size_t>(i)];
        if (c.shape >= 0 && c.shape < shown && c.visible && coversPixel(c.onCanvas, recorded->viewport, x, y)) {
            return c.shape;
        }
    }
    return -1;
}

// The browser shows what was drawn when the task that drew it ends: there is
// nothing to swap. A recorded frame ends here, and the next begins.
void glutSwapBuffers()
{
    if (!frameInspected || replaying) {
        return;
    }
    recording->complete = true;
    std::swap(recorded, recording);
    startRecording();
    walkerFrameRecorded();
}
