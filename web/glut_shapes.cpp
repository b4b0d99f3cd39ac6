// The four GLUT shapes that the browser's GLUT lacks, with the desktop GLUT's
// geometry: a cube of the given edge centred on the origin, and a sphere of
// the given radius centred on the origin whose poles lie on the Z axis, cut
// into slices around that axis and stacks from pole to pole.
//
// Each shape is built once, at unit size, as one vertex array and handed to
// the GL in a single draw; the size comes from a scale. Sending the vertices
// one by one costs the browser's emulated GL many times more.
#include <GL/glut.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr double PI = 3.14159265358979323846;

using Vertex = std::array<float, 3>;  // x, y, z

using Shape = std::vector<Vertex>;

void draw(const Shape& shape, GLenum primitive, double scale)
{
    glPushMatrix();
    glScaled(scale, scale, scale);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, shape.data());
    glDrawArrays(primitive, 0, static_cast<GLsizei>(shape.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
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

// A sphere's arrays for the last slices and stacks asked for: a program asks
// for the same ones every time, so they are built once.
struct SphereCache {
    int slices = 0;
    int stacks = 0;
    Shape shape;
};

const Shape& sphere(SphereCache& cache, Shape (*build)(int, int), int slices, int stacks)
{
    if (cache.slices != slices || cache.stacks != stacks) {
        cache = {slices, stacks, build(slices, stacks)};
    }
    return cache.shape;
}

}  // namespace

void glutSolidCube(GLdouble size)
{
    static const Shape shape = solidCube();
    draw(shape, GL_TRIANGLES, size);
}

void glutWireCube(GLdouble size)
{
    static const Shape shape = wireCube();
    draw(shape, GL_LINES, size);
}

void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks)
{
    static SphereCache cache;
    if (slices < 1 || stacks < 1) {
        return;
    }
    draw(sphere(cache, solidSphere, slices, stacks), GL_TRIANGLES, radius);
}

void glutWireSphere(GLdouble radius, GLint slices, GLint stacks)
{
    static SphereCache cache;
    if (slices < 1 || stacks < 1) {
        return;
    }
    draw(sphere(cache, wireSphere, slices, stacks), GL_LINES, radius);
}
