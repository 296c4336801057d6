// The conversion driver: the whole drawing as a Vantra script, under the four options.
#include "script/convert.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "geom/extended.h"
#include "geom/parts_in_order.h"
#include "reader/drawing_rules.h"
#include "script/emitters.h"

namespace korvel {

namespace {

constexpr std::uint16_t kHatching = 0x0020;
constexpr std::uint16_t kLineNeverConverted = 0x2000;
constexpr std::uint16_t kCurveNeverConverted = 0x0040;  // arcs and points
constexpr double kEpsilon = 1e-12;

bool SkippedLine(const TclpEntSen &line) {
    if (line.base.flags & kLineNeverConverted) return true;
    return std::fabs(Ext(line.startX) - line.endX) <= kEpsilon && std::fabs(Ext(line.startY) - line.endY) <= kEpsilon;
}

bool SkippedArc(const TclpEntEnko &arc) {
    if (arc.base.flags & kCurveNeverConverted) return true;
    if (arc.radius <= kEpsilon || Ext(arc.radius) * arc.flatness <= kEpsilon) return true;
    return arc.fullCircle == 0 && std::fabs(arc.arcAngle) <= kEpsilon;
}

// The layer and pen last written, shared by all kinds so that a change is written only when it happens,
// across the kinds too; -1 before any.
struct RunState {
    std::int32_t layer = -1;
    std::int32_t pen = -1;
};

// How each entity is converted under the run's options: whether it is, the "LAYER" and "PEN" lines it
// needs before its command, and the command.
class ScriptRun {
public:
    ScriptRun(const ConvertOptions &options, const PenColorTable &pens, const ScriptTransform &transform)
        : options(options), pens(pens), transform(transform) {}

    bool Converted(const TclpEntSolid &solid) const { return !SkippedAsHatching(solid.base); }
    bool Converted(const TclpEntSen &line) const { return !SkippedAsHatching(line.base) && !SkippedLine(line); }
    bool Converted(const TclpEntEnko &arc) const { return !SkippedAsHatching(arc.base) && !SkippedArc(arc); }
    bool Converted(const TclpEntTen &point) const {
        return !SkippedAsHatching(point.base) && !(point.base.flags & kCurveNeverConverted);
    }

    // The state once a converted entity has been written.
    template <class Entity>
    RunState After(const Entity &entity) const {
        return {options.layers ? LayerOf(entity.base) : -1, options.colors ? PenOf(entity) : -1};
    }

    template <class Entity>
    void Convert(const Entity &entity, RunState &state, ScriptSink &out) const {
        if (!Converted(entity)) return;
        const RunState after = After(entity);
        if (after.layer != state.layer) out.WriteLine("\x81\x40LAYER\x81\x40" + std::to_string(after.layer));
        if (after.pen != state.pen) out.WriteLine("\x81\x40PEN\x81\x40" + std::to_string(after.pen));
        state = after;
        Emit(entity, out);
    }

private:
    bool SkippedAsHatching(const TclpEntBase &base) const { return !options.hatching && (base.flags & kHatching); }
    static std::int32_t LayerOf(const TclpEntBase &base) { return base.layerGroup * 16 + base.layer; }
    template <class Entity>
    int PenOf(const Entity &entity) const {
        return PenNumberOf(entity.base.penColor);
    }
    int PenOf(const TclpEntSolid &solid) const {
        return HasOwnColor(solid) ? NearestPenNumber(pens, static_cast<std::uint32_t>(solid.color))
                                  : PenNumberOf(solid.base.penColor);
    }

    void Emit(const TclpEntSolid &solid, ScriptSink &out) const {
        if (!IsArcSolid(solid)) EmitPolygonSolid(out, solid, transform);
        else EmitArcSolid(out, solid.base.penStyle, solid, transform);
    }
    void Emit(const TclpEntSen &line, ScriptSink &out) const { EmitLine(out, line, transform); }
    void Emit(const TclpEntEnko &arc, ScriptSink &out) const { EmitArc(out, arc, transform); }
    void Emit(const TclpEntTen &point, ScriptSink &out) const { EmitPoint(out, point, transform); }

    const ConvertOptions &options;
    const PenColorTable &pens;
    ScriptTransform transform;
};

template <class Drawing>
ScriptTransform TransformOf(const Drawing &store) {
    // Before any read there are no layer-group scales (and no entities): keep the scale neutral.
    const double s = store.layerGroupScales.empty() ? 1.0 : store.layerGroupScales[0];
    return {store.originX, store.originY, s};
}

// A run of one kind's entities, converted into its own text: given the state the entities before it
// leave, its text is what one pass over the whole drawing writes for it. Runs are converted side by side
// and written in order.
struct Part {
    std::function<void(StringScriptSink &)> convert;
};

constexpr std::size_t kPartEntities = 8192;
// Room for a part's text at the length of a line's command with its operands, so that it seldom grows.
constexpr std::size_t kPartBytes = kPartEntities * 64;

template <class Entity>
void AddParts(std::vector<Part> &parts, const std::vector<Entity> &entities, const ScriptRun &run, RunState &state) {
    for (std::size_t begin = 0; begin < entities.size(); begin += kPartEntities) {
        const std::size_t end = std::min(entities.size(), begin + kPartEntities);
        parts.push_back({[&entities, &run, begin, end, before = state](StringScriptSink &out) {
            RunState state = before;
            for (std::size_t i = begin; i < end; i++)
                run.Convert(entities[i], state, out);
        }});
        // The state after the part is the last converted entity's.
        for (std::size_t i = end; i-- > begin;)
            if (run.Converted(entities[i])) {
                state = run.After(entities[i]);
                break;
            }
    }
}

template <class Drawing>
bool Convert(const Drawing &store, const ConvertOptions &options, const PenColorTable &pens, ScriptSink &out) {
    const ScriptRun run(options, pens, TransformOf(store));
    out.WriteLine("#VAR");
    out.WriteLine("\x81\x40n");
    out.WriteLine("#DRAW");
    std::vector<Part> parts;
    RunState state;
    const std::size_t entities =
        (options.solids ? store.solids.size() : 0) + store.lines.size() + store.arcs.size() + store.points.size();
    if (options.solids) AddParts(parts, store.solids, run, state);
    AddParts(parts, store.lines, run, state);
    AddParts(parts, store.arcs, run, state);
    AddParts(parts, store.points, run, state);

    // A drawing of a part or less is made on this thread; a failed write stops the parts not yet started.
    if (out.Ok())
        MakePartsInOrder(
            parts.size(), PartsAhead((entities + kPartEntities - 1) / kPartEntities),
            [&](std::size_t i) {
                StringScriptSink text;
                text.text.reserve(kPartBytes);
                parts[i].convert(text);
                return std::move(text.text);
            },
            [&](const std::string &text) {
                out.WriteLines(text);
                return out.Ok();
            });
    return out.Ok();
}

template <class Drawing>
bool WriteScript(std::FILE *file, const Drawing &drawing, const ConvertOptions &options, const PenColorTable &pens) {
    FileScriptSink sink(file);
    return Convert(drawing, options, pens, sink) && sink.Finish();
}

}  // namespace

bool ConvertDrawing(const DrawingStore &store, const ConvertOptions &options, const PenColorTable &pens,
                    ScriptSink &out) {
    return Convert(store, options, pens, out);
}

bool ConvertDrawing(const ScriptDrawing &drawing, const ConvertOptions &options, const PenColorTable &pens,
                    ScriptSink &out) {
    return Convert(drawing, options, pens, out);
}

bool WriteScriptFile(std::FILE *file, const DrawingStore &store, const ConvertOptions &options,
                     const PenColorTable &pens) {
    return WriteScript(file, store, options, pens);
}

bool WriteScriptFile(std::FILE *file, const ScriptDrawing &drawing, const ConvertOptions &options,
                     const PenColorTable &pens) {
    return WriteScript(file, drawing, options, pens);
}

}  // namespace korvel
