// What a view of the drawing leaves out: entities on layers switched off, and those that lie wholly outside
// the part of the drawing being drawn. An insert goes with its own layer, as Jw_cad shows and hides a block.
#pragma once

#include <unordered_map>

#include "preview/entity_grid.h"
#include "reader/drawing_rules.h"
#include "reader/entity_box.h"
#include "reader/layers.h"

namespace korvel {

struct DrawFilter {
    HiddenLayers hidden;
    WorldBox window;                                   // in drawing units, grown by what pens and markers add
    const DefinitionBoxes *definitionBoxes = nullptr;  // what each definition's members cover, unplaced
    const PlacedInserts *inserts = nullptr;            // the drawing's inserts within the budget, when already found
    const EntitySelection *nearby = nullptr;           // the only top-level entities worth testing, when known

    // The indices of the entities of this kind worth testing, or null for all of them.
    template <class Entity>
    const std::vector<std::uint32_t> *Nearby() const {
        return nearby ? &nearby->Of<Entity>() : nullptr;
    }

    template <class Entity>
    bool Shows(const Entity &entity) const {
        return !OnHiddenLayer(hidden, entity.base) && BoxOf(entity).Meets(window);
    }
    bool Shows(const TclpEntSen &line) const { return !OnHiddenLayer(hidden, line.base) && LineMeets(line, window); }
    bool Shows(const TclpEntSunpo &dimension) const {
        if (OnHiddenLayer(hidden, dimension.base)) return false;
        bool meets = false;
        ForEachPartBox(dimension, [&](const WorldBox &part) { meets = meets || part.Meets(window); });
        return meets;
    }
    bool Shows(const TclpEntBlock &insert, const TclpEntBlockDef &definition, const BlockPlacement &placement) const {
        if (OnHiddenLayer(hidden, insert.base)) return false;
        if (!definitionBoxes) return true;
        const auto found = definitionBoxes->find(&definition);
        return found == definitionBoxes->end() || PlacedBox(found->second, placement).Meets(window);
    }
};

// Every definition some insert places, with its box.
DefinitionBoxes BoxesOfPlacedDefinitions(const DrawingStore &store);

}  // namespace korvel
