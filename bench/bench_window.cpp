// The Linux window on a large drawing, as a user meets it: opening the file, then converting it with every
// check box on. Prints how long each took, the longest the window's event loop went unanswered meanwhile, and
// the process's peak memory, for window.py to set beside korvel-cli's.
#include <sys/resource.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/qt/main_window.h"

using namespace korvel;

namespace {

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fputs("usage: bench_window STREAM\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "korvel-bench-window";
    std::filesystem::create_directories(folder);
    MainWindow window(folder.string() + "/");
    window.SetMessageDisplay([](const std::string &message) { std::fprintf(stderr, "%s\n", message.c_str()); });
    window.show();

    // The longest the event loop went without turning, from a timer that asks every 10 ms.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    // How long `start` and the work it starts take, the event loop turning meanwhile.
    const auto timed = [&](auto start) {
        QElapsedTimer took;
        took.start();
        sinceTick.start();
        ticks.start(10);
        start();
        while (window.Form().Busy())
            app.processEvents(QEventLoop::AllEvents, 5);
        ticks.stop();
        return took.elapsed();
    };
    const qint64 opened = timed([&] { window.OpenPaths({argv[1]}); });
    const long openedPeak = PeakKilobytes();
    for (int i = 1; i <= 4; i++)
        window.findChild<QCheckBox *>(QString("CheckBox%1").arg(i))->setChecked(true);
    const qint64 converted = timed([&] { window.findChild<QPushButton *>("Button2")->click(); });
    std::printf("open %lld ms (peak %ld KB), convert %lld ms, longest unanswered %lld ms, peak %ld KB\n",
                static_cast<long long>(opened), openedPeak, static_cast<long long>(converted),
                static_cast<long long>(longestGap), PeakKilobytes());
    window.close();
    std::filesystem::remove_all(folder);
    return 0;
}
