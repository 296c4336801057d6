// The conversion driver: the whole drawing as a Vantra script, under the four options.
#include "script/convert.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "geom/extended.h"
#include "reader/drawing_rules.h"
#include "script/emitters.h"

namespace korvel {

namespace {

constexpr std::uint16_t kHatching = 0x0020;
constexpr std::uint16_t kLineNeverConverted = 0x2000;
constexpr std::uint16_t kCurveNeverConverted = 0x0040;  // arcs and points
constexpr double kEpsilon = 1e-12;

// The run's state: the layer and pen last written, shared by all kinds so that a change is
// written only when it happens, across the kinds too.
class ScriptRun {
public:
    ScriptRun(const ConvertOptions &options, const PenColorTable &pens, ScriptSink &out)
        : options(options), pens(pens), out(out) {}

    bool SkippedAsHatching(const TclpEntBase &base) const { return !options.hatching && (base.flags & kHatching); }

    // The "LAYER" and "PEN" lines an entity needs before its command.
    void Announce(const TclpEntBase &base, int penNumber) {
        if (options.layers) {
            const int layer = base.layerGroup * 16 + base.layer;
            if (layer != lastLayer) {
                lastLayer = layer;
                out.WriteLine("\x81\x40LAYER\x81\x40" + std::to_string(layer));
            }
        }
        if (options.colors && penNumber != lastPen) {
            lastPen = penNumber;
            out.WriteLine("\x81\x40PEN\x81\x40" + std::to_string(penNumber));
        }
    }

    int PenOf(const TclpEntBase &base) const { return PenNumberOf(base.penColor); }
    int PenOf(const TclpEntSolid &solid) const {
        return HasOwnColor(solid) ? NearestPenNumber(pens, static_cast<std::uint32_t>(solid.color))
                                  : PenNumberOf(solid.base.penColor);
    }

private:
    const ConvertOptions &options;
    const PenColorTable &pens;
    ScriptSink &out;
    std::int32_t lastLayer = -1;
    std::int32_t lastPen = -1;
};

bool SkippedLine(const TclpEntSen &line) {
    if (line.base.flags & kLineNeverConverted) return true;
    return std::fabs(Ext(line.startX) - line.endX) <= kEpsilon && std::fabs(Ext(line.startY) - line.endY) <= kEpsilon;
}

bool SkippedArc(const TclpEntEnko &arc) {
    if (arc.base.flags & kCurveNeverConverted) return true;
    if (arc.radius <= kEpsilon || Ext(arc.radius) * arc.flatness <= kEpsilon) return true;
    return arc.fullCircle == 0 && std::fabs(arc.arcAngle) <= kEpsilon;
}

ScriptTransform TransformOf(const DrawingStore &store) {
    // Before any read there are no layer-group scales (and no entities): keep the scale neutral.
    const double s = store.layerGroupScales.empty() ? 1.0 : store.layerGroupScales[0];
    return {store.originX, store.originY, s};
}

}  // namespace

bool ConvertDrawing(const DrawingStore &store, const ConvertOptions &options, const PenColorTable &pens,
                    ScriptSink &out) {
    const ScriptTransform t = TransformOf(store);
    ScriptRun run(options, pens, out);
    out.WriteLine("#VAR");
    out.WriteLine("\x81\x40n");
    out.WriteLine("#DRAW");
    if (options.solids) {
        for (const TclpEntSolid &solid : store.solids) {
            if (!out.Ok()) return false;
            if (run.SkippedAsHatching(solid.base)) continue;
            run.Announce(solid.base, run.PenOf(solid));
            if (!IsArcSolid(solid)) EmitPolygonSolid(out, solid, t);
            else EmitArcSolid(out, solid.base.penStyle, solid, t);
        }
    }
    for (const TclpEntSen &line : store.lines) {
        if (!out.Ok()) return false;
        if (run.SkippedAsHatching(line.base) || SkippedLine(line)) continue;
        run.Announce(line.base, run.PenOf(line.base));
        EmitLine(out, line, t);
    }
    for (const TclpEntEnko &arc : store.arcs) {
        if (!out.Ok()) return false;
        if (run.SkippedAsHatching(arc.base) || SkippedArc(arc)) continue;
        run.Announce(arc.base, run.PenOf(arc.base));
        EmitArc(out, arc, t);
    }
    for (const TclpEntTen &point : store.points) {
        if (!out.Ok()) return false;
        if (run.SkippedAsHatching(point.base) || (point.base.flags & kCurveNeverConverted)) continue;
        run.Announce(point.base, run.PenOf(point.base));
        EmitPoint(out, point, t);
    }
    return out.Ok();
}

bool WriteScriptFile(std::FILE *file, const DrawingStore &store, const ConvertOptions &options,
                     const PenColorTable &pens) {
    FileScriptSink sink(file);
    return ConvertDrawing(store, options, pens, sink) && sink.Finish();
}

}  // namespace korvel
