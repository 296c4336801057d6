// The rectangle each entity can mark.
#include "reader/entity_box.h"

#include <cmath>

#include "geom/extended.h"
#include "reader/drawing_rules.h"

namespace korvel {

namespace {

// A symbol marker's reach in its own units (the arrowhead's 7.5 and a little).
constexpr double kMarkerReach = 8;

double EllipseReach(double radius, double flatness) {
    return std::max(std::fabs(radius), std::fabs(radius * flatness));
}

}  // namespace

WorldBox BoxOf(const TclpEntSen &line) {
    WorldBox b;
    b.Add(line.startX, line.startY);
    b.Add(line.endX, line.endY);
    return b;
}

bool LineMeets(const TclpEntSen &line, const WorldBox &window) {
    if (!BoxOf(line).Meets(window)) return false;
    const Extended dx = Ext(line.endX) - line.startX, dy = Ext(line.endY) - line.startY;
    int above = 0, below = 0;
    for (const double x : {window.minX, window.maxX})
        for (const double y : {window.minY, window.maxY}) {
            const Extended u = Ext(x) - line.startX, v = Ext(y) - line.startY;
            const Extended side = dx * v - dy * u;
            const Extended margin = 1e-12L * (std::fabs(dx) + std::fabs(dy)) * (std::fabs(u) + std::fabs(v));
            above += side > margin;
            below += side < -margin;
        }
    return above < 4 && below < 4;
}

WorldBox BoxOf(const TclpEntEnko &arc) {
    WorldBox b;
    b.AddAround(arc.centerX, arc.centerY, EllipseReach(arc.radius, arc.flatness));
    return b;
}

WorldBox BoxOf(const TclpEntTen &point) {
    WorldBox b;
    b.AddAround(point.x, point.y, IsSymbolPoint(point) ? kMarkerReach * std::fabs(point.scale) : 0.0);
    return b;
}

WorldBox BoxOf(const TclpEntMoji &text) {
    // The characters are laid out along the baseline between its ends, centred on it: they reach past it by
    // no more than their height (rising or hanging) and a character's width and spacing.
    const double reach = std::fabs(text.sizeY) + 2 * std::fabs(text.sizeX) + std::fabs(text.spacing);
    WorldBox b;
    b.AddAround(text.startX, text.startY, reach);
    b.AddAround(text.endX, text.endY, reach);
    return b;
}

WorldBox BoxOf(const TclpEntSunpo &d) {
    WorldBox b;
    ForEachPartBox(d, [&](const WorldBox &part) { b.Add(part); });
    return b;
}

WorldBox BoxOf(const TclpEntSolid &s) {
    WorldBox b;
    if (IsArcSolid(s)) {
        const ArcSolidShape shape = DecodeArcSolid(s);
        const EllipseShape &e = shape.arc.ellipse;
        // A band's inner edge may be flattened otherwise than the outer one; its radius bounds it either way.
        b.AddAround(e.cx, e.cy, EllipseReach(e.radius, e.flatness) + (IsBand(shape) ? std::fabs(shape.value) : 0.0));
        return b;
    }
    b.Add(s.x1, s.y1);
    b.Add(s.x2, s.y2);
    b.Add(s.x3, s.y3);
    b.Add(s.x4, s.y4);
    return b;
}

WorldBox BoxOf(const TclpEntBlockDef &definition) {
    WorldBox b;
    const auto addAll = [&](const auto &members) {
        for (const auto &member : members)
            b.Add(BoxOf(member));
    };
    addAll(definition.lines);
    addAll(definition.arcs);
    addAll(definition.points);
    addAll(definition.texts);
    addAll(definition.dimensions);
    addAll(definition.solids);
    return b;
}

WorldBox PlacedBox(const WorldBox &local, const BlockPlacement &insert) {
    WorldBox placed;
    if (local.Empty()) return placed;
    const PlanePoint half{(local.maxX - local.minX) / 2, (local.maxY - local.minY) / 2};
    const PlanePoint middle{(local.minX + local.maxX) / 2, (local.minY + local.maxY) / 2};
    const QuickMap map = insert.QuickMapTo(0, 0, 1);
    const PlanePoint centre = map.At(middle), reach = map.Reach(half);
    // The quick map strays from the exact placement by at most its bound (infinite for an angle it could not
    // reduce: the box then covers everything).
    const PlanePoint extent{std::fabs(middle.x) + half.x, std::fabs(middle.y) + half.y};
    const double hair = insert.QuickMapBound(extent, 1);
    placed.Add(centre.x - reach.x - hair, centre.y - reach.y - hair);
    placed.Add(centre.x + reach.x + hair, centre.y + reach.y + hair);
    return placed;
}

}  // namespace korvel
