// The recorded frame's calls made again through the page's GL and GLUT, with
// hooks of the replay's own: they leave out the shapes beyond the view's
// count and dim those it does not select, and record nothing.
#include "replay.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <GL/glut.h>
#include <webgl/webgl1.h>

#include <cstddef>
#include <numeric>
#include <utility>

namespace {

// A selected shape's others, at this share of their colour.
constexpr float DIMMED = 0.3F;

ReplayView view{ALL_SHAPES, -1};
int drawn = 0;
std::vector<WhatIfEdit> whatIf;
std::vector<int> order;             // the calls' indices, as the edits swap them
std::vector<ShapeOnCanvas> placed;  // each shape of the last replay
FixedFunctionState heldBack{};      // as the shape drawn last found the GL
int heldCall = -1;                  // its call, until it is drawn
bool drawingLast = false;

void called(TracedCall /*call*/, const CallArgs& /*args*/) {}

bool drawing(const TracedShape& shape, Colour& shade)
{
    if (drawingLast) {
        return true;
    }
    const int index = drawn++;
    placed.push_back({shape.vertices, shape.primitive, shape.clip});
    if (index == view.last) {
        heldBack = fixedFunctionState();
        return false;
    }
    return inView(view, index, shade);
}

void frameEnded() {}

constexpr TraceHooks HOOKS = {called, drawing, frameEnded};

GLfloat toFloat(double value)
{
    return static_cast<GLfloat>(value);
}

GLint toInt(double value)
{
    return static_cast<GLint>(value);
}

// The call again, as traced_calls.h says it is made.
void again(const RecordedCall& c)
{
    const CallArgs& a = c.args;
    switch (c.call) {
#define WALKER_CALL_AGAIN(id, name, arguments, words, made) \
    case TracedCall::id:                                    \
        (made);                                             \
        break;
        WALKER_TRACED_CALLS(WALKER_CALL_AGAIN)
#undef WALKER_CALL_AGAIN
    }
}

}  // namespace

ReplayView inspectorView{ALL_SHAPES, -1};

bool inView(const ReplayView& shownAs, int index, Colour& shade)
{
    if (index >= shownAs.shown) {
        return false;
    }
    if (shownAs.selected >= 0 && index != shownAs.selected) {
        for (std::size_t i = 0; i < 3; ++i) {
            shade[i] *= DIMMED;
        }
    }
    return true;
}

void replayFrame(const RecordedFrame& frame, const ReplayView& shownAs)
{
    if (!frame.complete) {
        return;
    }
    const FixedFunctionState live = fixedFunctionState();
    const TraceHooks* listening = traceHooks;
    traceHooks = &HOOKS;
    view = shownAs;
    drawn = 0;
    placed.clear();
    heldCall = -1;
    order.resize(static_cast<std::size_t>(frame.count));
    std::iota(order.begin(), order.end(), 0);
    for (const WhatIfEdit& e : whatIf) {
        const int other = static_cast<int>(e.value);
        if (e.argument == SWAP && e.call >= 0 && other >= 0 && e.call < frame.count && other < frame.count) {
            std::swap(order[static_cast<std::size_t>(e.call)], order[static_cast<std::size_t>(other)]);
        }
    }
    if (shownAs.depthTest) {
        glEnable(GL_DEPTH_TEST);
        glClear(GL_DEPTH_BUFFER_BIT);
    }
    restoreFixedFunctionState(frame.start);
    for (const int i : order) {
        RecordedCall c = frame.calls[static_cast<std::size_t>(i)];
        for (const WhatIfEdit& e : whatIf) {
            if (e.call == i && e.argument >= 0 && e.argument < static_cast<int>(c.args.size())) {
                c.args[static_cast<std::size_t>(e.argument)] = e.value;
            }
        }
        const int before = drawn;
        again(c);
        if (drawn > before && before == shownAs.last) {
            heldCall = i;
        }
    }
    if (heldCall >= 0) {
        // Where it was placed and in its colour, after everything else.
        restoreFixedFunctionState(heldBack);
        drawingLast = true;
        again(frame.calls[static_cast<std::size_t>(heldCall)]);
        drawingLast = false;
    }
    if (shownAs.depthTest) {
        glDisable(GL_DEPTH_TEST);
    }
    restoreFixedFunctionState(live);
    traceHooks = listening;
}

void setWhatIf(const std::vector<WhatIfEdit>& edits)
{
    whatIf = edits;
}

bool replayedBox(const RecordedFrame& frame, int index, CanvasBox& box)
{
    return index >= 0 && index < static_cast<int>(placed.size()) &&
           canvasBox(placed[static_cast<std::size_t>(index)], frame.viewport, box);
}

const unsigned char* replayAside(const RecordedFrame& frame, const ReplayView& shownAs, int width, int height)
{
    static GLuint target = 0;
    static GLuint colour = 0;
    static GLuint depth = 0;
    static int madeWidth = 0;
    static int madeHeight = 0;
    static std::vector<unsigned char> pixels;
    if (target == 0) {
        emscripten_glGenFramebuffers(1, &target);
        glGenTextures(1, &colour);
        emscripten_glGenRenderbuffers(1, &depth);
    }
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, target);
    if (width != madeWidth || height != madeHeight) {
        glBindTexture(GL_TEXTURE_2D, colour);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D, 0);
        emscripten_glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
        emscripten_glBindRenderbuffer(GL_RENDERBUFFER, depth);
        emscripten_glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
        emscripten_glBindRenderbuffer(GL_RENDERBUFFER, 0);
        emscripten_glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        madeWidth = width;
        madeHeight = height;
    }
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    replayFrame(frame, shownAs);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return pixels.data();
}
