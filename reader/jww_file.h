// Jw_cad's saved drawings: .jww (a whole drawing) and .jws (a part). Their object lists are the
// clipboard stream's, after a header of their own.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "reader/byte_cursor.h"
#include "reader/drawing_store.h"
#include "reader/jclfunit.h"

namespace korvel {

enum class InputKind { Stream, JwwFile, JwsFile };

// What the first bytes say: "JwwData." or "JwsData.", otherwise a clipboard stream.
InputKind KindOfInput(std::span<const std::uint8_t> firstBytes);

struct DrawingFileOptions {
    // Every entity of the file rather than what "select all + copy" would take (the entities on layers
    // whose group and layer are both editable).
    bool allLayers = false;
};

// True when the bytes start like a drawing file that a reader can take up: its signature and a version.
bool CheckDrawingFileBytes(std::span<const std::uint8_t> bytes);
// The most bytes from the start of a file that the check looks at.
inline constexpr std::size_t kCheckedFilePrefixBytes = 8 + 192 + 4;

// Reads a .jww or .jws file held in memory into the store: its header's origin and layer-group scales,
// its lists, without the settings texts Jw_cad appends on saving. True when the lists read to the end.
bool ReadDrawingFileBytes(std::span<const std::uint8_t> bytes, DrawingStore &store, const DrawingFileOptions &options,
                          ReadReport *report = nullptr);

// The same from a file already open at its start, of the given size, read `chunkBytes` at a time.
bool ReadDrawingFileStream(std::FILE *file, std::uint64_t sizeBytes, DrawingStore &store,
                           const DrawingFileOptions &options, ReadReport *report = nullptr,
                           std::size_t chunkBytes = ByteCursor::kDefaultChunkBytes);

// Removes the settings texts ("Printer_Orientation = 0" and the like, at (0, -1000)) that end a saved
// entity list: they are no part of the drawing.
void RemoveSettingsTexts(DrawingStore &store);

}  // namespace korvel
