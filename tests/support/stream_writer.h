// Builds Jw_win byte streams for tests, with every encoding variant the reader has to handle.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "reader/drawing_store.h"

namespace korvel::test {

enum class TagForm { Short, Long };  // 0x8000 + index, or 0x7FFF and a uint32 with bit 31 set

struct StreamOptions {
    std::uint16_t schema = 600;  // written in every class definition
    TagForm tags = TagForm::Short;
    bool longCounts = false;             // every count as 0xFFFF and a uint32
    bool longStrings = false;            // every string as 255, a uint16 length and the bytes
    std::vector<std::uint8_t> trailing;  // leftover bytes after the stream
};

// Little-endian primitives, class tags with the load map's numbering, and whole records.
class StreamWriter {
public:
    explicit StreamWriter(StreamOptions options = {}) : options(std::move(options)) {}

    std::vector<std::uint8_t> bytes;

    void Double(double v);
    void Int32(std::int32_t v);
    void UInt32(std::uint32_t v);
    void UInt16(std::uint16_t v);
    void UInt8(std::uint8_t v);
    void Count(std::uint32_t n);
    void String(std::string_view text);
    // A new class definition the first time a name is used, a reference to its index afterwards.
    void ClassTag(const std::string &name);
    void Base(const TclpEntBase &b);

    // One object: class tag and body. Advances the index counter as the reader does.
    void Object(const TclpEntSen &r);
    void Object(const TclpEntEnko &r);
    void Object(const TclpEntTen &r);
    void Object(const TclpEntMoji &r);
    void Object(const TclpEntSunpo &r);
    void Object(const TclpEntSolid &r);
    void Object(const TclpEntBlock &r);
    void BlockDefinition(const TclpEntBlockDef &def);
    // The objects of a list (without its count), in the order of `refs`.
    template <class Refs, class Lists>
    void ObjectList(const Refs &refs, const Lists &arrays);

    std::int32_t Version() const { return version; }
    std::int64_t Counter() const { return counter; }

private:
    // A record's header and its fields as its field list stores them.
    template <class Rec>
    void Body(const Rec &r);
    void Body(const TclpEntSunpo &r);
    template <class Rec>
    void Tagged(const char *className, const Rec &r);

    StreamOptions options;
    std::map<std::string, std::int64_t> classIndex;
    std::int64_t counter = 1;
    std::int32_t version = 0;
};

// The whole stream of a drawing: header, its `objects` in order, its block definitions, trailing bytes.
std::vector<std::uint8_t> WriteStream(const DrawingStore &drawing, const StreamOptions &options = {});

// The drawing as a saved .jww file of the given version: a header of zeros and empty strings (every layer
// editable, the drawing's layer-group scales), then the same lists as the stream. Hidden layers, as
// (group, layer) pairs, get state 0.
std::vector<std::uint8_t> WriteJwwFile(const DrawingStore &drawing, std::uint32_t version,
                                       const std::vector<std::pair<int, int>> &hiddenLayers = {});
// The drawing as a saved .jws part file (which keeps its origin).
std::vector<std::uint8_t> WriteJwsFile(const DrawingStore &drawing, std::uint32_t version);

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

}  // namespace korvel::test
