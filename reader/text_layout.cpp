// How Jw_cad lays a text out along its baseline.
#include "reader/text_layout.h"

#include <cmath>

#include "geom/extended.h"
#include "geom/func.h"
#include "geom/plane.h"

namespace korvel {

namespace {

PlanePoint Offset(PlanePoint from, const Rotation &direction, double u, double v) {
    const PlanePoint d = direction.Apply(u, v);
    return {ToDouble(Ext(from.x) + d.x), ToDouble(Ext(from.y) + d.y)};
}

}  // namespace

std::optional<TextLayout> LayOutText(double x1, double y1, double x2, double y2, double h, double w, double s,
                                     std::size_t bytes) {
    const double length = Distance(x1, y1, x2, y2);
    if (bytes == 0 || std::fabs(h) < 1e-14 || length < 1e-14) return std::nullopt;
    double a = DirectionAngle(ToDouble(Ext(x2) - x1), ToDouble(Ext(y2) - y1));
    // A negative width runs the characters the other way.
    if (w < 0) {
        w = -w;
        s = -s;
        a = ToDouble(Ext(a) + kPi);
    }
    const bool hanging = h < 0;
    if (hanging) h = -h;

    // The cells fill the baseline unless their own width leaves room.
    double p = ToDouble(Ext(length) / bytes);
    if (w >= 0.2 && w < 2 * Ext(p) - s) {
        p = ToDouble((Ext(w) + s) / 2);
    } else {
        w = ToDouble(2 * Ext(p) - s);
        if (w < 0.1) {
            w = ToDouble(2 * Ext(p));
            s = 0;
        }
    }
    TextLayout layout{a, h, w, s, p, Rotation(a), {}};
    const PlanePoint middle{ToDouble((Ext(x1) + x2) / 2), ToDouble((Ext(y1) + y2) / 2)};
    layout.anchor = Offset(middle, layout.direction, ToDouble(-(Ext(bytes) * p) / 2), hanging ? 0.0 : h);
    return layout;
}

PlanePoint PointInText(const TextLayout &layout, double along, double up) {
    return Offset(layout.anchor, layout.direction, along, up);
}

double CellWidth(const TextLayout &layout, bool wide) { return wide ? layout.w : ToDouble(Ext(layout.w) / 2); }

double CellAdvance(const TextLayout &layout, bool wide) {
    return wide ? ToDouble(Ext(layout.w) + layout.s) : ToDouble((Ext(layout.w) + layout.s) / 2);
}

double CellsLength(const TextLayout &layout, std::string_view text) {
    Extended along = 0;
    bool wide = false;
    for (std::size_t pos = 0; pos < text.size();) {
        if (pos > 0) along += CellAdvance(layout, wide);
        const std::size_t bytes = SjisCharBytes(text, pos);
        wide = bytes == 2;
        pos += bytes;
    }
    return ToDouble(along + CellWidth(layout, wide));
}

}  // namespace korvel
