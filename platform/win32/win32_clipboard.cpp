#include "platform/win32/win32_clipboard.h"

namespace korvel {

std::optional<std::uint64_t> Win32Clipboard::BlockSize(std::uint32_t format) {
    const HANDLE block = GetClipboardData(format);
    if (!block) return std::nullopt;
    return GlobalSize(block);
}

bool Win32Clipboard::ReadBlock(std::uint32_t format, const BlockReader &read) {
    const HANDLE block = GetClipboardData(format);
    if (!block) return false;
    const SIZE_T size = GlobalSize(block);
    const void *first = GlobalLock(block);
    if (!first) return false;
    // The block stays locked only while it is read; a failed unlock changes nothing for us.
    struct Unlock {
        HANDLE block;
        ~Unlock() { GlobalUnlock(block); }
    } unlock{block};
    read(std::span(static_cast<const std::uint8_t *>(first), size));
    return true;
}

}  // namespace korvel
