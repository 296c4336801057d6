#include "platform/system_clipboard.h"

#include "platform/win32/win32_clipboard.h"

namespace korvel {

std::unique_ptr<ClipboardSource> OpenSystemClipboard(std::string &) { return std::make_unique<Win32Clipboard>(); }

}  // namespace korvel
