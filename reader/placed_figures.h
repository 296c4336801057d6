// A block member placed by an insert as exact geometry of its own kind: what the script writes for a block
// figure is the figure itself, not the polygons the preview draws of it.
#pragma once

#include "geom/plane.h"
#include "reader/drawing_rules.h"
#include "reader/drawing_store.h"

namespace korvel {

// Each moves `member` from its block's coordinates into the insert's: points by the placement's own rule,
// curves as the ellipse that is the image of the curve (a circle under unequal scales is an ellipse; a
// mirroring insert, one negative scale, reverses an arc's direction). False when the placed figure has no
// record of its kind (a band, whose width is one length, placed with unequal scales); the member is then
// left as it was.
bool PlaceFigure(TclpEntSen &member, const BlockPlacement &insert);
bool PlaceFigure(TclpEntEnko &member, const BlockPlacement &insert);
// A symbol point's rotation adds the insert's angle and its size follows the insert's mean scale.
bool PlaceFigure(TclpEntTen &member, const BlockPlacement &insert);
bool PlaceFigure(TclpEntSolid &member, const BlockPlacement &insert);
// The dimension's line and extension lines, its label's ends and its points.
bool PlaceFigure(TclpEntSunpo &member, const BlockPlacement &insert);

// The image of an elliptic arc under the insert: centre placed, axes and parameters of the image.
ArcShape PlaceArc(const ArcShape &arc, const BlockPlacement &insert);

}  // namespace korvel
