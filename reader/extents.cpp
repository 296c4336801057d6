// The rectangle a drawing covers, from a fixed set of key points per entity kind.
#include "reader/extents.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "geom/extended.h"
#include "reader/drawing_rules.h"
#include "reader/text_layout.h"

namespace korvel {

namespace {

const double kAxisParameters[4] = {0, kPi / 2, kPi, ToDouble(3 * Ext(kPi) / 2)};

// Whether the point, known to within `bound`, surely lies inside the extents, changing nothing.
bool SurelyInside(const DrawingExtents &e, PlanePoint p, double bound) {
    return p.x - bound > e.minX && p.x + bound < e.maxX && p.y - bound > e.minY && p.y + bound < e.maxY;
}

// Adds key points: at top level to the extents, in a block definition to its list of exact block-local
// points (the same for every insert until placed).
class KeyPoints {
public:
    // `drawn`: an arc-shaped solid adds what it draws (an arc by its sweep) rather than its whole ellipse.
    KeyPoints(DrawingExtents &e, bool drawn) : extents(&e), drawn(drawn) {}
    KeyPoints(std::vector<PlanePoint> &local, bool drawn) : local(&local), drawn(drawn) {}
    // What each layer group shows, a text by its characters' cells; nothing of the hidden layers.
    KeyPoints(GroupExtents &groups, const HiddenLayers &hidden, bool cells)
        : groups(&groups), hidden(&hidden), drawn(true), cells(cells) {}

    void Add(double x, double y) {
        if (local) local->push_back({x, y});
        else if (groups) AddToGroup(x, y);
        else ExtendExtents(*extents, x, y);
    }

    // The extents of the group last entered.
    Shown &Entered() { return (*groups)[group]; }

    // Which group's extents the next points go to; false for an entity on a hidden layer.
    bool Enter(const TclpEntBase &base) {
        if (!groups) return true;
        group = base.layerGroup < kLayerGroups ? base.layerGroup : 0;
        return !OnHiddenLayer(*hidden, base);
    }

    void AddArc(const TclpEntEnko &a) {
        if (a.fullCircle != 0) EllipseKeyPoints(*this, EllipseOf(a)).AddAxes();
        else AddArc(ArcOf(a));
    }

    void AddArc(const ArcShape &a) {
        EllipseKeyPoints e(*this, a.ellipse);
        e.Add(a.start);
        e.Add(ToDouble(Ext(a.start) + a.sweep));

        double s = ToDouble(Ext(a.start) * 180 / kPi);
        if (!std::isfinite(s)) return;
        s = NormaliseDegrees(s);
        double w = ToDouble(Ext(a.sweep) * 180 / kPi);
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
        const std::optional<TextLayout> layout =
            cells ? LayOutText(t.startX, t.startY, t.endX, t.endY, t.sizeY, t.sizeX, t.spacing, t.text.size())
                  : std::nullopt;
        if (!layout) {
            Add(t.startX, t.startY);
            Add(t.endX, t.endY);
            return;
        }
        const double length = CellsLength(*layout, t.text);
        for (const double along : {0.0, length})
            for (const double up : {0.0, -layout->h}) {
                const PlanePoint corner = PointInText(*layout, along, up);
                Add(corner.x, corner.y);
            }
    }

    void AddLine(const TclpEntSen &l) {
        Add(l.startX, l.startY);
        Add(l.endX, l.endY);
    }

    template <template <class> class List>
    void AddEntities(const EntityLists<List> &a) {
        for (const TclpEntSen &l : a.lines)
            if (Enter(l.base)) AddLine(l);
        for (const TclpEntEnko &arc : a.arcs)
            if (Enter(arc.base)) AddArc(arc);
        for (const TclpEntTen &p : a.points)
            if (Enter(p.base)) Add(p.x, p.y);
        for (const TclpEntMoji &t : a.texts)
            if (Enter(t.base)) AddText(t);
        for (const TclpEntSunpo &d : a.dimensions) {
            if (!Enter(d.base)) continue;
            AddLine(d.line);
            AddText(d.label);
            if (d.sxfMode != 0) {
                AddLine(d.auxLine1);
                AddLine(d.auxLine2);
            }
        }
        for (const TclpEntSolid &s : a.solids) {
            if (!Enter(s.base)) continue;
            if (!IsArcSolid(s)) {
                Add(s.x1, s.y1);
                Add(s.x2, s.y2);
                Add(s.x3, s.y3);
                Add(s.x4, s.y4);
            } else if (drawn) {
                AddDrawnArcSolid(DecodeArcSolid(s));
            } else {
                const EllipseShape &ellipse = DecodeArcSolid(s).arc.ellipse;
                Add(ellipse.cx, ellipse.cy);
                EllipseKeyPoints(*this, ellipse).AddAxes();
            }
        }
    }

    void AddDrawnArcSolid(const ArcSolidShape &solid) {
        const EllipseShape &ellipse = solid.arc.ellipse;
        switch (FigureOf(solid, kArcSolidShapeTolerance)) {
            case ArcSolidFigure::WholeEllipse:
            case ArcSolidFigure::WholeOutline: EllipseKeyPoints(*this, ellipse).AddAxes(); return;
            case ArcSolidFigure::Sector:
                Add(ellipse.cx, ellipse.cy);
                AddArc(solid.arc);
                return;
            case ArcSolidFigure::Band: {
                AddArc(solid.arc);
                ArcShape inner = solid.arc;
                inner.ellipse.radius = solid.value;
                inner.ellipse.flatness = ToDouble(BandInnerFlatness(solid));
                AddArc(inner);
                return;
            }
            case ArcSolidFigure::Nothing: return;
            default: AddArc(solid.arc); return;
        }
    }

private:
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
            // A definition's points are block-local: they are kept exact, and its inserts' placements decide.
            if (to.extents) {
                const PlanePoint guess = quick.At(t);
                if (quick.Sure() && SurelyInside(*to.extents, guess, quick.Bound())) return;
            }
            if (!rotation) rotation.emplace(tilt);
            const PlanePoint p = EllipsePoint(cx, cy, r, k, *rotation, t);
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

    void AddToGroup(double x, double y) {
        if (!std::isfinite(x) || !std::isfinite(y)) return;
        Shown &shown = Entered();
        if (shown.any) ExtendExtents(shown.extents, x, y);
        else InitExtents(shown.extents, x, y);
        shown.any = true;
    }

    DrawingExtents *extents = nullptr;
    std::vector<PlanePoint> *local = nullptr;
    GroupExtents *groups = nullptr;
    const HiddenLayers *hidden = nullptr;
    std::size_t group = 0;
    bool drawn = false;
    bool cells = false;
};

// A definition's key points in block-local coordinates with their box, gathered once and placed by
// every insert of it; past kMaxPoints in all, gathered again for each insert.
class DefinitionKeyPoints {
public:
    struct Points {
        std::vector<PlanePoint> points;
        PointBox box;
    };

    explicit DefinitionKeyPoints(bool drawn) : drawn(drawn) {}

    const Points &Find(const TclpEntBlockDef &definition) {
        if (const auto found = kept.find(&definition); found != kept.end()) return found->second;
        Points gathered;
        KeyPoints(gathered.points, drawn).AddEntities(definition);
        gathered.box = BoxOf(gathered.points);
        if (total + gathered.points.size() > kMaxPoints) {
            uncached = std::move(gathered);
            return uncached;
        }
        total += gathered.points.size();
        return kept.emplace(&definition, std::move(gathered)).first->second;
    }

private:
    static constexpr std::size_t kMaxPoints = 1 << 20;
    std::unordered_map<const TclpEntBlockDef *, Points> kept;
    std::size_t total = 0;
    Points uncached;
    bool drawn;
};

// One insert's key points: placed in doubles first, the whole definition at once when its box surely
// lies inside, each point exactly only when it may move the extents.
void AddPlaced(DrawingExtents &e, const DefinitionKeyPoints::Points &local, const BlockPlacement &insert) {
    const QuickMap map = insert.QuickMapTo(0, 0, 1);
    const double bound = insert.QuickMapBound(local.box.extent, 1);
    const PlanePoint centre = map.At(local.box.centre), reach = map.Reach(local.box.half);
    if (SurelyInside(e, centre, std::max(reach.x, reach.y) + bound)) return;
    for (const PlanePoint &p : local.points)
        if (!SurelyInside(e, map.At(p), bound)) ExtendTransformed(e, p.x, p.y, insert);
}

}  // namespace

void InitExtents(DrawingExtents &e, double x, double y) {
    const bool kept = (std::isfinite(x) && std::isfinite(y)) || !e.finiteOnly;
    e.notFinite = kept ? 0 : 1;
    e.minX = e.maxX = kept ? x : 0;
    e.minY = e.maxY = kept ? y : 0;
}

void ExtendExtents(DrawingExtents &e, double x, double y) {
    if (e.finiteOnly && (!std::isfinite(x) || !std::isfinite(y))) {
        e.notFinite++;
        return;
    }
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

namespace {

DrawingExtents Extents(const DrawingStore &store, bool drawn) {
    DrawingExtents e;
    e.finiteOnly = drawn;
    InitExtents(e, store.originX, store.originY);
    KeyPoints(e, drawn).AddEntities(store);
    DefinitionKeyPoints definitions(drawn);
    ForEachPlacedInsert(store, [&](const TclpEntBlockDef &definition, const BlockPlacement &placement) {
        AddPlaced(e, definitions.Find(definition), placement);
    });
    return e;
}

}  // namespace

DrawingExtents ComputeDrawingExtents(const DrawingStore &store) { return Extents(store, false); }
DrawingExtents ComputeDrawnExtents(const DrawingStore &store) { return Extents(store, true); }

DrawingExtents ComputeShownExtents(const DrawingStore &store) {
    DrawingExtents e;
    InitExtents(e, store.originX, store.originY);
    for (const Shown &group : ComputeShownExtentsByGroup(store, HiddenInFile(store))) {
        if (!group.any) continue;
        ExtendExtents(e, group.extents.minX, group.extents.minY);
        ExtendExtents(e, group.extents.maxX, group.extents.maxY);
    }
    return e;
}

GroupExtents ComputeShownExtentsByGroup(const DrawingStore &store, const HiddenLayers &hidden) {
    GroupExtents groups;
    KeyPoints top(groups, hidden, true);
    top.AddEntities(store);
    DefinitionKeyPoints definitions(true);
    ForEachPlacedInsert(
        store, [&](const TclpEntBlockDef &definition, const BlockPlacement &placement, const TclpEntBlock &insert) {
            if (!top.Enter(insert.base)) return;
            const DefinitionKeyPoints::Points &local = definitions.Find(definition);
            // A group's first point starts its rectangle; the rest are placed the quick way.
            Shown &shown = top.Entered();
            for (std::size_t i = 0; i < local.points.size() && !shown.any; i++) {
                const PlanePoint placed = placement.Place(local.points[i].x, local.points[i].y);
                top.Add(placed.x, placed.y);
            }
            if (shown.any) AddPlaced(shown.extents, local, placement);
        });
    return groups;
}

}  // namespace korvel
