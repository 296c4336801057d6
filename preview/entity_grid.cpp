// Which top-level entities lie in which part of the drawing.
#include "preview/entity_grid.h"

#include <algorithm>
#include <cmath>

namespace korvel {

namespace {

// An entity whose box spans more cells than this on either axis is kept with the large ones, tested always.
constexpr int kWidestInCells = 8;

}  // namespace

EntityGrid::EntityGrid(const DrawingStore &store, const DrawingExtents &extents,
                       const std::vector<WorldBox> &insertBoxes)
    : minX(extents.minX),
      minY(extents.minY),
      cellWidth(std::max((extents.maxX - extents.minX) / kCells, 1e-9)),
      cellHeight(std::max((extents.maxY - extents.minY) / kCells, 1e-9)),
      kinds{Index(store.lines),
            Index(store.arcs),
            Index(store.points),
            Index(store.texts),
            Index(store.dimensions),
            Index(store.solids),
            IndexBoxes(insertBoxes.size(), [&](std::size_t i, auto &&visit) { visit(insertBoxes[i]); })} {}

std::array<int, 4> EntityGrid::CellsOf(const WorldBox &box) const {
    const auto cell = [](double at, double origin, double size) {
        const double c = std::floor((at - origin) / size);
        return static_cast<int>(std::clamp(std::isnan(c) ? 0.0 : c, 0.0, double{kCells - 1}));
    };
    return {cell(box.minX, minX, cellWidth), cell(box.maxX, minX, cellWidth), cell(box.minY, minY, cellHeight),
            cell(box.maxY, minY, cellHeight)};
}

template <class Entity>
EntityGrid::KindCells EntityGrid::Index(const std::vector<Entity> &entities) const {
    return IndexBoxes(entities.size(), [&](std::size_t i, auto &&visit) {
        if constexpr (std::is_same_v<Entity, TclpEntSunpo>) ForEachPartBox(entities[i], visit);
        else visit(BoxOf(entities[i]));
    });
}

template <class BoxesOf>
EntityGrid::KindCells EntityGrid::IndexBoxes(std::size_t count, BoxesOf boxesOf) const {
    KindCells k;
    k.begins.assign(kCells * kCells + 1, 0);
    // Counted first, then placed: every cell's entries in list order, in one array.
    const auto forEachCell = [&](auto &&visit) {
        for (std::uint32_t i = 0; i < count; i++) {
            boxesOf(i, [&](const WorldBox &box) {
                if (box.Empty()) return;  // draws nothing
                const auto [x0, x1, y0, y1] = CellsOf(box);
                const bool finite = std::isfinite(box.minX) && std::isfinite(box.maxX) && std::isfinite(box.minY) &&
                                    std::isfinite(box.maxY);
                if (!finite || x1 - x0 >= kWidestInCells || y1 - y0 >= kWidestInCells) return visit(i, -1);
                for (int y = y0; y <= y1; y++)
                    for (int x = x0; x <= x1; x++)
                        visit(i, y * kCells + x);
            });
        }
    };
    forEachCell([&](std::uint32_t, int cell) {
        if (cell >= 0) k.begins[static_cast<std::size_t>(cell) + 1]++;
    });
    for (std::size_t c = 1; c < k.begins.size(); c++)
        k.begins[c] += k.begins[c - 1];
    k.entries.resize(k.begins.back());
    std::vector<std::uint32_t> next(k.begins.begin(), k.begins.end() - 1);
    forEachCell([&](std::uint32_t i, int cell) {
        if (cell < 0) k.large.push_back(i);
        else k.entries[next[static_cast<std::size_t>(cell)]++] = i;
    });
    return k;
}

void EntityGrid::Gather(const KindCells &cells, const std::array<int, 4> &range,
                        std::vector<std::uint32_t> &out) const {
    out = cells.large;
    const auto [x0, x1, y0, y1] = range;
    for (int y = y0; y <= y1; y++) {
        const std::size_t first = static_cast<std::size_t>(y * kCells + x0),
                          last = static_cast<std::size_t>(y * kCells + x1);
        out.insert(out.end(), cells.entries.begin() + cells.begins[first],
                   cells.entries.begin() + cells.begins[last + 1]);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

std::optional<EntitySelection> EntityGrid::Select(const WorldBox &window) const {
    auto range = CellsOf(window);
    // A window off the grid meets only the entities too large for cells.
    WorldBox grid;
    grid.Add(minX, minY);
    grid.Add(minX + kCells * cellWidth, minY + kCells * cellHeight);
    if (!grid.Meets(window)) range = {1, 0, 1, 0};
    const int covered = (range[1] - range[0] + 1) * (range[3] - range[2] + 1);
    if (covered * 4 > kCells * kCells) return std::nullopt;
    EntitySelection s;
    Gather(kinds[0], range, s.lines);
    Gather(kinds[1], range, s.arcs);
    Gather(kinds[2], range, s.points);
    Gather(kinds[3], range, s.texts);
    Gather(kinds[4], range, s.dimensions);
    Gather(kinds[5], range, s.solids);
    Gather(kinds[6], range, s.inserts);
    return s;
}

}  // namespace korvel
