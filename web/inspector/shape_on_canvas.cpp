// Where a shape lands on the canvas, as the GL works it out: each triangle or
// line in clip coordinates is cut by the six planes of the view volume
// (Sutherland and Hodgman's clipping, one plane after another), and what is
// left is divided by w and mapped to the viewport, upside down, since the
// GL's rows run up from the bottom and the canvas's down from the top.
#include "shape_on_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {

using Point = std::array<double, 4>;  // x, y, z, w

// A triangle or a line cut by six planes keeps at most this many corners.
constexpr std::size_t MAX_CORNERS = 9;
constexpr int PLANES = 6;
// A line is hit within this many pixels of it.
constexpr double LINE_REACH = 1.0;
// The GL's lines are a pixel wide.
constexpr double LINE_WIDTH = 1.0;
// Far less than the half pixel from an edge to a centre.
constexpr double ROUNDING = 1e-3;

struct Polygon {
    std::array<Point, MAX_CORNERS> corners;
    std::size_t count;
};

Point transform(const Matrix& m, const Vertex& v)
{
    Point p{};
    for (int r = 0; r < 4; ++r) {
        p[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r];
    }
    return p;
}

// How far inside plane k a point lies: w + x, w - x, w + y, ... (inside: >= 0).
double inside(const Point& p, int plane)
{
    const double side = plane % 2 == 0 ? 1.0 : -1.0;
    return p[3] + side * p[plane / 2];
}

// What of the polygon lies inside the plane; a line is a polygon of two
// corners, whose two edges are the line both ways.
Polygon cut(const Polygon& polygon, int plane)
{
    Polygon kept{{}, 0};
    for (std::size_t i = 0; i < polygon.count; ++i) {
        const Point& a = polygon.corners[i];
        const Point& b = polygon.corners[(i + 1) % polygon.count];
        const double da = inside(a, plane);
        const double db = inside(b, plane);
        if (da >= 0 && kept.count < MAX_CORNERS) {
            kept.corners[kept.count++] = a;
        }
        if ((da >= 0) != (db >= 0) && kept.count < MAX_CORNERS) {
            const double t = da / (da - db);
            Point crossing{};
            for (int k = 0; k < 4; ++k) {
                crossing[k] = a[k] + t * (b[k] - a[k]);
            }
            kept.corners[kept.count++] = crossing;
        }
    }
    return kept;
}

// Canvas pixels, x and y, of the corners left of one primitive.
struct Piece {
    std::array<std::array<double, 2>, MAX_CORNERS> corners;
    std::size_t count;
};

// Calls use(piece, context) for what is left of each primitive on the
// canvas; stops where it returns true, and says so.
bool eachPiece(const ShapeOnCanvas& shape, const Viewport& viewport, bool (*use)(const Piece&, void*), void* context)
{
    const std::size_t corners = shape.primitive == GL_LINES ? 2 : 3;
    const auto [vx, vy, width, height] = viewport.box;
    const std::vector<Vertex>& vertices = *shape.vertices;
    for (std::size_t first = 0; first + corners <= vertices.size(); first += corners) {
        Polygon polygon{{}, corners};
        for (std::size_t i = 0; i < corners; ++i) {
            polygon.corners[i] = transform(shape.clip, vertices[first + i]);
        }
        for (int plane = 0; plane < PLANES && polygon.count > 0; ++plane) {
            polygon = cut(polygon, plane);
        }
        Piece piece{{}, 0};
        for (std::size_t i = 0; i < polygon.count; ++i) {
            const Point& p = polygon.corners[i];
            if (p[3] > 0) {  // w is 0 only at the eye itself, where the GL draws nothing
                piece.corners[piece.count++] = {vx + (p[0] / p[3] + 1) * width / 2,
                                                viewport.bufferHeight - (vy + (p[1] / p[3] + 1) * height / 2)};
            }
        }
        if (piece.count > 0 && use(piece, context)) {
            return true;
        }
    }
    return false;
}

// Twice the signed area of the triangle a, b, c.
double turn(const std::array<double, 2>& a, const std::array<double, 2>& b, const std::array<double, 2>& c)
{
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

// The clipped triangle is convex: the point is inside where it lies on the
// same side of every edge.
bool inPolygon(const Piece& piece, const std::array<double, 2>& p)
{
    bool left = false;
    bool right = false;
    for (std::size_t i = 0; i < piece.count; ++i) {
        const double side = turn(piece.corners[i], piece.corners[(i + 1) % piece.count], p);
        left = left || side > 0;
        right = right || side < 0;
    }
    return !(left && right) && piece.count >= 3;
}

bool nearLine(const Piece& piece, const std::array<double, 2>& p)
{
    const auto& a = piece.corners[0];
    const auto& b = piece.corners[piece.count - 1];
    const double dx = b[0] - a[0];
    const double dy = b[1] - a[1];
    const double length = dx * dx + dy * dy;
    const double t = length > 0 ? std::clamp(((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length, 0.0, 1.0) : 0.0;
    return std::hypot(a[0] + t * dx - p[0], a[1] + t * dy - p[1]) <= LINE_REACH;
}

}  // namespace

bool canvasBox(const ShapeOnCanvas& shape, const Viewport& viewport, CanvasBox& box)
{
    struct Extent {
        double left = std::numeric_limits<double>::infinity();
        double right = -std::numeric_limits<double>::infinity();
        double top = std::numeric_limits<double>::infinity();
        double bottom = -std::numeric_limits<double>::infinity();
    } extent;
    eachPiece(
        shape, viewport,
        [](const Piece& piece, void* context) {
            Extent& e = *static_cast<Extent*>(context);
            for (std::size_t i = 0; i < piece.count; ++i) {
                e.left = std::min(e.left, piece.corners[i][0]);
                e.right = std::max(e.right, piece.corners[i][0]);
                e.top = std::min(e.top, piece.corners[i][1]);
                e.bottom = std::max(e.bottom, piece.corners[i][1]);
            }
            return false;
        },
        &extent);
    if (!(extent.left <= extent.right)) {
        return false;
    }
    // A line lights the pixels half a pixel either side of it, but none
    // outside the viewport, where a side plane may have cut it.
    if (shape.primitive == GL_LINES) {
        const auto [vx, vy, width, height] = viewport.box;
        const double top = viewport.bufferHeight - (vy + height);
        extent = {std::max<double>(vx, extent.left - LINE_WIDTH / 2),
                  std::min<double>(vx + width, extent.right + LINE_WIDTH / 2),
                  std::max(top, extent.top - LINE_WIDTH / 2), std::min(top + height, extent.bottom + LINE_WIDTH / 2)};
    }
    // Corners on a pixel's edge, a side plane's cut included, come out of the
    // float matrices a hair either side of it: not a pixel more for that.
    box = {static_cast<int>(std::floor(extent.left + ROUNDING)), static_cast<int>(std::floor(extent.top + ROUNDING)),
           static_cast<int>(std::ceil(extent.right - ROUNDING)), static_cast<int>(std::ceil(extent.bottom - ROUNDING))};
    return true;
}

void coveredPixels(const ShapeOnCanvas& shape, const Viewport& viewport, const CanvasBox& within,
                   std::vector<bool>& mask)
{
    struct Context {
        const CanvasBox& within;
        std::vector<bool>& mask;
        bool lines;
    } context{within, mask, shape.primitive == GL_LINES};
    eachPiece(
        shape, viewport,
        [](const Piece& piece, void* data) {
            Context& c = *static_cast<Context*>(data);
            // Only the pixels near the piece are tried.
            double left = c.within.right;
            double right = c.within.left;
            double top = c.within.bottom;
            double bottom = c.within.top;
            for (std::size_t i = 0; i < piece.count; ++i) {
                left = std::min(left, piece.corners[i][0]);
                right = std::max(right, piece.corners[i][0]);
                top = std::min(top, piece.corners[i][1]);
                bottom = std::max(bottom, piece.corners[i][1]);
            }
            const double reach = c.lines ? LINE_REACH : 0.0;
            const int x0 = std::max(c.within.left, static_cast<int>(std::floor(left - reach)));
            const int x1 = std::min(c.within.right, static_cast<int>(std::ceil(right + reach)));
            const int y0 = std::max(c.within.top, static_cast<int>(std::floor(top - reach)));
            const int y1 = std::min(c.within.bottom, static_cast<int>(std::ceil(bottom + reach)));
            const int width = c.within.right - c.within.left;
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    const std::array<double, 2> centre = {x + 0.5, y + 0.5};
                    if (c.lines ? nearLine(piece, centre) : inPolygon(piece, centre)) {
                        const auto row = static_cast<std::size_t>(y - c.within.top);
                        c.mask[row * static_cast<std::size_t>(width) + static_cast<std::size_t>(x - c.within.left)] =
                            true;
                    }
                }
            }
            return false;
        },
        &context);
}

bool coversPixel(const ShapeOnCanvas& shape, const Viewport& viewport, int x, int y)
{
    std::array<double, 2> centre = {x + 0.5, y + 0.5};
    const auto inside = [](const Piece& piece, void* point) {
        return inPolygon(piece, *static_cast<const std::array<double, 2>*>(point));
    };
    const auto near = [](const Piece& piece, void* point) {
        return nearLine(piece, *static_cast<const std::array<double, 2>*>(point));
    };
    return eachPiece(shape, viewport, shape.primitive == GL_LINES ? +near : +inside, &centre);
}
