// The part of the GL's fixed function that the program uses, over WebGL 1:
// the projection and modelview matrix stacks, the current colour, and
// gluPerspective, with the GL's own formulas, so that the page draws what the
// desktop program draws. Shapes are drawn by drawShape with one small shader
// program: a position, one matrix and one colour. There is no lighting, no
// texturing and no depth buffer, and the program asks for none.
//
// These replace the functions of Emscripten's legacy GL emulation
// (LEGACY_GL_EMULATION, written against Emscripten 3.1.6), which brings the
// whole fixed function as generated shaders and costs the page's start-up
// far more than the program draws with. glClearColor, glViewport and
// glGetString stay those of Emscripten's WebGL library; glClear is its own,
// traced, as every call here is (trace_hooks.h).
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <emscripten/emscripten.h>
#include <webgl/webgl1.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fixed_function.h"
#include "trace_hooks.h"

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr GLsizei LOG_SIZE = 1024;

constexpr Matrix IDENTITY = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

FixedFunctionState state = [] {
    FixedFunctionState start{};
    start.modelview[0] = IDENTITY;
    start.projection[0] = IDENTITY;
    start.colour = {1, 1, 1, 1};
    return start;
}();

Matrix& top()
{
    return state.projectionCurrent ? state.projection[state.projectionTop] : state.modelview[state.modelviewTop];
}

Matrix multiply(const Matrix& a, const Matrix& b)
{
    Matrix product{};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a[k * 4 + r] * b[c * 4 + k];
            }
            product[c * 4 + r] = sum;
        }
    }
    return product;
}

// Multiplies the current matrix on the right by the matrix of these rows, as
// every GL transform does.
using Rows = std::array<std::array<double, 4>, 4>;

void apply(const Rows& rows)
{
    Matrix m{};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            m[c * 4 + r] = static_cast<float>(rows[r][c]);
        }
    }
    top() = multiply(top(), m);
}

// The one shader program: each vertex through one matrix, in one colour. The
// matrix (by columns) and the colour are generic vertex attributes whose
// arrays stay disabled, so each draw sets them as constants and the program
// never asks the GL for a uniform's location: in a browser that question
// waits until the GPU process has compiled and linked the program, which
// would hold up the first frame.
constexpr GLuint POSITION = 0;
constexpr GLuint TRANSFORM_COLUMNS[4] = {1, 2, 3, 4};
constexpr GLuint COLOUR = 5;

constexpr const char* VERTEX_SHADER = R"(
attribute vec3 position;
attribute vec4 column0;
attribute vec4 column1;
attribute vec4 column2;
attribute vec4 column3;
attribute vec4 colour;
varying vec4 shade;
void main() {
    shade = colour;
    gl_Position = mat4(column0, column1, column2, column3) * vec4(position, 1.0);
}
)";

constexpr const char* FRAGMENT_SHADER = R"(
precision mediump float;
varying vec4 shade;
void main() { gl_FragColor = shade; }
)";

// The link is checked this long after the program is made, off the first
// frame's path; by then the GPU process has long finished it.
constexpr int LINK_CHECK_DELAY_MS = 1000;

GLuint compile(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

// The shapes' shader program, made once, at the first draw.
GLuint shapesProgram = 0;

// A program that does not link draws nothing: the page reports it as the
// program stopping (Module.onAbort), with the GL's log.
void checkLinked(void* /*unused*/)
{
    const GLuint id = shapesProgram;
    GLint linked = GL_FALSE;
    glGetProgramiv(id, GL_LINK_STATUS, &linked);
    if (linked == GL_TRUE) {
        return;
    }
    std::array<char, LOG_SIZE> log{};
    glGetProgramInfoLog(id, LOG_SIZE, nullptr, log.data());
    std::fprintf(stderr, "The shapes' shader program did not link: %s\n", log.data());
    std::abort();
}

// Made at the first draw, once there is a context.
void useProgram()
{
    static const bool made = [] {
        const GLuint id = glCreateProgram();
        glAttachShader(id, compile(GL_VERTEX_SHADER, VERTEX_SHADER));
        glAttachShader(id, compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER));
        glBindAttribLocation(id, POSITION, "position");
        for (GLuint i = 0; i < 4; ++i) {
            const std::string name = "column" + std::to_string(i);
            glBindAttribLocation(id, TRANSFORM_COLUMNS[i], name.c_str());
        }
        glBindAttribLocation(id, COLOUR, "colour");
        glLinkProgram(id);
        glUseProgram(id);
        glEnableVertexAttribArray(POSITION);
        shapesProgram = id;
        emscripten_async_call(checkLinked, nullptr, LINK_CHECK_DELAY_MS);
        return true;
    }();
    static_cast<void>(made);
}

// A turn of angle degrees about the unit axis (ux, uy, uz).
void turn(double angle, double ux, double uy, double uz)
{
    const double radians = angle * PI / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double k = 1.0 - c;
    apply({{
        {ux * ux * k + c, ux * uy * k - uz * s, ux * uz * k + uy * s, 0},
        {uy * ux * k + uz * s, uy * uy * k + c, uy * uz * k - ux * s, 0},
        {ux * uz * k - uy * s, uy * uz * k + ux * s, uz * uz * k + c, 0},
        {0, 0, 0, 1},
    }});
}

}  // namespace

const TraceHooks* traceHooks = nullptr;

const FixedFunctionState& fixedFunctionState()
{
    return state;
}

void restoreFixedFunctionState(const FixedFunctionState& saved)
{
    state = saved;
}

void drawShape(const UnitShape& shape, float scale)
{
    useProgram();
    const Matrix size = {scale, 0, 0, 0, 0, scale, 0, 0, 0, 0, scale, 0, 0, 0, 0, 1};
    const Matrix transform =
        multiply(state.projection[state.projectionTop], multiply(state.modelview[state.modelviewTop], size));
    Colour shade = state.colour;
    if (traceHooks != nullptr && !traceHooks->drawing({shape.vertices, shape.primitive, transform}, shade)) {
        return;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        glVertexAttrib4fv(TRANSFORM_COLUMNS[i], &transform[i * 4]);
    }
    glVertexAttrib4fv(COLOUR, shade.data());
    glBindBuffer(GL_ARRAY_BUFFER, shape.buffer);
    glVertexAttribPointer(POSITION, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glDrawArrays(shape.primitive, 0, static_cast<GLsizei>(shape.vertices->size()));
}

// Emscripten's WebGL clear, traced.
void glClear(GLbitfield mask)
{
    emscripten_glClear(mask);
    trace(TracedCall::CLEAR, {static_cast<double>(mask)});
}

void glMatrixMode(GLenum mode)
{
    state.projectionCurrent = mode == GL_PROJECTION;
    trace(TracedCall::MATRIX_MODE, {static_cast<double>(mode)});
}

void glLoadIdentity()
{
    top() = IDENTITY;
    trace(TracedCall::LOAD_IDENTITY, {});
}

void glPushMatrix()
{
    int& depth = state.projectionCurrent ? state.projectionTop : state.modelviewTop;
    const int capacity = state.projectionCurrent ? PROJECTION_DEPTH : MODELVIEW_DEPTH;
    if (depth + 1 < capacity) {
        const Matrix copy = top();
        ++depth;
        top() = copy;
    }
    trace(TracedCall::PUSH_MATRIX, {});
}

void glPopMatrix()
{
    int& depth = state.projectionCurrent ? state.projectionTop : state.modelviewTop;
    if (depth > 0) {
        --depth;
    }
    trace(TracedCall::POP_MATRIX, {});
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    apply({{
        {1, 0, 0, x},
        {0, 1, 0, y},
        {0, 0, 1, z},
        {0, 0, 0, 1},
    }});
    trace(TracedCall::TRANSLATE, {x, y, z});
}

void glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    apply({{
        {x, 0, 0, 0},
        {0, y, 0, 0},
        {0, 0, z, 0},
        {0, 0, 0, 1},
    }});
    trace(TracedCall::SCALE, {x, y, z});
}

// A turn of angle degrees about the axis (x, y, z), which the GL normalises.
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    const double length = std::sqrt(double{x} * x + double{y} * y + double{z} * z);
    if (length != 0.0) {
        turn(angle, x / length, y / length, z / length);
    }
    trace(TracedCall::ROTATE, {angle, x, y, z});
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue)
{
    state.colour = {red, green, blue, 1};
    trace(TracedCall::COLOUR, {red, green, blue});
}

void glClearDepth(GLclampd depth)
{
    glClearDepthf(static_cast<GLfloat>(depth));
}

// Every shape is drawn in one colour: there is nothing to shade.
void glShadeModel(GLenum /*mode*/) {}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double f = 1.0 / std::tan(fovy * PI / 360.0);
    const double depth = zNear - zFar;
    apply({{
        {f / aspect, 0, 0, 0},
        {0, f, 0, 0},
        {0, 0, (zFar + zNear) / depth, 2.0 * zFar * zNear / depth},
        {0, 0, -1, 0},
    }});
    trace(TracedCall::PERSPECTIVE, {fovy, aspect, zNear, zFar});
}
