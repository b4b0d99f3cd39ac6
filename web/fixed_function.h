// The page's small fixed-function GL (fixed_function.cpp): what the shapes
// need to draw through it.
#ifndef WALKER_WEB_FIXED_FUNCTION_H
#define WALKER_WEB_FIXED_FUNCTION_H

#include <GL/gl.h>

// Draws count vertices (x, y, z floats) of a vertex buffer as primitive, scaled
// by scale about the origin, through the current matrices and colour.
void drawShape(GLuint buffer, GLenum primitive, GLsizei count, float scale);

#endif
