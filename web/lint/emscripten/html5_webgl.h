// A stand-in for Emscripten's <emscripten/html5_webgl.h>, for the static
// checks only (see emscripten.h beside it): what the page's C++ uses of it.
#pragma once

#include <cstdint>

extern "C" {
using EMSCRIPTEN_WEBGL_CONTEXT_HANDLE = std::intptr_t;
using EMSCRIPTEN_RESULT = int;
EMSCRIPTEN_WEBGL_CONTEXT_HANDLE emscripten_webgl_get_current_context();
EMSCRIPTEN_RESULT emscripten_webgl_get_drawing_buffer_size(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context, int* width,
                                                           int* height);
}
