// UnitGra's view and primitives: drawing units to pixels, pens and brushes by colour number, clipped
// lines, and the point buffers through which every curve and polygon is drawn.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "geom/plane.h"
#include "preview/canvas.h"
#include "reader/extents.h"

namespace korvel {

// The world window (drawing units, y up), pixels per drawing unit, and the image size.
struct PreviewView {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    double scale = 0;
    std::int32_t width = 0, height = 0;
};

// Halves rounded away from zero; y flipped so that minY maps to row `height`.
PixelPoint WorldToPixel(const PreviewView &view, double x, double y);

// Fits 90 % of the tighter axis of the extents into the image, centred.
PreviewView FitPreviewView(const DrawingExtents &extents, std::int32_t width, std::int32_t height);

struct WorldPointBuffer {
    std::vector<PlanePoint> vertices;
    std::int32_t count() const { return static_cast<std::int32_t>(vertices.size()); }
};

struct PixelPointBuffer {
    std::vector<PixelPoint> vertices;
    std::int32_t count() const { return static_cast<std::int32_t>(vertices.size()); }
};

// What the preview draws through: the canvas, the view, and point buffers reused by every shape.
struct PreviewSurface {
    explicit PreviewSurface(Canvas &canvas) : canvas(canvas) {}

    Canvas &canvas;
    PreviewView view;
    WorldPointBuffer worldPoints;
    PixelPointBuffer pixelPoints;
};

// Jw_cad's colour numbers on a white background; -1 is the background itself.
Rgb PreviewPalette(std::int32_t colorNumber);

// Pen styles by index: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 null, anything else solid.
void SetPreviewPen(Canvas &canvas, Rgb color, std::int32_t style, std::int32_t width);
// The one-pixel pen in the palette colour, solid for line types 1 and 31, dotted otherwise.
void SetPenByColorNumber(Canvas &canvas, std::int32_t colorNumber, std::int32_t lineType);
// Fill kinds: 1 solid, 2..7 the six hatches, anything else hollow.
void SetBrushByColorNumber(Canvas &canvas, std::int32_t colorNumber, std::int32_t fillKind);

void FillPreviewBackground(Canvas &canvas, std::int32_t right, std::int32_t bottom, Rgb color);
void DrawPixelLine(Canvas &canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
// A rectangle outline, or one line when it is at most 2 pixels across, or nothing when both are.
void DrawPixelFrame(Canvas &canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

void StrokePixelPoints(PreviewSurface &surface);
void FillPixelPoints(PreviewSurface &surface);

void DrawWorldLine(PreviewSurface &surface, double x1, double y1, double x2, double y2);
// Rounds values in pixel units, u = (x - minX) * scale and v = (y - minY) * scale, to pixels as
// WorldToPixel does, and tells afterwards whether that is sure to be WorldToPixel's result for points
// whose values lie within a bound of the given ones.
class CertainPixelWriter {
public:
    CertainPixelWriter(const PreviewView &view, std::vector<PixelPoint> &out);

    void Add(double u, double v) {
        AddMany(1, [&](int) { return PlanePoint{u, v}; });
    }

    // Adds `count` values, value i being valueAt(i), in one pass that keeps its running figures in
    // registers (a growing vector would force them back to memory at every point).
    template <class ValueAt>
    void AddMany(int count, ValueAt valueAt) {
        const std::size_t first = out.size();
        out.resize(first + static_cast<std::size_t>(count));
        PixelPoint *slot = out.data() + first;
        const auto rows = static_cast<std::uint32_t>(view.height);
        double far = farthest, edge = nearestEdge;
        for (int i = 0; i < count; i++) {
            const PlanePoint p = valueAt(i);
            // Adding and taking away 1.5 * 2^52 rounds any |u| < 2^51 to the nearest integer; a value
            // out of range (or NaN) counts as a whole pixel off.
            constexpr double kRounder = 0x1.8p52;
            const bool inRange = std::fabs(p.x) < kQuickPixelLimit && std::fabs(p.y) < kQuickPixelLimit;
            const double nearestU = inRange ? (p.x + kRounder) - kRounder : 0.0;
            const double nearestV = inRange ? (p.y + kRounder) - kRounder : 0.0;
            const double off = inRange ? std::max(std::fabs(p.x - nearestU), std::fabs(p.y - nearestV)) : 1.0;
            far = off > far ? off : far;
            const double e = std::min(std::min(p.x, width - p.x), std::min(p.y, height - p.y));
            edge = e < edge ? e : edge;
            const auto py = static_cast<std::uint32_t>(static_cast<std::int32_t>(nearestV));
            slot[i] = {static_cast<std::int32_t>(nearestU), static_cast<std::int32_t>(rows - py)};
        }
        farthest = far;
        nearestEdge = edge;
    }

    // Whether every pixel added is WorldToPixel's for points within `bound` pixels of the values and,
    // with `inside`, every such point is inside the clip window (so that clipping changes nothing).
    bool Certain(double bound, bool inside) const;

    // Pixel values at most this large are taken in doubles; beyond, the exact path decides.
    static constexpr double kQuickPixelLimit = 0x1p20;

private:
    const PreviewView &view;
    std::vector<PixelPoint> &out;
    double width, height;        // the window in pixel units
    double farthest = 0;         // the largest distance of a value from its nearest integer
    double nearestEdge = 1e300;  // the smallest distance of a value from the window's edges
};

// The open polyline through the world buffer, clipped; every clipped segment ends its run.
void StrokeWorldPoints(PreviewSurface &surface);
// The polygon through the world buffer, unclipped.
void FillWorldPoints(PreviewSurface &surface);

}  // namespace korvel
