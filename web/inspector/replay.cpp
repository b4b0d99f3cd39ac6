// The recorded frame's calls made again through the page's GL and GLUT, with
// hooks of the replay's own: they leave out the shapes beyond the view's
// count and dim those it does not select, and record nothing.
#include "replay.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include <cstddef>

namespace {

// A selected shape's others, at this share of their colour.
constexpr float DIMMED = 0.3F;

ReplayView view{ALL_SHAPES, -1};
int drawn = 0;

void called(TracedCall /*call*/, const CallArgs& /*args*/) {}

bool drawing(const TracedShape& /*shape*/, Colour& shade)
{
    return inView(view, drawn++, shade);
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
    restoreFixedFunctionState(frame.start);
    for (int i = 0; i < frame.count; ++i) {
        again(frame.calls[static_cast<std::size_t>(i)]);
    }
    restoreFixedFunctionState(live);
    traceHooks = listening;
}
