// Writes drawings as Jw_win byte streams and as saved drawing files.
#include "reader/stream_writer.h"

#include "reader/drawing_rules.h"
#include "reader/record_fields.h"

#include <algorithm>

#include <bit>
#include <cstring>
#include <type_traits>

namespace korvel {

void StreamWriter::UInt8(std::uint8_t v) { bytes.push_back(v); }
void StreamWriter::UInt16(std::uint16_t v) {
    UInt8(static_cast<std::uint8_t>(v));
    UInt8(static_cast<std::uint8_t>(v >> 8));
}
void StreamWriter::UInt32(std::uint32_t v) {
    UInt16(static_cast<std::uint16_t>(v));
    UInt16(static_cast<std::uint16_t>(v >> 16));
}
void StreamWriter::Int32(std::int32_t v) { UInt32(static_cast<std::uint32_t>(v)); }
void StreamWriter::Double(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    UInt32(static_cast<std::uint32_t>(bits));
    UInt32(static_cast<std::uint32_t>(bits >> 32));
}

void StreamWriter::Count(std::uint32_t n) {
    if (options.longCounts || n >= 0xFFFF) {
        UInt16(0xFFFF);
        UInt32(n);
    } else {
        UInt16(static_cast<std::uint16_t>(n));
    }
}

void StreamWriter::String(std::string_view text) {
    if (text.size() >= 0xFFFE) {  // 0xFFFE marks a Unicode string: longer ones take a double word
        UInt8(255);
        UInt16(0xFFFF);
        UInt32(static_cast<std::uint32_t>(text.size()));
    } else if (options.longStrings || text.size() >= 255) {
        UInt8(255);
        UInt16(static_cast<std::uint16_t>(text.size()));
    } else {
        UInt8(static_cast<std::uint8_t>(text.size()));
    }
    bytes.insert(bytes.end(), text.begin(), text.end());
}

void StreamWriter::ClassTag(const std::string &name) {
    const auto found = classIndex.find(name);
    if (found == classIndex.end()) {
        UInt16(0xFFFF);
        UInt16(options.schema);
        UInt16(static_cast<std::uint16_t>(name.size()));
        bytes.insert(bytes.end(), name.begin(), name.end());
        if (version == 0) version = options.schema;
        classIndex[name] = counter++;
    } else if (options.tags == TagForm::Long) {
        UInt16(0x7FFF);
        UInt32(0x80000000u | static_cast<std::uint32_t>(found->second));
    } else {
        UInt16(static_cast<std::uint16_t>(0x8000 + found->second));
    }
}

void StreamWriter::Base(const TclpEntBase &b) {
    ForEachHeaderField(b, version, [&](const char *, const auto &field, bool stored) {
        if (stored) Number(field);
    });
}

template <class T>
void StreamWriter::Number(T v) {
    if constexpr (std::is_same_v<T, double>) Double(v);
    else if constexpr (std::is_same_v<T, std::int32_t>) Int32(v);
    else if constexpr (std::is_same_v<T, std::uint16_t>) UInt16(v);
    else UInt8(v);
}

template <class Rec>
void StreamWriter::Body(const Rec &r) {
    Base(r.base);
    ForEachField(r, [&](const char *, const auto &field, bool stored) {
        if (!stored) return;
        if constexpr (std::is_arithmetic_v<std::remove_cvref_t<decltype(field)>>) Number(field);
        else String(field);
    });
}

void StreamWriter::Body(const TclpEntSunpo &r) {
    Base(r.base);
    ForEachPart(r, version, [&](const char *, const auto &part, bool stored) {
        if (!stored) return;
        if constexpr (std::is_arithmetic_v<std::remove_cvref_t<decltype(part)>>) Number(part);
        else Body(part);
    });
}

template <class Rec>
void StreamWriter::Tagged(const char *className, const Rec &r) {
    ClassTag(className);
    Body(r);
    counter++;
}

void StreamWriter::Object(const TclpEntSen &r) { Tagged("CDataSen", r); }
void StreamWriter::Object(const TclpEntEnko &r) { Tagged("CDataEnko", r); }
void StreamWriter::Object(const TclpEntTen &r) { Tagged("CDataTen", r); }
void StreamWriter::Object(const TclpEntMoji &r) { Tagged("CDataMoji", r); }
void StreamWriter::Object(const TclpEntSunpo &r) { Tagged("CDataSunpou", r); }
void StreamWriter::Object(const TclpEntSolid &r) { Tagged("CDataSolid", r); }
void StreamWriter::Object(const TclpEntBlock &r) { Tagged("CDataBlock", r); }

namespace {

// The record an object refers to; an index past the list is a fault of the test's drawing.
template <class List>
const auto &At(const List &list, std::size_t i) {
    if (i >= list.size()) throw std::out_of_range("an object refers past its kind's list");
    return list[i];
}

}  // namespace

template <class Refs, class Lists>
void StreamWriter::ObjectList(const Refs &refs, const Lists &a) {
    for (const ObjectRef &ref : refs) {
        const auto i = static_cast<std::size_t>(ref.index);
        switch (static_cast<EntityKind>(ref.kind)) {
            case EntityKind::Line: Object(At(a.lines, i)); break;
            case EntityKind::Arc: Object(At(a.arcs, i)); break;
            case EntityKind::Point: Object(At(a.points, i)); break;
            case EntityKind::Text: Object(At(a.texts, i)); break;
            case EntityKind::Dimension: Object(At(a.dimensions, i)); break;
            case EntityKind::Solid: Object(At(a.solids, i)); break;
            case EntityKind::Insert: Object(At(a.inserts, i)); break;
        }
    }
}

void StreamWriter::BlockDefinition(const TclpEntBlockDef &def) {
    ClassTag("CDataList");
    Base(def.base);
    Int32(def.number);
    Int32(def.referenced);
    Int32(def.stamp);
    if (static_cast<std::uint32_t>(def.stamp) >= 0x80000000u)
        for (int i = 0; i < 8; i++)
            UInt8(0xA5);  // skipped by the reader
    String(def.name);
    Count(static_cast<std::uint32_t>(def.objects.size()));
    counter++;  // the definition takes its index before its objects
    ObjectList(def.objects, def);
}

std::vector<std::uint8_t> WriteStream(const DrawingStore &drawing, const StreamOptions &options) {
    StreamWriter w(options);
    w.Double(drawing.originX);
    w.Double(drawing.originY);
    for (int i = 0; i < 16; i++)
        w.Double(i < static_cast<int>(drawing.layerGroupScales.size()) ? drawing.layerGroupScales[i] : 1.0);
    w.Count(static_cast<std::uint32_t>(drawing.objects.size()));
    w.ObjectList(drawing.objects, drawing);
    w.Count(static_cast<std::uint32_t>(drawing.blockDefs.size()));
    for (const TclpEntBlockDef &def : drawing.blockDefs)
        w.BlockDefinition(def);
    w.bytes.insert(w.bytes.end(), options.trailing.begin(), options.trailing.end());
    return std::move(w.bytes);
}

namespace {

void Dwords(StreamWriter &w, int n) {
    for (int i = 0; i < n; ++i)
        w.UInt32(0);
}
void Doubles(StreamWriter &w, int n) {
    for (int i = 0; i < n; ++i)
        w.Double(0);
}
void Strings(StreamWriter &w, int n) {
    for (int i = 0; i < n; ++i)
        w.String("");
}
double ScaleOf(const DrawingStore &d, int group) {
    return group < static_cast<int>(d.layerGroupScales.size()) ? d.layerGroupScales[group] : 1.0;
}

// The lists after a file's header, as the stream has them after its 18 doubles.
std::vector<std::uint8_t> WithLists(StreamWriter &w, const DrawingStore &drawing, std::uint32_t version) {
    StreamOptions options;
    options.schema = static_cast<std::uint16_t>(version);
    const std::vector<std::uint8_t> stream = WriteStream(drawing, options);
    w.bytes.insert(w.bytes.end(), stream.begin() + 18 * 8, stream.end());
    return std::move(w.bytes);
}

}  // namespace

std::vector<std::uint8_t> WriteJwwFile(const DrawingStore &drawing, std::uint32_t version,
                                       const std::vector<std::pair<int, int>> &hiddenLayers) {
    StreamWriter w;
    for (const char c : std::string_view("JwwData."))
        w.UInt8(static_cast<std::uint8_t>(c));
    w.UInt32(version);
    w.String("memo");
    Dwords(w, 2);
    for (int g = 0; g < 16; ++g) {
        w.UInt32(2);
        w.UInt32(0);
        w.Double(ScaleOf(drawing, g));
        w.UInt32(0);
        for (int l = 0; l < 16; ++l) {
            const bool hidden =
                std::find(hiddenLayers.begin(), hiddenLayers.end(), std::pair(g, l)) != hiddenLayers.end();
            w.UInt32(hidden ? 0 : 2);
            w.UInt32(0);
        }
    }
    Dwords(w, 21);
    Doubles(w, 3);
    Dwords(w, 2);
    Doubles(w, 5);
    Strings(w, 272);
    Doubles(w, 3 + (version >= 300 ? 2 : 0));
    Dwords(w, 2);
    Doubles(w, 6);
    if (version >= 300) {
        for (int i = 0; i < 8; ++i) {
            Doubles(w, 3);
            Dwords(w, 1);
        }
        Doubles(w, 3);
        Dwords(w, 1);
        Doubles(w, 3);
        Dwords(w, 1);
    } else {
        Doubles(w, 12);
    }
    Doubles(w, 11);
    Dwords(w, 20);
    for (int i = 0; i < 10; ++i) {
        Dwords(w, 2);
        Doubles(w, 1);
    }
    Dwords(w, 84);
    if (version >= 223) {
        Dwords(w, 5);
        Doubles(w, 5);
    }
    if (version >= 225) Doubles(w, 4);
    if (version >= 230) Dwords(w, 2);
    if (version >= 420) {
        Dwords(w, 514);
        for (int i = 0; i < 257; ++i) {
            w.String("sxf");
            Dwords(w, 2);
            Doubles(w, 1);
        }
        Dwords(w, 132);
        for (int i = 0; i < 33; ++i) {
            w.String("type");
            Dwords(w, 1);
            Doubles(w, 10);
        }
    }
    for (int i = 0; i < 10; ++i) {
        Doubles(w, 3);
        Dwords(w, 1);
    }
    Doubles(w, 5);
    Dwords(w, 3);
    Doubles(w, 6);
    return WithLists(w, drawing, version);
}

std::vector<std::uint8_t> WriteJwsFile(const DrawingStore &drawing, std::uint32_t version) {
    StreamWriter w;
    for (const char c : std::string_view("JwsData."))
        w.UInt8(static_cast<std::uint8_t>(c));
    for (int i = 0; i < 192; ++i)
        w.UInt8('.');
    w.UInt32(version);
    w.Double(drawing.originX);
    w.Double(drawing.originY);
    for (int g = 0; g < 16; ++g)
        w.Double(ScaleOf(drawing, g));
    Dwords(w, 6);
    Doubles(w, 10);
    return WithLists(w, drawing, version);
}

}  // namespace korvel
