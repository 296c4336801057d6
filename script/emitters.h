// The command line of one entity: lines, points, arcs, polygon solids and arc-shaped solids.
#pragma once

#include <cstdint>

#include "geom/plane.h"
#include "reader/drawing_store.h"
#include "script/operands.h"
#include "script/script_sink.h"

namespace korvel {

// True when P1, P2, P3 turn counter-clockwise or lie on one line (z of (P2 - P1) x (P3 - P1) >= 0).
bool IsCounterClockwise(PlanePoint p1, PlanePoint p2, PlanePoint p3);

void EmitLine(ScriptSink &out, const TclpEntSen &line, const ScriptTransform &t);
void EmitPoint(ScriptSink &out, const TclpEntTen &point, const ScriptTransform &t);
void EmitArc(ScriptSink &out, const TclpEntEnko &arc, const ScriptTransform &t);
void EmitPolygonSolid(ScriptSink &out, const TclpEntSolid &solid, const ScriptTransform &t);
// Writes nothing, and returns false, for a solid that is no figure (see ArcSolidFigure).
bool EmitArcSolid(ScriptSink &out, const TclpEntSolid &solid, const ScriptTransform &t);

}  // namespace korvel
