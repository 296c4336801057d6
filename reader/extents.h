// The rectangle a drawing covers, from a fixed set of key points per entity kind.
#pragma once

#include <cstdint>

#include <array>

#include "geom/plane.h"
#include "reader/drawing_store.h"
#include "reader/layers.h"

namespace korvel {

struct DrawingExtents {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    // Points left out because a coordinate is infinite or NaN: one such point must not make the whole
    // drawing's rectangle (and every view fitted to it) no number.
    std::uint64_t notFinite = 0;
    // False for the preview, which keeps the original's rule: an infinity stretches the rectangle, a NaN is
    // passed over by every comparison (and a NaN reference point leaves the whole rectangle NaN).
    bool finiteOnly = true;
};

void InitExtents(DrawingExtents &e, double x, double y);
void ExtendExtents(DrawingExtents &e, double x, double y);
void ExtendTransformed(DrawingExtents &e, double u, double v, const BlockPlacement &insert);

// The preview's extents: the reference point, every entity's key points, and the key points of each top-level
// insert's definition (the first with the insert's number) placed by that insert, within the block member
// budget. Curves contribute their axis points and ends, not their exact bounds. Not finite-only.
DrawingExtents ComputeDrawingExtents(const DrawingStore &store);
// The same for the view and the exports, finite-only, and an arc-shaped solid by what it draws: a partial one by its
// sweep (with its centre for a sector), so that a sliver of a far-centred ellipse does not shrink the drawing to a
// speck.
DrawingExtents ComputeDrawnExtents(const DrawingStore &store);

// What one layer group shows, if anything.
struct Shown {
    DrawingExtents extents;
    bool any = false;
};
using GroupExtents = std::array<Shown, kLayerGroups>;

// Each layer group's extents of what it shows, for an export that places each group at its own scale: as
// ComputeDrawnExtents, but a text by its characters' cells, finite points only, nothing on the hidden layers
// and no reference point.
GroupExtents ComputeShownExtentsByGroup(const DrawingStore &store, const HiddenLayers &hidden);
// The reference point and what the file shows, as one rectangle of drawing coordinates: what the view fits
// and what the SVG's sheet holds.
DrawingExtents ComputeShownExtents(const DrawingStore &store);

// Angle in degrees brought into [0, 360) as repeated steps of 360 would, in constant time.
double NormaliseDegrees(double s);

}  // namespace korvel
