// jclfunit: the header check and the reader of the "Jw_win" clipboard stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "reader/byte_cursor.h"
#include "reader/drawing_store.h"
#include "reader/drawing_summary.h"
#include "reader/record_fields.h"

namespace korvel {

// How a read ended, for the command line and the tests.
struct ReadReport {
    bool complete = false;
    bool outOfMemory = false;       // the read stopped because memory ran out, not because of the stream
    std::uint64_t endOffset = 0;    // where the stream ended (complete) or where the failing read began
    std::string failure;            // what was being read when it failed; empty when complete
    std::int64_t indexCounter = 0;  // the load map's next index number when the read stopped
};

// True when the bytes look like a Jw_win drawing: at least 148 bytes, 16 positive layer-group scales,
// and a first class schema between 220 and 700.
bool CheckClipBytes(std::span<const std::uint8_t> bytes);
bool CheckClipFile(const std::string &path);
// The most bytes from the start of a stream that the check looks at.
inline constexpr std::size_t kCheckedPrefixBytes = 18 * 8 + 6 + 2 + 2;

// Empties `store` and reads the stream into it. True when the read reached the end of the last block
// definition; on false the store keeps what was read before the failure.
bool ReadClipBytes(std::span<const std::uint8_t> bytes, DrawingStore &store, ReadReport *report = nullptr);
bool ReadClipFile(const std::string &path, DrawingStore &store, ReadReport *report = nullptr);
// The same from a file already open at its start, of the given size, read `chunkBytes` at a time.
bool ReadClipStream(std::FILE *file, std::uint64_t sizeBytes, DrawingStore &store, ReadReport *report = nullptr,
                    std::size_t chunkBytes = ByteCursor::kDefaultChunkBytes);

// The same reads counting the records instead of keeping them: the figures a store would hold, in the
// memory of one record per kind.
bool ReadClipBytes(std::span<const std::uint8_t> bytes, DrawingSummary &summary, ReadReport *report = nullptr);
bool ReadClipStream(std::FILE *file, std::uint64_t sizeBytes, DrawingSummary &summary, ReadReport *report = nullptr,
                    std::size_t chunkBytes = ByteCursor::kDefaultChunkBytes);

// The same reads keeping only the kinds a script is made of.
bool ReadClipBytes(std::span<const std::uint8_t> bytes, ScriptDrawing &drawing, ReadReport *report = nullptr);
bool ReadClipStream(std::FILE *file, std::uint64_t sizeBytes, ScriptDrawing &drawing, ReadReport *report = nullptr,
                    std::size_t chunkBytes = ByteCursor::kDefaultChunkBytes);

// The entity list and the block-definition list, into a store whose header (version aside) is set; with
// `plan`, the counting read of the same lists, every array is reserved at its final size.
// `replacedPerObject`, when given, gets each top-level object's count of replaced characters.
bool ReadObjectLists(ByteCursor &in, DrawingStore &store, ReadReport *report = nullptr,
                     const CountedDrawing *plan = nullptr, std::vector<std::uint64_t> *replacedPerObject = nullptr);
// The same lists counted.
bool CountObjectLists(ByteCursor &in, CountedDrawing &summary);

// An archive string in any of its forms: ANSI with a byte, word or double-word length, or Unicode (0xFF,
// 0xFFFE, then a length in UTF-16 code units in the same three forms), which is stored as CP932 with "?"
// for each character that has no CP932 form, counted in `replaced`.
std::string ReadArchiveString(ByteCursor &in, std::uint64_t &replaced);

// Zeroes `header`, then reads the common entity header; the pen width only from version 351 on. Inlined
// into the record loops, which call it once or more per object.
[[gnu::always_inline]] inline void ReadEntityBase(ByteCursor &in, std::int32_t version, TclpEntBase &header) {
    header = TclpEntBase{};
    const std::uint8_t *bytes =
        in.Take(StoredNumberBytes([&](auto &&visit) { ForEachHeaderField(header, version, visit); }));
    if (!bytes) return;
    FieldReader f(bytes);
    ForEachHeaderField(header, version, [&](const char *, auto &field, bool stored) {
        if (stored) field = f.Next<std::remove_cvref_t<decltype(field)>>();
    });
}

}  // namespace korvel
