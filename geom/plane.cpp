// Plane geometry of the preview: distance, the meeting point of two lines, an arc's tangent corner.
#include "geom/plane.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "geom/error_bounds.h"
#include "geom/extended.h"
#include "geom/func.h"

namespace korvel {

namespace {

constexpr double kQuantum = 1e-12;

// Rounds to a multiple of 1e-12 the way the slope tests expect: -1.5e-12 < v < 0.5e-12 becomes 0.
double Quantise(Extended v) { return ToDouble(std::trunc(v / kQuantum + 0.5L) * kQuantum); }

bool WithinRange(double v, double a, double b) {
    return Ext(v) >= Ext(std::min(a, b)) - kQuantum && Ext(v) <= Ext(std::max(a, b)) + kQuantum;
}

}  // namespace

double Distance(double x1, double y1, double x2, double y2) {
    const Extended dx = Ext(x2) - x1, dy = Ext(y2) - y1;
    return ToDouble(std::sqrt(dx * dx + dy * dy));
}

std::int32_t IntersectLines(double &x, double &y, double ax1, double ay1, double ax2, double ay2, double bx1,
                            double by1, double bx2, double by2) {
    const double dA = Quantise(Ext(ax1) - ax2);
    const double dB = Quantise(Ext(bx1) - bx2);
    if (dA == 0 && dB == 0) return kLinesParallel;
    if (dA == 0) {
        const double mB = ToDouble((Ext(by2) - by1) / (Ext(bx2) - bx1));
        x = ax1;
        y = ToDouble((Ext(ax1) - bx1) * mB + by1);
    } else if (dB == 0) {
        const double mA = ToDouble((Ext(ay2) - ay1) / (Ext(ax2) - ax1));
        x = bx1;
        y = ToDouble((Ext(bx1) - ax1) * mA + ay1);
    } else {
        const double mA = ToDouble((Ext(ay2) - ay1) / (Ext(ax2) - ax1));
        const double cA = ToDouble(-Ext(mA) * ax1 + ay1);
        const double mB = ToDouble((Ext(by2) - by1) / (Ext(bx2) - bx1));
        const double cB = ToDouble(-Ext(mB) * bx1 + by1);
        if (Quantise(Ext(mA) - mB) == 0) return kLinesParallel;
        x = ToDouble((Ext(cB) - cA) / (Ext(mA) - mB));
        y = ToDouble(Ext(mA) * x + cA);
    }
    // Min and max of two doubles are exact, so the range tests compare against the stored ends.
    if (!WithinRange(x, ax1, ax2) || !WithinRange(y, ay1, ay2)) return kMeetOffSegment;
    if (!WithinRange(x, bx1, bx2) || !WithinRange(y, by1, by2)) return kMeetOffSegment;
    return kMeetOnBoth;
}

void ArcTangentCorner(double cx, double cy, double r, double k, double t0, double sweep, double tilt, double &cornerX,
                      double &cornerY) {
    const double t1 = ToDouble(Ext(t0) + sweep);
    const double sx = ToDouble(Ext(r) * CosE(t0)), sy = ToDouble(Ext(k) * r * SinE(t0));
    const double ex = ToDouble(Ext(r) * CosE(t1)), ey = ToDouble(Ext(k) * r * SinE(t1));
    const double sx2 = ToDouble(sx + Ext(r) * CosE(Ext(t0) + kPi / 2));
    const double sy2 = ToDouble(sy + Ext(k) * r * SinE(Ext(t0) + kPi / 2));
    const double ex2 = ToDouble(ex + Ext(r) * CosE(Ext(t1) - kPi / 2));
    const double ey2 = ToDouble(ey + Ext(k) * r * SinE(Ext(t1) - kPi / 2));
    double ux = 0, uy = 0;
    if (IntersectLines(ux, uy, sx, sy, sx2, sy2, ex, ey, ex2, ey2) == kLinesParallel) ux = uy = 0;
    cornerX = ToDouble(Ext(cx) + RotateX(ux, uy, 0, 0, tilt));
    cornerY = ToDouble(Ext(cy) + RotateY(ux, uy, 0, 0, tilt));
}

static_assert(std::is_same_v<Extended, long double>);

Rotation::Rotation(double angle) {
    const SineCosine sc = SinCosE(angle);
    cosine = sc.cosine;
    sine = sc.sine;
}

PlanePoint Rotation::Apply(double x, double y) const {
    // Written as RotateX and RotateY are, centre included, so both give the same doubles.
    return {ToDouble(0.0L + cosine * (Ext(x) - 0.0L) - sine * (Ext(y) - 0.0L)),
            ToDouble(0.0L + sine * (Ext(x) - 0.0L) + cosine * (Ext(y) - 0.0L))};
}

PlanePoint EllipsePoint(double cx, double cy, double r, double k, const Rotation &tilt, double t) {
    return EllipsePointAt(cx, cy, r, k, tilt, SinCosE(t));
}

PlanePoint EllipsePointAt(double cx, double cy, double r, double k, const Rotation &tilt, const SineCosine &t) {
    const double lx = ToDouble(Ext(r) * t.cosine);
    const double ly = ToDouble(Ext(k) * r * t.sine);
    const PlanePoint d = tilt.Apply(lx, ly);
    return {ToDouble(Ext(cx) + d.x), ToDouble(Ext(cy) + d.y)};
}

QuickEllipse::QuickEllipse(double cx, double cy, double r, double k, double tilt) {
    const double kr = k * r, cosine = std::cos(tilt), sine = std::sin(tilt);
    x0 = cx, xc = cosine * r, xs = -sine * kr;
    y0 = cy, yc = sine * r, ys = cosine * kr;
    bound = kQuickTermBound * (std::fabs(cx) + std::fabs(cy) + 4 * (std::fabs(r) + std::fabs(kr)));
    sure = QuickParameter(tilt) && std::isfinite(bound);
}

QuickEllipse QuickEllipse::Scaled(double originX, double originY, double scale) const {
    // Each scaled term carries one more rounding, of at most 2^-52 of itself.
    QuickEllipse e;
    e.x0 = (x0 - originX) * scale, e.xc = xc * scale, e.xs = xs * scale;
    e.y0 = (y0 - originY) * scale, e.yc = yc * scale, e.ys = ys * scale;
    e.bound = (bound + (std::fabs(originX) + std::fabs(originY)) * kQuickScaleBound) * scale;
    e.sure = sure && std::isfinite(e.bound);
    return e;
}

PlanePoint QuickEllipse::At(double t) {
    if (!QuickParameter(t)) sure = false;
    return At(std::cos(t), std::sin(t));
}

BlockPlacement::BlockPlacement(const BlockTransform &t)
    : transform(t), quickCosine(std::cos(t.angle)), quickSine(std::sin(t.angle)), quickAngle(QuickParameter(t.angle)) {}

PointBox BoxOf(std::span<const PlanePoint> points) {
    if (points.empty()) return {};
    PlanePoint low = points.front(), high = low;
    bool finite = true;
    for (const PlanePoint &p : points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y)};
        finite &= std::isfinite(p.x) && std::isfinite(p.y);
    }
    PointBox box;
    box.centre = {(low.x + high.x) / 2, (low.y + high.y) / 2};
    box.half = {std::max(high.x - box.centre.x, box.centre.x - low.x),
                std::max(high.y - box.centre.y, box.centre.y - low.y)};
    // min and max pass over a NaN: an infinite extent leaves such points to the exact placement.
    box.extent = finite ? PlanePoint{std::max(std::fabs(low.x), std::fabs(high.x)),
                                     std::max(std::fabs(low.y), std::fabs(high.y))}
                        : PlanePoint{INFINITY, INFINITY};
    return box;
}

QuickMap BlockPlacement::QuickMapTo(double originX, double originY, double scale) const {
    const BlockTransform &t = transform;
    const double perDivisor = scale / t.divisor;
    return {quickCosine * t.scaleX * perDivisor, -quickSine * t.scaleY * perDivisor,
            (t.x / t.divisor - originX) * scale, quickSine * t.scaleX * perDivisor,
            quickCosine * t.scaleY * perDivisor, (t.y / t.divisor - originY) * scale};
}

double BlockPlacement::QuickMapBound(PlanePoint extent, double scale) const {
    const BlockTransform &t = transform;
    const double size =
        std::fabs(t.x) + std::fabs(t.y) + extent.x * std::fabs(t.scaleX) + extent.y * std::fabs(t.scaleY);
    const double bound = quickAngle ? kQuickTermBound * size / std::fabs(t.divisor) * scale : INFINITY;
    return std::isfinite(bound) ? bound : INFINITY;
}

PlanePoint BlockPlacement::Place(double u, double v) const {
    if (!rotation) rotation.emplace(transform.angle);
    const PlanePoint d = rotation->Apply(ToDouble(Ext(u) * transform.scaleX), ToDouble(Ext(v) * transform.scaleY));
    return {ToDouble((Ext(transform.x) + d.x) / transform.divisor),
            ToDouble((Ext(transform.y) + d.y) / transform.divisor)};
}

}  // namespace korvel
