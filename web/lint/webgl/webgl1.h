// A stand-in for Emscripten's <webgl/webgl1.h>, for the static checks only
// (see emscripten/emscripten.h): the WebGL calls under their own names,
// which the page's C++ calls where it replaces the GL function of that name.
#pragma once

#include <GL/gl.h>

extern "C" {
void emscripten_glClear(GLbitfield mask);
}
