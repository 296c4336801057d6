// Point entities in the preview: a marker by code, turned and scaled, or a dot sized by colour number.
#include "preview/markers.h"

#include <cmath>
#include <initializer_list>
#include <optional>

#include "geom/extended.h"
#include "geom/plane.h"
#include "preview/curves.h"

namespace korvel {

namespace {

constexpr std::int32_t kBackground = -1;
constexpr std::int32_t kSolidFill = 1;

double Degrees(double alpha) { return ToDouble(Ext(alpha) * kPi / 180); }

// The point at angle alpha (degrees) on a circle of radius rho, in the marker's own frame.
PlanePoint OnCircle(double rho, double alpha) {
    const SineCosine at = SinCosE(Degrees(alpha));
    return {ToDouble(Ext(rho) * at.cosine), ToDouble(Ext(rho) * at.sine)};
}

const double kSmallRadius = 1.25;
const double kThirdRadius = ToDouble(Ext(5.0) / 3);
const double kArcRadius = ToDouble(Ext(1.25) * std::sqrt(2.0L));

double DotRadius(std::uint16_t c) {
    switch (c) {
        case 1: return 0.2;
        case 2: return 0.3;
        case 3: return 0.4;
        case 4:
        case 5:
        case 6:
        case 7:
        case 8: return 0.5;
        case 9: return 0.1;
        default: return 0.18;
    }
}

// Maps marker-local geometry (scaled by S, turned by the angle) to drawing units and draws it.
class Marker {
public:
    Marker(PreviewSurface &surface, double x, double y, double angle, double scale)
        : surface(surface), x(x), y(y), angle(angle), scale(scale) {}

    PlanePoint Map(PlanePoint local) {
        // Taken when first needed: circles and dots, most markers, never turn.
        if (!rotation) rotation.emplace(angle);
        const PlanePoint d = rotation->Apply(ToDouble(Ext(local.x) * scale), ToDouble(Ext(local.y) * scale));
        return {ToDouble(Ext(x) + d.x), ToDouble(Ext(y) + d.y)};
    }

    void Line(PlanePoint from, PlanePoint to) {
        const PlanePoint a = Map(from), b = Map(to);
        DrawWorldLine(surface, a.x, a.y, b.x, b.y);
    }

    void Polygon(std::initializer_list<PlanePoint> local) {
        std::vector<PlanePoint> &buffer = surface.worldPoints.vertices;
        buffer.clear();
        for (const PlanePoint &p : local)
            buffer.push_back(Map(p));
        FillWorldPoints(surface);
        buffer.clear();
    }

    void Circle(double radius) { DrawEllipse(surface, {x, y, ToDouble(Ext(radius) * scale), 1, 0}); }

    void Arrowhead() { Polygon({{0, 0}, {-7.5, 1.25}, {-7.5, -1.25}}); }
    void Square() { Polygon({{-1.25, -1.25}, {1.25, -1.25}, {1.25, 1.25}, {-1.25, 1.25}}); }

    // Two quarter arcs through the point, turned with the marker.
    void SCurve() {
        const double r = ToDouble(Ext(kArcRadius) * scale);
        const PlanePoint right = Map({kArcRadius, 0}), left = Map({-kArcRadius, 0});
        DrawEllipseArc(surface, {{right.x, right.y, r, 1, angle}, Degrees(90), Degrees(90)});
        DrawEllipseArc(surface, {{left.x, left.y, r, 1, angle}, Degrees(270), Degrees(90)});
    }

private:
    PreviewSurface &surface;
    double x, y, angle, scale;
    std::optional<Rotation> rotation;
};

}  // namespace

void DrawPointMarker(PreviewSurface &surface, std::int32_t temporary, std::int32_t code, double x, double y,
                     double angle, double scale, std::uint16_t colorNumber) {
    Canvas &canvas = surface.canvas;
    SetPenByColorNumber(canvas, colorNumber, 1);
    if (temporary == 1) {
        DrawEllipse(surface, {x, y, ToDouble(Ext(3.0) / surface.view.scale), 1, 0});
        return;
    }
    if (scale <= 1e-8) scale = 1;
    Marker m(surface, x, y, angle, scale);
    switch (code) {
        case 1:
            SetBrushByColorNumber(canvas, kBackground, kSolidFill);
            m.Arrowhead();
            break;
        case 2:
            SetBrushByColorNumber(canvas, kBackground, kSolidFill);
            m.Square();
            break;
        case 3:
            SetBrushByColorNumber(canvas, kBackground, kSolidFill);
            m.Circle(kSmallRadius);
            break;
        case 4:
        case -2: m.Circle(kSmallRadius); break;
        case 5:
            SetBrushByColorNumber(canvas, colorNumber, kSolidFill);
            m.Square();
            break;
        case 6:
            SetBrushByColorNumber(canvas, colorNumber, kSolidFill);
            m.Arrowhead();
            break;
        case 7:
            SetBrushByColorNumber(canvas, colorNumber, kSolidFill);
            m.Circle(kSmallRadius);
            break;
        case 8: m.SCurve(); break;
        case 9:
            m.Line({0, 0}, {-7.5, 1.25});
            m.Line({0, 0}, {-7.5, -1.25});
            break;
        case 10: m.Line(OnCircle(2.5, 45), OnCircle(2.5, 225)); break;
        case 11: m.Arrowhead(); break;
        case -1:
            m.Line({0, 1.25}, {0, -1.25});
            m.Line(OnCircle(1.25, 30), OnCircle(1.25, 210));
            m.Line(OnCircle(1.25, 150), OnCircle(1.25, 330));
            break;
        case -4:
            m.Line({0, 1.25}, {0, -1.25});
            m.Line({-1.25, 0}, {1.25, 0});
            break;
        case -5:
            m.Line({-1.25, -1.25}, {1.25, -1.25});
            m.Line({1.25, -1.25}, {1.25, 1.25});
            m.Line({1.25, 1.25}, {-1.25, 1.25});
            m.Line({-1.25, 1.25}, {-1.25, -1.25});
            break;
        case -6: {
            const PlanePoint top = OnCircle(kThirdRadius, 90), left = OnCircle(kThirdRadius, 210),
                             right = OnCircle(kThirdRadius, 330);
            m.Line(top, left);
            m.Line(left, right);
            m.Line(right, top);
            break;
        }
        case -7:
            m.Line(OnCircle(1.25, 45), OnCircle(1.25, 225));
            m.Line(OnCircle(1.25, 135), OnCircle(1.25, 315));
            break;
        default:
            SetBrushByColorNumber(canvas, colorNumber, kSolidFill);
            m.Circle(DotRadius(colorNumber));
            break;
    }
}

}  // namespace korvel
