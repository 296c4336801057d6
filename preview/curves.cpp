// Ellipses, arcs and circular solids as straight-line approximations through the world point buffer.
#include "preview/curves.h"

#include <array>
#include <cmath>
#include <vector>

#include "geom/extended.h"

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

// Appends vertices to the world buffer, placed by an insert when the shape is a block member.
class VertexWriter {
public:
    VertexWriter(std::vector<PlanePoint> &out, const BlockPlacement *insert) : out(out), insert(insert) {}

    void Add(PlanePoint p) { out.push_back(insert ? insert->Place(p) : p); }

    // `count` points from parameter 0 in 5 degree steps.
    void Ellipse(double cx, double cy, double r, double k, const Rotation &tilt, int count) {
        const auto &walk = FiveDegreeWalk();
        for (int i = 0; i < count; i++)
            Add(EllipsePointAt(cx, cy, r, k, tilt, walk[i]));
    }

    // The 73 points from t0 to t0 + sweep, in steps of sweep / 72.
    void Arc(double cx, double cy, double r, double k, const Rotation &tilt, double t0, double sweep) {
        const double step = ToDouble(Ext(sweep) / kArcSteps);
        double t = t0;
        for (int i = 0; i <= kArcSteps; i++) {
            Add(EllipsePoint(cx, cy, r, k, tilt, t));
            t = ToDouble(Ext(t) + step);
        }
    }

    // The same points walked back from the end: the inner edge of a band.
    void ArcBackwards(double cx, double cy, double r, double k, const Rotation &tilt, double t0, double sweep) {
        const double step = ToDouble(Ext(sweep) / kArcSteps);
        double t = ToDouble(Ext(t0) + sweep);
        for (int i = 0; i <= kArcSteps; i++) {
            Add(EllipsePoint(cx, cy, r, k, tilt, t));
            t = ToDouble(Ext(t) - step);
        }
    }

private:
    std::vector<PlanePoint> &out;
    const BlockPlacement *insert;
};

void HandOver(PreviewSurface &surface, HandOff how) {
    if (how == HandOff::Fill) FillWorldPoints(surface);
    else if (how == HandOff::Stroke) StrokeWorldPoints(surface);
    surface.worldPoints.vertices.clear();
}

void Ellipse(PreviewSurface &surface, double cx, double cy, double r, double k, double tilt,
             const BlockPlacement *insert) {
    surface.worldPoints.vertices.clear();
    VertexWriter(surface.worldPoints.vertices, insert).Ellipse(cx, cy, r, k, Rotation(tilt), kEllipseVertices);
    HandOver(surface, HandOff::Fill);
}

void EllipseArc(PreviewSurface &surface, double cx, double cy, double r, double k, double tilt, double t0, double sweep,
                const BlockPlacement *insert) {
    surface.worldPoints.vertices.clear();
    VertexWriter(surface.worldPoints.vertices, insert).Arc(cx, cy, r, k, Rotation(tilt), t0, sweep);
    HandOver(surface, HandOff::Stroke);
}

bool ShapeIs(double shape, double value) { return std::fabs(Ext(shape) - value) <= 1e-14; }

// Writes the circular solid's vertices and says how they are drawn.
HandOff ArcSolidVertices(VertexWriter &out, std::int32_t penStyle, double cx, double cy, double r, double k,
                         double tilt, double t0, double sweep, double shape) {
    const Rotation rotation(tilt);
    switch (penStyle) {
        case 101:
            if (ShapeIs(shape, 100)) {
                out.Ellipse(cx, cy, r, k, rotation, kEllipseVertices);
            } else if (ShapeIs(shape, 0)) {
                out.Arc(cx, cy, r, k, rotation, t0, sweep);
                out.Add({cx, cy});
            } else if (ShapeIs(shape, 5)) {
                out.Arc(cx, cy, r, k, rotation, t0, sweep);
            } else {
                out.Arc(cx, cy, r, k, rotation, t0, sweep);
                PlanePoint corner;
                ArcTangentCorner(cx, cy, r, k, t0, sweep, tilt, corner.x, corner.y);
                out.Add(corner);
            }
            return HandOff::Fill;
        case 111:
            if (ShapeIs(shape, 100)) out.Ellipse(cx, cy, r, k, rotation, kArcSteps + 1);
            else out.Arc(cx, cy, r, k, rotation, t0, sweep);
            return HandOff::Stroke;
        case 105:
        case 106: {
            // The inner flatness of kind 106 divides by the inner radius; with none there is no band.
            if (penStyle == 106 && shape == 0) return HandOff::None;
            const double innerK = penStyle == 105 ? k : ToDouble((Ext(r) * k - r) / shape + 1);
            out.Arc(cx, cy, r, k, rotation, t0, sweep);
            out.ArcBackwards(cx, cy, shape, innerK, rotation, t0, sweep);
            return HandOff::Fill;
        }
        default: return HandOff::None;
    }
}

void ArcSolid(PreviewSurface &surface, std::int32_t penStyle, double x1, double y1, double x2, double y2, double x3,
              double y3, double x4, double y4, const BlockPlacement *insert) {
    std::vector<PlanePoint> &buffer = surface.worldPoints.vertices;
    buffer.clear();
    VertexWriter out(buffer, insert);
    const HandOff how = ArcSolidVertices(out, penStyle, x1, y1, x2, y2, x3, y3, x4, y4);
    HandOver(surface, how);
}

}  // namespace

void DrawEllipse(PreviewSurface &surface, double cx, double cy, double r, double k, double tilt) {
    Ellipse(surface, cx, cy, r, k, tilt, nullptr);
}

void DrawEllipseArc(PreviewSurface &surface, double cx, double cy, double r, double k, double tilt, double t0,
                    double sweep) {
    EllipseArc(surface, cx, cy, r, k, tilt, t0, sweep, nullptr);
}

void DrawArcSolid(PreviewSurface &surface, std::int32_t penStyle, double x1, double y1, double x2, double y2, double x3,
                  double y3, double x4, double y4) {
    ArcSolid(surface, penStyle, x1, y1, x2, y2, x3, y3, x4, y4, nullptr);
}

void DrawBlockEllipse(PreviewSurface &surface, double cx, double cy, double r, double k, double tilt,
                      const BlockPlacement &insert) {
    Ellipse(surface, cx, cy, r, k, tilt, &insert);
}

void DrawBlockEllipseArc(PreviewSurface &surface, double cx, double cy, double r, double k, double tilt, double t0,
                         double sweep, const BlockPlacement &insert) {
    EllipseArc(surface, cx, cy, r, k, tilt, t0, sweep, &insert);
}

void DrawBlockArcSolid(PreviewSurface &surface, std::int32_t penStyle, double x1, double y1, double x2, double y2,
                       double x3, double y3, double x4, double y4, const BlockPlacement &insert) {
    ArcSolid(surface, penStyle, x1, y1, x2, y2, x3, y3, x4, y4, &insert);
}

}  // namespace korvel
