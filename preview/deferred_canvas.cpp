// A canvas that keeps its operations compactly and draws them later onto another canvas.
#include "preview/deferred_canvas.h"

#include <algorithm>

#include "files/large_pages.h"

namespace korvel {

void DeferredCanvas::Keep(Kind kind, const Pen &pen, const Brush &brush, std::span<const PixelPoint> kept,
                          std::size_t count) {
    // A part's points run to megabytes: on large pages they cost few page faults.
    GrowOnLargePages(operations, 1);
    GrowOnLargePages(points, kept.size());
    operations.push_back({kind, pen, brush, points.size(), count});
    points.insert(points.end(), kept.begin(), kept.end());
}

void DeferredCanvas::Line(const Pen &pen, PixelPoint from, PixelPoint to) {
    const PixelPoint ends[] = {from, to};
    Keep(Kind::Line, pen, CurrentBrush(), ends, 2);
}

void DeferredCanvas::Rect(const Pen &pen, const Brush &brush, std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom) {
    const PixelPoint corners[] = {{left, top}, {right, bottom}};
    Keep(Kind::Rect, pen, brush, corners, 2);
}

void DeferredCanvas::Polyline(const Pen &pen, std::span<const PixelPoint> vertices) {
    Keep(Kind::Polyline, pen, CurrentBrush(), vertices, vertices.size());
}

void DeferredCanvas::Polygon(const Pen &pen, const Brush &brush, std::span<const PixelPoint> vertices) {
    Keep(Kind::Polygon, pen, brush, vertices, vertices.size());
}

void DeferredCanvas::RepeatedPolyline(const Pen &pen, PixelPoint point, std::size_t count) {
    Keep(Kind::RepeatedPolyline, pen, CurrentBrush(), {&point, 1}, count);
}

void DeferredCanvas::RepeatedPolygon(const Pen &pen, const Brush &brush, PixelPoint point, std::size_t count) {
    Keep(Kind::RepeatedPolygon, pen, brush, {&point, 1}, count);
}

void DeferredCanvas::Character(PixelPoint at, std::string_view sjis, const FontSpec &font, Rgb) {
    // The colour is the pen's, which the replay sets again.
    // A text's wide and narrow characters differ in width only: its fonts are among the last two kept.
    std::size_t index = fonts.size();
    for (std::size_t back = 1; back <= std::min<std::size_t>(2, fonts.size()); back++)
        if (fonts[fonts.size() - back] == font) index = fonts.size() - back;
    if (index == fonts.size()) fonts.push_back(font);
    CharacterCell cell{
        at, {}, static_cast<std::uint8_t>(std::min<std::size_t>(sjis.size(), 2)), static_cast<std::uint32_t>(index)};
    sjis.copy(cell.sjis, cell.bytes);
    operations.push_back({Kind::Character, CurrentPen(), CurrentBrush(), characters.size(), 1});
    characters.push_back(cell);
}

void DeferredCanvas::Clear() {
    operations.clear();
    points.clear();
    characters.clear();
    fonts.clear();
}

void DeferredCanvas::ReplayOnto(Canvas &target) const {
    for (const Operation &op : operations) {
        target.SetPen(op.pen);
        target.SetBrush(op.brush);
        if (op.kind == Kind::Character) {
            const CharacterCell &cell = characters[op.first];
            target.PutCharacter(cell.at, {cell.sjis, cell.bytes}, fonts[cell.font]);
            continue;
        }
        const PixelPoint *p = points.data() + op.first;
        switch (op.kind) {
            case Kind::Line: target.StrokeLine(p[0], p[1]); break;
            case Kind::Rect: target.DrawRect(p[0].x, p[0].y, p[1].x, p[1].y); break;
            case Kind::Polyline: target.StrokePolyline({p, op.count}); break;
            case Kind::Polygon: target.DrawPolygon({p, op.count}); break;
            case Kind::RepeatedPolyline: target.StrokeRepeatedPoint(*p, op.count); break;
            case Kind::RepeatedPolygon: target.DrawRepeatedPointPolygon(*p, op.count); break;
            case Kind::Character: break;
        }
    }
}

}  // namespace korvel
