// Puts formats on the Windows clipboard as a program copying them would (Windows tests only).
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace korvel::test {

// Replaces the clipboard's contents with the given registered formats; false when it cannot be opened.
inline bool PutOnClipboard(HWND owner, const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> &formats) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    for (const auto &[name, bytes] : formats) {
        const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
        SetClipboardData(RegisterClipboardFormatA(name.c_str()), block);
    }
    CloseClipboard();
    return true;
}

}  // namespace korvel::test
