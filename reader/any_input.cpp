// Any input, told apart by its first bytes.
#include "reader/any_input.h"

#include <memory>

#include "files/file_path.h"
#include "files/system_files.h"

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

FileRead ReadAnyInputFile(const std::string &path, DrawingStore &store, const DrawingFileOptions &options) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(OpenFile(path, "rb"), &std::fclose);
    if (!file) return FileRead::Unreadable;
    std::uint8_t prefix[kCheckedAnyPrefixBytes];
    const std::size_t got = std::fread(prefix, 1, sizeof prefix, file.get());
    const std::optional<std::uint64_t> size = FileSizeOf(file.get());
    if (std::ferror(file.get()) || !size) return FileRead::Unreadable;
    ClearDrawingStore(store);
    if (!CheckAnyInput(std::span(prefix, got))) return FileRead::NotADrawing;
    std::rewind(file.get());
    return ReadAnyInput(file.get(), *size, KindOfInput(std::span(prefix, got)), store, options) ? FileRead::Whole
                                                                                                : FileRead::Partial;
}

}  // namespace korvel
