// One walk over the drawing for every export format.
#include "script/export_walk.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "geom/cp932.h"
#include "geom/extended.h"
#include "geom/utf8.h"
#include "reader/block_figures.h"
#include "reader/drawing_rules.h"
#include "reader/extents.h"
#include "reader/layers.h"

namespace korvel {

double ExportPlace::X(double x) const { return ToDouble((Ext(x) - x0) * s); }
double ExportPlace::Y(double y) const { return ToDouble((Ext(y) - y0) * s); }
double ExportPlace::Length(double v) const { return ToDouble(Ext(v) * s); }

namespace {

// What DXF forbids in a table entry's name (and what would confuse a file name made of it).
std::string Sanitised(std::string name) {
    for (char &c : name)
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("<>/\\\":;?*|=`").find(c) != std::string_view::npos)
            c = '_';
    return name;
}

std::string Trimmed(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\0'; };
    while (!text.empty() && blank(text.back()))
        text.pop_back();
    return text;
}

}  // namespace

ExportPlace PlaceOfGroup(const DrawingStore &store, const ExportOptions &options, std::size_t group) {
    if (options.paper) return {store.originX, store.originY, 1};
    const std::vector<double> &scales = store.layerGroupScales;
    const double s = group < scales.size() ? scales[group] : scales.empty() ? 1 : scales[0];
    return {store.originX, store.originY, s};
}

ExportBox ShownBox(const DrawingStore &store, const ExportOptions &options) {
    ExportBox box{0, 0, 0, 0};  // the reference point, as the view's fit holds it
    const GroupExtents groups = ComputeShownExtentsByGroup(store, HiddenInFile(store));
    for (std::size_t group = 0; group < groups.size(); group++) {
        const ExportPlace at = PlaceOfGroup(store, options, group);
        if (!groups[group].any || !std::isnormal(at.s)) continue;  // what a group of no scale holds is left out
        const DrawingExtents &e = groups[group].extents;
        // A negative scale turns the rectangle over.
        const double x1 = at.X(e.minX), x2 = at.X(e.maxX), y1 = at.Y(e.minY), y2 = at.Y(e.maxY);
        const ExportBox placed{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
        if (!std::isfinite(placed.minX) || !std::isfinite(placed.minY) || !std::isfinite(placed.maxX) ||
            !std::isfinite(placed.maxY))
            continue;
        box = ExportBox{std::min(box.minX, placed.minX), std::min(box.minY, placed.minY),
                        std::max(box.maxX, placed.maxX), std::max(box.maxY, placed.maxY)};
    }
    return box;
}

std::string LayerName(const DrawingStore &store, std::size_t layer) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string name{kHex[layer / kLayersPerGroup % 16], '-', kHex[layer % kLayersPerGroup]};
    if (layer < store.layerNames.size()) {
        const std::string own = Trimmed(Cp932ToUtf8(store.layerNames[layer]));
        if (!own.empty()) name += " " + own;
    }
    return Sanitised(name);
}

namespace {

// The hash of a name as DXF readers compare names: regardless of case, beyond ASCII too (Ａ and ａ, Α and α),
// with the folding file names get.
std::uint64_t NameHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037u;  // FNV-1a
    for (const unsigned char c : CaseFolded(name))
        hash = (hash ^ c) * 1099511628211u;
    return hash;
}

}  // namespace

BlockNames::BlockNames(const DrawingStore &store) : store(store) {
    byHash.reserve(store.blockDefs.size());
    for (std::size_t d = 0; d < store.blockDefs.size(); d++)
        byHash.emplace_back(NameHash(OwnName(d)), d);
    std::sort(byHash.begin(), byHash.end());
}

std::string BlockNames::OwnName(std::size_t d) const {
    const TclpEntBlockDef &definition = store.blockDefs[d];
    const std::string own = Sanitised(Trimmed(Cp932ToUtf8(definition.name)));
    return own.empty() ? "BLOCK_" + std::to_string(definition.number) : own;
}

// Two names of one hash count as one name: the later is renamed, which costs nothing but the name.
bool BlockNames::FirstToBear(const std::string &name, std::size_t d) const {
    const auto first = std::lower_bound(byHash.begin(), byHash.end(), std::pair{NameHash(name), std::size_t{0}});
    return first != byHash.end() && first->second == d;
}

bool BlockNames::Borne(const std::string &name) const {
    const std::uint64_t hash = NameHash(name);
    const auto first = std::lower_bound(byHash.begin(), byHash.end(), std::pair{hash, std::size_t{0}});
    return first != byHash.end() && first->first == hash;
}

std::string BlockNames::operator[](std::size_t d) const {
    std::string name = OwnName(d);
    if (FirstToBear(name, d)) return name;
    // Made once: a chain of own names ("A", "A_1", "A_1_1", ...) may make the search as long as the chain,
    // which every insert of the definition would repeat.
    if (const auto found = renamed.find(d); found != renamed.end()) return found->second;
    // The definition's place is its own: a renamed name can meet only another's own name, each at most once.
    do
        name += "_" + std::to_string(d);
    while (Borne(name));
    renamed.emplace(d, name);
    return name;
}

namespace {

// The definition an insert places: the first with the insert's number. A sorted list of numbers and places,
// eight bytes a definition, where a map would cost several times that for a drawing of a million of them.
class DefinitionsByNumber {
public:
    explicit DefinitionsByNumber(const DrawingStore &store) {
        sorted.reserve(store.blockDefs.size());
        for (std::size_t d = 0; d < store.blockDefs.size(); d++)
            sorted.emplace_back(store.blockDefs[d].number, static_cast<std::uint32_t>(d));
        std::sort(sorted.begin(), sorted.end());
    }
    std::optional<std::size_t> Find(std::int32_t number) const {
        const auto first = std::lower_bound(sorted.begin(), sorted.end(), std::pair{number, std::uint32_t{0}});
        if (first == sorted.end() || first->first != number) return std::nullopt;
        return first->second;
    }

private:
    std::vector<std::pair<std::int32_t, std::uint32_t>> sorted;
};

// Each definition's strongly connected component (Tarjan's, without recursion: a chain of nested definitions
// may be as long as the drawing). An insert whose definition lies in its own component would place a block
// inside itself, which no reader can expand.
std::vector<std::size_t> Components(const DrawingStore &store, const DefinitionsByNumber &byNumber) {
    const std::size_t n = store.blockDefs.size(), unseen = SIZE_MAX;
    std::vector<std::size_t> index(n, unseen), low(n), component(n, unseen), stack;
    std::vector<bool> onStack(n);
    std::size_t counter = 0, components = 0;
    struct Frame {
        std::size_t node, next;
    };
    for (std::size_t root = 0; root < n; root++) {
        if (index[root] != unseen) continue;
        std::vector<Frame> frames{{root, 0}};
        index[root] = low[root] = counter++;
        stack.push_back(root);
        onStack[root] = true;
        while (!frames.empty()) {
            Frame &f = frames.back();
            if (f.next < store.blockDefs[f.node].inserts.size()) {
                const std::optional<std::size_t> to = byNumber.Find(store.blockDefs[f.node].inserts[f.next++].number);
                if (!to) continue;
                if (index[*to] == unseen) {
                    index[*to] = low[*to] = counter++;
                    stack.push_back(*to);
                    onStack[*to] = true;
                    frames.push_back({*to, 0});
                } else if (onStack[*to]) {
                    low[f.node] = std::min(low[f.node], index[*to]);
                }
                continue;
            }
            const std::size_t node = f.node;
            frames.pop_back();
            if (!frames.empty()) low[frames.back().node] = std::min(low[frames.back().node], low[node]);
            if (low[node] != index[node]) continue;
            for (std::size_t member;;) {
                member = stack.back();
                stack.pop_back();
                onStack[member] = false;
                component[member] = components;
                if (member == node) break;
            }
            components++;
        }
    }
    return component;
}

// How deep each definition is placed, counting only the inserts the export writes: none inside its own
// component, and none in a definition placed as deep as conversion and the view place blocks (deeper levels
// are left out, as there); a definition nothing writes an insert of is placed by the drawing alone. Tarjan
// numbers a component after every component it reaches, so the definitions are visited from the highest.
std::vector<std::size_t> Depths(const DrawingStore &store, const DefinitionsByNumber &byNumber,
                                const std::vector<std::size_t> &component) {
    const std::size_t n = store.blockDefs.size();
    std::vector<std::size_t> order(n), depth(n, 1);
    for (std::size_t d = 0; d < n; d++)
        order[d] = d;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return component[a] > component[b]; });
    for (const std::size_t d : order) {
        if (depth[d] >= kMaxBlockNesting) continue;
        for (const TclpEntBlock &insert : store.blockDefs[d].inserts) {
            const std::optional<std::size_t> to = byNumber.Find(insert.number);
            if (to && component[*to] != component[d]) depth[*to] = std::max(depth[*to], depth[d] + 1);
        }
    }
    return depth;
}

class Walk {
public:
    Walk(const DrawingStore &store, const ExportOptions &options, FigureWriter &writer, ConversionReport &report)
        : store(store), options(options), writer(writer), report(report), byNumber(store) {}

    bool Run() {
        const std::vector<std::size_t> component = Components(store, byNumber);
        const std::vector<std::size_t> depth = Depths(store, byNumber, component);
        // The work: each definition and its members, then the top level; the stop is asked every few thousand.
        std::uint64_t total = store.objects.size(), done = 0;
        for (const TclpEntBlockDef &definition : store.blockDefs)
            total += 1 + definition.objects.size();
        bool stopped = false;
        const auto step = [&] {
            if (!stopped && ++done % kProgressStep == 0 && options.progress && !options.progress(done, total))
                stopped = true;
            return !stopped;
        };
        for (std::size_t d = 0; d < store.blockDefs.size() && step(); d++) {
            const TclpEntBlockDef &definition = store.blockDefs[d];
            writer.BeginBlock(d);
            ForEachInPaintOrder(definition.objects, [&](const ObjectRef &ref) {
                if (!step()) return;
                if (ref.kind != static_cast<std::int32_t>(EntityKind::Insert)) {
                    Member(definition, ref, ExportPlace{});
                    return;
                }
                const std::size_t i = static_cast<std::size_t>(ref.index);
                if (i >= definition.inserts.size()) return;
                const std::optional<std::size_t> to = byNumber.Find(definition.inserts[i].number);
                if (!to) report[LeftOutReason::MissingBlock]++;
                else if (component[*to] == component[d]) report[LeftOutReason::SelfReferring]++;
                else if (depth[d] >= kMaxBlockNesting) report[LeftOutReason::OverBudget]++;
                else if (HasNoSize(definition.inserts[i])) report[LeftOutReason::ZeroSize]++;
                else Count(WrittenKind::Insert, writer.Insert(definition.inserts[i], *to, ExportPlace{}), true);
            });
            writer.EndBlock(d);
        }
        if (stopped) return false;
        writer.BeginTopLevel();
        ForEachInPaintOrder(store.objects, [&](const ObjectRef &ref) {
            if (step()) TopLevel(ref);
        });
        if (stopped) return false;
        report[LeftOutReason::LockedLayer] += store.leftOnLockedLayers;
        return !options.progress || options.progress(total, total);
    }

private:
    static constexpr std::uint64_t kProgressStep = 8192;

    // Solids first, then everything else, each in file order: the view paints fills under lines and texts.
    template <class Visit>
    static void ForEachInPaintOrder(const auto &objects, Visit &&visit) {
        const auto solid = [](const ObjectRef &ref) {
            return ref.kind == static_cast<std::int32_t>(EntityKind::Solid);
        };
        for (const ObjectRef &ref : objects)
            if (solid(ref)) visit(ref);
        for (const ObjectRef &ref : objects)
            if (!solid(ref)) visit(ref);
    }

    ExportPlace PlaceOf(const TclpEntBase &base) const { return PlaceOfGroup(store, options, base.layerGroup); }

    void TopLevel(const ObjectRef &ref) {
        const std::size_t i = static_cast<std::size_t>(ref.index);
        const auto usable = [&](const TclpEntBase &base) {
            if (std::isnormal(PlaceOf(base).s)) return true;
            report[LeftOutReason::UnusableScale]++;
            return false;
        };
        if (ref.kind == static_cast<std::int32_t>(EntityKind::Insert)) {
            if (i >= store.inserts.size() || !usable(store.inserts[i].base)) return;
            const std::optional<std::size_t> found = byNumber.Find(store.inserts[i].number);
            if (!found) {
                report[LeftOutReason::MissingBlock]++;
                return;
            }
            if (HasNoSize(store.inserts[i])) {
                report[LeftOutReason::ZeroSize]++;
                return;
            }
            Count(WrittenKind::Insert, writer.Insert(store.inserts[i], *found, PlaceOf(store.inserts[i].base)));
            return;
        }
        VisitEntity(store, ref, [&](const auto &entity) {
            if (usable(entity.base)) Write(entity, PlaceOf(entity.base));
        });
    }

    void Member(const TclpEntBlockDef &definition, const ObjectRef &ref, const ExportPlace &at) {
        VisitEntity(definition, ref, [&](const auto &entity) { Write(entity, at, true); });
    }

    // The entity an ObjectRef names in `lists`, handed to `visit`; nothing for an insert or a bad reference.
    template <class Lists, class Visit>
    static void VisitEntity(const Lists &lists, const ObjectRef &ref, Visit &&visit) {
        const auto at = [&](const auto &list) {
            const std::size_t i = static_cast<std::size_t>(ref.index);
            if (i < list.size()) visit(list[i]);
        };
        switch (static_cast<EntityKind>(ref.kind)) {
            case EntityKind::Line: at(lists.lines); break;
            case EntityKind::Arc: at(lists.arcs); break;
            case EntityKind::Point: at(lists.points); break;
            case EntityKind::Text: at(lists.texts); break;
            case EntityKind::Dimension: at(lists.dimensions); break;
            case EntityKind::Solid: at(lists.solids); break;
            default: break;
        }
    }

    // `member`: a block member, written once, in its definition.
    void Write(const TclpEntSen &line, const ExportPlace &at, bool member = false) {
        Count(WrittenKind::Line, writer.Line(line, at), member);
    }
    void Write(const TclpEntEnko &arc, const ExportPlace &at, bool member = false) {
        if (HasNoSize(arc)) {
            report[LeftOutReason::ZeroSize]++;
            return;
        }
        Count(WrittenKind::Arc, writer.Arc(arc, at), member);
    }
    void Write(const TclpEntTen &point, const ExportPlace &at, bool member = false) {
        Count(WrittenKind::Point, writer.Point(point, at), member);
    }
    void Write(const TclpEntMoji &text, const ExportPlace &at, bool member = false) {
        Count(WrittenKind::Text, writer.Text(text, at), member);
    }
    void Write(const TclpEntSunpo &dimension, const ExportPlace &at, bool member = false) {
        Count(WrittenKind::Dimension, writer.Dimension(dimension, at), member);
    }
    void Write(const TclpEntSolid &solid, const ExportPlace &at, bool member = false) {
        if (IsArcSolid(solid)) {
            const ArcSolidShape shape = DecodeArcSolid(solid);
            const ArcSolidFigure figure = FigureOf(shape, kArcSolidShapeTolerance);
            if (figure == ArcSolidFigure::Nothing) {
                report[LeftOutReason::NoFigure]++;
                return;
            }
            if (HasNoSize(shape, figure)) {
                report[LeftOutReason::ZeroSize]++;
                return;
            }
        }
        Count(WrittenKind::Solid, writer.Solid(solid, at), member);
    }
    void Count(WrittenKind kind, bool written, bool member = false) {
        if (!written) {
            report[LeftOutReason::NoFigure]++;
            return;
        }
        report[kind]++;
        if (member) report.fromBlocks++;
    }

    const DrawingStore &store;
    const ExportOptions &options;
    FigureWriter &writer;
    ConversionReport &report;
    const DefinitionsByNumber byNumber;
};

}  // namespace

bool WalkForExport(const DrawingStore &store, const ExportOptions &options, FigureWriter &writer,
                   ConversionReport &report) {
    return Walk(store, options, writer, report).Run();
}

}  // namespace korvel
