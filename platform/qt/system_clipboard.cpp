#include "platform/system_clipboard.h"

#include "platform/qt/gui_application.h"
#include "platform/qt/x11_clipboard.h"

namespace korvel {

Result<std::unique_ptr<ClipboardSource>> OpenSystemClipboard(const volatile std::sig_atomic_t *stop) {
    if (Failure failed = StartGuiApplication(GuiPlatform::Session)) return {nullptr, std::move(failed)};
    return {std::make_unique<X11Clipboard>([stop] { return stop && *stop != 0; }), std::nullopt};
}

}  // namespace korvel
