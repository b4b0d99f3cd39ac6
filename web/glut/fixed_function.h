// The page's small fixed-function GL (fixed_function.cpp): what the shapes
// need to draw through it, and its state, for whatever draws a frame again.
#ifndef WALKER_WEB_FIXED_FUNCTION_H
#define WALKER_WEB_FIXED_FUNCTION_H

#include <GL/gl.h>

#include <array>
#include <vector>

// Column-major, as the GL keeps it: element (row r, column c) is at [c * 4 + r].
using Matrix = std::array<float, 16>;
using Vertex = std::array<float, 3>;  // x, y, z
using Colour = std::array<float, 4>;  // red, green, blue, alpha

// The depths the GL guarantees at least: a push beyond them is ignored, as a
// GL ignores it (with a stack overflow error), and so is a pop of the last.
constexpr int MODELVIEW_DEPTH = 32;
constexpr int PROJECTION_DEPTH = 2;

// All the fixed function keeps between calls.
struct FixedFunctionState {
    std::array<Matrix, MODELVIEW_DEPTH> modelview;
    int modelviewTop;
    std::array<Matrix, PROJECTION_DEPTH> projection;
    int projectionTop;
    bool projectionCurrent;  // glMatrixMode(GL_PROJECTION) is in force
    Colour colour;
};

const FixedFunctionState& fixedFunctionState();
void restoreFixedFunctionState(const FixedFunctionState& saved);

// One GLUT shape at unit size in a vertex buffer, with its vertices kept for
// the trace hooks (trace_hooks.h), whose listeners work out where it lands.
struct UnitShape {
    GLuint buffer;
    GLenum primitive;
    const std::vector<Vertex>* vertices;
};

// Draws the shape scaled by scale about the origin, through the current
// matrices and colour.
void drawShape(const UnitShape& shape, float scale);

#endif
