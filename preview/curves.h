// Ellipses, arcs and circular solids as straight-line approximations through the world point buffer.
#pragma once

#include <cstdint>

#include "geom/plane.h"
#include "preview/view.h"
#include "reader/drawing_rules.h"

namespace korvel {

// The double nearest 5 * pi / 180: the whole ellipse's step, accumulated by addition.
constexpr double kFiveDegrees = 0.08726646259971647;

// Each shape is drawn at its own coordinates or, as a block member, with every vertex placed by `insert`
// after the ellipse formula.

// 72 vertices from parameter 0 in 5 degree steps, filled with the current brush.
void DrawEllipse(PreviewSurface &surface, const EllipseShape &ellipse, const BlockPlacement *insert = nullptr);
// 73 vertices from the start over the signed sweep, stroked and clipped.
void DrawEllipseArc(PreviewSurface &surface, const ArcShape &arc, const BlockPlacement *insert = nullptr);
// Arc-shaped solids, by their kind: filled shapes, outlines and bands.
void DrawArcSolid(PreviewSurface &surface, const ArcSolidShape &solid, const BlockPlacement *insert = nullptr);

}  // namespace korvel
