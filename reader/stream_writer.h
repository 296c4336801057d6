// Writes drawings as Jw_win byte streams and as saved .jww and .jws files, in every encoding variant the
// reader takes (the tests use them all).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "reader/drawing_store.h"

namespace korvel {

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
    template <class T>
    void Number(T v);

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

}  // namespace korvel
