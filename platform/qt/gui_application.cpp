#include "platform/qt/gui_application.h"

#include <QGuiApplication>
#include <cstdio>

namespace korvel {

Failure StartGuiApplication(GuiPlatform platform) {
    if (!QGuiApplication::instance()) {
        if (platform == GuiPlatform::Offscreen) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        } else if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            return "no display (DISPLAY and WAYLAND_DISPLAY are unset), so there is no clipboard to read";
        }
        // A command-line program keeps its standard error for its own messages: Qt's notes about the
        // session it runs in (no runtime folder, no display) are not the user's concern.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
            if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "korvel: %s\n", qPrintable(message));
        });
        static int argc = 1;
        static char name[] = "korvel";
        static char *argv[] = {name, nullptr};
        // Never torn down: destroying it among the other static objects at exit is not safe.
        static QGuiApplication *app = new QGuiApplication(argc, argv);
        static_cast<void>(app);
    }
    if (platform == GuiPlatform::Session && QGuiApplication::platformName() == "offscreen")
        return "this process already drew offscreen and cannot reach the session's clipboard";
    return std::nullopt;
}

}  // namespace korvel
