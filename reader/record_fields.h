// Each record kind's body, field by field as the stream stores it: the one list the readers (whose body
// sizes follow from it), `dump`'s JSON and the stream writer walk. The record's header (its base) comes
// before it; a dimension is made of these records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

#include "reader/drawing_rules.h"
#include "reader/drawing_store.h"

namespace korvel {

// Calls `visit(name, field, stored)` for each field of `record` in stream order: `stored` says whether this
// record holds the field in a stream (a point's symbol fields only for a symbol point, a solid's colour only
// when it has its own). Numbers come first, a text's two strings last.
template <class Record, class Visit>
void ForEachField(Record &r, Visit &&visit) {
    using R = std::remove_const_t<Record>;
    if constexpr (std::is_same_v<R, TclpEntSen>) {
        visit("startX", r.startX, true), visit("startY", r.startY, true);
        visit("endX", r.endX, true), visit("endY", r.endY, true);
    } else if constexpr (std::is_same_v<R, TclpEntEnko>) {
        visit("centerX", r.centerX, true), visit("centerY", r.centerY, true), visit("radius", r.radius, true);
        visit("startAngle", r.startAngle, true), visit("arcAngle", r.arcAngle, true);
        visit("tiltAngle", r.tiltAngle, true), visit("flatness", r.flatness, true);
        visit("fullCircle", r.fullCircle, true);
    } else if constexpr (std::is_same_v<R, TclpEntTen>) {
        const bool symbol = IsSymbolPoint(r);  // a symbol point carries its code, rotation and scale
        visit("x", r.x, true), visit("y", r.y, true), visit("temporary", r.temporary, true);
        visit("code", r.code, symbol), visit("rotation", r.rotation, symbol), visit("scale", r.scale, symbol);
    } else if constexpr (std::is_same_v<R, TclpEntMoji>) {
        visit("startX", r.startX, true), visit("startY", r.startY, true);
        visit("endX", r.endX, true), visit("endY", r.endY, true);
        visit("textType", r.textType, true);
        visit("sizeX", r.sizeX, true), visit("sizeY", r.sizeY, true);
        visit("spacing", r.spacing, true), visit("angle", r.angle, true);
        visit("fontName", r.fontName, true), visit("text", r.text, true);
    } else if constexpr (std::is_same_v<R, TclpEntSolid>) {
        visit("x1", r.x1, true), visit("y1", r.y1, true), visit("x2", r.x2, true), visit("y2", r.y2, true);
        visit("x3", r.x3, true), visit("y3", r.y3, true), visit("x4", r.x4, true), visit("y4", r.y4, true);
        visit("color", r.color, HasOwnColor(r));  // then its own RGB colour follows
    } else {
        static_assert(std::is_same_v<R, TclpEntBlock>, "a record kind with a body of fields");
        visit("x", r.x, true), visit("y", r.y, true), visit("scaleX", r.scaleX, true);
        visit("scaleY", r.scaleY, true), visit("angle", r.angle, true), visit("number", r.number, true);
    }
}

// A version whose streams store every field: for walking all of a record's fields whatever its stream.
inline constexpr std::int32_t kEveryFieldVersion = 700;

// A record's header as a stream of `version` stores it: the pen width from version 351 on.
template <class Base, class Visit>
void ForEachHeaderField(Base &b, std::int32_t version, Visit &&visit) {
    visit("group", b.group, true), visit("penStyle", b.penStyle, true), visit("penColor", b.penColor, true);
    visit("penWidth", b.penWidth, version >= 351);
    visit("layer", b.layer, true), visit("layerGroup", b.layerGroup, true), visit("flags", b.flags, true);
}

// A dimension's parts in stream order, each a record of its own (its header and fields): its line and its
// value, then from version 420 on its SXF mode, extension lines and points.
template <class Dimension, class Visit>
void ForEachPart(Dimension &d, std::int32_t version, Visit &&visit) {
    const bool sxf = version >= 420;
    visit("line", d.line, true), visit("label", d.label, true);
    visit("sxfMode", d.sxfMode, sxf);
    visit("auxLine1", d.auxLine1, sxf), visit("auxLine2", d.auxLine2, sxf);
    visit("point1", d.point1, sxf), visit("point2", d.point2, sxf);
    visit("point3", d.point3, sxf), visit("point4", d.point4, sxf);
}

// The bytes of the numbers that `forEach` (one of the lists above, bound to its record) stores, which a reader
// takes at once before any string.
template <class ForEach>
std::size_t StoredNumberBytes(ForEach &&forEach) {
    std::size_t bytes = 0;
    forEach([&](const char *, const auto &field, bool stored) {
        if constexpr (std::is_arithmetic_v<std::remove_cvref_t<decltype(field)>>) bytes += stored ? sizeof field : 0;
    });
    return bytes;
}

}  // namespace korvel
