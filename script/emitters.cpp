// The command line of one entity: lines, points, arcs, polygon solids and arc-shaped solids.
#include "script/emitters.h"

#include <cmath>
#include <numbers>
#include <string>
#include <string_view>

#include "geom/extended.h"
#include "geom/func.h"
#include "reader/drawing_rules.h"

namespace korvel {

namespace {

// Command words sit between two full-width spaces (Shift-JIS 0x81 0x40). Kept as a macro so the
// prefixes stay single literals: "\x81\x40" followed directly by a hex digit would not parse.
#define KORVEL_FW "\x81\x40"
constexpr std::string_view kLine2d = KORVEL_FW "LINE2D" KORVEL_FW "n, ";
constexpr std::string_view kTen2d = KORVEL_FW "TEN2D" KORVEL_FW "n, ";
constexpr std::string_view kCircle2d = KORVEL_FW "CIRCLE2D" KORVEL_FW "n,SetArcSep, ";
constexpr std::string_view kElli2d = KORVEL_FW "ELLI2D" KORVEL_FW "n,SetArcSep, ";
constexpr std::string_view kArc2d = KORVEL_FW "ARC2D" KORVEL_FW "n,SetArcSep, ";
constexpr std::string_view kElarc2d = KORVEL_FW "ELARC2D" KORVEL_FW "n,SetArcSep, ";
constexpr std::string_view k3Sld2d = KORVEL_FW "3SLD2D" KORVEL_FW "n, ";
constexpr std::string_view k4Sld2d = KORVEL_FW "4SLD2D" KORVEL_FW "n, ";
constexpr std::string_view kCsld2d = KORVEL_FW "CSLD2D" KORVEL_FW "n,SetArcSep, ";
constexpr std::string_view kPsld2d = KORVEL_FW "PSLD2D" KORVEL_FW "n,SetArcSep, ";
constexpr std::string_view kYsld2d = KORVEL_FW "YSLD2D" KORVEL_FW "n,SetArcSep, ";
constexpr std::string_view kOsld2d = KORVEL_FW "OSLD2D" KORVEL_FW "n,SetArcSep, ";
constexpr std::string_view kDsld2d = KORVEL_FW "DSLD2D" KORVEL_FW "n,SetArcSep, ";
constexpr std::string_view kBsld2d = KORVEL_FW "BSLD2D" KORVEL_FW "n,SetArcSep, ";
#undef KORVEL_FW

constexpr double kEpsilon = 1e-12;

// |a - b| <= 1e-12, the difference formed in extended precision.
bool Within(double a, double b) { return std::fabs(Ext(a) - b) <= kEpsilon; }
bool Apart(double a, double b) { return std::fabs(Ext(a) - b) > kEpsilon; }

// One command line: a prefix, then operands and the literal separators between them.
class CommandLine {
public:
    explicit CommandLine(std::string_view prefix) {
        text.reserve(160);
        text = prefix;
    }
    CommandLine &operator<<(double operand) {
        AppendOperand(text, operand);
        return *this;
    }
    CommandLine &operator<<(const char *literal) {
        text += literal;
        return *this;
    }
    void WriteTo(ScriptSink &out) const { out.WriteLine(text); }

private:
    std::string text;
};

// Centre, radii and angles of an arc or arc-shaped solid, converted for the script.
struct ArcOperands {
    double x, y, r, r2, tilt, a1, a2;
};

ArcOperands ConvertArc(const ScriptTransform &t, const ArcShape &arc) {
    const EllipseShape &ellipse = arc.ellipse;
    const double s = RoundedAngle(arc.start);
    const double e = RoundedAngle(ToDouble(Ext(arc.start) + arc.sweep));
    const bool forward = arc.sweep >= 0;  // a negative sweep is written as the same arc counter-clockwise
    return {ScaledX(t, ellipse.cx),
            ScaledY(t, ellipse.cy),
            ScaledLength(t, ellipse.radius),
            ScaledProduct(t, ellipse.radius, ellipse.flatness),
            RoundedAngle(ellipse.tilt),
            forward ? s : e,
            forward ? e : s};
}

// A band: a whole ring when its sweep is 0 or a full turn, else the band between two arcs.
void EmitBand(ScriptSink &out, const ArcSolidShape &band, const ArcOperands &a, const ScriptTransform &t) {
    const double innerR2 = ScaledProduct(t, band.arc.ellipse.radius, BandInnerFlatness(band));
    const double w = ScaledLength(t, band.value);
    constexpr Extended kTwoPi = 2 * std::numbers::pi_v<Extended>;
    const Extended sweep = band.arc.sweep;
    if (std::fabs(sweep) <= kEpsilon || std::fabs(sweep - kTwoPi) <= kEpsilon || std::fabs(sweep + kTwoPi) <= kEpsilon)
        (CommandLine(kDsld2d) << a.x << "," << a.y << ", " << a.r << "," << innerR2 << ", " << a.tilt << ", " << w
                              << ",0")
            .WriteTo(out);
    else
        (CommandLine(kBsld2d) << a.x << "," << a.y << ", " << a.r << "," << innerR2 << ", " << a.tilt << "," << a.a1
                              << "," << a.a2 << ", " << w << ",0")
            .WriteTo(out);
}

}  // namespace

bool IsCounterClockwise(PlanePoint p1, PlanePoint p2, PlanePoint p3) {
    return (Ext(p2.x) - p1.x) * (Ext(p3.y) - p1.y) - (Ext(p2.y) - p1.y) * (Ext(p3.x) - p1.x) >= 0;
}

void EmitLine(ScriptSink &out, const TclpEntSen &line, const ScriptTransform &t) {
    (CommandLine(kLine2d) << ScaledX(t, line.startX) << "," << ScaledY(t, line.startY) << ", " << ScaledX(t, line.endX)
                          << "," << ScaledY(t, line.endY))
        .WriteTo(out);
}

void EmitPoint(ScriptSink &out, const TclpEntTen &point, const ScriptTransform &t) {
    (CommandLine(kTen2d) << ScaledX(t, point.x) << "," << ScaledY(t, point.y)).WriteTo(out);
}

void EmitArc(ScriptSink &out, const TclpEntEnko &arc, const ScriptTransform &t) {
    const ArcOperands a = ConvertArc(t, ArcOf(arc));
    const bool circular = Within(arc.flatness, 1);
    if (arc.fullCircle != 0) {
        if (circular) (CommandLine(kCircle2d) << a.x << "," << a.y << ", " << a.r).WriteTo(out);
        else (CommandLine(kElli2d) << a.x << "," << a.y << ", " << a.r << "," << a.r2 << ", " << a.tilt).WriteTo(out);
        return;
    }
    if (circular) {
        // The tilt turns a circular arc's end angles; the sums are written without another rounding.
        (CommandLine(kArc2d) << a.x << "," << a.y << ", " << a.r << ", " << ToDouble(Ext(a.a1) + a.tilt) << ","
                             << ToDouble(Ext(a.a2) + a.tilt))
            .WriteTo(out);
        return;
    }
    (CommandLine(kElarc2d) << a.x << "," << a.y << ", " << a.r << "," << a.r2 << ", " << a.tilt << "," << a.a1 << ","
                           << a.a2)
        .WriteTo(out);
}

void EmitPolygonSolid(ScriptSink &out, const TclpEntSolid &solid, const ScriptTransform &t) {
    PlanePoint p1{ScaledX(t, solid.x1), ScaledY(t, solid.y1)};
    PlanePoint p2{ScaledX(t, solid.x2), ScaledY(t, solid.y2)};
    PlanePoint p3{ScaledX(t, solid.x3), ScaledY(t, solid.y3)};
    PlanePoint p4{ScaledX(t, solid.x4), ScaledY(t, solid.y4)};
    // The orientation is decided by the first three points, on the converted values.
    if (Apart(p4.x, p3.x) || Apart(p4.y, p3.y)) {
        if (!IsCounterClockwise(p1, p2, p3)) {
            SwapValues(p2.x, p4.x);
            SwapValues(p2.y, p4.y);
        }
        (CommandLine(k4Sld2d) << p1.x << "," << p1.y << ", " << p2.x << "," << p2.y << ", " << p3.x << "," << p3.y
                              << ", " << p4.x << "," << p4.y)
            .WriteTo(out);
    } else if (Apart(p3.x, p2.x) || Apart(p3.y, p2.y)) {
        if (!IsCounterClockwise(p1, p2, p3)) {
            SwapValues(p2.x, p3.x);
            SwapValues(p2.y, p3.y);
        }
        (CommandLine(k3Sld2d) << p1.x << "," << p1.y << ", " << p2.x << "," << p2.y << ", " << p3.x << "," << p3.y)
            .WriteTo(out);
    } else {
        (CommandLine(kLine2d) << p1.x << "," << p1.y << ", " << p2.x << "," << p2.y).WriteTo(out);
    }
}

bool EmitArcSolid(ScriptSink &out, const TclpEntSolid &solid, const ScriptTransform &t) {
    const ArcSolidShape decoded = DecodeArcSolid(solid);
    const ArcOperands a = ConvertArc(t, decoded.arc);
    std::string_view filled = kOsld2d;
    switch (FigureOf(decoded, kEpsilon)) {
        case ArcSolidFigure::WholeEllipse:
            (CommandLine(kCsld2d) << a.x << "," << a.y << ", " << a.r << "," << a.r2 << ", " << a.tilt << ",0")
                .WriteTo(out);
            return true;
        case ArcSolidFigure::Sector: filled = kPsld2d; break;
        case ArcSolidFigure::Segment: filled = kYsld2d; break;
        case ArcSolidFigure::TangentCorner: break;
        case ArcSolidFigure::WholeOutline:
            (CommandLine(kElli2d) << a.x << "," << a.y << ", " << a.r << "," << a.r2 << ", " << a.tilt).WriteTo(out);
            return true;
        case ArcSolidFigure::OutlineArc:
            (CommandLine(kElarc2d) << a.x << "," << a.y << ", " << a.r << "," << a.r2 << ", " << a.tilt << "," << a.a1
                                   << "," << a.a2)
                .WriteTo(out);
            return true;
        case ArcSolidFigure::Band: EmitBand(out, decoded, a, t); return true;
        case ArcSolidFigure::Nothing: return false;
    }
    (CommandLine(filled) << a.x << "," << a.y << ", " << a.r << "," << a.r2 << ", " << a.tilt << "," << a.a1 << ","
                         << a.a2 << ",0")
        .WriteTo(out);
    return true;
}

}  // namespace korvel
