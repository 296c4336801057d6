// The preview's drawing surface: pen and brush state kept once here, primitives drawn by a backend.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb &) const = default;
};

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null };

struct Pen {
    Rgb color{0, 0, 0};
    PenStyle style = PenStyle::Solid;
    std::int32_t width = 1;  // 0 is the one-pixel pen
    bool operator==(const Pen &) const = default;
};

enum class BrushKind { Hollow, Solid, Horizontal, Vertical, ForwardDiagonal, BackwardDiagonal, Cross, DiagonalCross };

struct Brush {
    Rgb color{255, 255, 255};
    BrushKind kind = BrushKind::Solid;
    bool operator==(const Brush &) const = default;
};

// What a text character is drawn with: the cell height and width in pixels (width 0 leaves it to the
// font's own proportions), the escapement in tenths of a degree counter-clockwise, weight 400 or 700.
struct FontSpec {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t weight = 400;
    bool italic = false;
    std::string face;  // Shift-JIS bytes, at most 31
    bool operator==(const FontSpec &) const = default;
};

struct PixelPoint {
    std::int32_t x = 0, y = 0;
    bool operator==(const PixelPoint &) const = default;
};

// Backends receive the pen and brush with every call and keep none of their own. Geometry follows the
// raster rules of the preview's original surface: a line leaves out its end pixel, a rectangle its right
// and bottom edges, and polygons fill odd-even.
class Canvas {
public:
    virtual ~Canvas() = default;

    const Pen &CurrentPen() const { return pen; }
    const Brush &CurrentBrush() const { return brush; }
    void SetPen(const Pen &p) { pen = p; }
    void SetBrush(const Brush &b) { brush = b; }
    void SetBrushKind(BrushKind kind) { brush.kind = kind; }

    void StrokeLine(PixelPoint from, PixelPoint to) { Line(pen, from, to); }
    void DrawRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
        Rect(pen, brush, left, top, right, bottom);
    }
    void StrokePolyline(std::span<const PixelPoint> points) { Polyline(pen, points); }
    void DrawPolygon(std::span<const PixelPoint> points) { Polygon(pen, brush, points); }
    // The same for `count` copies of one point (a shape smaller than its pixel), which a backend may know
    // to draw without the copies.
    void StrokeRepeatedPoint(PixelPoint point, std::size_t count) { RepeatedPolyline(pen, point, count); }
    void DrawRepeatedPointPolygon(PixelPoint point, std::size_t count) { RepeatedPolygon(pen, brush, point, count); }
    // One character (one or two Shift-JIS bytes) with its cell's top-left corner at `at`, in the pen's
    // colour on a transparent background. Leaves the brush hollow.
    void PutCharacter(PixelPoint at, std::string_view sjis, const FontSpec &font) {
        brush.kind = BrushKind::Hollow;
        Character(at, sjis, font, pen.color);
    }

protected:
    virtual void Line(const Pen &pen, PixelPoint from, PixelPoint to) = 0;
    virtual void Rect(const Pen &pen, const Brush &brush, std::int32_t left, std::int32_t top, std::int32_t right,
                      std::int32_t bottom) = 0;
    virtual void Polyline(const Pen &pen, std::span<const PixelPoint> points) = 0;
    virtual void Polygon(const Pen &pen, const Brush &brush, std::span<const PixelPoint> points) = 0;
    virtual void Character(PixelPoint at, std::string_view sjis, const FontSpec &font, Rgb color) = 0;
    virtual void RepeatedPolyline(const Pen &pen, PixelPoint point, std::size_t count) {
        copies.assign(count, point);
        Polyline(pen, copies);
    }
    virtual void RepeatedPolygon(const Pen &pen, const Brush &brush, PixelPoint point, std::size_t count) {
        copies.assign(count, point);
        Polygon(pen, brush, copies);
    }

private:
    Pen pen;
    Brush brush;
    std::vector<PixelPoint> copies;  // reused by the repeated points' default drawing
};

}  // namespace korvel
