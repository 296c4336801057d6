// The Linux program end to end on a real X display: another process owns the clipboard as Wine does for
// Jw_cad, and the window imports, previews, converts, copies and closes exactly as the command line would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "platform/qt/main_window.h"
#include "platform/qt/x11_clipboard.h"
#include "platform/qt/x11_selection.h"
#include "shell/messages.h"
#include "support/realdata.h"

using namespace korvel;
namespace fs = std::filesystem;

namespace {

std::string Env(const char *name) {
    const char *value = std::getenv(name);
    return value ? value : "";
}

QApplication &App() {
    static int argc = 1;
    static char name[] = "window_e2e_test";
    static char *argv[] = {name, nullptr};
    // Never torn down: destroying it among the static objects at exit is not safe.
    static QApplication *app = [] {
        QStandardPaths::setTestModeEnabled(true);  // settings in Qt's test folder, never the user's
        return new QApplication(argc, argv);
    }();
    return *app;
}

// A helper process that owns the CLIPBOARD selection until this object goes.
class ClipboardOwner {
public:
    explicit ClipboardOwner(const QStringList &arguments) {
        process.start(QString::fromStdString(Env("KORVEL_CLIPBOARD_OWNER")), arguments);
        ready = process.waitForReadyRead(10000) && process.readLine().trimmed() == "ready";
        // Let the new owner's selection reach this client.
        for (int i = 0; i < 20; ++i)
            App().processEvents(QEventLoop::AllEvents, 10);
    }
    ~ClipboardOwner() {
        process.terminate();
        if (!process.waitForFinished(3000)) process.kill();
    }
    bool ready = false;

private:
    QProcess process;
};

int RunCli(const QStringList &arguments) {
    return QProcess::execute(QString::fromStdString(Env("KORVEL_CLI")), arguments);
}

class WindowEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        if (Env("DISPLAY").empty()) GTEST_SKIP() << "no X display";
        App();
        QSettings(QSettings::UserScope, "Korvel", "Korvel").clear();  // no choice an earlier test left
        work = fs::temp_directory_path() / ("korvel-e2e-" + std::to_string(::getpid()));
        fs::remove_all(work);
        fs::create_directories(work);
    }
    void TearDown() override { fs::remove_all(work); }
    fs::path work;
};

TEST_F(WindowEndToEnd, ARealCaptureFromImportToClose) {
    const auto dir = test::RealDataDir();
    const std::string capture = dir ? (*dir / "jwc-v600-sample.jwcad711").string() : "";
    if (!dir || !fs::exists(capture + ".prev1")) GTEST_SKIP() << "no real capture";
    const QString base = QString::fromStdString(capture);
    ClipboardOwner owner(
        {"DataObject=" + base + ".prev0", "Jw_win=" + base + ".prev1", "Ole Private Data=" + base + ".prev2"});
    ASSERT_TRUE(owner.ready);

    X11Clipboard source;
    EXPECT_EQ(source.FormatCount(), 3) << "the protocol targets are not formats";
    const std::uint32_t jwWin = source.Register("Jw_win");
    EXPECT_NE(jwWin, 0u);
    EXPECT_EQ(source.Register("Jw_win"), jwWin);

    // The command line's capture makes the same dumps as the window's import below.
    const QString captured = QString::fromStdString((work / "captured").string());
    ASSERT_EQ(RunCli({"capture", captured, "--convert", captured + "/all.vnt", "--colors", "--layers", "--hatching",
                      "--solids"}),
              0);

    MainWindow window(work.string() + "/");
    std::vector<std::string> messages;
    window.SetMessageDisplay([&](const std::string &message) { messages.push_back(message); });
    window.show();
    window.findChild<QPushButton *>("Button1")->click();
    for (int i = 0; i < 3; ++i) {
        const std::string index = std::to_string(i);
        EXPECT_EQ(test::ReadFileBytes(work / ("prev." + index)), test::ReadFileBytes(capture + ".prev" + index))
            << "prev." << i;
    }

    const QString stream = QString::fromStdString((work / "prev.1").string());
    const QString png = QString::fromStdString((work / "cli.png").string());
    ASSERT_EQ(RunCli({"preview", stream, "-o", png}), 0);
    const QImage shown = window.findChild<QLabel *>("Image1")->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, QImage(png).convertToFormat(QImage::Format_RGB32));

    for (int i = 1; i <= 4; ++i)
        window.findChild<QCheckBox *>(QString("CheckBox%1").arg(i))->setChecked(true);
    window.findChild<QPushButton *>("Button2")->click();
    while (window.Form().Busy())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const QString script = QString::fromStdString((work / "cli.vnt").string());
    ASSERT_EQ(RunCli({"convert", "--colors", "--layers", "--hatching", "--solids", stream, "-o", script}), 0);
    EXPECT_EQ(test::ReadFileBytes(work / "TEMP.VNT"), test::ReadFileBytes(script.toStdString()));
    EXPECT_EQ(test::ReadFileBytes(work / "TEMP.VNT"), test::ReadFileBytes(work / "captured" / "all.vnt"));
    for (int i = 0; i < 3; ++i) {
        const std::string name = "prev." + std::to_string(i);
        EXPECT_EQ(test::ReadFileBytes(work / "captured" / name),
                  test::ReadFileBytes(capture + ".prev" + std::to_string(i)));
    }

    const std::string screenshot = Env("KORVEL_SCREENSHOT");
    if (!screenshot.empty()) {
        EXPECT_TRUE(window.grab().save(QString::fromStdString(screenshot)));
    }

    window.findChild<QPushButton *>("Button3")->click();
    const QString paneText = window.findChild<QPlainTextEdit *>("RichEdit1")->toPlainText();
    EXPECT_TRUE(paneText.startsWith("#VAR\n"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), paneText);

    window.findChild<QPushButton *>("Button4")->click();
    EXPECT_FALSE(window.isVisible());
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(fs::exists(work / ("prev." + std::to_string(i)))) << i;
    EXPECT_TRUE(fs::exists(work / "TEMP.VNT"));
    EXPECT_TRUE(messages.empty());
}

// Automatic import and conversion: each Jw_cad copy by another program is previewed and converted without a
// click; text is ignored without a word; the window's own copy of its script is not taken for a drawing.
TEST_F(WindowEndToEnd, AutomaticImportTakesEachJwCadCopy) {
    QSettings(QSettings::UserScope, "Korvel", "Korvel").clear();
    const QString junk = QString::fromStdString((work / "junk").string());
    {
        std::FILE *file = std::fopen(junk.toLocal8Bit().constData(), "wb");
        std::fputs("0123456789", file);
        std::fclose(file);
    }
    MainWindow window(work.string() + "/");
    std::vector<std::string> messages;
    window.SetMessageDisplay([&](const std::string &message) { messages.push_back(message); });
    window.show();
    window.findChild<QAction *>("AutoImportAction")->setChecked(true);
    window.findChild<QAction *>("AutoConvertAction")->setChecked(true);
    // A change is taken once the clipboard has stayed as it is for a moment.
    const auto settle = [] {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 1000)
            App().processEvents(QEventLoop::AllEvents, 10);
    };
    const QString example = QString::fromUtf8(KORVEL_EXAMPLES_DIR "/plan.jwwin");
    {
        ClipboardOwner owner({"DataObject=" + junk, "Jw_win=" + example, "Ole Private Data=" + junk});
        ASSERT_TRUE(owner.ready);
        settle();
    }
    const fs::path script = work / "TEMP.VNT";
    ASSERT_TRUE(fs::exists(script));
    EXPECT_FALSE(window.findChild<QLabel *>("Image1")->pixmap().isNull());
    EXPECT_FALSE(window.Form().Store().lines.empty());
    const QString cliScript = QString::fromStdString((work / "cli.vnt").string());
    ASSERT_EQ(RunCli({"convert", example, "-o", cliScript}), 0);
    std::ifstream a(script, std::ios::binary), b(cliScript.toStdString(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(a), {}), std::string(std::istreambuf_iterator<char>(b), {}));

    fs::remove(script);
    {
        ClipboardOwner owner({"--text", "not a drawing"});
        settle();
    }
    window.findChild<QPushButton *>("Button3")->click();  // the window's own copy
    settle();
    EXPECT_FALSE(fs::exists(script));
    EXPECT_TRUE(messages.empty()) << messages.front();
    QSettings(QSettings::UserScope, "Korvel", "Korvel").clear();
}

TEST_F(WindowEndToEnd, TextOnTheClipboardImportsNothing) {
    ClipboardOwner owner({"--text", "not a drawing"});
    ASSERT_TRUE(owner.ready);
    EXPECT_EQ(RunCli({"capture", QString::fromStdString(work.string())}), 1);
    MainWindow window(work.string() + "/");
    std::vector<std::string> messages;
    window.SetMessageDisplay([&](const std::string &message) { messages.push_back(message); });
    window.show();
    window.findChild<QPushButton *>("Button1")->click();
    EXPECT_TRUE(fs::is_empty(work));
    EXPECT_TRUE(window.findChild<QLabel *>("Image1")->pixmap().isNull());
    EXPECT_EQ(messages, std::vector<std::string>{kNoJwDrawingMessage});
}

// An owner that never answers is reported as such once the wait for it ends: by the command line (exit 1)
// and by the window, which stays drawn meanwhile and keeps its scratch folder empty.
TEST_F(WindowEndToEnd, AnOwnerThatNeverAnswersIsReportedWithinSeconds) {
    ClipboardOwner owner({"--silent"});
    ASSERT_TRUE(owner.ready);
    QProcess cli;
    cli.start(QString::fromStdString(Env("KORVEL_CLI")), {"capture", QString::fromStdString(work.string())});
    ASSERT_TRUE(cli.waitForFinished(60000));  // it ends; how soon is the benchmark's to say
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_TRUE(cli.readAllStandardError().contains("did not answer"));

    MainWindow window(work.string() + "/");
    std::vector<std::string> messages;
    window.SetMessageDisplay([&](const std::string &message) { messages.push_back(message); });
    window.show();
    window.findChild<QPushButton *>("Button1")->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], kClipboardNoAnswerMessage);
    EXPECT_TRUE(fs::is_empty(work));
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
}

// A copy too large for one property arrives whole, piece by piece; a format the owner refuses is answered at
// once, not after the wait for an answer.
TEST_F(WindowEndToEnd, LargeCopiesArriveWholeAndRefusedFormatsAnswerAtOnce) {
    const fs::path large = work / "large";
    std::string bytes(3 << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 131 + i / 4099);
    std::ofstream(large, std::ios::binary) << bytes;
    {
        ClipboardOwner owner({"Jw_win=" + QString::fromStdString(large.string())});
        ASSERT_TRUE(owner.ready);
        X11Clipboard source;
        std::string read;
        EXPECT_TRUE(source.ReadBlock(source.Register("Jw_win"), [&](std::span<const std::uint8_t> block) {
            read.assign(block.begin(), block.end());
        }));
        EXPECT_TRUE(read == bytes) << read.size() << " bytes of " << bytes.size();
    }
    ClipboardOwner refusing({"--incr-forever", "0"});  // refuses what it does not offer
    ASSERT_TRUE(refusing.ready);
    // Waiting for the answer would take ten minutes: answered at once, the refusal comes back, no error.
    using namespace std::chrono_literals;
    X11Selection selection({600000ms, 600000ms, std::uint64_t{1} << 40}, {});
    EXPECT_EQ(selection.Convert(selection.Atom("KORVEL_NOT_OFFERED")), std::nullopt);
}

// The program ended by a signal (kill, a logout's hangup) leaves no scratch files behind, as its close button
// does not: here its automatic import has just dumped a copy.
TEST_F(WindowEndToEnd, ATerminatingSignalRemovesTheScratchFiles) {
    const fs::path program = work / "korvel";
    fs::copy_file(Env("KORVEL_WINDOW"), program);
    fs::create_directories(work / "config" / "Korvel");
    std::ofstream(work / "config" / "Korvel" / "Korvel.conf") << "[General]\nautoImport=true\n";
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        QProcess korvel;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString((work / "config").string()));
        korvel.setProcessEnvironment(environment);
        korvel.start(QString::fromStdString(program.string()), {});
        ASSERT_TRUE(korvel.waitForStarted(10000));
        QThread::msleep(1500);  // the window is up and watching the clipboard
        const QString example = QString::fromUtf8(KORVEL_EXAMPLES_DIR "/plan.jwwin");
        ClipboardOwner owner({"DataObject=" + example, "Jw_win=" + example, "Ole Private Data=" + example});
        ASSERT_TRUE(owner.ready);
        for (int waited = 0; !fs::exists(work / "prev.2") && waited < 100; ++waited)
            QThread::msleep(50);
        ASSERT_TRUE(fs::exists(work / "prev.1"));
        ::kill(static_cast<pid_t>(korvel.processId()), signal);
        ASSERT_TRUE(korvel.waitForFinished(10000));
        EXPECT_EQ(korvel.exitStatus(), QProcess::NormalExit);
        for (int i = 0; i < 3; ++i)
            EXPECT_FALSE(fs::exists(work / ("prev." + std::to_string(i)))) << i;
    }
}

// An INCR transfer that never ends stops at the size limit; one that trickles, at the whole-transfer deadline;
// either, soon after a stop is asked. The window asked to close during one closes, saying nothing.
TEST_F(WindowEndToEnd, EndlessTransfersEndAtTheirLimitsOrWhenTheWindowCloses) {
    using namespace std::chrono_literals;
    struct Case {
        const char *pause;  // between pieces, in milliseconds
        X11TransferLimits limits;
        bool stop, tooLarge;
    };
    for (const Case c : {Case{"0", {3000ms, 60000ms, 1 << 20}, false, true},
                         Case{"200", {3000ms, 1500ms, std::uint64_t{1} << 40}, false, false},
                         Case{"0", {3000ms, 60000ms, std::uint64_t{1} << 40}, true, false}}) {
        SCOPED_TRACE(testing::Message() << "pause " << c.pause << " stop " << c.stop);
        ClipboardOwner owner({"--incr-forever", c.pause});
        ASSERT_TRUE(owner.ready);
        QElapsedTimer timer;
        timer.start();
        X11Selection selection(c.limits, {}, [&] { return c.stop && timer.elapsed() > 500; });
        const std::uint32_t jwWin = selection.Atom("Jw_win");
        if (c.tooLarge) EXPECT_THROW(selection.Convert(jwWin), ClipboardTooLargeError);
        else EXPECT_THROW(selection.Convert(jwWin), ClipboardNoAnswerError);
    }

    ClipboardOwner owner({"--incr-forever", "100"});
    ASSERT_TRUE(owner.ready);
    MainWindow window(work.string() + "/");
    std::vector<std::string> messages;
    window.SetMessageDisplay([&](const std::string &message) { messages.push_back(message); });
    window.show();
    QTimer::singleShot(1000, &window, [&window] { window.close(); });
    window.findChild<QPushButton *>("Button1")->click();  // returns once the close has ended the transfer
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_TRUE(fs::is_empty(work));
}

}  // namespace
