// UnitGra's preview driver: every entity of the drawing, block inserts expanded one level, then the
// reference-point marker.
#include "preview/preview.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "geom/extended.h"
#include "geom/parts_in_order.h"
#include "preview/curves.h"
#include "preview/deferred_canvas.h"
#include "preview/draw_filter.h"
#include "preview/markers.h"
#include "preview/text.h"
#include "reader/drawing_rules.h"
#include "reader/extents.h"

namespace korvel {

namespace {

constexpr std::int32_t kSolidLineType = 1;
constexpr std::int32_t kSolidFill = 1;

Rgb FromColorRef(std::int32_t colorRef) {
    const auto v = static_cast<std::uint32_t>(colorRef);
    return {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>((v >> 8) & 0xFF),
            static_cast<std::uint8_t>((v >> 16) & 0xFF)};
}

std::int32_t TextStyleOf(std::int32_t textType) {
    const auto t = static_cast<std::uint32_t>(textType);
    if (t < 10000) return 0;
    if (t < 20000) return kTextItalic;
    if (t < 30000) return kTextBold;
    return kTextBold | kTextItalic;
}

// Draws one entity list, either at top level or as the members of a definition placed by an insert.
class EntityPainter {
public:
    EntityPainter(PreviewSurface &surface, const BlockPlacement *insert) : surface(surface), insert(insert) {
        const PreviewView &v = surface.view;
        if (insert) quick = insert->QuickMapTo(v.minX, v.minY, v.scale);
    }

    PlanePoint At(double x, double y) const { return insert ? insert->Place(x, y) : PlanePoint{x, y}; }

    void Solid(const TclpEntSolid &s) {
        Canvas &canvas = surface.canvas;
        if (HasOwnColor(s)) {
            const Rgb own = FromColorRef(s.color);
            canvas.SetPen({own, PenStyle::Solid, 0});
            canvas.SetBrush({own, BrushKind::Solid});
        } else {
            SetPenByColorNumber(canvas, s.base.penColor, kSolidLineType);
            SetBrushByColorNumber(canvas, s.base.penColor, kSolidFill);
        }
        if (IsArcSolid(s)) return DrawArcSolid(surface, DecodeArcSolid(s), insert);
        std::vector<PlanePoint> &buffer = surface.worldPoints.vertices;
        buffer.clear();
        buffer.push_back(At(s.x1, s.y1));
        buffer.push_back(At(s.x2, s.y2));
        buffer.push_back(At(s.x3, s.y3));
        buffer.push_back(At(s.x4, s.y4));
        FillWorldPoints(surface);
        buffer.clear();
    }

    void Line(const TclpEntSen &l) {
        SetPenByColorNumber(surface.canvas, l.base.penColor, l.base.penStyle);
        if (insert) {
            // Members are placed in doubles first; the exact placement only when those cannot decide.
            const PlanePoint extent{std::max(std::fabs(l.startX), std::fabs(l.endX)),
                                    std::max(std::fabs(l.startY), std::fabs(l.endY))};
            if (DrawCertainPixelLine(surface, quick.At({l.startX, l.startY}), quick.At({l.endX, l.endY}),
                                     insert->QuickMapBound(extent, surface.view.scale)))
                return;
        }
        const PlanePoint a = At(l.startX, l.startY), b = At(l.endX, l.endY);
        DrawWorldLine(surface, a.x, a.y, b.x, b.y);
    }

    void Arc(const TclpEntEnko &a) {
        SetPenByColorNumber(surface.canvas, a.base.penColor, a.base.penStyle);
        if (a.fullCircle != 0) DrawEllipse(surface, EllipseOf(a), insert);
        else DrawEllipseArc(surface, ArcOf(a), insert);
    }

    void Point(const TclpEntTen &p) {
        const bool marked = IsSymbolPoint(p);
        const PlanePoint at = At(p.x, p.y);
        double angle = marked ? p.rotation : 0;
        if (insert) {
            const double r = insert->Transform().angle;
            angle = marked ? ToDouble(Ext(r) + p.rotation) : r;
        }
        DrawPointMarker(surface, p.temporary, marked ? p.code : 0, at.x, at.y, angle, marked ? p.scale : 1,
                        p.base.penColor);
    }

    void Text(const TclpEntMoji &t) {
        SetPenByColorNumber(surface.canvas, t.base.penColor, kSolidLineType);
        const PlanePoint a = At(t.startX, t.startY), b = At(t.endX, t.endY);
        double h = t.sizeY, w = t.sizeX, s = t.spacing;
        if (insert) {
            const BlockTransform &bt = insert->Transform();
            h = ToDouble(Ext(t.sizeY) * bt.scaleY);
            w = ToDouble(Ext(t.sizeX) * bt.scaleX);
            s = ToDouble(Ext(t.spacing) * bt.scaleX);
        }
        DrawPreviewText(surface, TextStyleOf(t.textType), a.x, a.y, b.x, b.y, h, w, s, t.fontName, t.text);
    }

    void Dimension(const TclpEntSunpo &d) {
        Line(d.line);
        Text(d.label);
        if (d.sxfMode == 0) return;
        Line(d.auxLine1);
        Line(d.auxLine2);
        Point(d.point1);
        Point(d.point2);
        Point(d.point3);
        Point(d.point4);
    }

    template <template <class> class List>
    void All(const EntityLists<List> &a) {
        Range(a, 0, SIZE_MAX);
    }

    // The members from `from` up to `to`, counted through the kinds in the order they are drawn.
    template <template <class> class List>
    void Range(const EntityLists<List> &a, std::size_t from, std::size_t to) {
        std::size_t first = 0;
        ForEachKindInOrder(a, [&](const auto &entities, auto draw) {
            const std::size_t begin = std::clamp(from, first, first + entities.size()) - first;
            const std::size_t end = std::clamp(to, first, first + entities.size()) - first;
            for (std::size_t i = begin; i < end; i++)
                if (MemberShown(entities[i])) (this->*draw)(entities[i]);
            first += entities.size();
        });
    }

    // A definition's members cut into runs of about `weight`, counted as Range counts them: where each run
    // ends, and what it weighs.
    struct Run {
        std::size_t end;
        std::uint64_t weight;
    };
    template <template <class> class List>
    static std::vector<Run> Runs(const EntityLists<List> &a, std::uint64_t weight) {
        std::vector<Run> runs;
        std::size_t at = 0;
        std::uint64_t run = 0;
        ForEachKindInOrder(a, [&](const auto &entities, auto) {
            for (const auto &entity : entities) {
                at++;
                run += DrawingWeight(entity);
                if (run < weight) continue;
                runs.push_back({at, run});
                run = 0;
            }
        });
        if (run > 0) runs.push_back({at, run});
        return runs;
    }

    // The kinds in the order they are drawn, each with the member that draws one. Every entity sets the pen
    // (and the brush, for solids) before it draws, so it draws alike wherever its kind's run begins.
    template <template <class> class List, class Visit>
    static void ForEachKindInOrder(const EntityLists<List> &a, Visit &&visit) {
        visit(a.solids, &EntityPainter::Solid);
        visit(a.lines, &EntityPainter::Line);
        visit(a.arcs, &EntityPainter::Arc);
        visit(a.points, &EntityPainter::Point);
        visit(a.texts, &EntityPainter::Text);
        visit(a.dimensions, &EntityPainter::Dimension);
    }

private:
    // A view leaves out the members of a block that lie outside what it draws.
    template <class Entity>
    bool MemberShown(const Entity &member) const {
        return !insert || !surface.filter || PlacedBox(BoxOf(member), *insert).Meets(surface.filter->window);
    }

    PreviewSurface &surface;
    const BlockPlacement *insert;
    QuickMap quick;  // the insert's placement to pixel units, in doubles
};

// A red corner flag: the preview leaves out block members past the budget.
void DrawIncompleteFlag(PreviewSurface &surface) {
    constexpr std::int32_t kSide = 12;
    const std::int32_t right = surface.view.width - 1;
    const PixelPoint corner[] = {{right - kSide, 1}, {right, 1}, {right, 1 + kSide}};
    SetPreviewPen(surface.canvas, {255, 0, 0}, 0, 0);
    surface.canvas.SetBrush(Brush{{255, 0, 0}, BrushKind::Solid});
    surface.canvas.DrawPolygon(corner);
}

// A run of one kind's top-level entities, or of placed inserts. A large drawing's runs are drawn side by side,
// each onto a canvas that keeps its operations, and replayed in order; a run that would keep too much (a long
// text, the insert of a large block) is drawn at its turn onto the surface itself.
struct PreviewPart {
    std::function<void(PreviewSurface &)> draw;
    bool onSurface = false;
};

// What a part weighs (entities, or block members placed; a text by its characters), and past which it is
// drawn onto the surface.
constexpr std::uint64_t kPartWeight = 4096;
constexpr std::uint64_t kKeptPartWeight = 2 * kPartWeight;

// Cuts `count` items into parts of about kPartWeight; `draw(surface, begin, end)` draws a part's items.
// Returns their weight.
template <class WeightOf, class Draw>
std::uint64_t AddWeightedParts(std::vector<PreviewPart> &parts, std::size_t count, WeightOf &&weightOf, Draw draw) {
    std::uint64_t total = 0, weight = 0;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < count; i++) {
        weight += weightOf(i);
        if (weight < kPartWeight && i + 1 < count) continue;
        parts.push_back({[draw, begin, end = i + 1](PreviewSurface &surface) { draw(surface, begin, end); },
                         weight > kKeptPartWeight});
        total += weight;
        begin = i + 1;
        weight = 0;
    }
    return total;
}

// The entities of one kind, or of those only the ones a view found near what it draws.
template <class Entity>
std::uint64_t AddParts(std::vector<PreviewPart> &parts, const std::vector<Entity> &entities,
                       void (EntityPainter::*draw)(const Entity &), const DrawFilter *filter) {
    const std::vector<std::uint32_t> *nearby = filter ? filter->Nearby<Entity>() : nullptr;
    const auto at = [&entities, nearby](std::size_t k) -> const Entity & {
        return entities[nearby ? (*nearby)[k] : k];
    };
    return AddWeightedParts(
        parts, nearby ? nearby->size() : entities.size(), [&](std::size_t k) { return DrawingWeight(at(k)); },
        [at, draw](PreviewSurface &surface, std::size_t begin, std::size_t end) {
            EntityPainter painter(surface, nullptr);
            const DrawFilter *shown = surface.filter;
            for (std::size_t k = begin; k < end; k++)
                if (!shown || shown->Shows(at(k))) (painter.*draw)(at(k));
        });
}

bool Shown(const PreviewSurface &surface, const TclpEntBlock &insert, const TclpEntBlockDef &definition,
           const BlockPlacement &placement) {
    return !surface.filter || surface.filter->Shows(insert, definition, placement);
}

// Inserts weigh their members, at least one each. An insert of a large definition is cut into runs of its
// members, each a part (each definition's runs found once, kept in `runs` while the parts are drawn).
using DefinitionRuns = std::map<const TclpEntBlockDef *, std::vector<EntityPainter::Run>>;

// Which inserts are drawn: all those the budget allows, or of those only the ones a view found near what it draws.
class InsertOrder {
public:
    InsertOrder(const PlacedInserts &inserts, const std::vector<std::uint32_t> *only) : only(only) {
        count = only ? static_cast<std::size_t>(std::lower_bound(only->begin(), only->end(), inserts.Count()) -
                                                only->begin())
                     : inserts.Count();
    }
    std::size_t Count() const { return count; }
    std::size_t operator[](std::size_t k) const { return only ? (*only)[k] : k; }

private:
    const std::vector<std::uint32_t> *only;
    std::size_t count;
};

std::uint64_t AddInsertParts(std::vector<PreviewPart> &parts, const PlacedInserts &inserts, const InsertOrder &order,
                             DefinitionRuns &runs) {
    const auto weightOf = [&](std::size_t k) { return std::max<std::uint64_t>(1, inserts.Weight(order[k])); };
    std::uint64_t total = 0;
    std::size_t begin = 0;
    // The light inserts from `begin` up to `end`, in parts of several inserts.
    const auto addInserts = [&](std::size_t end) {
        AddWeightedParts(
            parts, end - begin, [&](std::size_t k) { return weightOf(begin + k); },
            [&inserts, &order, first = begin](PreviewSurface &surface, std::size_t from, std::size_t to) {
                for (std::size_t k = first + from; k < first + to; k++)
                    inserts.ForEach(order[k], order[k] + 1,
                                    [&](const TclpEntBlockDef &definition, const BlockPlacement &placement,
                                        const TclpEntBlock &insert) {
                                        if (Shown(surface, insert, definition, placement))
                                            EntityPainter(surface, &placement).All(definition);
                                    });
            });
    };
    for (std::size_t k = 0; k < order.Count(); k++) {
        total += weightOf(k);
        if (weightOf(k) <= kKeptPartWeight) continue;
        addInserts(k);
        begin = k + 1;
        const std::size_t i = order[k];
        inserts.ForEach(i, i + 1, [&](const TclpEntBlockDef &definition, const BlockPlacement &) {
            auto [found, made] = runs.try_emplace(&definition);
            if (made) found->second = EntityPainter::Runs(definition, kPartWeight);
            std::size_t start = 0;
            for (const EntityPainter::Run &run : found->second) {
                parts.push_back({[&inserts, i, start, end = run.end](PreviewSurface &surface) {
                                     inserts.ForEach(i, i + 1,
                                                     [&](const TclpEntBlockDef &d, const BlockPlacement &at,
                                                         const TclpEntBlock &insert) {
                                                         if (Shown(surface, insert, d, at))
                                                             EntityPainter(surface, &at).Range(d, start, end);
                                                     });
                                 },
                                 run.weight > kKeptPartWeight});
                start = run.end;
            }
        });
    }
    addInserts(order.Count());
    return total;
}

// What a part is drawn with away from the surface: a canvas that keeps its operations, and the block
// members' curves, made once per definition and kept for the next parts as the canvas's room is.
struct PartTools {
    DeferredCanvas canvas;
    BlockCurveCache blockCurves;
};

void DrawParts(PreviewSurface &surface, const std::vector<PreviewPart> &parts, unsigned ahead) {
    BlockCurveCache blockCurves;
    surface.blockCurves = &blockCurves;
    if (ahead <= 1) {
        for (const PreviewPart &part : parts)
            part.draw(surface);
        surface.blockCurves = nullptr;
        return;
    }
    std::mutex spareLock;
    std::vector<std::unique_ptr<PartTools>> spare;
    MakePartsInOrder(
        parts.size(), ahead,
        [&](std::size_t i) {
            std::unique_ptr<PartTools> tools;
            if (parts[i].onSurface) return tools;
            {
                const std::lock_guard lock(spareLock);
                if (!spare.empty()) {
                    tools = std::move(spare.back());
                    spare.pop_back();
                }
            }
            if (!tools) tools = std::make_unique<PartTools>();
            PreviewSurface onto = surface.Over(tools->canvas);
            onto.blockCurves = &tools->blockCurves;
            parts[i].draw(onto);
            return tools;
        },
        [&, next = std::size_t{0}](std::unique_ptr<PartTools> tools) mutable {
            const std::size_t i = next++;
            if (!tools) {
                parts[i].draw(surface);
                return true;
            }
            tools->canvas.ReplayOnto(surface.canvas);
            tools->canvas.Clear();
            const std::lock_guard lock(spareLock);
            spare.push_back(std::move(tools));
            return true;
        });
    surface.blockCurves = nullptr;
}

}  // namespace

std::size_t DrawPreview(PreviewSurface &surface, const DrawingStore &store, std::optional<unsigned> partsAhead) {
    // A view keeps its own, found once for every frame.
    std::optional<PlacedInserts> own;
    const PlacedInserts &inserts =
        surface.filter && surface.filter->inserts ? *surface.filter->inserts : own.emplace(store);
    std::vector<PreviewPart> parts;
    std::uint64_t weight = 0;
    EntityPainter::ForEachKindInOrder(
        store, [&](const auto &entities, auto draw) { weight += AddParts(parts, entities, draw, surface.filter); });
    DefinitionRuns runs;
    const InsertOrder order(inserts, surface.filter ? surface.filter->Nearby<TclpEntBlock>() : nullptr);
    weight += AddInsertParts(parts, inserts, order, runs);
    DrawParts(surface, parts, partsAhead.value_or(PartsAhead((weight + kPartWeight - 1) / kPartWeight)));

    SetPreviewPen(surface.canvas, {255, 0, 0}, 1, 2);
    DrawEllipse(surface, {store.originX, store.originY, ToDouble(Ext(5.0) / surface.view.scale), 1, 0});
    // A view says so beside its image.
    if (inserts.Count() < store.inserts.size() && !surface.filter) DrawIncompleteFlag(surface);
    return store.inserts.size() - inserts.Count();
}

void PrepareBlankPreview(PreviewSurface &surface, std::int32_t width, std::int32_t height) {
    surface.view.width = width;
    surface.view.height = height;
    FillPreviewBackground(surface.canvas, width, height, {255, 255, 255});
    SetPreviewPen(surface.canvas, {0, 0, 255}, 0, 0);
    DrawPixelFrame(surface.canvas, 0, 0, width - 1, height - 1);
}

std::size_t RenderDrawingPreview(PreviewSurface &surface, const DrawingStore &store,
                                 std::optional<unsigned> partsAhead) {
    surface.view = FitPreviewView(ComputeDrawingExtents(store), surface.view.width, surface.view.height);
    return DrawPreview(surface, store, partsAhead);
}

}  // namespace korvel
