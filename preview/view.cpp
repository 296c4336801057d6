// UnitGra's view and primitives: drawing units to pixels, pens and brushes by colour number, clipped
// lines, and the point buffers through which every curve and polygon is drawn.
#include "preview/view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "geom/clip.h"
#include "geom/extended.h"
#include "geom/func.h"

namespace korvel {

PixelPoint WorldToPixel(const PreviewView &view, double x, double y) {
    const std::int32_t px = RoundHalfAway(ToDouble((Ext(x) - view.minX) * view.scale));
    const std::int32_t py = RoundHalfAway(ToDouble((Ext(y) - view.minY) * view.scale));
    // Pixel values of unclipped polygons can be huge; they wrap as 32-bit integers.
    return {px, static_cast<std::int32_t>(static_cast<std::uint32_t>(view.height) - static_cast<std::uint32_t>(py))};
}

PixelPoint ViewPixel(const PreviewView &view, PlanePoint p) {
    return {static_cast<std::int32_t>(std::lround((p.x - view.minX) * view.scale)),
            view.height - static_cast<std::int32_t>(std::lround((p.y - view.minY) * view.scale))};
}

PreviewView FitPreviewView(const DrawingExtents &extents, std::int32_t width, std::int32_t height) {
    double dx = ToDouble(std::fabs(Ext(extents.maxX) - extents.minX));
    double dy = ToDouble(std::fabs(Ext(extents.maxY) - extents.minY));
    if (dx <= 1e-14) dx = 1e-14;
    if (dy <= 1e-14) dy = 1e-14;
    // For the view, a span past the largest double (-1e308 to 1e308) is as wide as the largest: the scale stays
    // a number. The preview keeps the original's scale of 0 for it.
    if (extents.finiteOnly) {
        dx = std::min(dx, std::numeric_limits<double>::max());
        dy = std::min(dy, std::numeric_limits<double>::max());
    }
    const double sx = ToDouble(Ext(width) / dx * 0.9);
    const double sy = ToDouble(Ext(height) / dy * 0.9);
    PreviewView v;
    v.width = width;
    v.height = height;
    v.scale = sx < sy ? sx : sy;
    const double cx = ToDouble((Ext(extents.maxX) + extents.minX) / 2);
    const double cy = ToDouble((Ext(extents.maxY) + extents.minY) / 2);
    v.minX = ToDouble(Ext(cx) - Ext(width) / 2 / v.scale);
    v.minY = ToDouble(Ext(cy) - Ext(height) / 2 / v.scale);
    v.maxX = ToDouble(Ext(cx) + Ext(width) / 2 / v.scale);
    v.maxY = ToDouble(Ext(cy) + Ext(height) / 2 / v.scale);
    return v;
}

namespace {

// Colour numbers -1 to 116 by index colorNumber + 1; any other number is black.
constexpr std::array<Rgb, 118> kPalette = [] {
    std::array<Rgb, 118> p{};  // black
    const auto set = [&](std::int32_t number, Rgb color) { p[static_cast<std::size_t>(number + 1)] = color; };
    set(-1, {255, 255, 255});
    set(1, {0, 192, 192});
    set(2, {0, 0, 0});
    set(3, {0, 192, 0});
    set(4, {192, 192, 0});
    set(5, {192, 0, 192});
    set(6, {0, 0, 255});
    set(7, {0, 128, 128});
    set(8, {255, 0, 128});
    set(9, {255, 128, 255});
    set(101, {0, 0, 0});
    set(102, {255, 0, 0});
    set(103, {0, 255, 0});
    set(104, {0, 0, 255});
    set(105, {255, 255, 0});
    set(106, {255, 0, 255});
    set(107, {0, 255, 255});
    set(108, {0, 0, 0});
    set(109, {192, 0, 128});
    set(110, {192, 128, 64});
    set(111, {255, 128, 0});
    set(112, {128, 192, 128});
    set(113, {0, 128, 255});
    set(114, {128, 64, 255});
    set(115, {192, 192, 192});
    set(116, {128, 128, 128});
    return p;
}();

}  // namespace

Rgb PreviewPalette(std::int32_t colorNumber) {
    const auto index = static_cast<std::uint32_t>(colorNumber) + 1u;  // -1 becomes 0
    return index < kPalette.size() ? kPalette[index] : Rgb{0, 0, 0};
}

void SetPreviewPen(Canvas &canvas, Rgb color, std::int32_t style, std::int32_t width) {
    canvas.SetBrushKind(BrushKind::Hollow);
    PenStyle penStyle = PenStyle::Solid;
    switch (style) {
        case 1: penStyle = PenStyle::Dash; break;
        case 2: penStyle = PenStyle::Dot; break;
        case 3: penStyle = PenStyle::DashDot; break;
        case 4: penStyle = PenStyle::DashDotDot; break;
        case 5: penStyle = PenStyle::Null; break;
        default: break;
    }
    canvas.SetPen({color, penStyle, width});
}

void SetPenByColorNumber(Canvas &canvas, std::int32_t colorNumber, std::int32_t lineType) {
    canvas.SetBrushKind(BrushKind::Hollow);
    const bool solid = lineType == 1 || lineType == 31;
    canvas.SetPen({PreviewPalette(colorNumber), solid ? PenStyle::Solid : PenStyle::Dot, 0});
}

void SetBrushByColorNumber(Canvas &canvas, std::int32_t colorNumber, std::int32_t fillKind) {
    BrushKind kind = BrushKind::Hollow;
    switch (fillKind) {
        case 1: kind = BrushKind::Solid; break;
        case 2: kind = BrushKind::Horizontal; break;
        case 3: kind = BrushKind::Vertical; break;
        case 4: kind = BrushKind::ForwardDiagonal; break;
        case 5: kind = BrushKind::BackwardDiagonal; break;
        case 6: kind = BrushKind::Cross; break;
        case 7: kind = BrushKind::DiagonalCross; break;
        default: break;
    }
    canvas.SetBrush({PreviewPalette(colorNumber), kind});
}

void FillPreviewBackground(Canvas &canvas, std::int32_t right, std::int32_t bottom, Rgb color) {
    canvas.SetPen({color, canvas.CurrentPen().style, 1});
    canvas.SetBrush({color, BrushKind::Solid});
    canvas.DrawRect(0, 0, right, bottom);
    canvas.SetBrushKind(BrushKind::Hollow);
}

void DrawPixelLine(Canvas &canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    canvas.StrokeLine({x1, y1}, {x2, y2});
}

void DrawPixelFrame(Canvas &canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const std::int64_t ax = std::llabs(std::int64_t{x1} - x2);
    const std::int64_t ay = std::llabs(std::int64_t{y1} - y2);
    if (ax <= 2 && ay <= 2) return;
    if (ax <= 2) DrawPixelLine(canvas, x1, y1, x1, y2);
    else if (ay <= 2) DrawPixelLine(canvas, x1, y1, x2, y1);
    else canvas.DrawRect(x1, y1, x2, y2);
}

void StrokePixelPoints(PreviewSurface &surface) { surface.canvas.StrokePolyline(surface.pixelPoints.vertices); }

void FillPixelPoints(PreviewSurface &surface) { surface.canvas.DrawPolygon(surface.pixelPoints.vertices); }

namespace {

// A view clips what it draws this many pixels outside its window rather than at its edges: a segment that
// crosses the window is then drawn from the same ends whichever part of the drawing the window shows, and a
// moved image keeps the pixels drawing afresh would give. (The canvases take coordinates far larger.)
constexpr double kViewClipMargin = 65536;

std::int32_t ClipToView(const PreviewSurface &surface, double &x1, double &y1, double &x2, double &y2) {
    const PreviewView &v = surface.view;
    if (!surface.atViewResolution) return ClipSegment(x1, y1, x2, y2, v.minX, v.minY, v.maxX, v.maxY);
    const double margin = kViewClipMargin / v.scale;
    return ClipSegment(x1, y1, x2, y2, v.minX - margin, v.minY - margin, v.maxX + margin, v.maxY + margin);
}

}  // namespace

bool DrawCertainPixelLine(PreviewSurface &surface, PlanePoint from, PlanePoint to, double bound) {
    std::vector<PixelPoint> &ends = surface.pixelPoints.vertices;
    CertainPixelWriter quick(surface.view, ends);
    quick.Add(from.x, from.y, bound);
    quick.Add(to.x, to.y, bound);
    const bool certain = quick.Certain(true);
    const PixelPoint a = ends[0], b = ends[1];
    ends.clear();
    if (certain) DrawPixelLine(surface.canvas, a.x, a.y, b.x, b.y);
    return certain;
}

void DrawWorldLine(PreviewSurface &surface, double x1, double y1, double x2, double y2) {
    // Nearly every line lies inside the window with both ends clear of a pixel's half: doubles decide.
    const PreviewView &v = surface.view;
    if (DrawCertainPixelLine(surface, {(x1 - v.minX) * v.scale, (y1 - v.minY) * v.scale},
                             {(x2 - v.minX) * v.scale, (y2 - v.minY) * v.scale}, 0))
        return;
    if (ClipToView(surface, x1, y1, x2, y2) == kClipInvisible) return;
    const PixelPoint a = WorldToPixel(v, x1, y1), b = WorldToPixel(v, x2, y2);
    DrawPixelLine(surface.canvas, a.x, a.y, b.x, b.y);
}

bool CertainPixelWriter::AddSame(int count, PlanePoint centre, PlanePoint reach, double bound) {
    const double reachU = reach.x + bound + slack, reachV = reach.y + bound + slack;
    if (!(std::fabs(centre.x) < kQuickPixelLimit) || !(std::fabs(centre.y) < kQuickPixelLimit)) return false;
    const double nearestU = Nearest(centre.x), nearestV = Nearest(centre.y);
    // Every value within the reach lies less than a half from the centre's nearest integer.
    if (!(std::fabs(centre.x - nearestU) < 0.5 - reachU) || !(std::fabs(centre.y - nearestV) < 0.5 - reachV))
        return false;
    anyOutside |= !(centre.x - reachU > tolerance) | !(centre.x + reachU < width - tolerance) |
                  !(centre.y - reachV > tolerance) | !(centre.y + reachV < height - tolerance);
    const PixelPoint pixel = PixelOf(nearestU, nearestV);
    if (out.empty() && (repeats == 0 || pixel == repeated)) {
        repeated = pixel;
        repeats += static_cast<std::size_t>(count);
    } else {
        WriteRepeats();
        Append(static_cast<std::size_t>(count), pixel);
    }
    return true;
}

void StrokeWorldPoints(PreviewSurface &surface) {
    const std::vector<PlanePoint> &world = surface.worldPoints.vertices;
    if (world.size() < 2) return;
    const PreviewView &v = surface.view;
    std::vector<PixelPoint> &run = surface.pixelPoints.vertices;
    run.clear();
    auto flush = [&] {
        if (run.size() >= 2) StrokePixelPoints(surface);
        run.clear();
    };
    // A view's pixels are taken in doubles: they need not be the preview's.
    const auto pixelOf = [&](double x, double y) {
        return surface.atViewResolution ? ViewPixel(v, {x, y}) : WorldToPixel(v, x, y);
    };
    for (std::size_t i = 1; i < world.size(); i++) {
        double x1 = world[i - 1].x, y1 = world[i - 1].y, x2 = world[i].x, y2 = world[i].y;
        const std::int32_t clip = ClipToView(surface, x1, y1, x2, y2);
        if (clip == kClipInvisible) {
            flush();
            continue;
        }
        if (run.empty()) run.push_back(pixelOf(x1, y1));
        run.push_back(pixelOf(x2, y2));
        if (clip == kClipMoved) flush();
    }
    flush();
}

void FillWorldPoints(PreviewSurface &surface) {
    std::vector<PlanePoint> &world = surface.worldPoints.vertices;
    if (world.size() < 3) return;
    std::vector<PixelPoint> &pixels = surface.pixelPoints.vertices;
    pixels.clear();
    if (surface.atViewResolution) {
        // A view zoomed in far would hand the canvas pixels beyond what it can take; what lies far outside the
        // window fills the same. Its pixels are taken in doubles: they need not be the preview's.
        const PreviewView &v = surface.view;
        const double margin = kViewClipMargin / v.scale;
        const double minX = v.minX - margin, minY = v.minY - margin, maxX = v.maxX + margin, maxY = v.maxY + margin;
        const bool inside = std::all_of(world.begin(), world.end(), [&](PlanePoint p) {
            return p.x >= minX && p.x <= maxX && p.y >= minY && p.y <= maxY;
        });
        if (!inside) {
            std::vector<PlanePoint> &clipped = surface.clippedPoints.vertices;
            ClipPolygon(world, minX, minY, maxX, maxY, clipped, surface.scratchPoints.vertices);
            world.swap(clipped);
            if (world.size() < 3) return;
        }
        for (const PlanePoint &p : world)
            pixels.push_back(ViewPixel(v, p));
    } else {
        for (const PlanePoint &p : world)
            pixels.push_back(WorldToPixel(surface.view, p.x, p.y));
    }
    FillPixelPoints(surface);
    pixels.clear();
}

}  // namespace korvel
