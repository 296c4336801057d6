#include "shell/clipboards.h"
#include "files/file_path.h"
#include "files/output_file.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>

namespace korvel {

namespace {

constexpr std::size_t kDumpBufferBytes = 2048;

bool WriteThroughBuffer(std::FILE *file, std::span<const std::uint8_t> block) {
    for (std::size_t at = 0; at < block.size(); at += kDumpBufferBytes) {
        const std::size_t count = std::min(kDumpBufferBytes, block.size() - at);
        if (std::fwrite(block.data() + at, 1, count, file) != count) return false;
    }
    return true;
}

// A stale or partial dump goes; a folder of that name is not ours to remove.
void RemoveIfPresent(const std::string &path) {
    std::error_code ignored;
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(FilePath(path), ignored)))
        std::filesystem::remove(FilePath(path), ignored);
}

}  // namespace

int Clipboards::ClipboardFormatCount() { return source.FormatCount(); }

std::uint32_t Clipboards::RegisterFormat(const std::string &name) {
    try {
        return source.Register(name);
    } catch (const std::exception &) {
        return 0;
    }
}

std::uint64_t ClipboardByteLimit() {
    const char *set = std::getenv("KORVEL_MAX_CLIPBOARD");
    if (!set || !*set) return kDefaultClipboardBytes;
    std::uint64_t bytes = 0;
    const auto [end, error] = std::from_chars(set, set + std::strlen(set), bytes);
    return error == std::errc() && *end == '\0' && bytes > 0 ? bytes : kDefaultClipboardBytes;
}

std::string ClipboardLimitText() {
    const std::uint64_t bytes = ClipboardByteLimit();
    if (bytes % (1 << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    return std::to_string(bytes) + " bytes";
}

ClipboardTooLargeError::ClipboardTooLargeError()
    : ClipboardOpenError("クリップボードのデータが大きすぎるため（" + ClipboardLimitText() +
                         " を超えています）、取り込めませんでした") {}

void Clipboards::Open() {
    if (openCount == 0 && !source.Open()) throw ClipboardOpenError();
    ++openCount;
}

void Clipboards::Close() {
    if (openCount > 0 && --openCount == 0) source.Close();
}

bool Clipboards::ClipboardFormatSize(std::uint32_t format, std::uint32_t &size) {
    size = 0;
    ClipboardHold hold(*this);
    try {
        const std::optional<std::uint64_t> blockSize = source.BlockSize(format);
        if (!blockSize) return false;
        // Past the limit the import stops here, before any format is dumped.
        if (*blockSize > ClipboardByteLimit()) throw ClipboardTooLargeError();
        // A block beyond 4 GiB cannot come from Jw_cad; report it as unusable rather than wrapped.
        if (*blockSize > std::numeric_limits<std::uint32_t>::max()) return false;
        size = static_cast<std::uint32_t>(*blockSize);
        return true;
    } catch (const ClipboardOpenError &) {
        throw;
    } catch (const std::exception &) {
        size = 0;
        return false;
    }
}

void Clipboards::DumpClipboardFormat(std::uint32_t format, const std::string &path) {
    ClipboardHold hold(*this);
    try {
        // Refused before a byte of it is copied.
        if (const std::optional<std::uint64_t> size = source.BlockSize(format); size && *size > ClipboardByteLimit())
            throw ClipboardTooLargeError();
        bool written = false;
        const bool present = source.ReadBlock(format, [&](std::span<const std::uint8_t> block) {
            // Written whole or not at all, and never through a link planted at the scratch file's name.
            written = !WriteOutputFile(
                path, [&](std::FILE *file) { return WriteThroughBuffer(file, block); },
                OutputOptions{.followLinks = false, .writeInPlace = false, .force = true});
        });
        if (!present || !written) RemoveIfPresent(path);
    } catch (const ClipboardOpenError &) {
        RemoveIfPresent(path);
        throw;
    } catch (const std::exception &) {
        RemoveIfPresent(path);
    }
}

}  // namespace korvel
