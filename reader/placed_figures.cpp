// A block member placed by an insert as exact geometry of its own kind.
#include "reader/placed_figures.h"

#include <cmath>

#include "geom/extended.h"

namespace korvel {

namespace {

void PlacePoint(double &x, double &y, const BlockPlacement &insert) {
    const PlanePoint p = insert.Place(x, y);
    x = p.x;
    y = p.y;
}

bool SameMagnitude(const BlockTransform &t) { return std::fabs(t.scaleX) == std::fabs(t.scaleY); }

// The image of an ellipse's parameter frame under unequal scales: the curve c + w1 cos t + w2 sin t (before the
// insert's rotation) rewritten on its own axes u1 (the longer) and u2, the parameter shifted by phi.
ArcShape PlaceByAxes(const ArcShape &arc, const BlockTransform &t, PlanePoint centre) {
    const EllipseShape &e = arc.ellipse;
    const SineCosine tilt = SinCosE(e.tilt);
    const Extended r = e.radius, kr = Ext(e.flatness) * e.radius;
    const Extended w1x = t.scaleX * r * tilt.cosine, w1y = t.scaleY * r * tilt.sine;
    const Extended w2x = -t.scaleX * kr * tilt.sine, w2y = t.scaleY * kr * tilt.cosine;
    const Extended phi = std::atan2(2 * (w1x * w2x + w1y * w2y), (w1x * w1x + w1y * w1y) - (w2x * w2x + w2y * w2y)) / 2;
    const SineCosine p = SinCosE(phi);
    const Extended u1x = w1x * p.cosine + w2x * p.sine, u1y = w1y * p.cosine + w2y * p.sine;
    const Extended u2x = -w1x * p.sine + w2x * p.cosine, u2y = -w1y * p.sine + w2y * p.cosine;
    const Extended major = std::hypot(u1x, u1y), minor = std::hypot(u2x, u2y);
    ArcShape placed;
    placed.ellipse = {centre.x, centre.y, ToDouble(major), major == 0 ? 1.0 : ToDouble(minor / major),
                      ToDouble(std::atan2(u1y, u1x) + t.angle)};
    // The frame (u1, u2) turns as (w1, w2) does unless the map mirrors; then the parameter runs backwards.
    const bool mirrored = (w1x * w2y - w1y * w2x) < 0;
    placed.start = mirrored ? ToDouble(phi - arc.start) : ToDouble(arc.start - phi);
    placed.sweep = mirrored ? -arc.sweep : arc.sweep;
    return placed;
}

}  // namespace

ArcShape PlaceArc(const ArcShape &arc, const BlockPlacement &insert) {
    const BlockTransform &t = insert.Transform();
    const PlanePoint centre = insert.Place(arc.ellipse.cx, arc.ellipse.cy);
    if (!SameMagnitude(t)) return PlaceByAxes(arc, t, centre);
    // Equal magnitudes: a turn, or a mirror across the block's x axis, then a turn; sums and products in
    // extended precision, rounded once.
    ArcShape placed = arc;
    placed.ellipse.cx = centre.x;
    placed.ellipse.cy = centre.y;
    placed.ellipse.radius = ToDouble(Ext(arc.ellipse.radius) * std::fabs(t.scaleX));
    const Extended half = (t.scaleX < 0) ? Ext(kPi) : 0;  // (-1, -1) is a half turn; (-1, 1) a mirror and a half turn
    if ((t.scaleX < 0) == (t.scaleY < 0)) {
        placed.ellipse.tilt = ToDouble(Ext(arc.ellipse.tilt) + t.angle + half);
        return placed;
    }
    placed.ellipse.tilt = ToDouble(Ext(t.angle) + half - arc.ellipse.tilt);
    placed.start = -arc.start;
    placed.sweep = -arc.sweep;
    return placed;
}

bool PlaceFigure(TclpEntSen &member, const BlockPlacement &insert) {
    PlacePoint(member.startX, member.startY, insert);
    PlacePoint(member.endX, member.endY, insert);
    return true;
}

bool PlaceFigure(TclpEntEnko &member, const BlockPlacement &insert) {
    const ArcShape placed = PlaceArc(ArcOf(member), insert);
    member.centerX = placed.ellipse.cx;
    member.centerY = placed.ellipse.cy;
    member.radius = placed.ellipse.radius;
    member.flatness = placed.ellipse.flatness;
    member.tiltAngle = placed.ellipse.tilt;
    member.startAngle = placed.start;
    member.arcAngle = placed.sweep;
    return true;
}

bool PlaceFigure(TclpEntTen &member, const BlockPlacement &insert) {
    const BlockTransform &t = insert.Transform();
    PlacePoint(member.x, member.y, insert);
    if (IsSymbolPoint(member)) {
        member.rotation = ToDouble(Ext(member.rotation) + t.angle);
        member.scale = ToDouble(Ext(member.scale) * std::sqrt(std::fabs(Ext(t.scaleX) * t.scaleY)));
    }
    return true;
}

bool PlaceFigure(TclpEntSolid &member, const BlockPlacement &insert) {
    if (!IsArcSolid(member)) {
        PlacePoint(member.x1, member.y1, insert);
        PlacePoint(member.x2, member.y2, insert);
        PlacePoint(member.x3, member.y3, insert);
        PlacePoint(member.x4, member.y4, insert);
        return true;
    }
    const ArcSolidShape decoded = DecodeArcSolid(member);
    const bool band = IsBand(decoded), sameMagnitude = SameMagnitude(insert.Transform());
    // A kind-106 band's width is one length along both axes: under unequal scales its edges are no longer
    // such a band. A kind-105 band's inner edge is its outer ellipse scaled about the centre, which any
    // placement keeps: the placed inner radius is the placed radius at the same ratio.
    if (band && !sameMagnitude && (decoded.kind == 106 || decoded.arc.ellipse.radius == 0)) return false;
    const ArcShape placed = PlaceArc(decoded.arc, insert);
    double value = decoded.value;
    if (band && sameMagnitude) value = ToDouble(Ext(decoded.value) * std::fabs(insert.Transform().scaleX));
    else if (band) value = ToDouble(Ext(decoded.value) * placed.ellipse.radius / decoded.arc.ellipse.radius);
    EncodeArcSolid({decoded.kind, placed, value}, member);
    return true;
}

bool PlaceFigure(TclpEntSunpo &member, const BlockPlacement &insert) {
    PlaceFigure(member.line, insert);
    PlaceFigure(member.auxLine1, insert);
    PlaceFigure(member.auxLine2, insert);
    PlacePoint(member.label.startX, member.label.startY, insert);
    PlacePoint(member.label.endX, member.label.endY, insert);
    for (TclpEntTen *point : {&member.point1, &member.point2, &member.point3, &member.point4})
        PlaceFigure(*point, insert);
    return true;
}

}  // namespace korvel
