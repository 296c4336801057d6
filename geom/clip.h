// Region-code clipping of a segment against the preview's world window, in drawing units.
#pragma once

#include <cstdint>
#include <vector>

#include "geom/plane.h"

namespace korvel {

// How far inside an edge a point must lie to count as inside it, in drawing units.
constexpr double kClipTolerance = 1e-12;

// Bits of the region code. A point on an edge, or within 1e-12 inside it, counts as outside that edge.
enum ClipSide : std::int32_t { kClipLeft = 1, kClipRight = 2, kClipBottom = 4, kClipTop = 8 };

// What ClipSegment leaves to draw.
enum ClipResult : std::int32_t { kClipInside = 0, kClipMoved = 1, kClipInvisible = 2 };

std::int32_t ClipOutcode(double x, double y, double minX, double minY, double maxX, double maxY);

// kClipInside when the point is strictly inside, otherwise kClipInvisible.
std::int32_t PointOutsideWindow(double x, double y, double minX, double minY, double maxX, double maxY);

// Moves each end at most once per edge (left, right, bottom, top), always from the first end's original
// position, and gives up on segments that collapse. Coordinates are unchanged when the result is
// kClipInside or the segment was rejected at once.
std::int32_t ClipSegment(double &x1, double &y1, double &x2, double &y2, double minX, double minY, double maxX,
                         double maxY);

// The part of a polygon inside the window, edge by edge (Sutherland-Hodgman), into `out`: the filled region
// inside the window is the same, odd-even, and the new edges run along the window's border.
// `scratch` is room it reuses.
void ClipPolygon(const std::vector<PlanePoint> &polygon, double minX, double minY, double maxX, double maxY,
                 std::vector<PlanePoint> &out, std::vector<PlanePoint> &scratch);

}  // namespace korvel
