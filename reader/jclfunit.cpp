// jclfunit: the header check and the reader of the "Jw_win" clipboard stream.
#include "reader/jclfunit.h"

#include "files/file_path.h"
#include "files/large_pages.h"
#include "files/system_files.h"
#include "geom/cp932.h"
#include "reader/drawing_rules.h"
#include "reader/record_fields.h"

#include <array>
#include <cstdio>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

namespace korvel {

namespace {

// The smallest stored object: a 2-byte class tag, a 13-byte header and a 20-byte point body. The
// smallest block definition: tag, header, three int32, an empty name and a 2-byte count.
constexpr std::uint64_t kMinObjectBytes = 2 + 13 + 20;
constexpr std::uint64_t kMinBlockDefBytes = 2 + 13 + 12 + 1 + 2;

constexpr std::array<std::string_view, 8> kClassNames = {"",          "CDataSen",    "CDataEnko",  "CDataTen",
                                                         "CDataMoji", "CDataSunpou", "CDataSolid", "CDataBlock"};

// uint16; 0xFFFF escapes to a uint32.
std::uint32_t ReadCount(ByteCursor &in) {
    const std::uint32_t n = in.Read<std::uint16_t>();
    return n == 0xFFFF ? in.Read<std::uint32_t>() : n;
}

int KindOfClassName(std::string_view name) {
    for (int kind = 1; kind <= 7; kind++)
        if (name == kClassNames[kind]) return kind;
    return 0;
}

// A record's body, by its field list. The numbers are taken from the stream at once and stored only when all
// of them are there, so a record cut short by the end of the stream stays zero-filled rather than half-filled;
// a text's strings follow them.
template <class Record>
void ReadFields(ByteCursor &in, Record &record, std::uint64_t &replaced) {
    const std::uint8_t *bytes = in.Take(StoredNumberBytes([&](auto &&visit) { ForEachField(record, visit); }));
    if (!bytes) return;
    FieldReader f(bytes);
    ForEachField(record, [&](const char *, auto &field, bool stored) {
        using Field = std::remove_cvref_t<decltype(field)>;
        if constexpr (std::is_arithmetic_v<Field>) {
            if (stored) field = f.Next<Field>();
        } else {
            field = ReadArchiveString(in, replaced);
        }
    });
}

// Reads one stream into a store, keeping the load map (class indexes by kind and the index counter).
// Store is a DrawingStore, a DrawingSummary that counts the records instead of keeping them, or a
// ScriptDrawing that keeps some kinds and counts the others.
template <class Store>
class StreamReader {
public:
    // `plan`, a counting read of the same bytes, lets a store reserve each array at its final size, so that
    // no array is ever held twice while it grows.
    StreamReader(ByteCursor &in, Store &store, const CountedDrawing *plan = nullptr)
        : in(in), store(store), plan(plan) {}

    // Keeps, per top-level object, how many of its characters were replaced (for a caller that drops
    // objects afterwards and counts only what it keeps).
    void CountReplacedPerObject(std::vector<std::uint64_t> *perObject) { replacedPerObject = perObject; }

    bool Read() {
        what = "the stream header";
        store.layerGroupScales.assign(16, 0.0);
        store.originX = in.Read<double>();
        store.originY = in.Read<double>();
        for (double &scale : store.layerGroupScales)
            scale = in.Read<double>();
        return ReadLists();
    }

    // The counted entity list, then the counted block-definition list.
    bool ReadLists() {
        what = "the object count";
        store.objectCount = ReadCount(in);
        if (plan) Reserve(store, *plan);
        if (!in.Ok() || !ReadObjects(store.objectCount, store, store.objects)) return false;

        what = "the block definition count";
        const std::uint32_t defCount = ReadCount(in);
        if (!in.Ok() || !CountFits(defCount, kMinBlockDefBytes, "block definitions")) return false;
        if (defCount == 0) return true;
        // Without a plan the definitions grow as they arrive: the count is bounded by the bytes, but an
        // empty definition takes far more memory than its bytes.
        if (plan) store.blockDefs.reserve(plan->blockDefs.size());
        for (std::uint32_t j = 0; j < defCount; j++) {
            auto &def = store.blockDefs.emplace_back();
            if (plan && static_cast<std::size_t>(j) < plan->blockDefs.size())
                ReserveMembers(def, plan->blockDefs.Counts(static_cast<std::size_t>(j)));
            if (!ReadBlockDefinition(def)) return false;
            if (!plan) ShrinkMembers(def);
        }
        return true;
    }

    ReadReport Report(bool complete) const {
        ReadReport report;
        report.complete = complete;
        report.indexCounter = counter;
        report.endOffset = in.Ok() ? in.Offset() : in.FailOffset();
        if (!complete) report.failure = Failure();
        return report;
    }

private:
    // A kept definition's lists at their final sizes, from the plan.
    template <class Definition>
    static void ReserveMembers(Definition &def, const MemberCounts &counts) {
        if constexpr (std::is_same_v<Definition, TclpEntBlockDef>) {
            def.lines.reserve(counts.lines);
            def.arcs.reserve(counts.arcs);
            def.points.reserve(counts.points);
            def.texts.reserve(counts.texts);
            def.dimensions.reserve(counts.dimensions);
            def.solids.reserve(counts.solids);
            def.inserts.reserve(counts.inserts);
            def.objects.reserve(counts.objects);
        }
    }

    // Without a plan a kept definition's lists grew as its members arrived: they give back what growing left
    // unused.
    template <class Definition>
    static void ShrinkMembers(Definition &def) {
        if constexpr (std::is_same_v<Definition, TclpEntBlockDef>) {
            def.lines.shrink_to_fit();
            def.arcs.shrink_to_fit();
            def.points.shrink_to_fit();
            def.texts.shrink_to_fit();
            def.dimensions.shrink_to_fit();
            def.solids.shrink_to_fit();
            def.inserts.shrink_to_fit();
            def.objects.shrink_to_fit();
        }
    }

    template <class Arrays, class Counted>
    static void Reserve(Arrays &arrays, const Counted &counted) {
        ReserveOnLargePages(arrays.lines, counted.lines.size());
        ReserveOnLargePages(arrays.arcs, counted.arcs.size());
        ReserveOnLargePages(arrays.points, counted.points.size());
        ReserveOnLargePages(arrays.texts, counted.texts.size());
        ReserveOnLargePages(arrays.dimensions, counted.dimensions.size());
        ReserveOnLargePages(arrays.solids, counted.solids.size());
        ReserveOnLargePages(arrays.inserts, counted.inserts.size());
    }

    std::string Failure() const { return (in.Ok() ? "" : "end of file while reading ") + std::string(what); }

    // A count that cannot fit in the bytes left fails the read before anything is allocated for it. So does
    // one with the top bit set (2^31 or more), which no stream can hold.
    bool CountFits(std::uint32_t count, std::uint64_t minBytes, const char *items) {
        if (count <= in.Remaining() / minBytes) return true;
        countFailure = std::to_string(count) + " " + items + " cannot fit in the " + std::to_string(in.Remaining()) +
                       " bytes left";
        what = countFailure.c_str();
        return false;
    }

    // Reads a class tag; returns the kind (0 for a class that is not one of the seven).
    int ReadClassTag() {
        const std::uint16_t tag = in.Read<std::uint16_t>();
        if (!in.Ok()) return 0;
        if (tag == 0xFFFF) {
            const std::uint16_t schema = in.Read<std::uint16_t>();
            const std::uint16_t nameLength = in.Read<std::uint16_t>();
            in.ReadBytes(className, nameLength);
            if (!in.Ok()) return 0;
            if (store.version == 0) store.version = schema;
            const int kind = KindOfClassName(className);
            if (kind != 0) classIndex[kind] = counter;
            counter++;
            return kind;
        }
        const std::int64_t index = tag == 0x7FFF ? static_cast<std::int64_t>(in.Read<std::uint32_t>() & 0x7FFFFFFFu)
                                                 : std::int64_t{tag} - 0x8000;
        // Index 0 names no class (the load map starts at 1); it must not match the kinds not yet defined.
        if (index == 0) return 0;
        int kind = 0;
        for (int k = 1; k <= 7; k++)
            if (classIndex[k] == index) kind = k;  // the last equal one wins
        return kind;
    }

    // Appends a record to its kind's array, reads its header and body into it, returns its index.
    template <class Array, class ReadRest>
    std::int32_t ReadEntity(Array &array, const char *name, ReadRest readRest) {
        what = name;
        auto &rec = array.emplace_back();
        ReadEntityBase(in, store.version, rec.base);
        readRest(rec);
        return static_cast<std::int32_t>(array.size() - 1);
    }

    template <class Arrays>
    std::int32_t ReadBody(EntityKind kind, Arrays &a) {
        const auto fields = [&](auto &r) { ReadFields(in, r, store.replacedCharacters); };
        switch (kind) {
            case EntityKind::Line: return ReadEntity(a.lines, "a line", fields);
            case EntityKind::Arc: return ReadEntity(a.arcs, "an arc", fields);
            case EntityKind::Point: return ReadEntity(a.points, "a point", fields);
            case EntityKind::Text: return ReadEntity(a.texts, "a text", fields);
            case EntityKind::Dimension:
                return ReadEntity(a.dimensions, "a dimension", [&](auto &r) { ReadDimensionBody(r); });
            case EntityKind::Solid: return ReadEntity(a.solids, "a solid", fields);
            case EntityKind::Insert: return ReadEntity(a.inserts, "a block insert", fields);
        }
        return 0;
    }

    void ReadDimensionBody(TclpEntSunpo &dim) {
        ForEachPart(dim, store.version, [&](const char *, auto &part, bool stored) {
            if (!stored) return;
            if constexpr (std::is_arithmetic_v<std::remove_cvref_t<decltype(part)>>) {
                part = in.Read<std::remove_cvref_t<decltype(part)>>();
            } else {
                ReadEntityBase(in, store.version, part.base);
                ReadFields(in, part, store.replacedCharacters);
            }
        });
        if (store.version >= 420) return;
        // Older streams have no extras: they take the dimension's own header and zero coordinates.
        CopyEntityBase(dim.base, dim.auxLine1.base);
        CopyEntityBase(dim.base, dim.auxLine2.base);
        for (TclpEntTen *point : {&dim.point1, &dim.point2, &dim.point3, &dim.point4}) {
            CopyEntityBase(dim.base, point->base);
            point->base.penStyle = 0;
        }
    }

    // Reads `count` stored objects. An object of an unknown class stores nothing and reads nothing
    // after its tag: the bytes that follow are taken as the next tag, as the stream gives no way to
    // skip it. Each pass reads at least a 2-byte tag, so the loop ends within the input.
    template <class Arrays, class Objects>
    bool ReadObjects(std::uint32_t count, Arrays &arrays, Objects &objects) {
        if (!CountFits(count, kMinObjectBytes, "objects")) return false;
        if (count == 0) return true;
        ReserveOnLargePages(objects, static_cast<std::size_t>(count));
        for (std::uint32_t k = 0; k < count;) {
            what = "a class tag";
            const int kind = ReadClassTag();
            if (!in.Ok()) return false;
            if (kind == 0) continue;
            const std::uint64_t replacedBefore = store.replacedCharacters;
            const std::int32_t index = ReadBody(static_cast<EntityKind>(kind), arrays);
            if (!in.Ok()) return false;
            objects.push_back({kind, index});
            if (replacedPerObject && static_cast<void *>(&objects) == static_cast<void *>(&store.objects))
                replacedPerObject->push_back(store.replacedCharacters - replacedBefore);
            k++;
            counter++;
        }
        return true;
    }

    template <class BlockDef>
    bool ReadBlockDefinition(BlockDef &def) {
        what = "the class tag of a block definition";
        ReadClassTag();  // any class: its name and index are not examined
        what = "the header of a block definition";
        ReadEntityBase(in, store.version, def.base);
        def.number = in.Read<std::int32_t>();
        def.referenced = in.Read<std::int32_t>();
        def.stamp = in.Read<std::int32_t>();
        if (static_cast<std::uint32_t>(def.stamp) >= 0x80000000u) in.Skip(8);
        def.name = ReadArchiveString(in, store.replacedCharacters);
        what = "the entity count of a block definition";
        def.entityCount = ReadCount(in);
        if (!in.Ok()) return false;
        counter++;
        return ReadObjects(def.entityCount, def, def.objects);
    }

    ByteCursor &in;
    Store &store;
    const CountedDrawing *plan;
    std::vector<std::uint64_t> *replacedPerObject = nullptr;
    std::array<std::int64_t, 8> classIndex{};  // by kind code; 0 while the class is undefined
    std::int64_t counter = 1;
    std::string className;
    const char *what = "";
    std::string countFailure;
};

// Runs `read` (the whole stream, or the lists alone) and reports how it ended.
template <class Store, class Read>
bool ReadReported(ByteCursor &in, Store &store, ReadReport *report, Read read, const CountedDrawing *plan = nullptr) {
    StreamReader<Store> reader(in, store, plan);
    bool complete = false;
    try {
        complete = read(reader) && in.Ok();
    } catch (const std::bad_alloc &) {
        if (report) {
            *report = reader.Report(false);
            report->outOfMemory = true;
            report->failure = "out of memory";
        }
        return false;
    }
    if (report) *report = reader.Report(complete);
    return complete;
}

template <class Store>
bool ReadFromCursor(ByteCursor &in, Store &store, ReadReport *report, const CountedDrawing *plan = nullptr) {
    store = Store{};
    return ReadReported(
        in, store, report, [](StreamReader<Store> &reader) { return reader.Read(); }, plan);
}

// Opens a file and measures it; null when it cannot be opened or measured.
UniqueFile OpenForReading(const std::string &path, std::uint64_t &sizeBytes) {
    UniqueFile file(OpenFile(path, "rb"));
    const std::optional<std::uint64_t> size = file ? FileSizeOf(file.get()) : std::nullopt;
    if (!size) return nullptr;
    sizeBytes = *size;
    return file;
}

}  // namespace

std::string ReadArchiveString(ByteCursor &in, std::uint64_t &replaced) {
    // The length: a byte, or 0xFF and a word, or 0xFF, 0xFFFF and a double word.
    const auto readLength = [&in](std::uint64_t first) -> std::uint64_t {
        if (first != 0xFF) return first;
        const std::uint16_t word = in.Read<std::uint16_t>();
        return word == 0xFFFF ? in.Read<std::uint32_t>() : word;
    };
    std::uint64_t length = in.Read<std::uint8_t>();
    if (length == 0xFF) {
        const std::uint16_t word = in.Read<std::uint16_t>();
        if (word == 0xFFFE) {
            // A Unicode string: its own length in UTF-16 code units, stored here as CP932.
            const std::uint64_t units = readLength(in.Read<std::uint8_t>());
            std::string utf16;
            in.ReadBytes(utf16, static_cast<std::size_t>(2 * units));
            return Utf16ToCp932(std::span(reinterpret_cast<const std::uint8_t *>(utf16.data()), utf16.size()),
                                replaced);
        }
        length = word == 0xFFFF ? in.Read<std::uint32_t>() : word;
    }
    std::string text;
    in.ReadBytes(text, static_cast<std::size_t>(length));
    return text;
}

bool CheckClipBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 148) return false;
    ByteCursor in(bytes);
    in.Skip(16);  // the reference point may hold any value
    int positive = 0;
    for (int i = 0; i < 16; i++)
        if (in.Read<double>() > 0.0) positive++;
    if (positive != 16) return false;
    ReadCount(in);
    in.Read<std::uint16_t>();  // the first object's class tag
    const std::uint16_t schema = in.Read<std::uint16_t>();
    return in.Ok() && schema >= 220 && schema <= 700;
}

bool CheckClipFile(const std::string &path) {
    std::uint64_t size = 0;
    const UniqueFile file = OpenForReading(path, size);
    if (!file || size < 148) return false;
    std::array<std::uint8_t, kCheckedPrefixBytes> prefix{};
    const std::size_t got = std::fread(prefix.data(), 1, prefix.size(), file.get());
    return CheckClipBytes(std::span(prefix.data(), got));
}

namespace {

// Counted first, so that every array is reserved at its final size.
template <class Store>
bool ReadPlanned(std::span<const std::uint8_t> bytes, Store &store, ReadReport *report) {
    CountedDrawing plan;
    ByteCursor counting(bytes);
    ReadFromCursor(counting, plan, nullptr);
    ByteCursor in(bytes);
    return ReadFromCursor(in, store, report, &plan);
}

// The same from a file, counted first when it can be read twice (not a pipe).
template <class Store>
bool ReadPlanned(std::FILE *file, std::uint64_t sizeBytes, Store &store, ReadReport *report, std::size_t chunkBytes) {
    CountedDrawing plan;
    const std::optional<std::uint64_t> start = FilePosition(file);
    bool planned = false;
    if (start) {
        ByteCursor counting(file, sizeBytes, chunkBytes);
        ReadFromCursor(counting, plan, nullptr);
        planned = SeekFile(file, *start);
    }
    ByteCursor in(file, sizeBytes, chunkBytes);
    return ReadFromCursor(in, store, report, planned ? &plan : nullptr);
}

}  // namespace

bool ReadClipBytes(std::span<const std::uint8_t> bytes, DrawingStore &store, ReadReport *report) {
    return ReadPlanned(bytes, store, report);
}

bool ReadClipFile(const std::string &path, DrawingStore &store, ReadReport *report) {
    std::uint64_t size = 0;
    const UniqueFile file = OpenForReading(path, size);
    if (!file) {
        ClearDrawingStore(store);
        if (report) *report = ReadReport{false, false, 0, "cannot open " + path, 1};
        return false;
    }
    return ReadClipStream(file.get(), size, store, report);
}

bool ReadClipStream(std::FILE *file, std::uint64_t sizeBytes, DrawingStore &store, ReadReport *report,
                    std::size_t chunkBytes) {
    return ReadPlanned(file, sizeBytes, store, report, chunkBytes);
}

bool ReadClipBytes(std::span<const std::uint8_t> bytes, ScriptDrawing &drawing, ReadReport *report) {
    return ReadPlanned(bytes, drawing, report);
}

bool ReadClipStream(std::FILE *file, std::uint64_t sizeBytes, ScriptDrawing &drawing, ReadReport *report,
                    std::size_t chunkBytes) {
    return ReadPlanned(file, sizeBytes, drawing, report, chunkBytes);
}

bool ReadClipBytes(std::span<const std::uint8_t> bytes, DrawingSummary &summary, ReadReport *report) {
    ByteCursor in(bytes);
    return ReadFromCursor(in, summary, report);
}

bool ReadClipStream(std::FILE *file, std::uint64_t sizeBytes, DrawingSummary &summary, ReadReport *report,
                    std::size_t chunkBytes) {
    ByteCursor in(file, sizeBytes, chunkBytes);
    return ReadFromCursor(in, summary, report);
}

bool ReadObjectLists(ByteCursor &in, DrawingStore &store, ReadReport *report, const CountedDrawing *plan,
                     std::vector<std::uint64_t> *replacedPerObject) {
    return ReadReported(
        in, store, report,
        [replacedPerObject](StreamReader<DrawingStore> &reader) {
            reader.CountReplacedPerObject(replacedPerObject);
            return reader.ReadLists();
        },
        plan);
}

bool CountObjectLists(ByteCursor &in, CountedDrawing &summary) {
    return ReadReported(in, summary, nullptr, [](StreamReader<CountedDrawing> &reader) { return reader.ReadLists(); });
}

}  // namespace korvel
