// The frame inspector's recorder: each call the program draws with, with the
// modelview matrix after it, and for each shape its colour and where it lands
// on the canvas, from the end of the frame before to the frame's
// glutSwapBuffers, each drawn as the inspector's view shows it (replay.h).
// Two frames are kept: the one being drawn and the last
// drawn to its end, which the inspector reads and draws again.
#include "frame_recorder.h"

#include "replay.h"

#include <emscripten/html5_webgl.h>

#include <algorithm>
#include <utility>

// Tells the page that a frame has been recorded (frame_recorded.js).
extern "C" void walkerFrameRecorded();

namespace {

RecordedFrame frames[2];
RecordedFrame* recording = &frames[0];  // the frame being drawn
RecordedFrame* recorded = &frames[1];   // the last frame drawn to its end
RecordedCall* lastCall = nullptr;       // a shape's call, until its shape comes
bool on = false;
bool viewportKnown = false;  // by the frame being recorded
int strays = 0;
unsigned frameNumber = 0;

void begin()
{
    recording->number = frameNumber++;
    recording->complete = false;
    recording->start = fixedFunctionState();
    recording->count = 0;
    recording->shapes = 0;
    recording->truncated = false;
    recording->placed = false;
    lastCall = nullptr;
    viewportKnown = false;
}

// The viewport is asked for once a frame, at its first shape: the program's
// reshape may change it between frames.
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

void called(TracedCall call, const CallArgs& args)
{
    if (!on) {
        ++strays;
        return;
    }
    lastCall = nullptr;
    if (recording->count == MAX_RECORDED_CALLS) {
        recording->truncated = true;
        return;
    }
    const FixedFunctionState& now = fixedFunctionState();
    RecordedCall& c = recording->calls[static_cast<std::size_t>(recording->count++)];
    c = {call,
         args,
         now.modelviewTop,
         now.modelview[static_cast<std::size_t>(now.modelviewTop)],
         std::min(routineChain.depth, MAX_ROUTINE_DEPTH),
         routineChain.links,
         -1,
         {},
         {},
         false,
         {}};
    lastCall = &c;
}

bool drawing(const TracedShape& shape, Colour& shade)
{
    if (!on) {
        ++strays;
        return true;
    }
    const int index = recording->shapes++;
    if (lastCall != nullptr) {
        lastCall->shape = index;
        lastCall->colour = shade;
        lastCall->onCanvas = {shape.vertices, shape.primitive, shape.clip};
        lastCall = nullptr;
        noteViewport();
    }
    return inView(inspectorView, index, shade);
}

void frameEnded()
{
    if (!on) {
        ++strays;
        return;
    }
    recording->complete = true;
    std::swap(recorded, recording);
    begin();
    walkerFrameRecorded();
}

constexpr TraceHooks HOOKS = {called, drawing, frameEnded};

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

}  // namespace

void startRecording()
{
    on = true;
    begin();
    traceHooks = &HOOKS;
}

void stopRecording()
{
    on = false;
    traceHooks = nullptr;
}

bool recordingFrames()
{
    return on;
}

const RecordedFrame& recordedFrame()
{
    place(*recorded);
    return *recorded;
}

int strayCalls()
{
    return strays;
}
