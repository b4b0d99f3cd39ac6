// A stand-in for Emscripten's <emscripten/emscripten.h>, for the static
// checks only: they compile the page's C++ natively (walker_web_check in
// CMakeLists.txt), where Emscripten's own header cannot be read. It declares
// what the page's C++ uses, as Emscripten declares it; nothing links it.
#pragma once

// Kept and exported by the linker, so that the page's scripts can call it.
#define EMSCRIPTEN_KEEPALIVE __attribute__((used))

extern "C" {
using em_arg_callback_func = void (*)(void* arg);
// Calls func(arg) once, after millis milliseconds, from the browser's event loop.
void emscripten_async_call(em_arg_callback_func func, void* arg, int millis);
}
