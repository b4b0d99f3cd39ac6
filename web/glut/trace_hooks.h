// Hooks for whatever watches the calls the program draws with (the page's
// frame inspector installs them): a call made, a shape about to be drawn,
// a frame ended. Nothing here knows who listens. While nothing does,
// traceHooks is null and each call pays one test of it.
#ifndef WALKER_WEB_TRACE_HOOKS_H
#define WALKER_WEB_TRACE_HOOKS_H

#include <GL/gl.h>

#include <array>
#include <vector>

#include "fixed_function.h"
#include "traced_calls.h"

using CallArgs = std::array<double, 4>;

// A shape on its way to the GL: its unit vertices as primitives, and the
// matrix that takes them to clip coordinates (projection, modelview, size).
struct TracedShape {
    const std::vector<Vertex>* vertices;
    GLenum primitive;
    Matrix clip;
};

struct TraceHooks {
    // After the call has taken effect; a shape's call comes before its shape.
    void (*called)(TracedCall call, const CallArgs& args);
    // shade is the colour it is about to be drawn in, and may be changed;
    // false leaves the shape out.
    bool (*drawing)(const TracedShape& shape, Colour& shade);
    // At glutSwapBuffers.
    void (*frameEnded)();
};

extern const TraceHooks* traceHooks;

inline void trace(TracedCall call, const CallArgs& args)
{
    if (traceHooks != nullptr) {
        traceHooks->called(call, args);
    }
}

#endif
