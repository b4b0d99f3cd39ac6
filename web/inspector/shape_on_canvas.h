// Where a shape lands on the canvas (shape_on_canvas.cpp).
#ifndef WALKER_WEB_SHAPE_ON_CANVAS_H
#define WALKER_WEB_SHAPE_ON_CANVAS_H

#include <GL/gl.h>

#include <array>
#include <vector>

#include "fixed_function.h"

// x, y, width and height, as glViewport sets them, in a drawing buffer of
// bufferHeight rows.
struct Viewport {
    std::array<int, 4> box;
    int bufferHeight;
};

// Pixels of the canvas, counted from its top left corner.
struct CanvasBox {
    int left;
    int top;
    int right;   // one past the last column
    int bottom;  // one past the last row
};

// The primitives (triangles, or lines) of a shape's vertices through its clip
// matrix (projection, modelview and size).
struct ShapeOnCanvas {
    const std::vector<Vertex>* vertices;
    GLenum primitive;
    Matrix clip;
};

// The box of the pixels the shape covers, or false where none is left once
// it is clipped to the view volume.
bool canvasBox(const ShapeOnCanvas& shape, const Viewport& viewport, CanvasBox& box);

// Whether the GL draws the shape at the canvas pixel (x, y): the pixel's
// centre lies in one of its triangles, or within a pixel of one of its lines.
bool coversPixel(const ShapeOnCanvas& shape, const Viewport& viewport, int x, int y);

// The pixels of within that the shape covers, as coversPixel finds them:
// mask holds one entry a pixel of within, row by row, and each covered
// pixel's entry is set to true (the others are left as they are).
void coveredPixels(const ShapeOnCanvas& shape, const Viewport& viewport, const CanvasBox& within,
                   std::vector<bool>& mask);

#endif
