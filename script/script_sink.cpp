// Where a script goes: a file through a buffer, a string (tests), or nowhere (fuzzing).
#include "script/script_sink.h"

namespace korvel {

bool FileScriptSink::Write(std::string_view bytes) {
    // Lines gather in the buffer; a block of many lines at least its size goes out as it is.
    if (bytes.size() < kBufferBytes) {
        buffer.append(bytes);
        return buffer.size() < kBufferBytes || Flush();
    }
    return Flush() && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool FileScriptSink::Flush() {
    const bool written = buffer.empty() || std::fwrite(buffer.data(), 1, buffer.size(), file) == buffer.size();
    buffer.clear();
    return written;
}

bool FileScriptSink::Finish() {
    const bool written = Flush();
    return Ok() && written && std::fflush(file) == 0 && !std::ferror(file);
}

}  // namespace korvel
