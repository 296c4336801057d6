// Plane geometry of the preview: distance, the meeting point of two lines, an arc's tangent corner.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>

#include "geom/error_bounds.h"
#include "geom/extended.h"

namespace korvel {

// Pi as the drawing geometry uses it: the double 3.141592653589793.
constexpr double kPi = 3.141592653589793;

double Distance(double x1, double y1, double x2, double y2);

// What IntersectLines found.
enum LineMeeting : std::int32_t { kLinesParallel = 0, kMeetOnBoth = 1, kMeetOffSegment = 2 };

// The meeting point of the lines through segments A and B. Differences and slopes are compared with zero
// after quantising to 1e-12. On kLinesParallel (parallel, or both vertical) x and y are not written.
std::int32_t IntersectLines(double &x, double &y, double ax1, double ay1, double ax2, double ay2, double bx1,
                            double by1, double bx2, double by2);

// Where the tangents at the two ends of an elliptic arc meet (centre cx, cy; radius r; flatness k;
// start t0; signed sweep; tilt), tested in the ellipse's own frame; the centre when they do not meet.
void ArcTangentCorner(double cx, double cy, double r, double k, double t0, double sweep, double tilt, double &cornerX,
                      double &cornerY);

struct PlanePoint {
    double x = 0, y = 0;
};

// A rotation about the origin with its cosine and sine taken once; the same values as RotateX and RotateY
// with centre (0, 0).
struct Rotation {
    explicit Rotation(double angle);
    PlanePoint Apply(double x, double y) const;

    long double cosine, sine;
};

// The point of parameter t on the ellipse with centre (cx, cy), radius r, flatness k and the given tilt:
// (r cos t, k r sin t) rotated by the tilt and moved to the centre.
PlanePoint EllipsePoint(double cx, double cy, double r, double k, const Rotation &tilt, double t);
// The same with the sine and cosine of t already taken.
PlanePoint EllipsePointAt(double cx, double cy, double r, double k, const Rotation &tilt, const SineCosine &t);

// EllipsePoint's points computed in doubles only, each within Bound() drawing units of EllipsePoint's:
// a handful of roundings either way and double sines and cosines, against an allowance of 2^-36 of the
// ellipse's size. Not Sure() for a tilt or parameter the processor could not reduce (where the exact
// sine and cosine are 0), nor for sizes that overflow.
class QuickEllipse {
public:
    QuickEllipse(double cx, double cy, double r, double k, double tilt);

    // The same points in units of (x - originX) * scale, (y - originY) * scale, the bound with them.
    QuickEllipse Scaled(double originX, double originY, double scale) const;

    // The point whose parameter has this cosine and sine (each within a few 2^-53 of the exact ones).
    PlanePoint At(double cosine, double sine) const {
        return {x0 + xc * cosine + xs * sine, y0 + yc * cosine + ys * sine};
    }
    PlanePoint At(double t);

    bool Sure() const { return sure; }
    double Bound() const { return bound; }

    // The centre, and how far any point of the ellipse (for any parameter) lies from it on each axis.
    PlanePoint Centre() const { return {x0, y0}; }
    PlanePoint Reach() const { return {std::fabs(xc) + std::fabs(xs), std::fabs(yc) + std::fabs(ys)}; }

private:
    QuickEllipse() = default;

    // The centre and the images of the parameter's cosine and sine: the ellipse as one affine map.
    double x0 = 0, y0 = 0, xc = 0, xs = 0, yc = 0, ys = 0, bound = 0;
    bool sure = false;
};

// Whether a parameter is small enough for the double sine and cosine to stand for the exact ones.
inline bool QuickParameter(double t) { return std::fabs(t) < 0x1p52; }

// The box of a set of points: its centre and half size, and the largest |x| and |y|, each within a few
// roundings of the points' own (which the bounds of the quick placements cover). The extent is infinite
// when a point is not finite.
struct PointBox {
    PlanePoint centre, half, extent;
};
PointBox BoxOf(std::span<const PlanePoint> points);

// A placement followed by a move and a scale ((x - originX) * scale, (y - originY) * scale; to pixel units,
// say) as one affine map in doubles.
struct QuickMap {
    double xu = 0, xv = 0, x0 = 0, yu = 0, yv = 0, y0 = 0;

    PlanePoint At(PlanePoint p) const { return {xu * p.x + xv * p.y + x0, yu * p.x + yv * p.y + y0}; }
    // How far the images of a box's points lie from the image of its centre, on each axis.
    PlanePoint Reach(PlanePoint half) const {
        return {std::fabs(xu) * half.x + std::fabs(xv) * half.y, std::fabs(yu) * half.x + std::fabs(yv) * half.y};
    }
};

// How a block insert places a block-local point: scale, rotate about the origin, move, divide.
struct BlockTransform {
    double x = 0, y = 0, scaleX = 1, scaleY = 1, angle = 0, divisor = 1;
};

class BlockPlacement {
public:
    explicit BlockPlacement(const BlockTransform &t);
    PlanePoint Place(double u, double v) const;
    PlanePoint Place(PlanePoint p) const { return Place(p.x, p.y); }
    const BlockTransform &Transform() const { return transform; }

    // Place and a move and scale after it, in doubles (the angle's double sine and cosine, the divisor
    // folded into the coefficients). A block-local point at most `extent` from the block's origin on each
    // axis maps within QuickMapBound(extent, scale) of (Place(p) - origin) * scale, the roundings of the
    // origin's own term aside (see kQuickTermBound); infinite when the angle is one the processor could
    // not reduce.
    QuickMap QuickMapTo(double originX, double originY, double scale) const;
    double QuickMapBound(PlanePoint extent, double scale) const;

private:
    BlockTransform transform;
    // Taken when Place first needs it: the quick placements nearly always decide without it. (So a
    // placement is not to be shared between threads.)
    mutable std::optional<Rotation> rotation;
    double quickCosine, quickSine;
    bool quickAngle;
};

}  // namespace korvel
