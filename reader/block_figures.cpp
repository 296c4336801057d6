// Block figures nested to any depth: which inserts the member budget allows.
#include "reader/block_figures.h"

#include <algorithm>

namespace korvel {

namespace {

void AddMembers(BlockFigureTally &tally, const TclpEntBlockDef &d) {
    tally.lines += d.lines.size();
    tally.arcs += d.arcs.size();
    tally.points += d.points.size();
    tally.texts += d.texts.size();
    tally.dimensions += d.dimensions.size();
    tally.solids += d.solids.size();
    tally.inserts += d.inserts.size();
}

void AddTally(BlockFigureTally &to, const BlockFigureTally &from) {
    to.lines += from.lines;
    to.arcs += from.arcs;
    to.points += from.points;
    to.texts += from.texts;
    to.dimensions += from.dimensions;
    to.solids += from.solids;
    to.inserts += from.inserts;
    to.missing += from.missing;
    to.selfReferring += from.selfReferring;
    to.overBudget += from.overBudget;
    to.empty += from.empty;
}

}  // namespace

bool BlockFigures::IsOpen(const std::vector<const TclpEntBlockDef *> &open, const TclpEntBlockDef *definition) {
    return std::find(open.begin(), open.end(), definition) != open.end();
}

std::uint64_t BlockFigures::Weigh(const TclpEntBlockDef &definition, std::vector<const TclpEntBlockDef *> &open,
                                  std::uint64_t limit, BlockFigureTally &counted) const {
    // Each member is placed by every insert of the chain that holds it: the work, and so the weight, grows
    // with the depth as well as with the members.
    std::uint64_t weight = MembersWeight(definition) * open.size();
    AddMembers(counted, definition);
    if (HoldsNothing(definition)) counted.empty++;
    for (const TclpEntBlock &insert : definition.inserts) {
        if (weight > limit) return weight;
        const TclpEntBlockDef *inner = lookup.Find(insert.number);
        if (!inner) counted.missing++;
        else if (IsOpen(open, inner)) counted.selfReferring++;
        else if (open.size() >= kMaxBlockNesting) counted.overBudget++;
        else {
            open.push_back(inner);
            weight += Weigh(*inner, open, limit - weight, counted);
            open.pop_back();
        }
    }
    return weight;
}

BlockFigures::BlockFigures(const DrawingStore &store) : store(store), lookup(store) {
    const std::uint64_t budget = BlockMemberBudget(store);
    std::uint64_t used = 0;
    std::vector<const TclpEntBlockDef *> open;
    for (const TclpEntBlock &insert : store.inserts) {
        const TclpEntBlockDef *definition = lookup.Find(insert.number);
        BlockFigureTally counted;
        std::uint64_t weight = 0;
        if (!definition) counted.missing++;
        else {
            open.assign(1, definition);
            weight = Weigh(*definition, open, budget - used, counted);
        }
        if (weight > budget - used) break;
        used += weight;
        weights.push_back(weight);
        AddTally(tally, counted);
    }
    tally.overBudget += store.inserts.size() - weights.size();
}

}  // namespace korvel
