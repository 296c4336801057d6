// What a read finds without keeping the entities: the header, the counts by kind and the block
// definitions' own fields. The stream reader fills it through the same code as a DrawingStore, record by
// record, so the figures are the store's while the memory stays that of one record per kind.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "reader/drawing_store.h"

namespace korvel {

// Stands where a store keeps a kind's array: hands out one reused record and counts.
template <class Record>
class RecordCounter {
public:
    Record &emplace_back() {
        count++;
        return record;
    }
    std::size_t size() const { return count; }
    void reserve(std::size_t) {}

private:
    // One record read into per kind and thread, so that a counted block definition costs its counts only.
    static inline thread_local Record record;
    std::size_t count = 0;
};

// Stands where a store keeps its object list: the order is not kept.
struct ObjectCounter {
    void reserve(std::size_t) {}
    void push_back(ObjectRef) {}
};

using DrawingSummary = BasicDrawing<RecordCounter, ObjectCounter>;

// Keeps the kinds a script is made of (lines, arcs, points and solids) at the top level and counts the others:
// what a conversion reads, in far less memory than a whole store.
template <class Record>
using ScriptKindList =
    std::conditional_t<std::is_same_v<Record, TclpEntSen> || std::is_same_v<Record, TclpEntEnko> ||
                           std::is_same_v<Record, TclpEntTen> || std::is_same_v<Record, TclpEntSolid>,
                       std::vector<Record>, RecordCounter<Record>>;

// Block definitions counted, their fields and members not kept.
using CountedDefinitions = RecordCounter<BlockDefinition<RecordCounter, ObjectCounter>>;

// How many members of each kind, and objects, one definition holds: what reserving its lists needs.
struct MemberCounts {
    std::uint32_t lines = 0, arcs = 0, points = 0, texts = 0, dimensions = 0, solids = 0, inserts = 0, objects = 0;
};

// Stands where a store keeps its block definitions: keeps each one's member counts and nothing else, so that a
// store's definitions can be reserved at their final sizes in a few bytes per definition.
class DefinitionCounter {
public:
    using Record = BlockDefinition<RecordCounter, ObjectCounter>;

    Record &emplace_back() {
        if (count++ > 0) counts.push_back(CountsOf(current));
        current = Record{};
        return current;
    }
    std::size_t size() const { return count; }
    void reserve(std::size_t) {}
    // The counts of definition `i` (the last one still being read, or read last).
    MemberCounts Counts(std::size_t i) const { return i < counts.size() ? counts[i] : CountsOf(current); }

private:
    static MemberCounts CountsOf(const Record &r) {
        const auto n = [](std::size_t v) { return static_cast<std::uint32_t>(v); };
        // The objects read, one per member; not the count the stream announced, which a damaged stream may set
        // to anything.
        const std::size_t objects = r.lines.size() + r.arcs.size() + r.points.size() + r.texts.size() +
                                    r.dimensions.size() + r.solids.size() + r.inserts.size();
        return {n(r.lines.size()),      n(r.arcs.size()),   n(r.points.size()),  n(r.texts.size()),
                n(r.dimensions.size()), n(r.solids.size()), n(r.inserts.size()), n(objects)};
    }

    std::vector<MemberCounts> counts;  // of every definition before the current one
    Record current;
    std::size_t count = 0;
};

// The conversion reads no block definition (block figures are placed from a whole store): they are counted.
using ScriptDrawing = BasicDrawing<ScriptKindList, ObjectCounter, CountedDefinitions>;

// What a read plans with: the top level's counts and each definition's member counts.
using CountedDrawing = BasicDrawing<RecordCounter, ObjectCounter, DefinitionCounter>;

}  // namespace korvel
