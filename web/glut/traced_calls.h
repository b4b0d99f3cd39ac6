// The GL, GLU and GLUT calls the program draws with, listed once. Each is
// X(ID, NAME, ARGUMENTS, WORDS, AGAIN): its GL name, its arguments' names,
// how a person reads it ({k} is argument k as a number; {k:buffers},
// {k:mode} and {rgb} name a clear's buffers, a matrix mode and a colour),
// and how it is made again from its recorded arguments a[0..3] (toFloat
// and toInt give them the GL's types). The trace
// hooks' call type, the inspector's replay and the page's words all come
// from here.
#ifndef WALKER_WEB_TRACED_CALLS_H
#define WALKER_WEB_TRACED_CALLS_H

// clang-format off
#define WALKER_TRACED_CALLS(X)                                                                                 \
    X(CLEAR, glClear, "mask", "clear {0:buffers}", glClear(static_cast<GLbitfield>(a[0])))                     \
    X(MATRIX_MODE, glMatrixMode, "mode", "matrix mode {0:mode}", glMatrixMode(static_cast<GLenum>(a[0])))      \
    X(LOAD_IDENTITY, glLoadIdentity, "", "load the identity", glLoadIdentity())                                \
    X(PUSH_MATRIX, glPushMatrix, "", "push", glPushMatrix())                                                   \
    X(POP_MATRIX, glPopMatrix, "", "pop", glPopMatrix())                                                       \
    X(TRANSLATE, glTranslatef, "x y z", "translate ({0}, {1}, {2})",                                          \
      glTranslatef(toFloat(a[0]), toFloat(a[1]), toFloat(a[2])))                                                                 \
    X(ROTATE, glRotatef, "angle x y z", "rotate {0}° about ({1}, {2}, {3})",                                  \
      glRotatef(toFloat(a[0]), toFloat(a[1]), toFloat(a[2]), toFloat(a[3])))                                                           \
    X(SCALE, glScalef, "x y z", "scale ({0}, {1}, {2})", glScalef(toFloat(a[0]), toFloat(a[1]), toFloat(a[2])))                  \
    X(COLOUR, glColor3f, "red green blue", "colour {rgb}", glColor3f(toFloat(a[0]), toFloat(a[1]), toFloat(a[2])))               \
    X(PERSPECTIVE, gluPerspective, "fovy aspect zNear zFar",                                                   \
      "perspective {0}° high, aspect {1}, near {2}, far {3}", gluPerspective(a[0], a[1], a[2], a[3]))          \
    X(SOLID_CUBE, glutSolidCube, "size", "solid cube of edge {0}", glutSolidCube(a[0]))                        \
    X(WIRE_CUBE, glutWireCube, "size", "wire cube of edge {0}", glutWireCube(a[0]))                            \
    X(SOLID_SPHERE, glutSolidSphere, "radius slices stacks", "solid sphere of radius {0}, {1} slices, {2} stacks", \
      glutSolidSphere(a[0], toInt(a[1]), toInt(a[2])))                                                                 \
    X(WIRE_SPHERE, glutWireSphere, "radius slices stacks", "wire sphere of radius {0}, {1} slices, {2} stacks",  \
      glutWireSphere(a[0], toInt(a[1]), toInt(a[2])))
// clang-format on

enum class TracedCall : int {
#define WALKER_CALL_ID(id, ...) id,
    WALKER_TRACED_CALLS(WALKER_CALL_ID)
#undef WALKER_CALL_ID
};

#endif
