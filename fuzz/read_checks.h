// The fuzz targets' reading: any bytes through the header check and the reader (of streams, into a store,
// counting, and keeping the script's kinds, which must agree; or, by signature, of drawing files; each from
// memory and through the buffered file read, which must agree). Aborts on any disagreement.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "reader/jclfunit.h"
#include "reader/jww_file.h"
#include "tests/support/summary_check.h"

namespace korvel::fuzz {

// Reads `bytes` every way there is into `store`, and `script` for a stream; whether they were a stream.
inline bool ReadEveryWay(const std::vector<std::uint8_t> &bytes, korvel::DrawingStore &store,
                         korvel::ScriptDrawing &script) {
    const std::size_t size = bytes.size();
    const bool stream = korvel::KindOfInput(bytes) == korvel::InputKind::Stream;
    if (stream) {
        korvel::CheckClipBytes(bytes);
        korvel::ReadReport stored, counted;
        korvel::ReadClipBytes(bytes, store, &stored);
        // The counting read (korvel-cli info) must find exactly what the store read finds.
        korvel::DrawingSummary summary;
        korvel::ReadClipBytes(bytes, summary, &counted);
        if (!korvel::test::SameEnding(stored, counted) || !korvel::test::SameFigures(summary, store)) std::abort();
        // So must the read that keeps only the script's kinds (korvel-cli convert).
        korvel::ReadReport kept;
        korvel::ReadClipBytes(bytes, script, &kept);
        if (!korvel::test::SameEnding(stored, kept) || !korvel::test::SameFigures(script, store)) std::abort();
        // Through the buffered file reader with a buffer far smaller than the input, so that refills, growth
        // and strings across refills happen at fuzz sizes; it must read exactly what the memory read reads.
        if (std::FILE *file = fmemopen(const_cast<std::uint8_t *>(bytes.data()), size, "rb")) {
            korvel::DrawingStore buffered;
            korvel::ReadReport viaFile;
            korvel::ReadClipStream(file, size, buffered, &viaFile, 1 + size % 61);
            std::fclose(file);
            if (!korvel::test::SameEnding(stored, viaFile) || !korvel::test::SameStrings(buffered, store)) std::abort();
        }
    } else {  // a .jww or .jws file, by its signature
        korvel::CheckDrawingFileBytes(bytes);
        const korvel::DrawingFileOptions options{size % 2 == 0};
        korvel::ReadReport fromMemory;
        korvel::ReadDrawingFileBytes(bytes, store, options, &fromMemory);
        // The buffered file read (korvel-cli's for any file) must read exactly what the memory read reads.
        if (std::FILE *file = fmemopen(const_cast<std::uint8_t *>(bytes.data()), size, "rb")) {
            korvel::DrawingStore buffered;
            korvel::ReadReport viaFile;
            korvel::ReadDrawingFileStream(file, size, buffered, options, &viaFile, 1 + size % 61);
            std::fclose(file);
            if (!korvel::test::SameEnding(fromMemory, viaFile) || !korvel::test::SameStrings(buffered, store) ||
                buffered.replacedCharacters != store.replacedCharacters)
                std::abort();
        }
    }
    return stream;
}

}  // namespace korvel::fuzz
