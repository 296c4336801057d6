// The in-memory drawing: header values, entity records by kind, and block definitions.
#include "reader/drawing_store.h"

#include <algorithm>
#include <unordered_set>

namespace korvel {

void ClearDrawingStore(DrawingStore &store) { store = DrawingStore{}; }

std::uint64_t DrawingWeight(const TclpEntMoji &text) { return 1 + kCharacterWeight * text.text.size(); }

// A dimension draws its line, its label and, in SXF mode, two extension lines and four points.
std::uint64_t DrawingWeight(const TclpEntSunpo &dimension) { return 8 + DrawingWeight(dimension.label); }

std::uint64_t MembersWeight(const DefinitionMembers &members) {
    std::uint64_t weight = members.lines.size() + members.arcs.size() + members.points.size() + members.solids.size() +
                           members.inserts.size();
    for (const TclpEntMoji &text : members.texts)
        weight += DrawingWeight(text);
    for (const TclpEntSunpo &dimension : members.dimensions)
        weight += DrawingWeight(dimension);
    return std::max<std::uint64_t>(1, weight);
}

BlockDefLookup::BlockDefLookup(const DrawingStore &store) {
    // Only the numbers some insert refers to: a drawing may hold a great many definitions no insert places.
    std::unordered_set<std::int32_t> referred;
    for (const TclpEntBlock &insert : store.inserts)
        referred.insert(insert.number);
    for (const TclpEntBlockDef &def : store.blockDefs)
        for (const TclpEntBlock &insert : def.inserts)
            referred.insert(insert.number);
    for (const TclpEntBlockDef &def : store.blockDefs)
        if (referred.contains(def.number) && !firstByNumber.contains(def.number))
            firstByNumber.emplace(def.number, Found{&def, MembersWeight(def)});
}

const TclpEntBlockDef *BlockDefLookup::Find(std::int32_t number) const {
    const auto it = firstByNumber.find(number);
    return it == firstByNumber.end() ? nullptr : it->second.definition;
}

std::uint64_t BlockDefLookup::Weight(std::int32_t number) const {
    const auto it = firstByNumber.find(number);
    return it == firstByNumber.end() ? 0 : it->second.weight;
}

void CopyEntityBase(const TclpEntBase &from, TclpEntBase &to) { to = from; }

namespace {

template <class T>
std::size_t VectorBytes(const std::vector<T> &v) {
    return v.capacity() * sizeof(T);
}

template <class T>
std::size_t VectorBytes(const CompactVector<T> &v) {
    return v.capacity() == 0 ? 0 : sizeof(std::vector<T>) + v.capacity() * sizeof(T);
}

std::size_t StringBytes(const std::string &s) {
    // Short strings live inside the record.
    return s.capacity() > std::string().capacity() ? s.capacity() + 1 : 0;
}

std::size_t TextBytes(const TclpEntMoji &t) { return StringBytes(t.fontName) + StringBytes(t.text); }

template <template <class> class List>
std::size_t ArraysBytes(const EntityLists<List> &a) {
    std::size_t n = VectorBytes(a.lines) + VectorBytes(a.arcs) + VectorBytes(a.points) + VectorBytes(a.texts) +
                    VectorBytes(a.dimensions) + VectorBytes(a.solids) + VectorBytes(a.inserts);
    for (const TclpEntMoji &t : a.texts)
        n += TextBytes(t);
    for (const TclpEntSunpo &d : a.dimensions)
        n += TextBytes(d.label);
    return n;
}

}  // namespace

std::size_t StoreSizeBytes(const DrawingStore &store) {
    std::size_t n = sizeof store + ArraysBytes(store) + VectorBytes(store.layerGroupScales) +
                    VectorBytes(store.objects) + VectorBytes(store.blockDefs);
    for (const TclpEntBlockDef &def : store.blockDefs)
        n += ArraysBytes(def) + VectorBytes(def.objects) + StringBytes(def.name);
    return n;
}

std::uint64_t BlockMemberBudget(const DrawingStore &store) {
    std::uint64_t records = store.objects.size();
    for (const TclpEntBlockDef &def : store.blockDefs)
        records += def.objects.size();
    return std::max(kMinBlockMemberBudget, 16 * records);
}

std::size_t InsertsWithinBudget(const DrawingStore &store, const BlockDefLookup &lookup) {
    const std::uint64_t budget = BlockMemberBudget(store);
    std::uint64_t placed = 0;
    for (std::size_t i = 0; i < store.inserts.size(); ++i) {
        placed += lookup.Weight(store.inserts[i].number);
        if (placed > budget) return i;
    }
    return store.inserts.size();
}

}  // namespace korvel
