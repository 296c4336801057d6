// UnitGra's view and primitives: drawing units to pixels, pens and brushes by colour number, clipped
// lines, and the point buffers through which every curve and polygon is drawn.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "geom/clip.h"
#include "geom/error_bounds.h"
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

// The same in doubles, for a view's points inside its window or near it (within the int32 range).
PixelPoint ViewPixel(const PreviewView &view, PlanePoint p);

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
class BlockCurveCache;
struct DrawFilter;

struct PreviewSurface {
    explicit PreviewSurface(Canvas &canvas) : canvas(canvas) {}

    Canvas &canvas;
    PreviewView view;
    WorldPointBuffer worldPoints;
    PixelPointBuffer pixelPoints;
    WorldPointBuffer clippedPoints, scratchPoints;  // a view's polygons, clipped
    // While block members are drawn: their curves' block-local vertices, kept for the next insert.
    BlockCurveCache *blockCurves = nullptr;
    // A view's own: what it leaves out, and curves as fine as its pixels need with polygons clipped to the
    // window (the preview draws every curve with its fixed number of vertices, polygons unclipped).
    const DrawFilter *filter = nullptr;
    bool atViewResolution = false;

    // The same settings over another canvas, for a part drawn away from this one.
    PreviewSurface Over(Canvas &other) const {
        PreviewSurface onto(other);
        onto.view = view;
        onto.filter = filter;
        onto.atViewResolution = atViewResolution;
        return onto;
    }
};

// Jw_cad's colour numbers on a white background; -1 is the background itself.
Rgb PreviewPalette(std::int32_t colorNumber);

// The canvas's state as these change it (the trace shows it on every line):
//   SetPreviewPen, SetPenByColorNumber   set the pen and make the brush hollow, keeping its colour;
//   SetBrushByColorNumber                sets the brush (colour and kind), not the pen;
//   FillPreviewBackground                leaves the pen in the background colour and the brush hollow;
//   Canvas::PutCharacter (canvas.h)      makes the brush hollow.
// Beyond these the driver (preview.cpp) sets both itself only for a solid of its own colour and for the
// corner flag. Every entity sets its pen first, so outlines drawn after a pen setter are never filled.

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
// Draws the line from approximate ends in pixel units ((x - minX) * scale, (y - minY) * scale), each
// within `bound` pixels of the exact one, when that is sure to draw what DrawWorldLine draws for the exact
// ends (inside the window, clear of pixel halves); otherwise draws nothing and says so.
bool DrawCertainPixelLine(PreviewSurface &surface, PlanePoint from, PlanePoint to, double bound);
// Rounds values in pixel units, u = (x - minX) * scale and v = (y - minY) * scale, to pixels as
// WorldToPixel does, each batch with a bound on how far its values may lie from the exact path's, and
// tells afterwards whether the pixels are sure to be WorldToPixel's for the exact points.
class CertainPixelWriter {
public:
    CertainPixelWriter(const PreviewView &view, std::vector<PixelPoint> &out)
        : view(view),
          out(out),
          width((view.maxX - view.minX) * view.scale),
          height((view.maxY - view.minY) * view.scale),
          tolerance(kClipTolerance * view.scale) {
        // Beyond a value's own bound, the exact path's differences from the window's corner and its
        // products differ from the doubles' by roundings of at most 2^-52 of the corner's distance from
        // zero (scaled) and of the pixel value (below 2^20); 2^-48 of each covers them many times over,
        // as it does the roundings of the window's own size here.
        const double largest = std::max(std::max(std::fabs(view.minX), std::fabs(view.maxX)),
                                        std::max(std::fabs(view.minY), std::fabs(view.maxY)));
        slack = largest * view.scale * kQuickScaleBound + kQuickPixelLimit * kQuickScaleBound + kQuickPixelFloor;
        out.clear();
    }

    void Add(double u, double v, double bound) {
        AddMany(1, bound, [&](int) { return PlanePoint{u, v}; });
    }

    // Adds `count` values, value i being valueAt(i), each within `bound` pixels of the exact one.
    template <class ValueAt>
    void AddMany(int count, double bound, ValueAt valueAt) {
        WriteRepeats();
        const std::size_t first = out.size();
        out.resize(first + static_cast<std::size_t>(count));
        PixelPoint *slot = out.data() + first;
        // No half-integer, and so no tie, lies between a value and the exact one while the value stays
        // less than a half minus the bound from its nearest integer.
        const double reach = bound + slack;
        const double halfLess = 0.5 - reach;
        // The clip window in pixel units is (tolerance, width - tolerance) on each axis.
        const double edge = tolerance + reach;
        const double lastU = width - edge, lastV = height - edge;
        bool unsure = !(reach < 0.25), outside = false;
        for (int i = 0; i < count; i++) {
            const PlanePoint p = valueAt(i);
            const bool inRange = (std::fabs(p.x) < kQuickPixelLimit) & (std::fabs(p.y) < kQuickPixelLimit);
            const double nearestU = inRange ? Nearest(p.x) : 0.0, nearestV = inRange ? Nearest(p.y) : 0.0;
            unsure |= !inRange | !(std::fabs(p.x - nearestU) < halfLess) | !(std::fabs(p.y - nearestV) < halfLess);
            outside |= !(p.x > edge) | !(p.x < lastU) | !(p.y > edge) | !(p.y < lastV);
            slot[i] = PixelOf(nearestU, nearestV);
        }
        anyUnsure |= unsure;
        anyOutside |= outside;
    }

    // Adds `count` copies of the pixel of (u, v) when every value within `reach` of it on each axis
    // (and the bound beyond) rounds to that same pixel: a shape smaller than its pixel. Otherwise adds
    // nothing and says so.
    bool AddSame(int count, PlanePoint centre, PlanePoint reach, double bound);

    // Whether every pixel added is WorldToPixel's and, with `inside`, every exact point lies inside
    // the clip window (so that clipping changes nothing).
    bool Certain(bool inside) const { return !anyUnsure && !(inside && anyOutside); }

    // How many pixels were added.
    std::size_t Count() const { return out.size() + repeats; }
    // While every pixel added is one pixel over and over (AddSame alone added them), they are not
    // written out but kept as the pixel and its count.
    struct Repeated {
        PixelPoint pixel;
        std::size_t count = 0;
    };
    std::optional<Repeated> OnePixel() const {
        if (repeats == 0) return std::nullopt;
        return Repeated{repeated, repeats};
    }
    // Writes such repeats out, so that the list holds every pixel added.
    void WriteRepeats() {
        Append(repeats, repeated);
        repeats = 0;
    }

    // Pixel values at most this large are taken in doubles; beyond, the exact path decides.
    static constexpr double kQuickPixelLimit = 0x1p20;

private:
    // The nearest integer of |v| < 2^51: adding and taking away 1.5 * 2^52 rounds to it.
    static double Nearest(double v) {
        constexpr double kRounder = 0x1.8p52;
        return (v + kRounder) - kRounder;
    }
    void Append(std::size_t count, PixelPoint pixel) {
        const std::size_t first = out.size();
        out.resize(first + count);
        std::fill(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(), pixel);
    }
    // The pixel of nearest integers, y flipped as WorldToPixel does.
    PixelPoint PixelOf(double nearestU, double nearestV) const {
        const auto py = static_cast<std::uint32_t>(static_cast<std::int32_t>(nearestV));
        return {static_cast<std::int32_t>(nearestU),
                static_cast<std::int32_t>(static_cast<std::uint32_t>(view.height) - py)};
    }

    const PreviewView &view;
    std::vector<PixelPoint> &out;
    double width, height;  // the window in pixel units
    double tolerance;      // the clip tolerance in pixel units
    double slack;          // the exact path's own roundings, in pixels
    bool anyUnsure = false, anyOutside = false;
    PixelPoint repeated;
    std::size_t repeats = 0;
};

// The open polyline through the world buffer, clipped; every clipped segment ends its run.
void StrokeWorldPoints(PreviewSurface &surface);
// The polygon through the world buffer, unclipped.
void FillWorldPoints(PreviewSurface &surface);

}  // namespace korvel
