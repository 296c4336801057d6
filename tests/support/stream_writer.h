// Drawings built for tests: records added to a store or a definition, the sample drawings, and the stream
// writer's names as the tests use them.
#pragma once

#include <cstdint>
#include <type_traits>
#include <vector>

#include "reader/drawing_store.h"
#include "reader/stream_writer.h"

namespace korvel::test {

using korvel::StreamOptions;
using korvel::StreamWriter;
using korvel::TagForm;
using korvel::WriteJwsFile;
using korvel::WriteJwwFile;
using korvel::WriteStream;

// Appends a record to its kind's array and to the object list (of the top level or of a definition).
template <class List, class Objects, class Rec>
void AddTo(List &array, Objects &objects, EntityKind kind, const Rec &r) {
    array.push_back(r);
    objects.push_back({static_cast<std::int32_t>(kind), static_cast<std::int32_t>(array.size() - 1)});
}
template <template <class> class L, class Objects, class Rec>
void Add(EntityLists<L> &a, Objects &o, const Rec &r) {
    if constexpr (std::is_same_v<Rec, TclpEntSen>) AddTo(a.lines, o, EntityKind::Line, r);
    else if constexpr (std::is_same_v<Rec, TclpEntEnko>) AddTo(a.arcs, o, EntityKind::Arc, r);
    else if constexpr (std::is_same_v<Rec, TclpEntTen>) AddTo(a.points, o, EntityKind::Point, r);
    else if constexpr (std::is_same_v<Rec, TclpEntMoji>) AddTo(a.texts, o, EntityKind::Text, r);
    else if constexpr (std::is_same_v<Rec, TclpEntSunpo>) AddTo(a.dimensions, o, EntityKind::Dimension, r);
    else if constexpr (std::is_same_v<Rec, TclpEntSolid>) AddTo(a.solids, o, EntityKind::Solid, r);
    else AddTo(a.inserts, o, EntityKind::Insert, r);
}
template <class Rec>
void Add(DrawingStore &d, const Rec &r) {
    Add(d, d.objects, r);
    d.objectCount = static_cast<std::int32_t>(d.objects.size());
}
template <class Rec>
void Add(TclpEntBlockDef &def, const Rec &r) {
    Add(def, def.objects, r);
    def.entityCount = static_cast<std::int32_t>(def.objects.size());
}

// A block insert of definition `number` at (x, y), scaled and turned by `angle` radians.
inline TclpEntBlock InsertOf(std::int32_t number, double x, double y, double scaleX, double scaleY, double angle) {
    TclpEntBlock insert;
    insert.number = number;
    insert.x = x;
    insert.y = y;
    insert.scaleX = scaleX;
    insert.scaleY = scaleY;
    insert.angle = angle;
    return insert;
}

// A drawing with every kind, symbol points, a coloured solid, text in Shift-JIS, and a block
// definition with an insert; the header as a real copy has it (non-zero reference point).
DrawingStore SampleDrawing();

// Every kind at many sizes and colours, some thousands of each, with inserts of a block of every kind.
DrawingStore LargeMixedDrawing();

// Mirrored and either-way arcs, arc-shaped solids in each quadrant and across 0°, shape values a hair from a
// code, and figures of no size: what the exports must write exactly or leave out.
DrawingStore EdgeDrawing();

// 160 small drawings of every kind whose numbers are now and then NaN, infinite, huge or denormal.
std::vector<DrawingStore> HostileNumberDrawings();

}  // namespace korvel::test
