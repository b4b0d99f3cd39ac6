// Where a shape lands on the canvas, against what the GL's rule gives: a
// triangle covers the pixels whose centres it holds, whichever way round it
// is given, and a box holds exactly those pixels, inside the canvas.
#include "shape_on_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 40;
constexpr int HEIGHT = 30;
const Viewport CANVAS = {{0, 0, WIDTH, HEIGHT}, HEIGHT};

Matrix product(const Matrix& a, const Matrix& b)
{
    Matrix m{};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            for (int k = 0; k < 4; ++k) {
                m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
            }
        }
    }
    return m;
}

// Scales about the origin, then moves.
Matrix placed(const Vertex& scale, const Vertex& move)
{
    return {scale[0], 0, 0, 0, 0, scale[1], 0, 0, 0, 0, scale[2], 0, move[0], move[1], move[2], 1};
}

// glOrtho(0, WIDTH, HEIGHT, 0, -1, 1): x and y are the canvas's pixels.
const Matrix PIXELS = {2.0F / WIDTH, 0, 0, 0, 0, -2.0F / HEIGHT, 0, 0, 0, 0, -1, 0, -1, 1, 0, 1};
// glFrustum(-1, 1, -1, 1, 1, 10).
const Matrix PERSPECTIVE = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -11.0F / 9, -1, 0, 0, -20.0F / 9, 0};

// A cube of edge 1 about the origin, as triangles.
std::vector<Vertex> cube()
{
    std::vector<Vertex> vertices;
    for (int axis = 0; axis < 3; ++axis) {
        for (const float side : {-0.5F, 0.5F}) {
            const auto corner = [&](float u, float v) {
                Vertex p{};
                p[axis] = side;
                p[(axis + 1) % 3] = u;
                p[(axis + 2) % 3] = v;
                return p;
            };
            for (const Vertex& p : {corner(-0.5F, -0.5F), corner(0.5F, -0.5F), corner(0.5F, 0.5F), corner(-0.5F, -0.5F),
                                    corner(0.5F, 0.5F), corner(-0.5F, 0.5F)}) {
                vertices.push_back(p);
            }
        }
    }
    return vertices;
}

// A square of edge 1 about the origin, in the plane z = 0.
const std::vector<Vertex> SQUARE = {{-0.5F, -0.5F, 0}, {0.5F, -0.5F, 0}, {0.5F, 0.5F, 0},
                                    {-0.5F, -0.5F, 0}, {0.5F, 0.5F, 0},  {-0.5F, 0.5F, 0}};

std::vector<Vertex> reversed(std::vector<Vertex> triangles)
{
    for (std::size_t i = 0; i + 2 < triangles.size(); i += 3) {
        std::swap(triangles[i + 1], triangles[i + 2]);
    }
    return triangles;
}

// The pixels coversPixel accepts, as a box; empty (left == right) for none.
CanvasBox coveredPixels(const ShapeOnCanvas& shape)
{
    CanvasBox box{WIDTH, HEIGHT, 0, 0};
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            if (coversPixel(shape, CANVAS, x, y)) {
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
            }
        }
    }
    return box.left < box.right ? box : CanvasBox{0, 0, 0, 0};
}

std::string text(const CanvasBox& b)
{
    return "[" + std::to_string(b.left) + ", " + std::to_string(b.top) + ") to [" + std::to_string(b.right) + ", " +
           std::to_string(b.bottom) + ")";
}

bool holds(const CanvasBox& outer, const CanvasBox& inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// The shape's box, which must lie inside the canvas.
CanvasBox boxInCanvas(const ShapeOnCanvas& shape)
{
    CanvasBox box{0, 0, 0, 0};
    EXPECT_TRUE(canvasBox(shape, CANVAS, box));
    EXPECT_TRUE(holds({0, 0, WIDTH, HEIGHT}, box)) << text(box);
    return box;
}

TEST(ShapeOnCanvas, ABoxHoldsThePixelsCoveredAndAtMostAPixelMoreASide)
{
    // Squares on whole pixels, one inside and some reaching past an edge of
    // the canvas: their boxes are their pixels. Moved by fractions of a
    // pixel, an edge a little past a pixel's centre (a pixel is covered where
    // its centre is) may leave the box a pixel more, never one less.
    const std::vector<Matrix> squares = {placed({10, 10, 1}, {15, 10, 0}), placed({20, 20, 1}, {0, 5, 0}),
                                         placed({20, 20, 1}, {38, 28, 0}), placed({7.3F, 5.6F, 1}, {11.1F, 20.2F, 0})};
    for (std::size_t i = 0; i < squares.size(); ++i) {
        for (float shift = 0; shift < 1; shift += 0.125F) {
            const ShapeOnCanvas shape{&SQUARE, GL_TRIANGLES,
                                      product(PIXELS, product(placed({1, 1, 1}, {shift, shift, 0}), squares[i]))};
            const CanvasBox box = boxInCanvas(shape);
            const CanvasBox covered = coveredPixels(shape);
            if (shift == 0 && i < 3) {
                EXPECT_EQ(text(box), text(covered));
            }
            EXPECT_TRUE(holds(box, covered) &&
                        holds({covered.left - 1, covered.top - 1, covered.right + 1, covered.bottom + 1}, box))
                << "shifted " << shift << ": box " << text(box) << ", pixels " << text(covered);
        }
    }
}

TEST(ShapeOnCanvas, AShapeFarPastTheViewVolumeKeepsItsBoxInTheCanvas)
{
    const std::vector<Vertex> box = cube();
    // Bars through the middle of the view, reaching far past its left and
    // right, its top and bottom, and through its near and far planes; a
    // cube around the eye.
    for (const Matrix& place :
         {placed({60, 1, 1}, {-29, 0, -5}), placed({60, 1, 1}, {29, 0, -5}), placed({1, 60, 1}, {0, 29, -5}),
          placed({1, 60, 1}, {0, -29, -5}), placed({1, 1, 30}, {0.3F, 0.2F, -5}), placed({4, 4, 4}, {0.5F, 1, -1})}) {
        const ShapeOnCanvas shape{&box, GL_TRIANGLES, product(PERSPECTIVE, place)};
        const CanvasBox covered = coveredPixels(shape);
        EXPECT_TRUE(holds(boxInCanvas(shape), covered)) << text(covered);
    }
    // Lines, whose boxes reach half a pixel past them, cut by each side.
    const std::vector<Vertex> lines = {{-60, 0.2F, -5}, {60, 0.3F, -5}, {0.1F, -60, -5}, {0.2F, 60, -5}};
    boxInCanvas({&lines, GL_LINES, PERSPECTIVE});
}

TEST(ShapeOnCanvas, ATriangleEitherWayRoundCoversThePixelsWhoseCentresItHolds)
{
    // Corners off the pixels' centres, one triangle reaching past the canvas.
    const std::vector<Vertex> triangles = {{5.2F, 3.1F, 0}, {30.7F, 8.3F, 0}, {12.1F, 26.6F, 0},
                                           {-20, 20.3F, 0}, {8.9F, 33.2F, 0}, {15.6F, 24.7F, 0}};
    const auto holdsCentre = [&](std::size_t first, int x, int y) {
        const auto turn = [&](const Vertex& a, const Vertex& b) {
            return (b[0] - a[0]) * (y + 0.5 - a[1]) - (b[1] - a[1]) * (x + 0.5 - a[0]);
        };
        const Vertex* t = &triangles[first];
        const double turns[] = {turn(t[0], t[1]), turn(t[1], t[2]), turn(t[2], t[0])};
        return std::all_of(std::begin(turns), std::end(turns), [](double d) { return d > 0; }) ||
               std::all_of(std::begin(turns), std::end(turns), [](double d) { return d < 0; });
    };
    for (const std::vector<Vertex>& given : {triangles, reversed(triangles)}) {
        const ShapeOnCanvas shape{&given, GL_TRIANGLES, PIXELS};
        int hit = 0;
        for (int y = 0; y < HEIGHT; ++y) {
            for (int x = 0; x < WIDTH; ++x) {
                const bool held = holdsCentre(0, x, y) || holdsCentre(3, x, y);
                hit += held ? 1 : 0;
                ASSERT_EQ(coversPixel(shape, CANVAS, x, y), held) << "(" << x << ", " << y << ")";
            }
        }
        EXPECT_GT(hit, 100);
    }
    // A floor running from ahead of the eye to behind it: what is left of it
    // is hit either way round, the sky above it is not.
    const std::vector<Vertex> floor = {{-1, -1, -3}, {1, -1, -3}, {0, -1, 2}};
    for (const std::vector<Vertex>& given : {floor, reversed(floor)}) {
        const ShapeOnCanvas shape{&given, GL_TRIANGLES, PERSPECTIVE};
        // (0, -1, -1.5), on the floor ahead, is at y = 1 / 1.5 below the middle.
        EXPECT_TRUE(coversPixel(shape, CANVAS, WIDTH / 2, static_cast<int>(HEIGHT * (1 + 1 / 1.5) / 2)));
        EXPECT_FALSE(coversPixel(shape, CANVAS, WIDTH / 2, HEIGHT / 4));
        boxInCanvas(shape);
    }
}

TEST(ShapeOnCanvas, ALineIsHitAlongItsSegmentOnly)
{
    const std::vector<Vertex> line = {{10, 10, 0}, {20, 15, 0}};
    const ShapeOnCanvas shape{&line, GL_LINES, PIXELS};
    for (const float t : {0.0F, 0.3F, 0.5F, 1.0F}) {
        EXPECT_TRUE(coversPixel(shape, CANVAS, static_cast<int>(10 + 10 * t), static_cast<int>(10 + 5 * t))) << t;
    }
    // On the line through it, a few pixels beyond either end.
    for (const float t : {-0.5F, -0.3F, 1.3F, 1.5F}) {
        EXPECT_FALSE(coversPixel(shape, CANVAS, static_cast<int>(10 + 10 * t), static_cast<int>(10 + 5 * t))) << t;
    }
}

}  // namespace
