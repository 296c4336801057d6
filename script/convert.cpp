// The conversion driver: the whole drawing as a Vantra script, under the options.
#include "script/convert.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "geom/extended.h"
#include "geom/parts_in_order.h"
#include "reader/block_figures.h"
#include "reader/drawing_rules.h"
#include "script/emitters.h"

namespace korvel {

namespace {

constexpr double kEpsilon = 1e-12;

// `dimensionFigures`: the lines, arcs and points of Jw_cad's dimension figures (its flags say which) are
// written too.
std::optional<LeftOutReason> SkippedShape(const TclpEntSen &line, bool dimensionFigures) {
    if ((line.base.flags & kDimensionFigureLineFlag) && !dimensionFigures) return LeftOutReason::DimensionFigure;
    if (std::fabs(Ext(line.startX) - line.endX) <= kEpsilon && std::fabs(Ext(line.startY) - line.endY) <= kEpsilon)
        return LeftOutReason::ZeroSize;
    return std::nullopt;
}

std::optional<LeftOutReason> SkippedShape(const TclpEntEnko &arc, bool dimensionFigures) {
    if ((arc.base.flags & kDimensionFigureCurveFlag) && !dimensionFigures) return LeftOutReason::DimensionFigure;
    if (arc.radius <= kEpsilon || Ext(arc.radius) * arc.flatness <= kEpsilon) return LeftOutReason::ZeroSize;
    if (arc.fullCircle == 0 && std::fabs(arc.arcAngle) <= kEpsilon) return LeftOutReason::ZeroSize;
    return std::nullopt;
}

std::optional<LeftOutReason> SkippedShape(const TclpEntTen &point, bool dimensionFigures) {
    if ((point.base.flags & kDimensionFigureCurveFlag) && !dimensionFigures) return LeftOutReason::DimensionFigure;
    return std::nullopt;
}

std::optional<LeftOutReason> SkippedShape(const TclpEntSolid &, bool) { return std::nullopt; }

WrittenKind KindOf(const TclpEntSen &) { return WrittenKind::Line; }
WrittenKind KindOf(const TclpEntEnko &) { return WrittenKind::Arc; }
WrittenKind KindOf(const TclpEntTen &) { return WrittenKind::Point; }
WrittenKind KindOf(const TclpEntSolid &) { return WrittenKind::Solid; }

// The layer and pen last written, shared by all kinds so that a change is written only when it happens,
// across the kinds too; -1 before any.
struct RunState {
    std::int32_t layer = -1;
    std::int32_t pen = -1;
};

// A run of entities converted into its own text, side by side with the others. The "LAYER" and "PEN" lines
// its first converted entity needs depend on the runs before it, so they are written when the runs are joined.
struct PartText {
    StringScriptSink out;
    std::optional<RunState> first;  // the state the first converted entity needs
    RunState last;                  // the state the last one leaves
    ConversionReport report;
};

// How each entity is converted under the run's options: whether it is (and if not, why), the "LAYER" and "PEN"
// lines it needs before its command, and the command.
class ScriptRun {
public:
    ScriptRun(const ConvertOptions &options, const PenColorTable &pens, const std::array<ScriptTransform, 16> &scales)
        : options(options), pens(pens), transforms(scales) {}

    template <class Entity>
    void Convert(const Entity &entity, PartText &part, bool fromBlock = false) const {
        if (const std::optional<LeftOutReason> reason = Skipped(entity)) {
            part.report[*reason]++;
            return;
        }
        const RunState after{options.layers ? LayerOf(entity.base) : -1, options.colors ? PenOf(entity) : -1};
        if (!part.first) part.first = after;
        else WriteChanges(part.last, after, part.out);
        part.last = after;
        if (!Emit(entity, part.out)) {
            part.report[LeftOutReason::NoFigure]++;
            return;
        }
        part.report[KindOf(entity)]++;
        if (fromBlock) part.report.fromBlocks++;
    }

    static void WriteChanges(const RunState &before, const RunState &after, ScriptSink &out) {
        if (after.layer != before.layer) out.WriteLine("\x81\x40LAYER\x81\x40" + std::to_string(after.layer));
        if (after.pen != before.pen) out.WriteLine("\x81\x40PEN\x81\x40" + std::to_string(after.pen));
    }

private:
    template <class Entity>
    std::optional<LeftOutReason> Skipped(const Entity &entity) const {
        if (OnHiddenLayer(options.hiddenLayers, entity.base)) return LeftOutReason::HiddenLayer;
        if (!options.hatching && (entity.base.flags & kHatchingFlag)) return LeftOutReason::Hatching;
        // A scale of 0, a subnormal or an infinite one would write every coordinate as 0 or as no number.
        if (!std::isnormal(TransformOf(entity.base).s)) return LeftOutReason::UnusableScale;
        return SkippedShape(entity, options.dimensions);
    }
    static std::int32_t LayerOf(const TclpEntBase &base) { return base.layerGroup * 16 + base.layer; }
    template <class Entity>
    int PenOf(const Entity &entity) const {
        return PenNumberOf(entity.base.penColor);
    }
    int PenOf(const TclpEntSolid &solid) const {
        return HasOwnColor(solid) ? NearestPenNumber(pens, static_cast<std::uint32_t>(solid.color))
                                  : PenNumberOf(solid.base.penColor);
    }
    // Each entity at its own layer group's scale when asked for, else all at group 0's.
    const ScriptTransform &TransformOf(const TclpEntBase &base) const {
        return options.groupScales && base.layerGroup < transforms.size() ? transforms[base.layerGroup] : transforms[0];
    }

    bool Emit(const TclpEntSolid &solid, ScriptSink &out) const {
        if (IsArcSolid(solid)) return EmitArcSolid(out, solid, TransformOf(solid.base));
        EmitPolygonSolid(out, solid, TransformOf(solid.base));
        return true;
    }
    bool Emit(const TclpEntSen &line, ScriptSink &out) const {
        EmitLine(out, line, TransformOf(line.base));
        return true;
    }
    bool Emit(const TclpEntEnko &arc, ScriptSink &out) const {
        EmitArc(out, arc, TransformOf(arc.base));
        return true;
    }
    bool Emit(const TclpEntTen &point, ScriptSink &out) const {
        EmitPoint(out, point, TransformOf(point.base));
        return true;
    }

    const ConvertOptions &options;
    const PenColorTable &pens;
    const std::array<ScriptTransform, 16> transforms;
};

template <class Drawing>
std::array<ScriptTransform, 16> TransformsOf(const Drawing &store) {
    // Before any read there are no layer-group scales (and no entities): keep the scale neutral.
    std::array<ScriptTransform, 16> transforms;
    for (std::size_t group = 0; group < transforms.size(); group++) {
        const std::vector<double> &scales = store.layerGroupScales;
        const double s = group < scales.size() ? scales[group] : scales.empty() ? 1.0 : scales[0];
        transforms[group] = {store.originX, store.originY, s};
    }
    return transforms;
}

// A dimension's line and, where its record holds them, its extension lines, as lines of the dimension's own
// layer, colour and flags.
template <class Visit>
void ForEachDimensionLine(const TclpEntSunpo &d, Visit &&visit) {
    const auto lineOf = [&](const TclpEntSen &l) { return TclpEntSen{d.base, l.startX, l.startY, l.endX, l.endY}; };
    visit(lineOf(d.line));
    if (d.sxfMode == 0) return;
    visit(lineOf(d.auxLine1));
    visit(lineOf(d.auxLine2));
}

using Part = std::function<void(PartText &)>;

constexpr std::size_t kPartEntities = 8192;
// Room for a part's text at the length of a line's command with its operands, so that it seldom grows.
constexpr std::size_t kPartBytes = kPartEntities * 64;

template <class Entity, class Convert>
void AddParts(std::vector<Part> &parts, const std::vector<Entity> &entities, Convert convert) {
    for (std::size_t begin = 0; begin < entities.size(); begin += kPartEntities) {
        const std::size_t end = std::min(entities.size(), begin + kPartEntities);
        parts.push_back([&entities, convert, begin, end](PartText &part) {
            for (std::size_t i = begin; i < end; i++)
                convert(entities[i], part);
        });
    }
}

// The block figures' members of one kind, insert by insert, in parts of about kPartEntities by weight.
template <class Entity>
void AddFigureParts(std::vector<Part> &parts, const BlockFigures &figures, const ScriptRun &run, bool dimensions) {
    for (std::size_t begin = 0, end; begin < figures.Count(); begin = end) {
        std::uint64_t weight = 0;
        for (end = begin; end < figures.Count() && weight < kPartEntities; end++)
            weight += figures.Weight(end);
        parts.push_back([&figures, &run, begin, end, dimensions](PartText &part) {
            for (std::size_t i = begin; i < end; i++) {
                figures.ForEach<Entity>(i, i + 1, [&](const Entity &member, bool expressible) {
                    if (expressible) run.Convert(member, part, true);
                    else part.report[LeftOutReason::NoFigure]++;
                });
                if constexpr (std::is_same_v<Entity, TclpEntSen>)
                    if (dimensions)
                        figures.ForEach<TclpEntSunpo>(i, i + 1, [&](const TclpEntSunpo &d, bool) {
                            ForEachDimensionLine(d, [&](const TclpEntSen &line) { run.Convert(line, part, true); });
                        });
            }
        });
    }
}

// Each kind's walk: its top-level entities, then (lines only) the dimensions' lines, then the block figures'
// members of that kind; the walks of solids, lines, arcs and points follow one another.
template <class Drawing>
void AddAllParts(std::vector<Part> &parts, const Drawing &store, const ConvertOptions &options, const ScriptRun &run,
                 const BlockFigures *figures) {
    const auto convert = [&run](const auto &entity, PartText &part) { run.Convert(entity, part); };
    const auto addKind = [&]<class Entity>(const std::vector<Entity> &entities) {
        AddParts(parts, entities, convert);
        if constexpr (std::is_same_v<Drawing, DrawingStore> && std::is_same_v<Entity, TclpEntSen>)
            if (options.dimensions)
                AddParts(parts, store.dimensions, [&run](const TclpEntSunpo &d, PartText &part) {
                    ForEachDimensionLine(d, [&](const TclpEntSen &line) { run.Convert(line, part); });
                });
        if (figures) AddFigureParts<Entity>(parts, *figures, run, options.dimensions);
    };
    if (options.solids) addKind(store.solids);
    addKind(store.lines);
    addKind(store.arcs);
    addKind(store.points);
}

// What no walk meets: the kinds the script never holds, the kinds left out by the options, and what the
// block figures leave out.
template <class Drawing>
void CountLeftOutKinds(const Drawing &store, const ConvertOptions &options, const BlockFigures *figures,
                       ConversionReport &report) {
    const bool dimensions = options.dimensions && std::is_same_v<Drawing, DrawingStore>;
    report[LeftOutReason::Text] += store.texts.size();
    report[dimensions ? LeftOutReason::Text : LeftOutReason::Dimension] += store.dimensions.size();
    if (!options.solids) report[LeftOutReason::Solid] += store.solids.size();
    if constexpr (std::is_same_v<Drawing, DrawingStore>) report[LeftOutReason::LockedLayer] += store.leftOnLockedLayers;
    if (!figures) {
        report[LeftOutReason::Block] += store.inserts.size();
        return;
    }
    const BlockFigureTally &tally = figures->Tally();
    report[LeftOutReason::Text] += tally.texts;
    report[dimensions ? LeftOutReason::Text : LeftOutReason::Dimension] += tally.dimensions;
    if (!options.solids) report[LeftOutReason::Solid] += tally.solids;
    report[LeftOutReason::MissingBlock] += tally.missing;
    report[LeftOutReason::SelfReferring] += tally.selfReferring;
    report[LeftOutReason::OverBudget] += tally.overBudget;
    report[LeftOutReason::ZeroSize] += tally.empty;
}

template <class Drawing>
bool Convert(const Drawing &store, const ConvertOptions &options, const PenColorTable &pens, ScriptSink &out,
             ConversionReport *report) {
    const ScriptRun run(options, pens, TransformsOf(store));
    out.WriteLine("#VAR");
    out.WriteLine("\x81\x40n");
    out.WriteLine("#DRAW");
    std::optional<BlockFigures> figures;
    if constexpr (std::is_same_v<Drawing, DrawingStore>)
        if (options.blocks) figures.emplace(store);
    std::vector<Part> parts;
    AddAllParts(parts, store, options, run, figures ? &*figures : nullptr);

    std::uint64_t work = (options.solids ? store.solids.size() : 0) + store.lines.size() + store.arcs.size() +
                         store.points.size() + (options.dimensions ? store.dimensions.size() : 0);
    for (std::size_t i = 0; figures && i < figures->Count(); i++)
        work += figures->Weight(i);
    ConversionReport counted;
    CountLeftOutKinds(store, options, figures ? &*figures : nullptr, counted);
    RunState state;
    std::size_t written = 0;
    bool stopped = false;
    // A drawing of a part or less is made on this thread; a failed write stops the parts not yet started.
    if (out.Ok())
        MakePartsInOrder(
            parts.size(), PartsAhead((work + kPartEntities - 1) / kPartEntities),
            [&](std::size_t i) {
                PartText part;
                part.out.text.reserve(kPartBytes);
                parts[i](part);
                return part;
            },
            [&](const PartText &part) {
                if (part.first) {
                    ScriptRun::WriteChanges(state, *part.first, out);
                    state = part.last;
                }
                out.WriteLines(part.out.text);
                counted.Add(part.report);
                stopped = options.progress && !options.progress(++written, parts.size());
                return out.Ok() && !stopped;
            });
    if (report) *report = counted;
    return out.Ok() && !stopped;
}

template <class Drawing>
bool WriteScript(std::FILE *file, const Drawing &drawing, const ConvertOptions &options, const PenColorTable &pens,
                 ConversionReport *report) {
    FileScriptSink sink(file);
    return Convert(drawing, options, pens, sink, report) && sink.Finish();
}

}  // namespace

bool ConvertDrawing(const DrawingStore &store, const ConvertOptions &options, const PenColorTable &pens,
                    ScriptSink &out, ConversionReport *report) {
    return Convert(store, options, pens, out, report);
}

bool ConvertDrawing(const ScriptDrawing &drawing, const ConvertOptions &options, const PenColorTable &pens,
                    ScriptSink &out, ConversionReport *report) {
    return Convert(drawing, options, pens, out, report);
}

bool WriteScriptFile(std::FILE *file, const DrawingStore &store, const ConvertOptions &options,
                     const PenColorTable &pens, ConversionReport *report) {
    return WriteScript(file, store, options, pens, report);
}

bool WriteScriptFile(std::FILE *file, const ScriptDrawing &drawing, const ConvertOptions &options,
                     const PenColorTable &pens, ConversionReport *report) {
    return WriteScript(file, drawing, options, pens, report);
}

}  // namespace korvel
