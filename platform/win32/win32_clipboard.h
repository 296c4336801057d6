// The clipboard on Windows: registered formats and global memory blocks.
#pragma once

#include <windows.h>

#include "shell/clipboards.h"

namespace korvel {

class Win32Clipboard final : public ClipboardSource {
public:
    // `owner` is the window that opens the clipboard; null opens it for the task.
    explicit Win32Clipboard(HWND owner = nullptr) : owner(owner) {}
    void SetOwner(HWND window) { owner = window; }

    int FormatCount() override { return CountClipboardFormats(); }
    std::uint32_t Register(const std::string &name) override { return RegisterClipboardFormatA(name.c_str()); }
    bool Open() override { return OpenClipboard(owner) != FALSE; }
    void Close() override { CloseClipboard(); }
    std::optional<std::uint64_t> BlockSize(std::uint32_t format) override;
    bool ReadBlock(std::uint32_t format, const BlockReader &read) override;

private:
    HWND owner;
};

}  // namespace korvel
