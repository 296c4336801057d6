// Where a measuring click snaps: the nearest end point, midpoint or centre of a shown entity.
#pragma once

#include <optional>

#include "geom/plane.h"
#include "preview/entity_grid.h"
#include "reader/layers.h"

namespace korvel {

// The key point of a top-level entity on a shown layer nearest `at` and no farther than `reach` (drawing
// units): the ends and middle of a line, an arc and a dimension's line; a circle's and an arc's centre; a
// point; a solid's corners (an arc-shaped one's centre); a text's start; an insert's base point. With
// `nearby`, only its entities are tried.
std::optional<PlanePoint> NearestKeyPoint(const DrawingStore &store, const EntitySelection *nearby,
                                          const HiddenLayers &hidden, PlanePoint at, double reach);

}  // namespace korvel
