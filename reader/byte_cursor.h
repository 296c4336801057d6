// Little-endian reads over bytes we did not write, from memory or through a file buffer.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace korvel {

template <class T>
T LoadLittleEndian(const std::uint8_t *bytes) {
    static_assert(std::is_arithmetic_v<T>);
    std::array<std::uint8_t, sizeof(T)> raw;
    std::memcpy(raw.data(), bytes, raw.size());
    if constexpr (std::endian::native == std::endian::big) std::ranges::reverse(raw);
    return std::bit_cast<T>(raw);
}

// Fields of a record taken whole from a cursor, in order.
class FieldReader {
public:
    explicit FieldReader(const std::uint8_t *bytes) : bytes(bytes) {}
    template <class T>
    T Next() {
        const T value = LoadLittleEndian<T>(bytes);
        bytes += sizeof(T);
        return value;
    }

private:
    const std::uint8_t *bytes;
};

// Running off the end fails the cursor for good and yields zeros, so a record reader checks Ok() once
// per record, not per field. Remaining() is always known, so a count can be checked against the bytes
// that could still hold it before anything is allocated for it.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes)
        : window(bytes.data()), windowSize(bytes.size()), total(bytes.size()) {}

    // Reads `file` (of `sizeBytes` bytes from its current position) through a buffer that starts at
    // `chunkBytes` and grows to hold the longest single read.
    ByteCursor(std::FILE *file, std::uint64_t sizeBytes, std::size_t chunkBytes = kDefaultChunkBytes)
        : file(file), total(sizeBytes), chunkBytes(std::max<std::size_t>(chunkBytes, 1)) {}

    static constexpr std::size_t kDefaultChunkBytes = 1 << 20;

    bool Ok() const { return ok; }
    std::uint64_t Offset() const { return windowStart + pos; }
    std::uint64_t Remaining() const { return ok ? total - Offset() : 0; }
    // Where the read that failed began.
    std::uint64_t FailOffset() const { return failOffset; }

    template <class T>
    T Read() {  // T: an integer or double
        if (!Fits(sizeof(T))) return T{};
        const T value = LoadLittleEndian<T>(window + pos);
        pos += sizeof(T);
        return value;
    }

    // The next n bytes at once (null when they are not all there), for a record of known size: one
    // bounds check for all of its fields.
    const std::uint8_t *Take(std::size_t n) {
        if (!Fits(n)) return nullptr;
        const std::uint8_t *bytes = window + pos;
        pos += n;
        return bytes;
    }

    // Replaces `out` with the next n bytes (empty when they are not there).
    void ReadBytes(std::string &out, std::size_t n) {
        out.clear();
        if (!Fits(n)) return;
        out.assign(reinterpret_cast<const char *>(window + pos), n);
        pos += n;
    }

    void Skip(std::size_t n) {
        if (Fits(n)) pos += n;
    }

private:
    // Compare with what is left, never pos + n: n comes from the file and the sum could wrap.
    bool Fits(std::size_t n) {
        if (ok && n <= windowSize - pos) [[likely]]
            return true;
        return FitsAfterRefill(n);
    }

    [[gnu::noinline]] bool FitsAfterRefill(std::size_t n) {
        if (!ok) return false;
        if (file == nullptr || n > total - Offset() || !Refill(n)) {
            ok = false;
            failOffset = Offset();
        }
        return ok;
    }

    // Moves what is left of the window to the front of the buffer and reads at least n bytes in all.
    bool Refill(std::size_t n) {
        const std::size_t kept = windowSize - pos;
        const std::size_t want = std::max(n, chunkBytes);
        if (buffer.size() < want) {
            // The window lies in the old buffer: copy what is left of it before that buffer goes.
            std::vector<std::uint8_t> grown(want);
            if (kept > 0) std::memcpy(grown.data(), window + pos, kept);
            buffer.swap(grown);
        } else if (kept > 0) {
            std::memmove(buffer.data(), window + pos, kept);
        }
        windowStart += pos;
        pos = 0;
        const std::size_t toRead =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size() - kept, total - windowStart - kept));
        const std::size_t got = std::fread(buffer.data() + kept, 1, toRead, file);
        window = buffer.data();
        windowSize = kept + got;
        return windowSize >= n;
    }

    std::FILE *file = nullptr;
    std::vector<std::uint8_t> buffer;
    const std::uint8_t *window = nullptr;
    std::size_t windowSize = 0;
    std::size_t pos = 0;
    std::uint64_t windowStart = 0;
    std::uint64_t total = 0;
    std::size_t chunkBytes = kDefaultChunkBytes;
    std::uint64_t failOffset = 0;
    bool ok = true;
};

}  // namespace korvel
