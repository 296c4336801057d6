// Where a script goes: a file through a buffer, a string (tests), or nowhere (fuzzing).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace korvel {

// Takes script lines. A failed write makes the sink fail for good; later lines are dropped.
class ScriptSink {
public:
    virtual ~ScriptSink() = default;
    // Writes the bytes and the CR LF that ends every script line.
    void WriteLine(std::string_view bytes) {
        if (ok) ok = Write(bytes) && Write("\r\n");
    }
    // Writes lines that already end in CR LF.
    void WriteLines(std::string_view lines) {
        if (ok && !lines.empty()) ok = Write(lines);
    }
    bool Ok() const { return ok; }

protected:
    virtual bool Write(std::string_view bytes) = 0;

private:
    bool ok = true;
};

class StringScriptSink final : public ScriptSink {
public:
    std::string text;

protected:
    bool Write(std::string_view bytes) override {
        text.append(bytes);
        return true;
    }
};

class NullScriptSink final : public ScriptSink {
protected:
    bool Write(std::string_view) override { return true; }
};

// Buffers lines and writes them to a FILE it does not own; Finish() flushes and reports any failure.
class FileScriptSink final : public ScriptSink {
public:
    explicit FileScriptSink(std::FILE *file) : file(file) { buffer.reserve(kBufferBytes); }
    bool Finish();

protected:
    bool Write(std::string_view bytes) override;

private:
    bool Flush();

    static constexpr std::size_t kBufferBytes = 1 << 16;
    std::FILE *file;
    std::string buffer;
};

}  // namespace korvel
