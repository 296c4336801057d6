// clipboards: finding Jw_cad's clipboard formats and copying their raw bytes into dump files.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

namespace korvel {

// The message shown when another program holds the clipboard.
inline constexpr const char *kClipboardOpenMessage = "クリップボードを開くことができません";

class ClipboardOpenError : public std::runtime_error {
public:
    ClipboardOpenError() : std::runtime_error(kClipboardOpenMessage) {}

protected:
    explicit ClipboardOpenError(const std::string &message) : std::runtime_error(message) {}
};

// The message shown when the program that holds the clipboard does not answer a request in time.
inline constexpr const char *kClipboardNoAnswerMessage =
    "クリップボードの持ち主（コピーしたプログラム）が応答しません。もう一度コピーしてから取り込んでください";

// Thrown by a source whose clipboard owner did not answer in time; the capture stops as when the
// clipboard cannot be opened.
class ClipboardNoAnswerError : public ClipboardOpenError {
public:
    ClipboardNoAnswerError() : ClipboardOpenError(kClipboardNoAnswerMessage) {}
};

// The most one clipboard format may bring in, unless KORVEL_MAX_CLIPBOARD (a number of bytes) says
// otherwise: a Jw_cad copy of a million entities is about 50 MB, and an owner whose transfer never ends must
// not take all the memory first.
inline constexpr std::uint64_t kDefaultClipboardBytes = std::uint64_t{256} << 20;
std::uint64_t ClipboardByteLimit();
// The limit as a user reads it: "256 MiB", "1,000 bytes".
std::string ClipboardLimitText();

// Thrown by a source whose format holds more than ClipboardByteLimit(); the capture stops as when the
// clipboard cannot be opened.
class ClipboardTooLargeError : public ClipboardOpenError {
public:
    ClipboardTooLargeError();
};

// What one platform's clipboard offers: counted formats, names registered as numbers, and each format's
// data block while the clipboard is open.
class ClipboardSource {
public:
    using BlockReader = std::function<void(std::span<const std::uint8_t>)>;

    virtual ~ClipboardSource() = default;
    virtual int FormatCount() = 0;
    // The same non-zero number for the same name on every call; 0 when the name cannot be registered.
    virtual std::uint32_t Register(const std::string &name) = 0;
    // False when another program holds the clipboard.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    // While open: the byte size of the format's block, nothing when the format is absent.
    virtual std::optional<std::uint64_t> BlockSize(std::uint32_t format) = 0;
    // While open: hands the format's whole block to `read`; false, without calling it, when absent.
    virtual bool ReadBlock(std::uint32_t format, const BlockReader &read) = 0;
};

// The capture operations over a source. Opens nest: only the outermost open and close reach the source.
class Clipboards {
public:
    explicit Clipboards(ClipboardSource &source) : source(source) {}

    int ClipboardFormatCount();
    std::uint32_t RegisterFormat(const std::string &name);
    // True when the format has a data block; `size` is its byte size (0 when absent). Throws
    // ClipboardOpenError when the clipboard cannot be opened or its owner does not answer.
    bool ClipboardFormatSize(std::uint32_t format, std::uint32_t &size);
    // Writes the format's block to `path` through a 2,048-byte buffer. A missing format removes a stale
    // file of that name; a failed write leaves no file. Throws only ClipboardOpenError (or its owner not
    // answering, after removing the file).
    void DumpClipboardFormat(std::uint32_t format, const std::string &path);

    void Open();
    void Close();

private:
    ClipboardSource &source;
    int openCount = 0;
};

// Holds the clipboard open for a scope.
class ClipboardHold {
public:
    explicit ClipboardHold(Clipboards &clipboards) : clipboards(clipboards) { clipboards.Open(); }
    ~ClipboardHold() { clipboards.Close(); }
    ClipboardHold(const ClipboardHold &) = delete;
    ClipboardHold &operator=(const ClipboardHold &) = delete;

private:
    Clipboards &clipboards;
};

}  // namespace korvel
