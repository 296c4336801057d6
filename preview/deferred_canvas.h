// A canvas that keeps its operations compactly, with the pen and brush in force, to draw them later onto
// another canvas: the preview of a large drawing is drawn in parts side by side and replayed in order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "preview/canvas.h"

namespace korvel {

class DeferredCanvas final : public Canvas {
public:
    // Draws every kept operation onto `target` in order, each with its own pen and brush.
    void ReplayOnto(Canvas &target) const;
    // Forgets the operations, keeping the room they took.
    void Clear();

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
    enum class Kind : std::uint8_t { Line, Rect, Polyline, Polygon, Character, RepeatedPolyline, RepeatedPolygon };
    // `first` indexes `points` (a line's two ends, a rectangle's two corners, the vertices, the repeated
    // point) or, for a character, `characters`; `count` is how many points, or how many copies of one.
    struct Operation {
        Kind kind;
        Pen pen;
        Brush brush;
        std::size_t first = 0, count = 0;
    };
    // A character's one or two bytes, and its font as an index into `fonts` (a text's characters share one).
    struct CharacterCell {
        PixelPoint at;
        char sjis[2];
        std::uint8_t bytes;
        std::uint32_t font;
    };

    void Keep(Kind kind, const Pen &pen, const Brush &brush, std::span<const PixelPoint> kept, std::size_t count);

    std::vector<Operation> operations;
    std::vector<PixelPoint> points;
    std::vector<CharacterCell> characters;
    std::vector<FontSpec> fonts;
};

}  // namespace korvel
