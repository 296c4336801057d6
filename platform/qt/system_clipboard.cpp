#include "platform/system_clipboard.h"

#include <QGuiApplication>

#include "platform/qt/x11_clipboard.h"

namespace korvel {

std::unique_ptr<ClipboardSource> OpenSystemClipboard(std::string &error) {
    if (!QGuiApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            error = "no display (DISPLAY and WAYLAND_DISPLAY are unset), so there is no clipboard to read";
            return nullptr;
        }
        static int argc = 1;
        static char name[] = "korvel";
        static char *argv[] = {name, nullptr};
        // Kept to the end of the process: tearing it down among the other static objects at exit is not safe.
        static QGuiApplication *app = new QGuiApplication(argc, argv);
        static_cast<void>(app);
    }
    if (QGuiApplication::platformName() == "offscreen") {
        error = "this process already drew offscreen and cannot reach the session's clipboard";
        return nullptr;
    }
    return std::make_unique<X11Clipboard>();
}

}  // namespace korvel
