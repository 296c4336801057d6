// Which top-level entities lie in which part of the drawing: a grid over its extents, each cell listing the
// entities of each kind whose boxes meet it. A view that shows a small part of a large drawing, or draws a
// strip of it, then tests only the entities near it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "reader/drawing_rules.h"
#include "reader/entity_box.h"
#include "reader/extents.h"

namespace korvel {

using DefinitionBoxes = std::unordered_map<const TclpEntBlockDef *, WorldBox>;

// The entities of each kind whose cells meet a window, each list in list order.
struct EntitySelection {
    std::vector<std::uint32_t> lines, arcs, points, texts, dimensions, solids, inserts;

    template <class Entity>
    const std::vector<std::uint32_t> &Of() const {
        if constexpr (std::is_same_v<Entity, TclpEntSen>) return lines;
        else if constexpr (std::is_same_v<Entity, TclpEntEnko>) return arcs;
        else if constexpr (std::is_same_v<Entity, TclpEntTen>) return points;
        else if constexpr (std::is_same_v<Entity, TclpEntMoji>) return texts;
        else if constexpr (std::is_same_v<Entity, TclpEntSunpo>) return dimensions;
        else if constexpr (std::is_same_v<Entity, TclpEntBlock>) return inserts;
        else return solids;
    }
    std::size_t Count() const {
        return lines.size() + arcs.size() + points.size() + texts.size() + dimensions.size() + solids.size() +
               inserts.size();
    }
};

class EntityGrid {
public:
    // An insert lies where its definition's box (`definitions`) is placed; those the budget leaves out draw nothing.
    EntityGrid(const DrawingStore &store, const DrawingExtents &extents, const PlacedInserts &inserts,
               const DefinitionBoxes &definitions);

    // The entities near `window`; nothing when the window covers most of the drawing (testing every entity
    // is then as quick).
    std::optional<EntitySelection> Select(const WorldBox &window) const;

private:
    static constexpr int kCells = 64;  // on each axis
    // One kind's cells: where each cell's entries begin in `entries`, and entities too large for cells.
    struct KindCells {
        std::vector<std::uint32_t> begins, entries, large;
    };
    template <class Entity>
    KindCells Index(const std::vector<Entity> &entities) const;
    // `addCells(i, cells)` adds the cells of entity i to `cells` (-1 for one too large for cells).
    template <class AddCells>
    KindCells IndexCells(std::size_t count, AddCells addCells) const;
    // The cells a box meets, clamped to the grid: first and last column and row.
    std::array<int, 4> CellsOf(const WorldBox &box) const;
    // A box's cells, or -1 when it is too large for cells or no number.
    void AddBoxCells(const WorldBox &box, std::vector<int> &cells) const;
    // The cells a line passes through, column by column, rather than all its box meets: a diagonal's box
    // meets eight times the cells the line does.
    void AddLineCells(const TclpEntSen &line, std::vector<int> &cells) const;
    void Gather(const KindCells &cells, const std::array<int, 4> &range, std::vector<std::uint32_t> &out) const;

    double minX = 0, minY = 0, cellWidth = 1, cellHeight = 1;
    std::array<KindCells, 7> kinds;  // lines, arcs, points, texts, dimensions, solids, inserts
};

}  // namespace korvel
