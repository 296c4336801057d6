// Region-code clipping of a segment against the preview's world window, in drawing units.
#include "geom/clip.h"

#include <cmath>

#include "geom/extended.h"

namespace korvel {

namespace {

struct ClipWindow {
    double minX, minY, maxX, maxY;
};

// One end of the segment, moved onto each edge line it lies beyond, in the fixed order. Every new
// coordinate comes from the first end's original position, never from an earlier move.
void ClipEnd(double &x, double &y, std::int32_t code, double ox, double oy, double dx, double dy, const ClipWindow &w) {
    const bool slopedX = std::fabs(dx) > kClipTolerance;
    const bool slopedY = std::fabs(dy) > kClipTolerance;
    const auto toVertical = [&](double edgeX) {
        x = edgeX;
        y = ToDouble((Ext(x) - ox) * dy / dx + oy);
        code = ClipOutcode(x, y, w.minX, w.minY, w.maxX, w.maxY);
    };
    const auto toHorizontal = [&](double edgeY) {
        y = edgeY;
        x = ToDouble((Ext(y) - oy) * dx / dy + ox);
        code = ClipOutcode(x, y, w.minX, w.minY, w.maxX, w.maxY);
    };
    if ((code & kClipLeft) && slopedX) toVertical(w.minX);
    if ((code & kClipRight) && slopedX) toVertical(w.maxX);
    if ((code & kClipBottom) && slopedY) toHorizontal(w.minY);
    if ((code & kClipTop) && slopedY) toHorizontal(w.maxY);
}

}  // namespace

std::int32_t ClipOutcode(double x, double y, double minX, double minY, double maxX, double maxY) {
    std::int32_t code = 0;
    if (Ext(x) - minX < kClipTolerance) code |= kClipLeft;
    if (Ext(x) - maxX > -kClipTolerance) code |= kClipRight;
    if (Ext(y) - minY < kClipTolerance) code |= kClipBottom;
    if (Ext(y) - maxY > -kClipTolerance) code |= kClipTop;
    return code;
}

std::int32_t PointOutsideWindow(double x, double y, double minX, double minY, double maxX, double maxY) {
    return ClipOutcode(x, y, minX, minY, maxX, maxY) == 0 ? kClipInside : kClipInvisible;
}

std::int32_t ClipSegment(double &x1, double &y1, double &x2, double &y2, double minX, double minY, double maxX,
                         double maxY) {
    const std::int32_t c1 = ClipOutcode(x1, y1, minX, minY, maxX, maxY);
    const std::int32_t c2 = ClipOutcode(x2, y2, minX, minY, maxX, maxY);
    if (c1 == 0 && c2 == 0) return kClipInside;
    if (c1 & c2) return kClipInvisible;
    const double ox = x1, oy = y1;
    const double dx = ToDouble(Ext(x2) - x1), dy = ToDouble(Ext(y2) - y1);
    const ClipWindow w{minX, minY, maxX, maxY};
    ClipEnd(x1, y1, c1, ox, oy, dx, dy, w);
    ClipEnd(x2, y2, c2, ox, oy, dx, dy, w);
    if (std::fabs(Ext(x2) - x1) < kClipTolerance && std::fabs(Ext(y2) - y1) < kClipTolerance) return kClipInvisible;
    return kClipMoved;
}

void ClipPolygon(const std::vector<PlanePoint> &polygon, double minX, double minY, double maxX, double maxY,
                 std::vector<PlanePoint> &out, std::vector<PlanePoint> &in) {
    out = polygon;
    // Each edge as: which coordinate it bounds, the bound, and whether points inside lie below it.
    const struct {
        bool onX;
        double bound;
        bool below;
    } edges[] = {{true, minX, false}, {true, maxX, true}, {false, minY, false}, {false, maxY, true}};
    for (const auto &edge : edges) {
        in.swap(out);
        out.clear();
        const auto coordinate = [&](PlanePoint p) { return edge.onX ? p.x : p.y; };
        const auto inside = [&](PlanePoint p) {
            return edge.below ? coordinate(p) <= edge.bound : coordinate(p) >= edge.bound;
        };
        const auto crossing = [&](PlanePoint a, PlanePoint b) {
            const double t = (edge.bound - coordinate(a)) / (coordinate(b) - coordinate(a));
            return edge.onX ? PlanePoint{edge.bound, a.y + (b.y - a.y) * t}
                            : PlanePoint{a.x + (b.x - a.x) * t, edge.bound};
        };
        for (std::size_t i = 0; i < in.size(); i++) {
            const PlanePoint from = in[(i + in.size() - 1) % in.size()], to = in[i];
            if (inside(to)) {
                if (!inside(from)) out.push_back(crossing(from, to));
                out.push_back(to);
            } else if (inside(from)) {
                out.push_back(crossing(from, to));
            }
        }
    }
}

}  // namespace korvel
