// Where a script goes: a file through a buffer, a string (tests), or nowhere (fuzzing).
#include "script/script_sink.h"

namespace korvel {

bool FileScriptSink::Write(std::string_view bytes) {
    buffer.append(bytes);
    if (buffer.size() < kBufferBytes) return true;
    const bool written = std::fwrite(buffer.data(), 1, buffer.size(), file) == buffer.size();
    buffer.clear();
    return written;
}

bool FileScriptSink::Finish() {
    const bool written = buffer.empty() || std::fwrite(buffer.data(), 1, buffer.size(), file) == buffer.size();
    buffer.clear();
    return Ok() && written && std::fflush(file) == 0 && !std::ferror(file);
}

}  // namespace korvel
