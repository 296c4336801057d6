// Where a measuring click snaps.
#include "preview/snap.h"

#include <cmath>

#include "geom/extended.h"
#include "reader/drawing_rules.h"

namespace korvel {

namespace {

class Nearest {
public:
    Nearest(PlanePoint at, double reach) : at(at), best(reach * reach) {}

    void Try(double x, double y) {
        const double dx = x - at.x, dy = y - at.y, d = dx * dx + dy * dy;
        if (d <= best) best = d, found = PlanePoint{x, y};
    }
    void TryLine(const TclpEntSen &l) {
        Try(l.startX, l.startY);
        Try(l.endX, l.endY);
        Try(l.startX / 2 + l.endX / 2, l.startY / 2 + l.endY / 2);
    }
    void TryArc(const TclpEntEnko &a) {
        Try(a.centerX, a.centerY);
        if (a.fullCircle != 0) return;
        const Rotation tilt(a.tiltAngle);
        for (const double t : {0.0, 0.5, 1.0}) {
            const PlanePoint p = EllipsePoint(a.centerX, a.centerY, a.radius, a.flatness, tilt,
                                              ToDouble(Ext(a.startAngle) + Ext(a.arcAngle) * t));
            Try(p.x, p.y);
        }
    }
    void TrySolid(const TclpEntSolid &s) {
        if (IsArcSolid(s)) {
            const EllipseShape &e = DecodeArcSolid(s).arc.ellipse;
            return Try(e.cx, e.cy);
        }
        Try(s.x1, s.y1);
        Try(s.x2, s.y2);
        Try(s.x3, s.y3);
        Try(s.x4, s.y4);
    }

    std::optional<PlanePoint> found;

private:
    PlanePoint at;
    double best;
};

// Each entity of one kind that is worth trying: those near, or all.
template <class Entity, class Try>
void EachShown(const std::vector<Entity> &entities, const EntitySelection *nearby, const HiddenLayers &hidden,
               Try &&attempt) {
    const auto one = [&](const Entity &e) {
        if (!OnHiddenLayer(hidden, e.base)) attempt(e);
    };
    if (!nearby) {
        for (const Entity &e : entities)
            one(e);
        return;
    }
    for (const std::uint32_t i : nearby->Of<Entity>())
        one(entities[i]);
}

}  // namespace

std::optional<PlanePoint> NearestKeyPoint(const DrawingStore &store, const EntitySelection *nearby,
                                          const HiddenLayers &hidden, PlanePoint at, double reach) {
    Nearest n(at, reach);
    EachShown(store.lines, nearby, hidden, [&](const TclpEntSen &l) { n.TryLine(l); });
    EachShown(store.arcs, nearby, hidden, [&](const TclpEntEnko &a) { n.TryArc(a); });
    EachShown(store.points, nearby, hidden, [&](const TclpEntTen &p) { n.Try(p.x, p.y); });
    EachShown(store.texts, nearby, hidden, [&](const TclpEntMoji &t) { n.Try(t.startX, t.startY); });
    EachShown(store.dimensions, nearby, hidden, [&](const TclpEntSunpo &d) { n.TryLine(d.line); });
    EachShown(store.solids, nearby, hidden, [&](const TclpEntSolid &s) { n.TrySolid(s); });
    EachShown(store.inserts, nearby, hidden, [&](const TclpEntBlock &b) { n.Try(b.x, b.y); });
    return n.found;
}

}  // namespace korvel
