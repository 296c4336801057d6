// The preview's canvas on Linux: a QImage drawn with the raster rules of the original surface.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/raster_canvas.h"

namespace korvel {

class QtCanvas final : public RasterCanvas {
public:
    QtCanvas(std::int32_t width, std::int32_t height);
    // Drawing over a copy of `picture` (made when first drawn on).
    explicit QtCanvas(const QImage &picture);

    const QImage &Image() const { return image; }
    // Only the pixels of `region` are set from now on (all of the image's when it is empty): a part of a
    // view drawn in the whole image's pixels costs no more than the part.
    void KeepOnly(const QRect &region) { kept = region.isEmpty() ? image.rect() : region & image.rect(); }
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
    // `description`'s face is the family drawn (UTF-8), not Jw_cad's name.
    const QFont &FontFor(const FontSpec &description, int &ascent);
    // Draws one character with the cell's corner at the painter's origin.
    void PaintCharacter(QPainter &painter, const QFont &qfont, int ascent, std::string_view sjis,
                        std::int32_t escapement, const QColor &color);
    // The pixels a small character sets, from its cell's corner; null for a character too large to keep.
    const std::vector<QPoint> *GlyphPixels(std::string_view sjis, const FontSpec &font);

    // A polygon's edges, y0 < y1, and one row's crossings: kept to be reused by every fill.
    struct Edge {
        std::int64_t x0, y0, x1, y1;
    };
    std::vector<Edge> edges;
    std::vector<std::int64_t> crossings;

    QImage image;
    QRect kept;  // the pixels that may be set
    // The last character drawn while nothing else has been: the same character again at the same place in the
    // same font and colour sets the same pixels (no antialiasing), so a long text squeezed into a few pixels
    // draws each distinct cell once.
    struct DrawnCharacter {
        PixelPoint at;
        std::string sjis;
        Rgb color;
    };
    std::optional<DrawnCharacter> lastCharacter;
    struct GlyphKey {
        FontSpec font;
        std::string sjis;
        bool operator==(const GlyphKey &) const = default;
    };
    struct GlyphKeyHash {
        std::size_t operator()(const GlyphKey &k) const {
            const FontSpec &f = k.font;
            return std::hash<std::string>()(k.sjis) ^ std::hash<std::string>()(f.face) ^
                   (std::size_t(f.height) * 73856093u) ^ (std::size_t(f.width) * 19349663u) ^
                   (std::size_t(f.escapement) * 83492791u) ^ std::size_t(f.weight) ^ std::size_t(f.italic) << 20;
        }
    };
    std::unordered_map<GlyphKey, std::vector<QPoint>, GlyphKeyHash> glyphs;
    std::optional<FontSpec> cachedDescription;  // the last character's font, reused while it stays the same
    QFont cachedFont;
    int cachedAscent = 0;
};

}  // namespace korvel
