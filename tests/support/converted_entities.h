// What a conversion's summary must add up to, worked out from the drawing alone, for the tests and the fuzz
// target: each entity once, except that with dimensions converted a dimension counts as its value and its lines
// (one, or three with SXF extension lines), and with block figures an insert counts as what it places (each
// member once per placement, a nested insert as what it places in turn; one that places nothing, or cannot be
// placed, once).
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "reader/block_figures.h"
#include "reader/drawing_store.h"
#include "script/convert.h"

namespace korvel::test {

template <class Lists>
std::uint64_t OwnFigures(const Lists &l, bool dimensions) {
    std::uint64_t n = l.lines.size() + l.arcs.size() + l.points.size() + l.texts.size() + l.solids.size();
    for (const TclpEntSunpo &d : l.dimensions)
        n += !dimensions ? 1 : d.sxfMode != 0 ? 4 : 2;
    return n;
}

class PlacedFigures {
public:
    PlacedFigures(const DrawingStore &store, bool dimensions) : lookup(store), dimensions(dimensions) {}

    std::uint64_t Of(const TclpEntBlock &insert) {
        const TclpEntBlockDef *definition = lookup.Find(insert.number);
        if (!definition) return 1;
        open.assign(1, definition);
        return Of(*definition);
    }

private:
    std::uint64_t Of(const TclpEntBlockDef &definition) {
        if (HoldsNothing(definition)) return 1;
        std::uint64_t n = OwnFigures(definition, dimensions);
        for (const TclpEntBlock &insert : definition.inserts) {
            const TclpEntBlockDef *inner = lookup.Find(insert.number);
            if (!inner || std::find(open.begin(), open.end(), inner) != open.end() || open.size() >= kMaxBlockNesting) {
                n++;
                continue;
            }
            open.push_back(inner);
            n += Of(*inner);
            open.pop_back();
        }
        return n;
    }

    BlockDefLookup lookup;
    bool dimensions;
    std::vector<const TclpEntBlockDef *> open;
};

inline std::uint64_t ConvertedEntities(const DrawingStore &store, const ConvertOptions &options) {
    std::uint64_t n = OwnFigures(store, options.dimensions) + store.leftOnLockedLayers;
    if (!options.blocks) return n + store.inserts.size();
    // Past the member budget an insert is left out whole.
    const std::size_t allowed = BlockFigures(store).Count();
    PlacedFigures placed(store, options.dimensions);
    for (std::size_t i = 0; i < store.inserts.size(); i++)
        n += i < allowed ? placed.Of(store.inserts[i]) : 1;
    return n;
}

}  // namespace korvel::test
