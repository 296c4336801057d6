// Whether a counting read found what a store read of the same bytes found: every header value, count,
// block definition field and the way the read ended. Header-only, for the tests and the fuzz target.
#pragma once

#include <cstring>
#include <type_traits>

#include "reader/drawing_store.h"
#include "reader/drawing_summary.h"
#include "reader/jclfunit.h"

namespace korvel::test {

// Whether a drawing keeps its block definitions' fields and members.
template <class Drawing>
inline constexpr bool KeepsDefinitions = !std::is_same_v<decltype(Drawing::blockDefs), CountedDefinitions>;

template <class Arrays, class Kept>
bool SameCounts(const Arrays &a, const Kept &b) {
    return a.lineCount() == b.lineCount() && a.arcCount() == b.arcCount() && a.pointCount() == b.pointCount() &&
           a.textCount() == b.textCount() && a.dimensionCount() == b.dimensionCount() &&
           a.solidCount() == b.solidCount() && a.insertCount() == b.insertCount();
}

// A DrawingSummary's or a ScriptDrawing's figures against a store's (a ScriptDrawing's definitions by their
// number alone).
template <class Counted>
bool SameFigures(const Counted &s, const DrawingStore &d) {
    if (!SameCounts(s, d) || s.version != d.version || s.objectCount != d.objectCount ||
        s.replacedCharacters != d.replacedCharacters || s.layerGroupScales.size() != d.layerGroupScales.size() ||
        s.blockDefs.size() != d.blockDefs.size())
        return false;
    // Bitwise, so that NaN compares equal to itself.
    auto same = [](double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; };
    if (!same(s.originX, d.originX) || !same(s.originY, d.originY)) return false;
    for (std::size_t i = 0; i < s.layerGroupScales.size(); i++)
        if (!same(s.layerGroupScales[i], d.layerGroupScales[i])) return false;
    if constexpr (KeepsDefinitions<Counted>)
        for (std::size_t i = 0; i < s.blockDefs.size(); i++) {
            const auto &a = s.blockDefs[i];
            const TclpEntBlockDef &b = d.blockDefs[i];
            if (!SameCounts(a, b) || !(a.base == b.base) || a.number != b.number || a.referenced != b.referenced ||
                a.stamp != b.stamp || a.name != b.name || a.entityCount != b.entityCount)
                return false;
        }
    return true;
}

// The strings two reads of the same bytes found, and the counts they are in: what a buffered read cut
// across its refills would get wrong.
inline bool SameStrings(const DrawingStore &a, const DrawingStore &b) {
    const auto sameTexts = [](const auto &x, const auto &y) {
        if (!SameCounts(x, y)) return false;
        for (std::size_t i = 0; i < x.texts.size(); i++)
            if (x.texts[i].text != y.texts[i].text || x.texts[i].fontName != y.texts[i].fontName) return false;
        for (std::size_t i = 0; i < x.dimensions.size(); i++)
            if (x.dimensions[i].label.text != y.dimensions[i].label.text) return false;
        return true;
    };
    if (!sameTexts(a, b) || a.blockDefs.size() != b.blockDefs.size()) return false;
    for (std::size_t i = 0; i < a.blockDefs.size(); i++)
        if (a.blockDefs[i].name != b.blockDefs[i].name || !sameTexts(a.blockDefs[i], b.blockDefs[i])) return false;
    return true;
}

inline bool SameEnding(const ReadReport &a, const ReadReport &b) {
    return a.complete == b.complete && a.outOfMemory == b.outOfMemory && a.endOffset == b.endOffset &&
           a.failure == b.failure && a.indexCounter == b.indexCounter;
}

}  // namespace korvel::test
