#include "platform/system_clipboard.h"

#include "platform/qt/gui_application.h"
#include "platform/qt/x11_clipboard.h"

namespace korvel {

std::unique_ptr<ClipboardSource> OpenSystemClipboard(std::string &error, const volatile std::sig_atomic_t *stop) {
    if (!StartGuiApplication(GuiPlatform::Session, error)) return nullptr;
    return std::make_unique<X11Clipboard>([stop] { return stop && *stop != 0; });
}

}  // namespace korvel
