#include "platform/system_clipboard.h"

#include "platform/win32/win32_clipboard.h"

namespace korvel {

// The Windows clipboard hands a format over whole, in one call: there is no transfer to stop.
Result<std::unique_ptr<ClipboardSource>> OpenSystemClipboard(const volatile std::sig_atomic_t *) {
    return {std::make_unique<Win32Clipboard>(), std::nullopt};
}

}  // namespace korvel
