// korvel: the Linux program, one window that imports Jw_cad's clipboard and converts it for Vantra.
#include <unistd.h>
#include <xcb/xcb.h>
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTranslator>

#include <csignal>
#include <cstdio>
#include <cstring>

#include "files/output_file.h"
#include "files/program_folder.h"
#include "platform/qt/main_window.h"

namespace {

constexpr const char *kUsage =
    "usage: korvel [FILE]\n"
    "Opens the Korvel window. Copy a drawing in Jw_cad (running under Wine), then press\n"
    "\"Jw_cadクリップボード取り込み\" to import it and \"Vantraコードへ変換\" to convert it.\n"
    "FILE, or a file dropped on the window, is a drawing Jw_cad saved (.jww, .jws) or a saved\n"
    "\"Jw_win\" clipboard stream (such as prev.1), to preview and convert instead of the clipboard's\n"
    "drawing. A folder of drawings converts into a folder you choose, as a dropped folder does.\n"
    "The scratch files and TEMP.VNT go to the program's folder, or to ~/.local/share/korvel when the\n"
    "program is installed (under /usr or /opt, in a prefix's bin/ such as ~/.local/bin/, or in a folder\n"
    "others may write in) or that folder cannot be written.\n"
    "exit codes: 0 the window was closed; 2 bad command line; 3 no display to show the window on.\n";

// Exit code when there is no display: Qt would abort, telling the user to reinstall.
constexpr int kNoDisplay = 3;

// Whether Qt will find a display: another platform chosen (offscreen, Wayland), or an X server that answers.
bool DisplayReachable() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb")) return true;
    if (platform.isEmpty() && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return true;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) return false;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reached;
}

// Qt's own dialogs (the file dialogs, the message boxes' buttons) in the user's language, where Qt's
// translations are installed (Debian: qt6-translations-l10n).
void InstallQtTranslations(QApplication &app) {
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

// A terminating signal closes the window as its close button does (the scratch files go with it), from the
// event loop: the handler only writes a byte that the loop reads.
int terminationPipe[2] = {-1, -1};

extern "C" void RequestClose(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(terminationPipe[1], &byte, 1);
}

void CloseOnTerminatingSignals(korvel::MainWindow &window) {
    // Installed after the output writer's own handlers, which would otherwise replace these at the first
    // write; a write under way when the signal comes finishes before the window closes.
    korvel::RemoveTemporariesOnSignals();
    if (pipe(terminationPipe) != 0) return;
    auto *notifier = new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte;
        [[maybe_unused]] const ssize_t read = ::read(terminationPipe[0], &byte, 1);
        window.close();
    });
    for (const int signal : {SIGTERM, SIGHUP, SIGINT, SIGQUIT})
        if (std::signal(signal, RequestClose) == SIG_IGN) std::signal(signal, SIG_IGN);  // as under nohup
}

}  // namespace

int main(int argc, char **argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("korvel %s\n", KORVEL_VERSION);
        return 0;
    }
    if (argc > 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!DisplayReachable()) {
        std::fputs(
            "korvel: 画面に接続できません。デスクトップのセッションから起動してください"
            " / no display to show the window on (DISPLAY is not set or its X server does not answer);"
            " start korvel from a desktop session\n",
            stderr);
        return kNoDisplay;
    }
    QApplication app(argc, argv);
    InstallQtTranslations(app);
    QApplication::setApplicationName(QStringLiteral("Korvel"));
    QApplication::setWindowIcon(korvel::KorvelIcon());

    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const std::string folder =
        korvel::ChooseProgramFolder(QCoreApplication::applicationFilePath().toStdString(),
                                    dataHome.isEmpty() ? std::string() : (dataHome + "/korvel").toStdString());
    korvel::MainWindow window(folder);
    CloseOnTerminatingSignals(window);
    // Logging out ends the program without closing its window: the scratch files go first.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&window] { window.Form().FormClose(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] { window.Form().FormClose(); });
    window.show();
    // A file opens, a folder of drawings converts, as if dropped; whatever fails is said in the window.
    if (argc == 2) window.OpenPaths({argv[1]});
    return app.exec();
}
