// What a drawing's records mean, written once for the preview, the extents and the converter: the solid
// that carries its own colour, the arc-shaped solid and its fields, curves as shapes, and block expansion.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "geom/plane.h"
#include "reader/drawing_store.h"

namespace korvel {

// A solid of this colour number carries its own RGB colour (`TclpEntSolid::color`, 0x00BBGGRR).
inline constexpr std::uint16_t kOwnColorNumber = 10;

inline bool HasOwnColor(const TclpEntSolid &solid) { return solid.base.penColor == kOwnColorNumber; }

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

// A solid whose pen style is above 100 is arc-shaped: the style is its kind (101 filled shapes, 111 outlines,
// 105 and 106 bands) and its eight corner fields hold an arc and a shape value whose meaning depends on the
// kind (a band's width, say).
inline bool IsArcSolid(const TclpEntSolid &solid) { return solid.base.penStyle > 100; }

struct ArcSolidShape {
    std::uint8_t kind = 0;
    ArcShape arc;
    double shape = 0;
};

// The corner fields in order: centre x, y, radius, flatness, tilt, start, sweep, shape value.
inline ArcSolidShape DecodeArcSolid(const TclpEntSolid &solid) {
    return {solid.base.penStyle, {{solid.x1, solid.y1, solid.x2, solid.y2, solid.x3}, solid.y3, solid.x4}, solid.y4};
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
            if (const TclpEntBlockDef *definition = lookup.Find(insert.number))
                visit(*definition, BlockPlacement(BlockTransformOf(insert)));
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
