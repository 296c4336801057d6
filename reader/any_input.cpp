// Any input, told apart by its first bytes.
#include "reader/any_input.h"

namespace korvel {

bool CheckAnyInput(std::span<const std::uint8_t> firstBytes) {
    return KindOfInput(firstBytes) == InputKind::Stream ? CheckClipBytes(firstBytes)
                                                        : CheckDrawingFileBytes(firstBytes);
}

bool ReadAnyInput(std::span<const std::uint8_t> bytes, DrawingStore &store, const DrawingFileOptions &options,
                  ReadReport *report) {
    return KindOfInput(bytes) == InputKind::Stream ? ReadClipBytes(bytes, store, report)
                                                   : ReadDrawingFileBytes(bytes, store, options, report);
}

bool ReadAnyInput(std::FILE *file, std::uint64_t size, InputKind kind, DrawingStore &store,
                  const DrawingFileOptions &options, ReadReport *report) {
    return kind == InputKind::Stream ? ReadClipStream(file, size, store, report)
                                     : ReadDrawingFileStream(file, size, store, options, report);
}

}  // namespace korvel
