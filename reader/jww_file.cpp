#include "reader/jww_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <limits>

#include "reader/drawing_summary.h"

#include "files/system_files.h"
#include "reader/byte_cursor.h"

namespace korvel {

namespace {

constexpr std::size_t kSignatureBytes = 8;

bool StartsWith(std::span<const std::uint8_t> bytes, const char *signature) {
    return bytes.size() >= kSignatureBytes && std::memcmp(bytes.data(), signature, kSignatureBytes) == 0;
}

void SkipDwords(ByteCursor &in, std::size_t n) { in.Skip(4 * n); }
void SkipDoubles(ByteCursor &in, std::size_t n) { in.Skip(8 * n); }

// Which layers "select all" reaches: states by group and layer (2 editable, 3 the write layer).
struct LayerStates {
    std::array<std::uint32_t, 16> group{};
    std::array<std::array<std::uint32_t, 16>, 16> layer{};
    bool Editable(const TclpEntBase &base) const {
        return base.layerGroup < 16 && base.layer < 16 && group[base.layerGroup] >= 2 &&
               layer[base.layerGroup][base.layer] >= 2;
    }
};

// The .jww header up to the entity list, field by field as each version of the format has it. Returns
// the file's version.
std::uint32_t ReadJwwHeader(ByteCursor &in, DrawingStore &store, LayerStates &states) {
    in.Skip(kSignatureBytes);
    const std::uint32_t version = in.Read<std::uint32_t>();
    std::uint64_t notOutput = 0;       // replaced characters of strings no output shows
    ReadArchiveString(in, notOutput);  // memo
    SkipDwords(in, 2);                 // paper size, current layer group
    store.layerGroupScales.assign(16, 0.0);
    for (int g = 0; g < 16; ++g) {
        states.group[g] = in.Read<std::uint32_t>();
        SkipDwords(in, 1);  // write layer
        store.layerGroupScales[g] = in.Read<double>();
        SkipDwords(in, 1);  // protect
        for (int l = 0; l < 16; ++l) {
            states.layer[g][l] = in.Read<std::uint32_t>();
            SkipDwords(in, 1);  // protect
        }
    }
    SkipDwords(in, 14 + 5 + 1 + 1);
    SkipDoubles(in, 3);
    SkipDwords(in, 2);
    SkipDoubles(in, 5);
    store.layerNames.resize(16 * 16 + 16);  // layer and layer-group names
    for (std::string &name : store.layerNames)
        name = ReadArchiveString(in, notOutput);
    SkipDoubles(in, 2);  // shadow
    SkipDwords(in, 1);
    SkipDoubles(in, 1);
    if (version >= 300) SkipDoubles(in, 2);  // sky chart
    SkipDwords(in, 1);                       // 2.5D unit
    SkipDoubles(in, 6);                      // view and stored range
    if (version >= 300) {
        for (int i = 0; i < 8; ++i) {  // mark jumps
            SkipDoubles(in, 3);
            SkipDwords(in, 1);
        }
        SkipDoubles(in, 3);  // text drawing state
        SkipDwords(in, 1);
        SkipDoubles(in, 3);
        SkipDwords(in, 1);
    } else {
        SkipDoubles(in, 12);
    }
    SkipDoubles(in, 11);            // parallel lines
    SkipDwords(in, 20);             // screen colours and widths
    for (int i = 0; i < 10; ++i) {  // printer colours
        SkipDwords(in, 2);
        SkipDoubles(in, 1);
    }
    SkipDwords(in, 73 + 11);  // line types, point settings
    if (version >= 223) {
        SkipDwords(in, 5);
        SkipDoubles(in, 5);
    }
    if (version >= 225) SkipDoubles(in, 4);
    if (version >= 230) SkipDwords(in, 2);
    if (version >= 420) {  // SXF colours and line types
        SkipDwords(in, 514);
        for (int i = 0; i < 257 && in.Ok(); ++i) {
            ReadArchiveString(in, notOutput);
            SkipDwords(in, 2);
            SkipDoubles(in, 1);
        }
        SkipDwords(in, 132);
        for (int i = 0; i < 33 && in.Ok(); ++i) {
            ReadArchiveString(in, notOutput);
            SkipDwords(in, 1);
            SkipDoubles(in, 10);
        }
    }
    for (int i = 0; i < 10; ++i) {  // text styles
        SkipDoubles(in, 3);
        SkipDwords(in, 1);
    }
    SkipDoubles(in, 3 + 2);
    SkipDwords(in, 2 + 1);
    SkipDoubles(in, 6);
    return version;
}

// The .jws header: signature and dots, version, origin, scales, settings and bounds. Returns the version.
std::uint32_t ReadJwsHeader(ByteCursor &in, DrawingStore &store) {
    in.Skip(kSignatureBytes + 192);
    const std::uint32_t version = in.Read<std::uint32_t>();
    store.originX = in.Read<double>();
    store.originY = in.Read<double>();
    store.layerGroupScales.assign(16, 0.0);
    for (double &scale : store.layerGroupScales)
        scale = in.Read<double>();
    SkipDwords(in, 6);
    SkipDoubles(in, 6 + 4);
    return version;
}

const TclpEntBase &BaseOf(const EntityArrays &a, const ObjectRef &ref) {
    const auto i = static_cast<std::size_t>(ref.index);
    switch (static_cast<EntityKind>(ref.kind)) {
        case EntityKind::Line: return a.lines[i].base;
        case EntityKind::Arc: return a.arcs[i].base;
        case EntityKind::Point: return a.points[i].base;
        case EntityKind::Text: return a.texts[i].base;
        case EntityKind::Dimension: return a.dimensions[i].base;
        case EntityKind::Solid: return a.solids[i].base;
        case EntityKind::Insert: return a.inserts[i].base;
    }
    return a.lines[i].base;
}

// Moves the kept records of one kind to the front of its array, in place: kept indexes only grow, so a
// record never moves onto one still to be examined.
template <class Rec>
std::int32_t MoveForward(std::vector<Rec> &records, std::size_t &kept, std::int32_t index) {
    if (kept != static_cast<std::size_t>(index)) records[kept] = std::move(records[static_cast<std::size_t>(index)]);
    return static_cast<std::int32_t>(kept++);
}

// Keeps the top-level objects for which `keep` holds, in their order, without a second set of arrays.
template <class Keep>
void KeepTopLevel(DrawingStore &store, Keep keep) {
    std::array<std::size_t, 8> kept{};  // by kind code
    std::size_t keptObjects = 0;
    for (const ObjectRef &ref : store.objects) {
        if (!keep(ref)) continue;
        std::size_t &n = kept[static_cast<std::size_t>(ref.kind)];
        std::int32_t index = 0;
        switch (static_cast<EntityKind>(ref.kind)) {
            case EntityKind::Line: index = MoveForward(store.lines, n, ref.index); break;
            case EntityKind::Arc: index = MoveForward(store.arcs, n, ref.index); break;
            case EntityKind::Point: index = MoveForward(store.points, n, ref.index); break;
            case EntityKind::Text: index = MoveForward(store.texts, n, ref.index); break;
            case EntityKind::Dimension: index = MoveForward(store.dimensions, n, ref.index); break;
            case EntityKind::Solid: index = MoveForward(store.solids, n, ref.index); break;
            case EntityKind::Insert: index = MoveForward(store.inserts, n, ref.index); break;
        }
        store.objects[keptObjects++] = {ref.kind, index};
    }
    const auto kind = [&](EntityKind k) { return kept[static_cast<std::size_t>(k)]; };
    store.lines.resize(kind(EntityKind::Line));
    store.arcs.resize(kind(EntityKind::Arc));
    store.points.resize(kind(EntityKind::Point));
    store.texts.resize(kind(EntityKind::Text));
    store.dimensions.resize(kind(EntityKind::Dimension));
    store.solids.resize(kind(EntityKind::Solid));
    store.inserts.resize(kind(EntityKind::Insert));
    store.objects.resize(keptObjects);
    store.objectCount = static_cast<std::uint32_t>(keptObjects);
}

bool IsSettingsText(const TclpEntMoji &text) {
    if (text.startX != 0 || text.startY != -1000 || text.text.find(" = ") == std::string::npos) return false;
    for (const char *prefix : {"Printer_", "View_", "Draw_"})
        if (text.text.starts_with(prefix)) return true;
    return false;
}

// Whether a class definition ("\xFF\xFF", a schema, a name length, "CData...") stands in the bytes.
bool HoldsClassDefinition(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kName[] = {'C', 'D', 'a', 't', 'a'};
    for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), kName, kName + 5)) != bytes.end(); ++at)
        if (at - bytes.begin() >= 6 && at[-6] == 0xFF && at[-5] == 0xFF) return true;
    return false;
}

// A header walked with the wrong layout (a version field that does not match the file) lands before or
// after the lists and reads them as garbage, or as empty. Every saved file's lists begin with a class
// definition whose schema is the file's version; lists read as empty must have no class definition after
// them.
std::string LayoutMismatch(std::uint32_t version, const DrawingStore &store, ByteCursor &rest) {
    const bool empty = store.objects.empty() && store.blockDefs.empty();
    std::string after;
    if (empty) rest.ReadBytes(after, static_cast<std::size_t>(rest.Remaining()));
    const auto afterBytes = std::span(reinterpret_cast<const std::uint8_t *>(after.data()), after.size());
    if (empty ? !HoldsClassDefinition(afterBytes) : store.version == static_cast<std::int32_t>(version)) return {};
    return "the lists of this version-" + std::to_string(version) +
           " file are not where its header says (its version field does not match its layout)";
}

}  // namespace

InputKind KindOfInput(std::span<const std::uint8_t> firstBytes) {
    if (StartsWith(firstBytes, "JwwData.")) return InputKind::JwwFile;
    if (StartsWith(firstBytes, "JwsData.")) return InputKind::JwsFile;
    return InputKind::Stream;
}

bool CheckDrawingFileBytes(std::span<const std::uint8_t> bytes) {
    const InputKind kind = KindOfInput(bytes);
    if (kind == InputKind::Stream) return false;
    const std::size_t at = kind == InputKind::JwwFile ? kSignatureBytes : kSignatureBytes + 192;
    if (bytes.size() < at + 4) return false;
    std::uint32_t version = 0;
    std::memcpy(&version, bytes.data() + at, 4);
    return version >= 200 && version <= 9999;
}

void RemoveSettingsTexts(DrawingStore &store) {
    std::size_t end = store.objects.size();
    while (end > 0 && store.objects[end - 1].kind == static_cast<std::int32_t>(EntityKind::Text) &&
           IsSettingsText(store.texts[static_cast<std::size_t>(store.objects[end - 1].index)]))
        --end;
    if (end == store.objects.size()) return;
    std::size_t position = 0;
    KeepTopLevel(store, [&](const ObjectRef &) { return position++ < end; });
}

namespace {

// The header walk, into `store` and `states`: the file's version; the walk failed when `in` is not Ok().
std::uint32_t ReadHeader(ByteCursor &in, InputKind kind, DrawingStore &store, LayerStates &states) {
    if (kind == InputKind::JwwFile) return ReadJwwHeader(in, store, states);
    if (kind == InputKind::JwsFile) return ReadJwsHeader(in, store);
    in.Skip(std::numeric_limits<std::size_t>::max());  // not a drawing file: fails the cursor
    return 0;
}

// `withCursor(use)` calls `use` with a new cursor at the file's start; the file is walked twice, first
// counting its lists so that the store's arrays are reserved at their final size.
bool ReadDrawingFile(InputKind kind, const std::function<void(const std::function<void(ByteCursor &)> &)> &withCursor,
                     DrawingStore &store, const DrawingFileOptions &options, ReadReport *report) {
    ClearDrawingStore(store);
    CountedDrawing plan;
    withCursor([&](ByteCursor &in) {
        DrawingStore header;
        LayerStates ignored;
        ReadHeader(in, kind, header, ignored);
        if (in.Ok()) CountObjectLists(in, plan);
    });
    bool complete = false;
    withCursor([&](ByteCursor &in) {
        LayerStates states;
        const std::uint32_t version = ReadHeader(in, kind, store, states);
        if (!in.Ok()) {
            const std::string what = "the header of this version-" + std::to_string(version) + " drawing file";
            if (report) *report = ReadReport{false, false, in.FailOffset(), what, 1};
            return;
        }
        const std::uint64_t listsAt = in.Offset();
        ReadReport listsReport;
        std::vector<std::uint64_t> replaced;  // per top-level object: the count covers what is kept
        complete = ReadObjectLists(in, store, &listsReport, &plan, &replaced);
        if (complete) {
            const std::string mismatch = LayoutMismatch(version, store, in);
            if (!mismatch.empty()) {
                complete = false;
                listsReport = ReadReport{false, false, listsAt, mismatch, listsReport.indexCounter};
            }
        }
        if (report) *report = listsReport;
        RemoveSettingsTexts(store);
        if (kind == InputKind::JwwFile) {
            for (const std::uint32_t state : states.group)
                store.layerStates.push_back(static_cast<std::uint8_t>(std::min<std::uint32_t>(state, 3)));
            for (const auto &group : states.layer)
                for (const std::uint32_t state : group)
                    store.layerStates.push_back(static_cast<std::uint8_t>(std::min<std::uint32_t>(state, 3)));
        }
        if (kind == InputKind::JwwFile && !options.allLayers) {
            std::size_t position = 0;
            KeepTopLevel(store, [&](const ObjectRef &ref) {
                const bool kept = states.Editable(BaseOf(store, ref));
                if (!kept && position < replaced.size()) store.replacedCharacters -= replaced[position];
                store.leftOnLockedLayers += !kept;
                ++position;
                return kept;
            });
        }
    });
    return complete;
}

}  // namespace

bool ReadDrawingFileBytes(std::span<const std::uint8_t> bytes, DrawingStore &store, const DrawingFileOptions &options,
                          ReadReport *report) {
    const auto withCursor = [&](const std::function<void(ByteCursor &)> &use) {
        ByteCursor in(bytes);
        use(in);
    };
    return ReadDrawingFile(KindOfInput(bytes), withCursor, store, options, report);
}

bool ReadDrawingFileStream(std::FILE *file, std::uint64_t sizeBytes, DrawingStore &store,
                           const DrawingFileOptions &options, ReadReport *report, std::size_t chunkBytes) {
    std::array<std::uint8_t, kSignatureBytes> signature{};
    const std::optional<std::uint64_t> start = FilePosition(file);
    const std::size_t got = std::fread(signature.data(), 1, signature.size(), file);
    const auto withCursor = [&](const std::function<void(ByteCursor &)> &use) {
        ByteCursor in(file, start && SeekFile(file, *start) ? sizeBytes : 0, chunkBytes);
        use(in);
    };
    return ReadDrawingFile(KindOfInput(std::span(signature.data(), got)), withCursor, store, options, report);
}

}  // namespace korvel
