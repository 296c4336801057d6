// Ellipses, arcs and circular solids as straight-line approximations through the world point buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "geom/bits_key.h"
#include "geom/plane.h"
#include "preview/view.h"
#include "reader/drawing_rules.h"

namespace korvel {

// The double nearest 5 * pi / 180: the whole ellipse's step, accumulated by addition.
constexpr double kFiveDegrees = 0.08726646259971647;

// Block members' curves in block-local coordinates, each computed once and placed by every insert of its
// block: the exact vertices do not depend on the insert until they are placed. Keyed by the shape's values;
// holds at most kMaxPoints vertices, past which curves are computed for each insert again.
class BlockCurveCache {
public:
    static constexpr std::size_t kMaxPoints = 1 << 20;
    using Key = BitsKey<10>;
    struct Curve {
        int handOff = 0;
        std::vector<PlanePoint> vertices;
        PointBox box;
    };

    // The curve of `key`, made by `make` the first time.
    const Curve &Find(const Key &key, const std::function<Curve()> &make);

private:
    std::unordered_map<Key, Curve, BitsKeyHash> curves;
    std::size_t points = 0;
    Curve uncached;
};

// Each shape is drawn at its own coordinates or, as a block member, with every vertex placed by `insert`
// after the ellipse formula.

// 72 vertices from parameter 0 in 5 degree steps, filled with the current brush.
void DrawEllipse(PreviewSurface &surface, const EllipseShape &ellipse, const BlockPlacement *insert = nullptr);
// 73 vertices from the start over the signed sweep, stroked and clipped.
void DrawEllipseArc(PreviewSurface &surface, const ArcShape &arc, const BlockPlacement *insert = nullptr);
// Arc-shaped solids, by their kind: filled shapes, outlines and bands.
void DrawArcSolid(PreviewSurface &surface, const ArcSolidShape &solid, const BlockPlacement *insert = nullptr);

}  // namespace korvel
