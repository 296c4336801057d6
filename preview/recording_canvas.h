// A canvas that keeps what was drawn, with the pen and brush in force, for tests and the draw-call trace.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "preview/canvas.h"

namespace korvel {

struct DrawOp {
    enum class Kind { Line, Rect, Polyline, Polygon, Text };
    Kind kind = Kind::Line;
    Pen pen;
    Brush brush;
    std::vector<PixelPoint> points;  // a rectangle's two corners, a line's two ends, or the vertices
    FontSpec font;                   // text only
    Rgb color;                       // text only
    std::string text;                // text only: the character's Shift-JIS bytes
};

// One line of the draw-call trace, without the line end:
//   line X1 Y1 X2 Y2 | pen RRGGBB STYLE WIDTH
//   rect X1 Y1 X2 Y2 | pen RRGGBB STYLE WIDTH | brush BRUSH
//   polyline N X0 Y0 ... | pen RRGGBB STYLE WIDTH
//   polygon N X0 Y0 ... | pen RRGGBB STYLE WIDTH | brush BRUSH
//   text X Y | font HEIGHT WIDTH ESCAPEMENT WEIGHT ITALIC "FACE" | color RRGGBB | "TEXT"
std::string TraceLine(const DrawOp &op);

class RecordingCanvas final : public Canvas {
public:
    using Consumer = std::function<void(const DrawOp &)>;

    // Without a consumer every operation is kept in `ops`; with one, each is handed over and not kept,
    // so a whole drawing can be traced in constant memory.
    RecordingCanvas() = default;
    explicit RecordingCanvas(Consumer consumer) : consumer(std::move(consumer)) {}

    std::vector<DrawOp> ops;

protected:
    void Line(const Pen &pen, PixelPoint from, PixelPoint to) override;
    void Rect(const Pen &pen, const Brush &brush, std::int32_t left, std::int32_t top, std::int32_t right,
              std::int32_t bottom) override;
    void Polyline(const Pen &pen, std::span<const PixelPoint> points) override;
    void Polygon(const Pen &pen, const Brush &brush, std::span<const PixelPoint> points) override;
    void Character(PixelPoint at, std::string_view sjis, const FontSpec &font, Rgb color) override;

private:
    DrawOp &Begin(DrawOp::Kind kind, const Pen &pen, const Brush &brush);
    void End();

    Consumer consumer;
    DrawOp scratch;  // reused when a consumer takes the operations
};

}  // namespace korvel
