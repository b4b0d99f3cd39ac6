// The canvas as the program's window. The page sizes the canvas's drawing
// buffer (its CSS size in device pixels: full screen, the pixel ratio, the
// page's width) and tells the program, as a window system tells GLUT when a
// window is resized: the program's own reshape gets the new size, then the
// frame is drawn again. The page's tests read back what reshape was given.
#include <GL/glut.h>
#include <emscripten/emscripten.h>

#include "main.h"

namespace {

// glGetIntegerv(GL_VIEWPORT): x, y, width, height.
constexpr int VIEWPORT_WIDTH = 2;
constexpr int VIEWPORT_HEIGHT = 3;

int viewport(int part)
{
    GLint box[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, box);
    return box[part];
}

}  // namespace

extern "C" {

// The canvas's drawing buffer is now width x height device pixels.
EMSCRIPTEN_KEEPALIVE void walkerResize(int width, int height)
{
    reshape(width, height);
    glutPostRedisplay();
}

// The size the program's last reshape was given, which it set as its
// viewport: the one place the GL keeps it.
EMSCRIPTEN_KEEPALIVE int walkerReshapedWidth()
{
    return viewport(VIEWPORT_WIDTH);
}

EMSCRIPTEN_KEEPALIVE int walkerReshapedHeight()
{
    return viewport(VIEWPORT_HEIGHT);
}
}
