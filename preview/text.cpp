// A drawing's text in the preview: characters laid out one by one along the baseline, each with a font
// fitted to its cell; too small a text becomes its baseline, too tall a one an outline.
#include "preview/text.h"

#include <algorithm>
#include <cmath>

#include "geom/clip.h"
#include "geom/extended.h"
#include "geom/func.h"
#include "geom/plane.h"
#include "preview/draw_filter.h"
#include "reader/text_layout.h"

namespace korvel {

namespace {

PlanePoint Offset(PlanePoint from, const Rotation &direction, double u, double v) {
    const PlanePoint d = direction.Apply(u, v);
    return {ToDouble(Ext(from.x) + d.x), ToDouble(Ext(from.y) + d.y)};
}

bool InsideView(const PreviewView &v, PlanePoint p) {
    return PointOutsideWindow(p.x, p.y, v.minX, v.minY, v.maxX, v.maxY) == kClipInside;
}

// Whether a character's cell is drawn: the preview's rule, one of its corners inside; a view zoomed in may
// hold a character whose cell covers the whole window with every corner outside, so there the cell's box
// meeting the window decides.
bool CellShown(const PreviewSurface &surface, const PlanePoint (&corners)[4]) {
    const PreviewView &v = surface.view;
    if (!surface.atViewResolution) {
        for (const PlanePoint &corner : corners)
            if (InsideView(v, corner)) return true;
        return false;
    }
    WorldBox cell;
    for (const PlanePoint &corner : corners)
        cell.Add(corner.x, corner.y);
    // Drawing a part of the view, only the characters that reach it.
    if (surface.filter) return cell.Meets(surface.filter->window);
    return !(cell.maxX < v.minX || cell.minX > v.maxX || cell.maxY < v.minY || cell.minY > v.maxY);
}

}  // namespace

std::string FontFaceField(std::string_view fontName) {
    const std::size_t nul = fontName.find('\0');
    if (nul != std::string_view::npos) fontName = fontName.substr(0, nul);
    constexpr std::size_t kMaxFaceBytes = 31;
    std::size_t end = 0;
    while (end < fontName.size()) {
        const std::size_t next = end + SjisCharBytes(fontName, end);
        if (next > kMaxFaceBytes) break;
        end = next;
    }
    return std::string(fontName.substr(0, end));
}

void DrawPreviewText(PreviewSurface &surface, std::int32_t styleBits, double x1, double y1, double x2, double y2,
                     double h, double w, double s, std::string_view fontName, std::string_view text) {
    const std::size_t n = text.size();
    if (n == 0) return;
    const PreviewView &view = surface.view;
    const double length = Distance(x1, y1, x2, y2);
    const std::optional<TextLayout> laid = LayOutText(x1, y1, x2, y2, h, w, s, n);
    if (!laid || std::fabs(Ext(laid->h)) * view.scale < 2 || Ext(length) * view.scale < 2) {
        DrawWorldLine(surface, x1, y1, x2, y2);
        return;
    }
    const TextLayout &layout = *laid;
    const double a = layout.angle;
    h = layout.h;
    const Rotation &direction = layout.direction;
    const double advanceAll = ToDouble(Ext(n) * layout.perByte);
    PlanePoint anchor = layout.anchor;

    // A view zoomed in shows a text as characters until the canvases' largest font; the preview at 400 pixels.
    const double tallest = surface.atViewResolution ? 3000 : 400;
    if (Ext(h) * view.scale > tallest) {
        // The outline lies where the character cells would be.
        const PlanePoint corners[4] = {anchor, Offset(anchor, direction, advanceAll, 0),
                                       Offset(anchor, direction, advanceAll, -h), Offset(anchor, direction, 0, -h)};
        for (int i = 0; i < 4; i++) {
            const PlanePoint &from = corners[i], &to = corners[(i + 1) % 4];
            DrawWorldLine(surface, from.x, from.y, to.x, to.y);
        }
        return;
    }

    // The cell's downward edge, 90 degrees clockwise from the text direction.
    const SineCosine down = SinCosE(Ext(a) - kPi / 2);
    FontSpec font;
    font.height = NearestEven(Ext(h) * view.scale);
    font.escapement = NearestEven(Ext(a) * 1800 / kPi);
    font.weight = (styleBits & kTextBold) ? 700 : 400;
    font.italic = (styleBits & kTextItalic) != 0;
    font.face = FontFaceField(fontName);

    for (std::size_t pos = 0; pos < n;) {
        const std::size_t bytes = SjisCharBytes(text, pos);
        const bool wide = bytes == 2;
        const double cw = CellWidth(layout, wide);
        const double advance = CellAdvance(layout, wide);
        const PlanePoint p1{ToDouble(anchor.x + direction.cosine * cw), ToDouble(anchor.y + direction.sine * cw)};
        const PlanePoint p2{ToDouble(anchor.x + down.cosine * h), ToDouble(anchor.y + down.sine * h)};
        const PlanePoint p3{ToDouble(p1.x + (Ext(p2.x) - anchor.x)), ToDouble(p1.y + (Ext(p2.y) - anchor.y))};
        if (CellShown(surface, {anchor, p1, p2, p3})) {
            const std::int32_t cellWidth = NearestEven(Ext(cw) * view.scale);
            font.width = wide ? cellWidth / 2 : cellWidth;
            const PixelPoint at{NearestEven((Ext(anchor.x) - view.minX) * view.scale),
                                static_cast<std::int32_t>(
                                    static_cast<std::uint32_t>(view.height) -
                                    static_cast<std::uint32_t>(NearestEven((Ext(anchor.y) - view.minY) * view.scale)))};
            surface.canvas.PutCharacter(at, text.substr(pos, bytes), font);
        }
        anchor = {ToDouble(anchor.x + direction.cosine * advance), ToDouble(anchor.y + direction.sine * advance)};
        pos += bytes;
    }
}

}  // namespace korvel
