// The preview's canvas on Linux: a QImage drawn with the raster rules of the original surface.
#pragma once

#include <QFont>
#include <QImage>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/raster_canvas.h"

namespace korvel {

class QtCanvas final : public RasterCanvas {
public:
    QtCanvas(std::int32_t width, std::int32_t height);

    const QImage &Image() const { return image; }
    bool EncodePng(std::string &png) const override;
    Rgb PixelAt(std::int32_t x, std::int32_t y) const override;

protected:
    void Line(const Pen &pen, PixelPoint from, PixelPoint to) override;
    void Rect(const Pen &pen, const Brush &brush, std::int32_t left, std::int32_t top, std::int32_t right,
              std::int32_t bottom) override;
    void Polyline(const Pen &pen, std::span<const PixelPoint> points) override;
    void Polygon(const Pen &pen, const Brush &brush, std::span<const PixelPoint> points) override;
    void Character(PixelPoint at, std::string_view sjis, const FontSpec &font, Rgb color) override;
    void RepeatedPolyline(const Pen &pen, PixelPoint point, std::size_t count) override;
    void RepeatedPolygon(const Pen &pen, const Brush &brush, PixelPoint point, std::size_t count) override;

private:
    // A run of one-pixel segments sharing one dash pattern, each leaving out its end pixel.
    void StrokeThin(const Pen &pen, std::span<const PixelPoint> points, bool closed);
    void StrokeWide(const Pen &pen, std::span<const PixelPoint> points, bool closed);
    void Stroke(const Pen &pen, std::span<const PixelPoint> points, bool closed);
    void Fill(const Brush &brush, std::span<const PixelPoint> points);
    const QFont &FontFor(const FontSpec &description, int &ascent);

    // A polygon's edges, y0 < y1, and one row's crossings: kept to be reused by every fill.
    struct Edge {
        std::int64_t x0, y0, x1, y1;
    };
    std::vector<Edge> edges;
    std::vector<std::int64_t> crossings;

    QImage image;
    // The last character drawn while nothing else has been: the same character again at the same place in the
    // same font and colour sets the same pixels (no antialiasing), so a long text squeezed into a few pixels
    // draws each distinct cell once.
    struct DrawnCharacter {
        PixelPoint at;
        std::string sjis;
        Rgb color;
    };
    std::optional<DrawnCharacter> lastCharacter;
    std::optional<FontSpec> cachedDescription;  // the last character's font, reused while it stays the same
    QFont cachedFont;
    int cachedAscent = 0;
};

}  // namespace korvel
