// What a drawing's records mean, written once for the preview, the extents and the converter: the solid
// that carries its own colour, the arc-shaped solid and its fields, curves as shapes, and block expansion.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "geom/extended.h"
#include "geom/plane.h"
#include "reader/drawing_store.h"

namespace korvel {

// A solid of this colour number carries its own RGB colour (`TclpEntSolid::color`, 0x00BBGGRR).
inline constexpr std::uint16_t kOwnColorNumber = 10;

inline bool HasOwnColor(const TclpEntSolid &solid) { return solid.base.penColor == kOwnColorNumber; }

// Flags that keep an entity out of the script: hatching (unless asked for), and the bits of the parts of
// Jw_cad's dimension figures (unless asked for): one on their lines (the dimension line and its extension
// lines), one on their arcs and points (the end points).
inline constexpr std::uint16_t kHatchingFlag = 0x0020;
inline constexpr std::uint16_t kDimensionFigureLineFlag = 0x2000;
inline constexpr std::uint16_t kDimensionFigureCurveFlag = 0x0040;

// A point of this pen style is a symbol point: it carries a symbol code, a rotation and a size.
inline constexpr std::uint8_t kSymbolPointStyle = 100;
inline bool IsSymbolPoint(const TclpEntTen &point) { return point.base.penStyle == kSymbolPointStyle; }

// An ellipse: centre, radius along its first axis, the second axis's ratio to it (1 for a circle) and the
// first axis's tilt, in radians.
struct EllipseShape {
    double cx = 0, cy = 0, radius = 0, flatness = 1, tilt = 0;
};

// Part of an ellipse, from the parameter `start` over the signed `sweep` (radians).
struct ArcShape {
    EllipseShape ellipse;
    double start = 0, sweep = 0;
};

inline EllipseShape EllipseOf(const TclpEntEnko &arc) {
    return {arc.centerX, arc.centerY, arc.radius, arc.flatness, arc.tiltAngle};
}

inline ArcShape ArcOf(const TclpEntEnko &arc) { return {EllipseOf(arc), arc.startAngle, arc.arcAngle}; }

// The point of parameter t on the ellipse.
inline PlanePoint PointOn(const EllipseShape &e, double t) {
    return EllipsePoint(e.cx, e.cy, e.radius, e.flatness, Rotation(e.tilt), t);
}

// A solid whose pen style is above 100 is arc-shaped: the style is its kind (101 filled shapes, 111 outlines,
// 105 and 106 bands) and its eight corner fields hold an arc and a shape value whose meaning depends on the
// kind (a band's width, say).
inline bool IsArcSolid(const TclpEntSolid &solid) { return solid.base.penStyle > 100; }

struct ArcSolidShape {
    std::uint8_t kind = 0;
    ArcShape arc;
    double value = 0;  // the shape value
};

// The corner fields in order: centre x, y, radius, flatness, tilt, start, sweep, shape value.
inline ArcSolidShape DecodeArcSolid(const TclpEntSolid &solid) {
    return {solid.base.penStyle, {{solid.x1, solid.y1, solid.x2, solid.y2, solid.x3}, solid.y3, solid.x4}, solid.y4};
}

inline void EncodeArcSolid(const ArcSolidShape &shape, TclpEntSolid &solid) {
    const EllipseShape &e = shape.arc.ellipse;
    solid.x1 = e.cx, solid.y1 = e.cy, solid.x2 = e.radius, solid.y2 = e.flatness, solid.x3 = e.tilt;
    solid.y3 = shape.arc.start, solid.x4 = shape.arc.sweep, solid.y4 = shape.value;
}

// What an arc-shaped solid is. Kind 101 fills the whole ellipse (shape value 100), a sector (0), a segment
// (5) or the region between the arc and its ends' tangents (any other value); kind 111 is an outline, whole
// (100) or an arc; kinds 105 and 106 are bands whose shape value is the inner radius. A kind-106 band of inner
// radius 0 has no inner edge (its inner flatness would divide by zero) and is nothing, as is any other kind.
enum class ArcSolidFigure { WholeEllipse, Sector, Segment, TangentCorner, WholeOutline, OutlineArc, Band, Nothing };

inline bool IsBand(const ArcSolidShape &solid) { return solid.kind == 105 || solid.kind == 106; }

// `tolerance` is how near the shape value must be to a code: the script's own, or kArcSolidShapeTolerance.
inline ArcSolidFigure FigureOf(const ArcSolidShape &solid, double tolerance) {
    const auto is = [&](double code) { return std::fabs(Ext(solid.value) - code) <= tolerance; };
    switch (solid.kind) {
        case 101:
            if (is(100)) return ArcSolidFigure::WholeEllipse;
            if (is(0)) return ArcSolidFigure::Sector;
            return is(5) ? ArcSolidFigure::Segment : ArcSolidFigure::TangentCorner;
        case 111: return is(100) ? ArcSolidFigure::WholeOutline : ArcSolidFigure::OutlineArc;
        case 105: return ArcSolidFigure::Band;
        case 106: return solid.value == 0 ? ArcSolidFigure::Nothing : ArcSolidFigure::Band;
        default: return ArcSolidFigure::Nothing;
    }
}

// How near a shape value must be to a code: the preview's, which the view, the extents and the exports share,
// so that every one of them draws the same figure.
inline constexpr double kArcSolidShapeTolerance = 1e-14;

// Figures of no size, which a file would hold as a curve of no radius or a whole one where nothing is drawn:
// an arc of no radius, no flatness or (not whole) no sweep; the same of an arc-shaped solid's arc; an insert
// of a scale of 0.
inline bool HasNoSize(const TclpEntEnko &arc) {
    return arc.radius <= 0 || arc.flatness == 0 || (arc.fullCircle == 0 && arc.arcAngle == 0);
}
inline bool HasNoSize(const ArcSolidShape &solid, ArcSolidFigure figure) {
    const bool whole = figure == ArcSolidFigure::WholeEllipse || figure == ArcSolidFigure::WholeOutline;
    const EllipseShape &e = solid.arc.ellipse;
    return e.radius <= 0 || e.flatness == 0 || (!whole && solid.arc.sweep == 0);
}
inline bool HasNoSize(const TclpEntBlock &insert) { return insert.scaleX == 0 || insert.scaleY == 0; }

// A band's inner edge: kind 105 keeps the outer flatness, kind 106 keeps the band's width on both axes.
inline Extended BandInnerFlatness(const ArcSolidShape &band) {
    const EllipseShape &e = band.arc.ellipse;
    if (band.kind == 105) return e.flatness;
    return (Ext(e.radius) * e.flatness - e.radius) / band.value + 1;
}

// Block expansion, one level: the inserts in order that the member budget allows (the rest are left out),
// each placed by `visit(definition, placement)` when its definition exists.
class PlacedInserts {
public:
    explicit PlacedInserts(const DrawingStore &store)
        : store(store), lookup(store), count(InsertsWithinBudget(store, lookup)) {}

    // How many inserts the budget allows.
    std::size_t Count() const { return count; }
    // What drawing the insert's members weighs, 0 without a definition.
    std::uint64_t Weight(std::size_t i) const { return lookup.Weight(store.inserts[i].number); }

    // The allowed inserts from `begin` up to `end`.
    template <class Visit>
    void ForEach(std::size_t begin, std::size_t end, Visit &&visit) const {
        for (std::size_t i = begin; i < std::min(end, count); ++i) {
            const TclpEntBlock &insert = store.inserts[i];
            const TclpEntBlockDef *definition = lookup.Find(insert.number);
            if (!definition) continue;
            // The insert itself goes along to a visitor that takes it.
            if constexpr (std::is_invocable_v<Visit &, const TclpEntBlockDef &, const BlockPlacement &,
                                              const TclpEntBlock &>)
                visit(*definition, BlockPlacement(BlockTransformOf(insert)), insert);
            else visit(*definition, BlockPlacement(BlockTransformOf(insert)));
        }
    }

private:
    const DrawingStore &store;
    const BlockDefLookup lookup;
    const std::size_t count;
};

// Every allowed insert; returns how many the budget allowed.
template <class Visit>
std::size_t ForEachPlacedInsert(const DrawingStore &store, Visit &&visit) {
    const PlacedInserts inserts(store);
    inserts.ForEach(0, inserts.Count(), visit);
    return inserts.Count();
}

}  // namespace korvel
