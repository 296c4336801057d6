// Ellipses, arcs and circular solids as straight-line approximations through the world point buffer.
#include "preview/curves.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "geom/extended.h"
#include "preview/arc_walk.h"

namespace korvel {

namespace {

constexpr int kEllipseVertices = 72;
constexpr int kArcSteps = 72;

enum class HandOff { None, Fill, Stroke };

// Every whole ellipse walks the same parameters from 0 in 5 degree steps, so their sines and cosines
// are taken once.
const std::array<SineCosine, kArcSteps + 1> &FiveDegreeWalk() {
    static const std::array<SineCosine, kArcSteps + 1> walk = [] {
        std::array<SineCosine, kArcSteps + 1> w;
        double t = 0;
        for (SineCosine &sc : w) {
            sc = SinCosE(t);
            t = ToDouble(Ext(t) + kFiveDegrees);
        }
        return w;
    }();
    return walk;
}

// Appends the exact vertices to the world buffer, placed by an insert when the shape is a block member.
class VertexWriter {
public:
    VertexWriter(std::vector<PlanePoint> &out, const BlockPlacement *insert, double tilt)
        : out(out), insert(insert), tilt(tilt) {}

    void Add(PlanePoint p) { out.push_back(insert ? insert->Place(p) : p); }

    // `count` points from parameter 0 in 5 degree steps.
    void Ellipse(double cx, double cy, double r, double k, int count) {
        const auto &walk = FiveDegreeWalk();
        for (int i = 0; i < count; i++)
            Add(EllipsePointAt(cx, cy, r, k, tilt, walk[i]));
    }

    // The 73 points from t0 to t0 + sweep, in steps of sweep / 72.
    void Arc(double cx, double cy, double r, double k, double t0, double sweep) {
        Walk(cx, cy, r, k, t0, ArcStep(sweep));
    }

    // The same points walked back from the end: the inner edge of a band.
    void ArcBackwards(double cx, double cy, double r, double k, double t0, double sweep) {
        Walk(cx, cy, r, k, ToDouble(Ext(t0) + sweep), -ArcStep(sweep));
    }

    static double ArcStep(double sweep) { return ToDouble(Ext(sweep) / kArcSteps); }

private:
    void Walk(double cx, double cy, double r, double k, double t, double step) {
        for (int i = 0; i <= kArcSteps; i++) {
            Add(EllipsePoint(cx, cy, r, k, tilt, t));
            t = ToDouble(Ext(t) + step);
        }
    }

    std::vector<PlanePoint> &out;
    const BlockPlacement *insert;
    Rotation tilt;
};

// How many steps a view takes over `sweep` of an ellipse of radius `r` and flatness `k`, `pixelsPerUnit`
// pixels to a unit: each chord strays at most a quarter pixel from the curve.
int ViewSteps(double r, double k, double sweep, double pixelsPerUnit) {
    constexpr int kFewest = 8, kMost = 1 << 15;
    const double radius = std::max(std::fabs(r), std::fabs(r * k)) * pixelsPerUnit;
    if (!(radius > 0.5) || !std::isfinite(radius) || !std::isfinite(sweep)) return kFewest;
    const double step = 2 * std::acos(1 - 0.25 / radius);
    // A radius so large that a step rounds to 0 gives an infinite count, or none (0 / 0) for no sweep.
    const double steps = std::ceil(std::fabs(sweep) / step);
    if (!(steps > kFewest)) return kFewest;
    return steps < kMost ? static_cast<int>(steps) : kMost;
}

// A view's vertices: as many as its pixels need, in doubles (a pixel hides what extended precision adds),
// placed by the insert's map in doubles.
class ViewVertexWriter {
public:
    ViewVertexWriter(std::vector<PlanePoint> &out, const BlockPlacement *insert, double tilt, double pixelsPerUnit)
        : out(out), tilt{std::cos(tilt), std::sin(tilt)}, pixelsPerUnit(pixelsPerUnit) {
        if (insert) {
            map = insert->QuickMapTo(0, 0, 1);
            const BlockTransform &t = insert->Transform();
            this->pixelsPerUnit *= std::max(std::fabs(t.scaleX), std::fabs(t.scaleY)) / std::fabs(t.divisor);
        }
    }

    void Add(PlanePoint p) { out.push_back(map.At(p)); }

    // The whole ellipse, and as many more points as `count` is over kEllipseVertices (closing an outline).
    void Ellipse(double cx, double cy, double r, double k, int count) {
        const int steps = ViewSteps(r, k, 2 * kPi, pixelsPerUnit);
        Walk(cx, cy, r, k, 0, 2 * kPi / steps, steps + count - kEllipseVertices - 1);
    }
    void Arc(double cx, double cy, double r, double k, double t0, double sweep) {
        const int steps = ViewSteps(r, k, sweep, pixelsPerUnit);
        Walk(cx, cy, r, k, t0, sweep / steps, steps);
    }
    void ArcBackwards(double cx, double cy, double r, double k, double t0, double sweep) {
        const int steps = ViewSteps(r, k, sweep, pixelsPerUnit);
        Walk(cx, cy, r, k, t0 + sweep, -sweep / steps, steps);
    }

private:
    // The points at t, t + step, ... (steps + 1 of them), the parameter's pair turned step by step.
    void Walk(double cx, double cy, double r, double k, double t, double step, int steps) {
        PlanePoint at{std::cos(t), std::sin(t)};
        const PlanePoint turn{std::cos(step), std::sin(step)};
        for (int i = 0; i <= steps; i++) {
            const double u = r * at.x, v = r * k * at.y;
            Add({cx + u * tilt.x - v * tilt.y, cy + u * tilt.y + v * tilt.x});
            at = Turned(at, turn);
        }
    }

    std::vector<PlanePoint> &out;
    PlanePoint tilt;
    double pixelsPerUnit;
    QuickMap map{1, 0, 0, 0, 1, 0};
};

// The same vertices in doubles only, already in pixel units ((x - minX) * scale, (y - minY) * scale,
// before rounding), each within its ellipse's bound of the exact path's value (see QuickEllipse); the
// walk's sines and cosines come from one double sine and cosine turned step by step, which adds a few
// 2^-53 per turn. Sure() is false when a shape falls outside that reasoning.
class QuickVertexWriter {
public:
    QuickVertexWriter(std::vector<PixelPoint> &out, double tilt, const PreviewView &view)
        : out(view, out), tilt(tilt), view(view) {}

    void Add(PlanePoint p) { out.Add((p.x - view.minX) * view.scale, (p.y - view.minY) * view.scale, 0); }

    void Ellipse(double cx, double cy, double r, double k, int count) {
        static const std::array<PlanePoint, kArcSteps + 1> walk = [] {
            std::array<PlanePoint, kArcSteps + 1> w;
            for (int i = 0; i <= kArcSteps; i++)
                w[i] = {ToDouble(FiveDegreeWalk()[i].cosine), ToDouble(FiveDegreeWalk()[i].sine)};
            return w;
        }();
        const QuickEllipse e = Place(cx, cy, r, k);
        if (out.AddSame(count, e.Centre(), e.Reach(), e.Bound())) return;
        out.AddMany(count, e.Bound(), [&](int i) { return e.At(walk[i].x, walk[i].y); });
    }

    void Arc(double cx, double cy, double r, double k, double t0, double sweep) {
        Walk(Place(cx, cy, r, k), t0, VertexWriter::ArcStep(sweep));
    }

    void ArcBackwards(double cx, double cy, double r, double k, double t0, double sweep) {
        Walk(Place(cx, cy, r, k), ToDouble(Ext(t0) + sweep), -VertexWriter::ArcStep(sweep));
    }

    // Whether every vertex was written, within its bound of the exact one.
    bool Sure() const { return sure; }
    // Whether the pixels written are sure to be the exact path's (and, for strokes, all inside the window).
    bool Certain(bool strokes) const { return sure && out.Certain(strokes); }
    CertainPixelWriter &Pixels() { return out; }

private:
    QuickEllipse Place(double cx, double cy, double r, double k) {
        const QuickEllipse e = QuickEllipse(cx, cy, r, k, tilt).Scaled(view.minX, view.minY, view.scale);
        if (!e.Sure()) sure = false;
        return e;
    }

    // The exact walk's parameter is the running double sum t + step + step ...
    void Walk(const QuickEllipse &e, double t, double step) {
        // Every point of the walk lies within the ellipse's reach of its centre, whatever the
        // parameter, as long as it is a number.
        if (std::isfinite(t) && std::isfinite(step) && out.AddSame(kArcSteps + 1, e.Centre(), e.Reach(), e.Bound()))
            return;
        if (!QuickParameter(t)) {
            sure = false;
            return;
        }
        if (std::fabs(t) + (kArcSteps + 1) * std::fabs(step) < 8) {
            // Cosine and sine pairs; a turn by one step, and by two.
            const PlanePoint at{std::cos(t), std::sin(t)};
            const PlanePoint turn{std::cos(step), std::sin(step)};
            // Below 8 the parameter's roundings, at most 72 of 2^-51 each, stay far inside the bound. The
            // even and the odd points are turned by two steps each, in two independent chains.
            const PlanePoint twice = Turned(turn, turn);
            PlanePoint lanes[2] = {at, Turned(at, turn)};
            out.AddMany(kArcSteps + 1, e.Bound(), [&](int i) {
                PlanePoint &lane = lanes[i % 2];
                const PlanePoint p = e.At(lane.x, lane.y);
                lane = Turned(lane, twice);
                return p;
            });
            return;
        }
        DriftCorrectedWalk walk(t, step);
        out.AddMany(kArcSteps + 1, e.Bound(), [&](int) {
            const PlanePoint pair = walk.Next();
            return e.At(pair.x, pair.y);
        });
        if (!walk.Sure()) sure = false;
    }

    CertainPixelWriter out;
    double tilt;
    const PreviewView &view;
    bool sure = true;
};

// Hands the quick pixels `out` wrote to the canvas when `certain(strokes)` says they are the exact path's;
// false when the exact path must decide.
template <class Certain>
bool HandOverCertain(PreviewSurface &surface, HandOff how, CertainPixelWriter &out, Certain certain) {
    const bool strokes = how == HandOff::Stroke;
    // Too few vertices draw nothing either way.
    if (how == HandOff::None || out.Count() < (strokes ? 2u : 3u)) return true;
    // Strokes are clipped: only when every vertex is inside does clipping change nothing.
    if (!certain(strokes)) return false;
    Canvas &canvas = surface.canvas;
    if (const auto one = out.OnePixel())
        strokes ? canvas.StrokeRepeatedPoint(one->pixel, one->count)
                : canvas.DrawRepeatedPointPolygon(one->pixel, one->count);
    else strokes ? StrokePixelPoints(surface) : FillPixelPoints(surface);
    return true;
}

// A block member's exact block-local vertices placed in doubles (each within its bound of the exact
// placement, as block members' lines are) and handed over when the pixels are sure to be the exact path's;
// false when the exact placement must decide. A curve that lands inside one pixel is not placed vertex by
// vertex at all.
bool HandOverQuickPlaced(PreviewSurface &surface, HandOff how, const BlockCurveCache::Curve &local,
                         const BlockPlacement &insert) {
    const PreviewView &view = surface.view;
    const QuickMap map = insert.QuickMapTo(view.minX, view.minY, view.scale);
    const double bound = insert.QuickMapBound(local.box.extent, view.scale);
    const std::vector<PlanePoint> &vertices = local.vertices;
    const int count = static_cast<int>(vertices.size());
    std::vector<PixelPoint> &pixels = surface.pixelPoints.vertices;
    CertainPixelWriter out(view, pixels);
    if (!out.AddSame(count, map.At(local.box.centre), map.Reach(local.box.half), bound))
        out.AddMany(count, bound, [&](int i) { return map.At(vertices[static_cast<std::size_t>(i)]); });
    const bool drawn = HandOverCertain(surface, how, out, [&](bool strokes) { return out.Certain(strokes); });
    pixels.clear();
    return drawn;
}

void HandOver(PreviewSurface &surface, HandOff how) {
    if (how == HandOff::Fill) FillWorldPoints(surface);
    else if (how == HandOff::Stroke) StrokeWorldPoints(surface);
}

// Draws the vertices `write` gives: in doubles when that is sure to draw the same pixels, which it
// nearly always is, else through the exact path. A block member's vertices are computed exactly in
// block-local coordinates (once, when a cache is at hand) and then placed in doubles when that decides.
template <class Write>
void DrawCurve(PreviewSurface &surface, const BlockPlacement *insert, double tilt, const BlockCurveCache::Key &key,
               Write write) {
    std::vector<PlanePoint> &world = surface.worldPoints.vertices;
    world.clear();
    if (surface.atViewResolution) {
        ViewVertexWriter fine(world, insert, tilt, surface.view.scale);
        HandOver(surface, write(fine));
        world.clear();
        return;
    }
    if (!insert) {
        QuickVertexWriter quick(surface.pixelPoints.vertices, tilt, surface.view);
        const HandOff how = write(quick);
        const bool drawn = quick.Sure() && HandOverCertain(surface, how, quick.Pixels(),
                                                           [&](bool strokes) { return quick.Certain(strokes); });
        surface.pixelPoints.vertices.clear();
        if (drawn) return;
    } else if (surface.blockCurves) {
        const BlockCurveCache::Curve &local = surface.blockCurves->Find(key, [&] {
            BlockCurveCache::Curve curve;
            VertexWriter unplaced(curve.vertices, nullptr, tilt);
            curve.handOff = static_cast<int>(write(unplaced));
            curve.box = BoxOf(curve.vertices);
            return curve;
        });
        if (HandOverQuickPlaced(surface, static_cast<HandOff>(local.handOff), local, *insert)) return;
        for (const PlanePoint &p : local.vertices)
            world.push_back(insert->Place(p));
        HandOver(surface, static_cast<HandOff>(local.handOff));
        world.clear();
        return;
    }
    VertexWriter exact(world, insert, tilt);
    HandOver(surface, write(exact));
    world.clear();
}

void Ellipse(PreviewSurface &surface, double cx, double cy, double r, double k, double tilt,
             const BlockPlacement *insert) {
    DrawCurve(surface, insert, tilt, BitsKeyOf<10>(1, {cx, cy, r, k, tilt}), [&](auto &out) {
        out.Ellipse(cx, cy, r, k, kEllipseVertices);
        return HandOff::Fill;
    });
}

void EllipseArc(PreviewSurface &surface, double cx, double cy, double r, double k, double tilt, double t0, double sweep,
                const BlockPlacement *insert) {
    DrawCurve(surface, insert, tilt, BitsKeyOf<10>(2, {cx, cy, r, k, tilt, t0, sweep}), [&](auto &out) {
        out.Arc(cx, cy, r, k, t0, sweep);
        return HandOff::Stroke;
    });
}

// Writes the circular solid's vertices and says how they are drawn.
template <class Writer>
HandOff ArcSolidVertices(Writer &out, const ArcSolidShape &solid) {
    const EllipseShape &e = solid.arc.ellipse;
    const double cx = e.cx, cy = e.cy, r = e.radius, k = e.flatness, t0 = solid.arc.start, sweep = solid.arc.sweep;
    switch (FigureOf(solid, kArcSolidShapeTolerance)) {
        case ArcSolidFigure::WholeEllipse: out.Ellipse(cx, cy, r, k, kEllipseVertices); return HandOff::Fill;
        case ArcSolidFigure::Sector:
            out.Arc(cx, cy, r, k, t0, sweep);
            out.Add({cx, cy});
            return HandOff::Fill;
        case ArcSolidFigure::Segment: out.Arc(cx, cy, r, k, t0, sweep); return HandOff::Fill;
        case ArcSolidFigure::TangentCorner: {
            out.Arc(cx, cy, r, k, t0, sweep);
            PlanePoint corner;
            ArcTangentCorner(cx, cy, r, k, t0, sweep, e.tilt, corner.x, corner.y);
            out.Add(corner);
            return HandOff::Fill;
        }
        case ArcSolidFigure::WholeOutline: out.Ellipse(cx, cy, r, k, kArcSteps + 1); return HandOff::Stroke;
        case ArcSolidFigure::OutlineArc: out.Arc(cx, cy, r, k, t0, sweep); return HandOff::Stroke;
        case ArcSolidFigure::Band:
            out.Arc(cx, cy, r, k, t0, sweep);
            out.ArcBackwards(cx, cy, solid.value, ToDouble(BandInnerFlatness(solid)), t0, sweep);
            return HandOff::Fill;
        case ArcSolidFigure::Nothing: return HandOff::None;
    }
    return HandOff::None;
}

}  // namespace

const BlockCurveCache::Curve &BlockCurveCache::Find(const Key &key, const std::function<Curve()> &make) {
    if (const auto found = curves.find(key); found != curves.end()) return found->second;
    Curve curve = make();
    if (points + curve.vertices.size() > kMaxPoints) {
        uncached = std::move(curve);
        return uncached;
    }
    points += curve.vertices.size();
    return curves.emplace(key, std::move(curve)).first->second;
}

void DrawEllipse(PreviewSurface &surface, const EllipseShape &e, const BlockPlacement *insert) {
    Ellipse(surface, e.cx, e.cy, e.radius, e.flatness, e.tilt, insert);
}

void DrawEllipseArc(PreviewSurface &surface, const ArcShape &a, const BlockPlacement *insert) {
    const EllipseShape &e = a.ellipse;
    EllipseArc(surface, e.cx, e.cy, e.radius, e.flatness, e.tilt, a.start, a.sweep, insert);
}

void DrawArcSolid(PreviewSurface &surface, const ArcSolidShape &s, const BlockPlacement *insert) {
    const EllipseShape &e = s.arc.ellipse;
    DrawCurve(surface, insert, e.tilt,
              BitsKeyOf<10>(3 + std::uint64_t{s.kind},
                            {e.cx, e.cy, e.radius, e.flatness, e.tilt, s.arc.start, s.arc.sweep, s.value}),
              [&](auto &out) { return ArcSolidVertices(out, s); });
}

}  // namespace korvel
