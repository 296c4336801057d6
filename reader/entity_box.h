// The rectangle each entity can mark, for leaving out of a view what lies wholly outside it: generous
// rather than tight (a curve's whole ellipse, a text's reach in every direction), never smaller than what
// is drawn.
#pragma once

#include <algorithm>
#include <limits>

#include "geom/plane.h"
#include "reader/drawing_store.h"

namespace korvel {

struct WorldBox {
    double minX = std::numeric_limits<double>::infinity(), minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity(), maxY = -std::numeric_limits<double>::infinity();

    void Add(double x, double y) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    void Add(const WorldBox &b) {
        Add(b.minX, b.minY);
        Add(b.maxX, b.maxY);
    }
    // Grown by `reach` on every side.
    void AddAround(double x, double y, double reach) {
        Add(x - reach, y - reach);
        Add(x + reach, y + reach);
    }
    bool Empty() const { return !(minX <= maxX) || !(minY <= maxY); }
    // Written so that a box with a NaN in it meets everything: the drawing code then decides, as it would
    // without a view.
    bool Meets(const WorldBox &b) const { return !(maxX < b.minX || b.maxX < minX || maxY < b.minY || b.maxY < minY); }
};

WorldBox BoxOf(const TclpEntSen &line);
// Whether a line may reach into `window`: its box meets it, and the window's corners do not all lie clearly
// on one side of it (a long diagonal's box holds far more than the line). Generous by a rounding margin;
// true where anything is no number.
bool LineMeets(const TclpEntSen &line, const WorldBox &window);
WorldBox BoxOf(const TclpEntEnko &arc);
// A symbol point's marker reaches 8 of its own units from the point.
WorldBox BoxOf(const TclpEntTen &point);
WorldBox BoxOf(const TclpEntMoji &text);
WorldBox BoxOf(const TclpEntSunpo &dimension);
// A dimension's parts lie apart (its value may be written far from its line): each part's box in turn.
template <class Visit>
void ForEachPartBox(const TclpEntSunpo &d, Visit &&visit) {
    visit(BoxOf(d.line));
    visit(BoxOf(d.label));
    if (d.sxfMode == 0) return;
    for (const TclpEntSen *line : {&d.auxLine1, &d.auxLine2})
        visit(BoxOf(*line));
    for (const TclpEntTen *point : {&d.point1, &d.point2, &d.point3, &d.point4})
        visit(BoxOf(*point));
}
WorldBox BoxOf(const TclpEntSolid &solid);
// A definition's own members, in block coordinates: what one insert of it draws (inserts inside it are not
// drawn).
WorldBox BoxOf(const TclpEntBlockDef &definition);

// A box in block coordinates placed by an insert: the box of its placed corners, or more.
WorldBox PlacedBox(const WorldBox &local, const BlockPlacement &insert);

}  // namespace korvel
