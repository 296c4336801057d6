// Ellipses, arcs and circular solids as straight-line approximations through the world point buffer.
#pragma once

#include <cstdint>

#include "geom/plane.h"
#include "preview/view.h"

namespace korvel {

// The double nearest 5 * pi / 180: the whole ellipse's step, accumulated by addition.
constexpr double kFiveDegrees = 0.08726646259971647;

// 72 vertices from parameter 0 in 5 degree steps, filled with the current brush.
void DrawEllipse(PreviewSurface &surface, double cx, double cy, double r, double k, double tilt);
// 73 vertices from t0 over the signed sweep, stroked and clipped.
void DrawEllipseArc(PreviewSurface &surface, double cx, double cy, double r, double k, double tilt, double t0,
                    double sweep);
// Circular solids: the eight stored values are centre, radius, flatness, tilt, start, sweep and a shape
// value whose meaning depends on penStyle (101 filled shapes, 111 outlines, 105 and 106 bands).
void DrawArcSolid(PreviewSurface &surface, std::int32_t penStyle, double x1, double y1, double x2, double y2, double x3,
                  double y3, double x4, double y4);

// The same shapes as block members: every vertex placed by the insert after the ellipse formula.
void DrawBlockEllipse(PreviewSurface &surface, double cx, double cy, double r, double k, double tilt,
                      const BlockPlacement &insert);
void DrawBlockEllipseArc(PreviewSurface &surface, double cx, double cy, double r, double k, double tilt, double t0,
                         double sweep, const BlockPlacement &insert);
void DrawBlockArcSolid(PreviewSurface &surface, std::int32_t penStyle, double x1, double y1, double x2, double y2,
                       double x3, double y3, double x4, double y4, const BlockPlacement &insert);

}  // namespace korvel
