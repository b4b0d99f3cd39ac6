// The four GLUT shapes that the browser's GLUT lacks, with the desktop GLUT's
// geometry: a cube of the given edge centred on the origin, and a sphere of
// the given radius centred on the origin whose poles lie on the Z axis, cut
// into slices around that axis and stacks from pole to pole.
//
// Each shape is built once, at unit size, into a vertex buffer of the GL and
// drawn from it in a single draw (fixed_function.cpp); the size comes from a
// scale. Its vertices are kept too, for the trace hooks' listeners, which
// work out where each shape lands on the canvas.
#define GL_GLEXT_PROTOTYPES
#include <GL/glut.h>
// The GL's buffer functions, which need the types of the above.
#include <GL/glext.h>

#include <array>
#include <cmath>
#include <forward_list>
#include <utility>
#include <vector>

#include "fixed_function.h"
#include "trace_hooks.h"

namespace {

constexpr double PI = 3.14159265358979323846;

using Shape = std::vector<Vertex>;

// A shape's vertices, in a buffer of the GL and as they were given.
struct Buffer {
    GLuint name = 0;
    Shape vertices;
};

Buffer upload(Shape shape)
{
    Buffer buffer{0, std::move(shape)};
    glGenBuffers(1, &buffer.name);
    glBindBuffer(GL_ARRAY_BUFFER, buffer.name);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(buffer.vertices.size() * sizeof(Vertex)),
                 buffer.vertices.data(), GL_STATIC_DRAW);
    return buffer;
}

void draw(const Buffer& buffer, GLenum primitive, double scale)
{
    drawShape({buffer.name, primitive, &buffer.vertices}, static_cast<float>(scale));
}

// The unit cube's corner i has its x, y, z at +0.5 where bit 0, 1, 2 of i is set.
Vertex corner(int i)
{
    return {(i & 1) != 0 ? 0.5F : -0.5F, (i & 2) != 0 ? 0.5F : -0.5F, (i & 4) != 0 ? 0.5F : -0.5F};
}

// The six faces, each as its four corners in order around it.
constexpr int CUBE_FACES[6][4] = {
    {1, 3, 7, 5},  // +x
    {0, 4, 6, 2},  // -x
    {2, 6, 7, 3},  // +y
    {0, 1, 5, 4},  // -y
    {4, 5, 7, 6},  // +z
    {0, 2, 3, 1},  // -z
};

// Two triangles a face.
Shape solidCube()
{
    Shape shape;
    for (const auto& face : CUBE_FACES) {
        for (const int i : {0, 1, 2, 0, 2, 3}) {
            shape.push_back(corner(face[i]));
        }
    }
    return shape;
}

// The twelve edges: every pair of corners that differ in one coordinate.
Shape wireCube()
{
    Shape shape;
    for (int i = 0; i < 8; ++i) {
        for (const int bit : {1, 2, 4}) {
            if ((i & bit) == 0) {
                shape.push_back(corner(i));
                shape.push_back(corner(i | bit));
            }
        }
    }
    return shape;
}

// The point of the unit sphere at slice boundary j (around Z, from +X
// toward +Y) and stack boundary i (from the +Z pole at 0 to the -Z pole).
Vertex spherePoint(int slices, int stacks, int j, int i)
{
    const double around = 2.0 * PI * j / slices;
    const double down = PI * i / stacks;
    return {static_cast<float>(std::cos(around) * std::sin(down)),
            static_cast<float>(std::sin(around) * std::sin(down)), static_cast<float>(std::cos(down))};
}

// Every patch between two slice and two stack boundaries, as two triangles
// (one at the poles, where two of its corners meet).
Shape solidSphere(int slices, int stacks)
{
    Shape shape;
    for (int i = 0; i < stacks; ++i) {
        for (int j = 0; j < slices; ++j) {
            const Vertex a = spherePoint(slices, stacks, j, i);
            const Vertex b = spherePoint(slices, stacks, j + 1, i);
            const Vertex c = spherePoint(slices, stacks, j + 1, i + 1);
            const Vertex d = spherePoint(slices, stacks, j, i + 1);
            if (i > 0) {
                shape.insert(shape.end(), {a, b, c});
            }
            if (i < stacks - 1) {
                shape.insert(shape.end(), {a, c, d});
            }
        }
    }
    return shape;
}

// Lines of latitude at the stack boundaries between the poles, and lines of
// longitude from pole to pole at the slice boundaries, as line segments.
Shape wireSphere(int slices, int stacks)
{
    Shape shape;
    for (int i = 1; i < stacks; ++i) {
        for (int j = 0; j < slices; ++j) {
            shape.push_back(spherePoint(slices, stacks, j, i));
            shape.push_back(spherePoint(slices, stacks, j + 1, i));
        }
    }
    for (int j = 0; j < slices; ++j) {
        for (int i = 0; i < stacks; ++i) {
            shape.push_back(spherePoint(slices, stacks, j, i));
            shape.push_back(spherePoint(slices, stacks, j, i + 1));
        }
    }
    return shape;
}

// Every sphere built, by its slices and stacks: a program asks for the same
// ones every time, so each is built once. None is dropped, so that a
// listener's record of a shape never outlives its vertices.
struct Sphere {
    int slices;
    int stacks;
    Buffer buffer;
};

const Buffer& sphere(std::forward_list<Sphere>& built, Shape (*build)(int, int), int slices, int stacks)
{
    for (const Sphere& s : built) {
        if (s.slices == slices && s.stacks == stacks) {
            return s.buffer;
        }
    }
    built.push_front({slices, stacks, upload(build(slices, stacks))});
    return built.front().buffer;
}

void drawSphere(std::forward_list<Sphere>& built, Shape (*build)(int, int), GLenum mode, TracedCall call,
                GLdouble radius, GLint slices, GLint stacks)
{
    trace(call, {radius, static_cast<double>(slices), static_cast<double>(stacks)});
    if (slices < 1 || stacks < 1) {
        return;
    }
    draw(sphere(built, build, slices, stacks), mode, radius);
}

}  // namespace

void glutSolidCube(GLdouble size)
{
    static const Buffer buffer = upload(solidCube());
    trace(TracedCall::SOLID_CUBE, {size});
    draw(buffer, GL_TRIANGLES, size);
}

void glutWireCube(GLdouble size)
{
    static const Buffer buffer = upload(wireCube());
    trace(TracedCall::WIRE_CUBE, {size});
    draw(buffer, GL_LINES, size);
}

void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks)
{
    static std::forward_list<Sphere> built;
    drawSphere(built, solidSphere, GL_TRIANGLES, TracedCall::SOLID_SPHERE, radius, slices, stacks);
}

void glutWireSphere(GLdouble radius, GLint slices, GLint stacks)
{
    static std::forward_list<Sphere> built;
    drawSphere(built, wireSphere, GL_LINES, TracedCall::WIRE_SPHERE, radius, slices, stacks);
}
