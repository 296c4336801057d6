// What a read finds without keeping the entities: the header, the counts by kind and the block
// definitions' own fields. The stream reader fills it through the same code as a DrawingStore, record by
// record, so the figures are the store's while the memory stays that of one record per kind.
#pragma once

#include <cstdint>
#include <string>
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

private:
    Record record;
    std::size_t count = 0;
};

// Stands where a store keeps its object list: the order is not kept.
struct ObjectCounter {
    void reserve(std::size_t) {}
    void push_back(ObjectRef) {}
};

struct CountedArrays {
    RecordCounter<TclpEntSen> lines;
    RecordCounter<TclpEntEnko> arcs;
    RecordCounter<TclpEntTen> points;
    RecordCounter<TclpEntMoji> texts;
    RecordCounter<TclpEntSunpo> dimensions;
    RecordCounter<TclpEntSolid> solids;
    RecordCounter<TclpEntBlock> inserts;

    std::int32_t lineCount() const { return static_cast<std::int32_t>(lines.size()); }
    std::int32_t arcCount() const { return static_cast<std::int32_t>(arcs.size()); }
    std::int32_t pointCount() const { return static_cast<std::int32_t>(points.size()); }
    std::int32_t textCount() const { return static_cast<std::int32_t>(texts.size()); }
    std::int32_t dimensionCount() const { return static_cast<std::int32_t>(dimensions.size()); }
    std::int32_t solidCount() const { return static_cast<std::int32_t>(solids.size()); }
    std::int32_t insertCount() const { return static_cast<std::int32_t>(inserts.size()); }
};

struct CountedBlockDef : CountedArrays {
    TclpEntBase base;
    std::int32_t number = 0;
    std::int32_t referenced = 0;
    std::int32_t stamp = 0;
    std::string name;
    std::int32_t entityCount = 0;
    ObjectCounter objects;
};

struct DrawingSummary : CountedArrays {
    std::int32_t version = 0;
    double originX = 0, originY = 0;
    std::vector<double> layerGroupScales;
    std::int32_t objectCount = 0;
    ObjectCounter objects;
    std::vector<CountedBlockDef> blockDefs;
    std::uint64_t replacedCharacters = 0;

    std::int32_t blockDefCount() const { return static_cast<std::int32_t>(blockDefs.size()); }
};

}  // namespace korvel
