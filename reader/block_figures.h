// Block figures nested to any depth: every top-level insert replaced by its definition's members placed by it,
// and by each insert among them in turn. What the script writes for blocks; the preview places one level.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "reader/drawing_rules.h"
#include "reader/drawing_store.h"
#include "reader/placed_figures.h"

namespace korvel {

// Definitions inside definitions are followed this deep at most; deeper ones are left out as over the budget.
inline constexpr std::size_t kMaxBlockNesting = 64;

// What the placed figures hold and leave out, over the inserts the budget allows.
struct BlockFigureTally {
    // Members placed, by kind (the inserts among them included).
    std::uint64_t lines = 0, arcs = 0, points = 0, texts = 0, dimensions = 0, solids = 0, inserts = 0;
    std::uint64_t missing = 0;        // inserts whose definition does not exist
    std::uint64_t selfReferring = 0;  // inserts of a definition that is already being placed (left out)
    std::uint64_t overBudget = 0;     // top-level inserts past the member budget, and inserts nested too deep
    std::uint64_t empty = 0;          // inserts of a definition with no members: they place nothing
};

// A definition of no member of any kind places nothing. (Its members are what its lists hold: a definition
// read part-way may hold members its object list does not name.)
inline bool HoldsNothing(const TclpEntBlockDef &d) {
    return d.lines.empty() && d.arcs.empty() && d.points.empty() && d.texts.empty() && d.dimensions.empty() &&
           d.solids.empty() && d.inserts.empty();
}

class BlockFigures {
public:
    // Walks the inserts once to find how many the member budget allows (by drawing weight, as the preview's
    // budget counts, each definition placed counting once more, times the depth it is placed at).
    explicit BlockFigures(const DrawingStore &store);

    std::size_t Count() const { return weights.size(); }
    std::uint64_t Weight(std::size_t i) const { return weights[i]; }
    const BlockFigureTally &Tally() const { return tally; }

    // Visits each member of kind Entity of the allowed inserts from `begin` up to `end` as
    // `visit(placed, expressible)`: placed by every insert that holds it, innermost first, on the layer and layer
    // group of the top-level insert (a block is shown, hidden and written with the layer it was placed on; its
    // members keep their own colours and line types). Order: an insert's definition's own members, then those
    // of each insert among them, depth first.
    template <class Entity, class Visit>
    void ForEach(std::size_t begin, std::size_t end, Visit &&visit) const {
        std::vector<BlockPlacement> chain;
        std::vector<const TclpEntBlockDef *> open;
        for (std::size_t i = begin; i < end && i < Count(); i++) {
            const TclpEntBlock &insert = store.inserts[i];
            const TclpEntBlockDef *definition = lookup.Find(insert.number);
            if (!definition) continue;
            chain.assign(1, BlockPlacement(BlockTransformOf(insert)));
            open.assign(1, definition);
            Walk<Entity>(*definition, insert.base, chain, open, visit);
        }
    }

private:
    template <class Entity, class Visit>
    void Walk(const TclpEntBlockDef &definition, const TclpEntBase &top, std::vector<BlockPlacement> &chain,
              std::vector<const TclpEntBlockDef *> &open, Visit &visit) const {
        for (const Entity &member : MembersOf<Entity>(definition)) {
            Entity placed = member;
            bool expressible = true;
            for (std::size_t level = chain.size(); level-- > 0 && expressible;)
                expressible = PlaceFigure(placed, chain[level]);
            placed.base.layer = top.layer;
            placed.base.layerGroup = top.layerGroup;
            visit(static_cast<const Entity &>(placed), expressible);
        }
        if (open.size() >= kMaxBlockNesting) return;
        for (const TclpEntBlock &insert : definition.inserts) {
            const TclpEntBlockDef *inner = lookup.Find(insert.number);
            if (!inner || IsOpen(open, inner)) continue;
            chain.push_back(BlockPlacement(BlockTransformOf(insert)));
            open.push_back(inner);
            Walk<Entity>(*inner, top, chain, open, visit);
            chain.pop_back();
            open.pop_back();
        }
    }

    template <class Entity>
    static const CompactVector<Entity> &MembersOf(const TclpEntBlockDef &d) {
        if constexpr (std::is_same_v<Entity, TclpEntSen>) return d.lines;
        else if constexpr (std::is_same_v<Entity, TclpEntEnko>) return d.arcs;
        else if constexpr (std::is_same_v<Entity, TclpEntTen>) return d.points;
        else if constexpr (std::is_same_v<Entity, TclpEntSolid>) return d.solids;
        else return d.dimensions;
    }
    // What placing the definition weighs with all it holds, counted into `counted`; stops once over `limit`.
    std::uint64_t Weigh(const TclpEntBlockDef &definition, std::vector<const TclpEntBlockDef *> &open,
                        std::uint64_t limit, BlockFigureTally &counted) const;
    static bool IsOpen(const std::vector<const TclpEntBlockDef *> &open, const TclpEntBlockDef *definition);

    const DrawingStore &store;
    const BlockDefLookup lookup;
    std::vector<std::uint64_t> weights;  // of each allowed insert
    BlockFigureTally tally;
};

}  // namespace korvel
