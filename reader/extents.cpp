// The rectangle a drawing covers, from a fixed set of key points per entity kind.
#include "reader/extents.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "geom/bits_key.h"
#include "geom/extended.h"
#include "reader/drawing_rules.h"

namespace korvel {

namespace {

const double kAxisParameters[4] = {0, kPi / 2, kPi, ToDouble(3 * Ext(kPi) / 2)};

// Block members' ellipse key points in block-local coordinates, each computed once and placed by every
// insert of its block (the exact point does not depend on the insert until it is placed). Keyed by the
// values' bits; at most kMaxPoints kept.
class LocalKeyPoints {
public:
    using Key = BitsKey<7>;

    template <class Make>
    PlanePoint Find(const Key &key, Make make) {
        if (const auto found = points.find(key); found != points.end()) return found->second;
        const PlanePoint p = make();
        if (points.size() < kMaxPoints) points.emplace(key, p);
        return p;
    }

private:
    static constexpr std::size_t kMaxPoints = 1 << 20;
    std::unordered_map<Key, PlanePoint, BitsKeyHash> points;
};

// Adds points either directly or through one insert's placement.
class KeyPoints {
public:
    KeyPoints(DrawingExtents &e, const BlockPlacement *insert, LocalKeyPoints *local = nullptr)
        : extents(e), insert(insert), local(local) {}

    void Add(double x, double y) {
        if (!insert) return ExtendExtents(extents, x, y);
        // Members are placed in doubles first; exactly only when they may move the extents.
        double bound = 0;
        if (SurelyInside(insert->QuickPlace(x, y, bound), bound)) return;
        ExtendTransformed(extents, x, y, *insert);
    }

    void AddArc(const TclpEntEnko &a) {
        EllipseKeyPoints e(*this, EllipseOf(a));
        if (a.fullCircle != 0) {
            e.AddAxes();
            return;
        }
        e.Add(a.startAngle);
        e.Add(ToDouble(Ext(a.startAngle) + a.arcAngle));

        double s = ToDouble(Ext(a.startAngle) * 180 / kPi);
        if (!std::isfinite(s)) return;
        s = NormaliseDegrees(s);
        double w = ToDouble(Ext(a.arcAngle) * 180 / kPi);
        if (w < 0) {
            s = ToDouble(Ext(s) + w);
            w = -w;
            if (!std::isfinite(s)) return;
            s = NormaliseDegrees(s);
        }
        for (int q = 0; q < 4; q++) {
            double d;
            if (q == 0) {
                d = ToDouble(360 - Ext(s));
            } else {
                d = ToDouble(Ext(90.0 * q) - s);
                if (d < 0) d = ToDouble(Ext(d) + 360);
            }
            if (d <= w) e.Add(kAxisParameters[q]);
        }
    }

    void AddText(const TclpEntMoji &t) {
        Add(t.startX, t.startY);
        Add(t.endX, t.endY);
    }

    void AddLine(const TclpEntSen &l) {
        Add(l.startX, l.startY);
        Add(l.endX, l.endY);
    }

    void AddEntities(const EntityArrays &a) {
        for (const TclpEntSen &l : a.lines)
            AddLine(l);
        for (const TclpEntEnko &arc : a.arcs)
            AddArc(arc);
        for (const TclpEntTen &p : a.points)
            Add(p.x, p.y);
        for (const TclpEntMoji &t : a.texts)
            AddText(t);
        for (const TclpEntSunpo &d : a.dimensions) {
            AddLine(d.line);
            AddText(d.label);
            if (d.sxfMode != 0) {
                AddLine(d.auxLine1);
                AddLine(d.auxLine2);
            }
        }
        for (const TclpEntSolid &s : a.solids) {
            if (!IsArcSolid(s)) {
                Add(s.x1, s.y1);
                Add(s.x2, s.y2);
                Add(s.x3, s.y3);
                Add(s.x4, s.y4);
            } else {
                const EllipseShape &ellipse = DecodeArcSolid(s).arc.ellipse;
                Add(ellipse.cx, ellipse.cy);
                EllipseKeyPoints(*this, ellipse).AddAxes();
            }
        }
    }

private:
    // Whether the point, known to within `bound`, surely lies inside the extents, changing nothing.
    bool SurelyInside(PlanePoint p, double bound) const {
        return p.x - bound > extents.minX && p.x + bound < extents.maxX && p.y - bound > extents.minY &&
               p.y + bound < extents.maxY;
    }

    // An ellipse's key points: each first in doubles, and exactly (with the tilt's extended sine and
    // cosine, taken once) only when it may move the extents. Most do not.
    class EllipseKeyPoints {
    public:
        EllipseKeyPoints(KeyPoints &to, const EllipseShape &shape)
            : to(to),
              cx(shape.cx),
              cy(shape.cy),
              r(shape.radius),
              k(shape.flatness),
              tilt(shape.tilt),
              quick(cx, cy, r, k, tilt) {}

        void Add(double t) {
            // Inside a block a guess would be block-local: placement decides there (see KeyPoints::Add).
            if (!to.insert) {
                const PlanePoint guess = quick.At(t);
                if (quick.Sure() && to.SurelyInside(guess, quick.Bound())) return;
            }
            const auto exact = [&] {
                if (!rotation) rotation.emplace(tilt);
                return EllipsePoint(cx, cy, r, k, *rotation, t);
            };
            const PlanePoint p = to.local ? to.local->Find(BitsKeyOf<7>(0, {cx, cy, r, k, tilt, t}), exact) : exact();
            to.Add(p.x, p.y);
        }

        void AddAxes() {
            for (double t : kAxisParameters)
                Add(t);
        }

    private:
        KeyPoints &to;
        double cx, cy, r, k, tilt;
        QuickEllipse quick;
        std::optional<Rotation> rotation;
    };

    DrawingExtents &extents;
    const BlockPlacement *insert;
    LocalKeyPoints *local;
};

}  // namespace

void InitExtents(DrawingExtents &e, double x, double y) {
    e.minX = e.maxX = x;
    e.minY = e.maxY = y;
}

void ExtendExtents(DrawingExtents &e, double x, double y) {
    if (x < e.minX) e.minX = x;
    if (y < e.minY) e.minY = y;
    if (x > e.maxX) e.maxX = x;
    if (y > e.maxY) e.maxY = y;
}

void ExtendTransformed(DrawingExtents &e, double u, double v, const BlockPlacement &insert) {
    const PlanePoint p = insert.Place(u, v);
    ExtendExtents(e, p.x, p.y);
}

double NormaliseDegrees(double s) {
    // fmod is exact; the one addition of 360 rounds as the loop's last step would, and may reach 360.
    double r = std::fmod(s, 360.0);
    if (r < 0) r = ToDouble(Ext(r) + 360);
    if (r >= 360) r = ToDouble(Ext(r) - 360);
    return r;
}

DrawingExtents ComputeDrawingExtents(const DrawingStore &store) {
    DrawingExtents e;
    InitExtents(e, store.originX, store.originY);
    KeyPoints(e, nullptr).AddEntities(store);
    LocalKeyPoints local;
    ForEachPlacedInsert(store, [&](const TclpEntBlockDef &definition, const BlockPlacement &placement) {
        KeyPoints(e, &placement, &local).AddEntities(definition);
    });
    return e;
}

}  // namespace korvel
