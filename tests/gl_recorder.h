// Recording stand-ins for the GL, GLU and GLUT entry points the program calls.
// The unit-test executable links these in place of the real libraries, so a
// test can assert the exact calls, their order and their arguments.
#pragma once

#include <GL/glut.h>

#include <string>
#include <vector>

struct RecordedCall {
    std::string name;
    std::vector<double> args;
    const void* pointer = nullptr;  // a callback, or glutInit's argv
    std::string text;               // e.g. "glTranslatef(0,-0.35,0)"
    // For a shape: where its centre lands under the current modelview matrix.
    double x = 0.0, y = 0.0, z = 0.0;
    // For a shape: the colour it is drawn in, as "green", "blue", ... or "r,g,b".
    std::string colour;
};

namespace recorder {

const std::vector<RecordedCall>& calls();
std::vector<std::string> texts();
// Only the calls whose name is in names, as texts.
std::vector<std::string> textsOf(const std::vector<std::string>& names);
int count(const std::string& name);
void clear();
// While off, calls are counted but not kept (for runs of millions of steps).
void setKeeping(bool keep);

// What glGetString answers for name; nullptr makes it return a null pointer.
void setString(GLenum name, const char* value);
void resetStrings();

// The callbacks registered most recently.
struct Callbacks {
    void (*display)() = nullptr;
    void (*reshape)(int, int) = nullptr;
    void (*keyboard)(unsigned char, int, int) = nullptr;
    void (*special)(int, int, int) = nullptr;
    void (*idle)() = nullptr;
};
const Callbacks& callbacks();
void setIdle(void (*idle)());

// The text a call with these numeric arguments is recorded as.
std::string format(const std::string& name, const std::vector<double>& args);

// The shape calls (cubes and spheres) in drawing order.
std::vector<RecordedCall> shapes();

// The modelview nesting depth now: pushes less pops since clear().
int stackDepth();

}  // namespace recorder
