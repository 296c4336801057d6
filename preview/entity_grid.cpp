// Which top-level entities lie in which part of the drawing.
#include "preview/entity_grid.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <system_error>

#include "geom/extended.h"

namespace korvel {

namespace {

// An entity whose box spans more cells than this on either axis is kept with the large ones, tested always.
constexpr int kWidestInCells = 8;

}  // namespace

EntityGrid::EntityGrid(const DrawingStore &store, const DrawingExtents &extents, const PlacedInserts &inserts,
                       const DefinitionBoxes &definitions)
    : minX(extents.minX),
      minY(extents.minY),
      cellWidth(std::max((extents.maxX - extents.minX) / kCells, 1e-9)),
      cellHeight(std::max((extents.maxY - extents.minY) / kCells, 1e-9)) {
    // The lines, most of a drawing as a rule, on a thread of their own beside the other kinds.
    std::future<KindCells> lines;
    try {
        lines = std::async(std::launch::async, [&] { return Index(store.lines); });
    } catch (const std::system_error &) {
        // No thread to be had: all of them here.
    }
    kinds[1] = Index(store.arcs);
    kinds[2] = Index(store.points);
    kinds[3] = Index(store.texts);
    kinds[4] = Index(store.dimensions);
    kinds[5] = Index(store.solids);
    kinds[6] = IndexCells(inserts.Count(), [&](std::size_t i, std::vector<int> &cells) {
        inserts.ForEach(i, i + 1, [&](const TclpEntBlockDef &definition, const BlockPlacement &placement) {
            AddBoxCells(PlacedBox(definitions.at(&definition), placement), cells);
        });
    });
    kinds[0] = lines.valid() ? lines.get() : Index(store.lines);
}

std::array<int, 4> EntityGrid::CellsOf(const WorldBox &box) const {
    const auto cell = [](double at, double origin, double size) {
        const double c = std::floor((at - origin) / size);
        return static_cast<int>(std::clamp(std::isnan(c) ? 0.0 : c, 0.0, double{kCells - 1}));
    };
    return {cell(box.minX, minX, cellWidth), cell(box.maxX, minX, cellWidth), cell(box.minY, minY, cellHeight),
            cell(box.maxY, minY, cellHeight)};
}

void EntityGrid::AddBoxCells(const WorldBox &box, std::vector<int> &cells) const {
    if (box.Empty()) return;  // draws nothing
    const auto [x0, x1, y0, y1] = CellsOf(box);
    const bool finite =
        std::isfinite(box.minX) && std::isfinite(box.maxX) && std::isfinite(box.minY) && std::isfinite(box.maxY);
    if (!finite || x1 - x0 >= kWidestInCells || y1 - y0 >= kWidestInCells) return cells.push_back(-1);
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            cells.push_back(y * kCells + x);
}

void EntityGrid::AddLineCells(const TclpEntSen &line, std::vector<int> &cells) const {
    const WorldBox box = BoxOf(line);
    const std::size_t first = cells.size();
    AddBoxCells(box, cells);
    // A box of one column or one row, too large for cells, or no number: its cells are the line's.
    if (cells.size() == first || cells[first] < 0) return;
    const auto [x0, x1, y0, y1] = CellsOf(box);
    if (x0 == x1 || y0 == y1) return;
    cells.resize(first);
    const Extended dx = Ext(line.endX) - line.startX, dy = Ext(line.endY) - line.startY;
    const auto yAt = [&](double x) { return ToDouble(line.startY + (Ext(x) - line.startX) * dy / dx); };
    // Each column's stretch of the line, widened by a millionth of a cell against rounding at the edges.
    const double slackX = cellWidth * 1e-6, slackY = cellHeight * 1e-6;
    for (int x = x0; x <= x1; x++) {
        const double from = x == x0 ? box.minX : std::max(box.minX, minX + x * cellWidth - slackX);
        const double to = x == x1 ? box.maxX : std::min(box.maxX, minX + (x + 1) * cellWidth + slackX);
        const double a = yAt(from), b = yAt(to);
        WorldBox stretch;
        stretch.Add(from, std::max(box.minY, std::min(a, b) - slackY));
        stretch.Add(to, std::min(box.maxY, std::max(a, b) + slackY));
        const auto [c0, c1, r0, r1] = CellsOf(stretch);
        for (int y = r0; y <= r1; y++)
            cells.push_back(y * kCells + x);
    }
}

template <class Entity>
EntityGrid::KindCells EntityGrid::Index(const std::vector<Entity> &entities) const {
    return IndexCells(entities.size(), [&](std::size_t i, std::vector<int> &cells) {
        if constexpr (std::is_same_v<Entity, TclpEntSunpo>)
            ForEachPartBox(entities[i], [&](const WorldBox &part) { AddBoxCells(part, cells); });
        else if constexpr (std::is_same_v<Entity, TclpEntSen>) AddLineCells(entities[i], cells);
        else AddBoxCells(BoxOf(entities[i]), cells);
    });
}

template <class AddCells>
EntityGrid::KindCells EntityGrid::IndexCells(std::size_t count, AddCells addCells) const {
    KindCells k;
    k.begins.assign(kCells * kCells + 1, 0);
    // Counted first, then placed: every cell's entries in list order, in one array.
    // An entity's cells once each, though several of its parts may lie in one.
    std::vector<int> cells;
    const auto forEachCell = [&](auto &&visit) {
        for (std::uint32_t i = 0; i < count; i++) {
            cells.clear();
            addCells(i, cells);
            if (cells.size() > 1) {
                std::sort(cells.begin(), cells.end());
                cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
            }
            for (const int cell : cells)
                visit(i, cell);
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
