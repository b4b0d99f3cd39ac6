// The last recorded frame packed for the page (packed_record.cpp): one
// buffer of doubles, which the page reads through typed-array views, and
// the format that says where each field lies, made from the same lists.
#ifndef WALKER_WEB_PACKED_RECORD_H
#define WALKER_WEB_PACKED_RECORD_H

#include "frame_recorder.h"

// The frame's header, then each call's fields: X(NAME, SIZE, VALUE), VALUE
// being read from the frame f or the call c.
#define WALKER_RECORD_HEADER(X)               \
    X(length, 1, length)                      \
    X(calls, 1, f.count)                      \
    X(shapes, 1, f.shapes)                    \
    X(truncated, 1, f.truncated ? 1 : 0)      \
    X(startDepth, 1, f.start.modelviewTop)    \
    X(start, 16, f.start.modelview[startTop]) \
    X(viewport, 4, f.viewport.box)            \
    X(bufferHeight, 1, f.viewport.bufferHeight)
#define WALKER_RECORD_CALL(X)                \
    X(call, 1, static_cast<int>(c.call))     \
    X(depth, 1, c.depth)                     \
    X(shape, 1, c.shape)                     \
    X(args, 4, c.args)                       \
    X(modelview, 16, c.modelview)            \
    X(routines, 1, c.routines)               \
    X(chain, 2 * MAX_ROUTINE_DEPTH, c.chain) \
    X(colour, 3, c.colour)                   \
    X(visible, 1, c.visible ? 1 : 0)         \
    X(box, 4, (std::array<int, 4>{c.box.left, c.box.top, c.box.right, c.box.bottom}))

// The frame packed (again only when it is a new one); its first double is
// its length in doubles.
const double* packedRecord(const RecordedFrame& frame);

// As JSON: the header's and a call's fields in order, each [name, size],
// the traced calls by their number, each [name, arguments, words], and the
// program's routines by their number, each [name, file, line].
const char* recordFormat();

#endif
