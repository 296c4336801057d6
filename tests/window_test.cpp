// The Linux window on Qt's offscreen platform: layout, captions, tab order, fixed size, initial state.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QSettings>
#include <QStandardPaths>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "platform/qt/main_window.h"
#include "shell/messages.h"
#include "shell/view_texts.h"
#include "tests/support/realdata.h"
#include "tests/support/stream_writer.h"

using namespace korvel;

namespace {

QApplication &App() {
    static int argc = 1;
    static char name[] = "window_test";
    static char *argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings go to a test folder of Qt's, never the user's.
    QStandardPaths::setTestModeEnabled(true);
    // Never torn down: destroying it among the static objects at exit is not safe.
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}

struct Control {
    const char *name;
    const char *kind;
    QRect geometry;
    const char *caption;
};

const Control kControls[] = {
    {"Button1", "QPushButton", {8, 8, 177, 25}, "Jw_cadクリップボード取り込み"},
    {"Image1", "QLabel", {8, 40, 177, 129}, ""},
    {"ListBox1", "QListWidget", {24, 56, 33, 25}, nullptr},
    {"CheckBox2", "QCheckBox", {8, 172, 177, 17}, "レイヤを変換する(0～255)"},
    {"CheckBox1", "QCheckBox", {8, 192, 185, 17}, "色を変換する(白背景設定色)"},
    {"CheckBox3", "QCheckBox", {8, 212, 185, 17}, "ハッチング線を変換する"},
    {"CheckBox4", "QCheckBox", {8, 232, 185, 17}, "ソリッド図形を変換する"},
    {"Button2", "QPushButton", {8, 256, 177, 25}, "Vantraコードへ変換"},
    {"RichEdit1", "QPlainTextEdit", {192, 8, 465, 353}, nullptr},
    {"Button3", "QPushButton", {8, 296, 177, 25}, "全選択してコピー"},
    {"Button4", "QPushButton", {8, 336, 177, 25}, "閉じる"},
    {"Label1",
     "QLabel",
     {8, 368, 570, 12},
     "※文字・寸法図形・寸法属性・画像・ブロック図形の変換は出来ません。　レイヤグループ[0]の縮尺で変換します。"},
};

QString CaptionOf(QWidget *w) {
    if (auto *button = qobject_cast<QAbstractButton *>(w)) return button->text();
    if (auto *label = qobject_cast<QLabel *>(w)) return label->text();
    return {};
}

// Every window starts from no remembered choices, whatever an earlier test left.
bool ForgetSettings() {
    QSettings(QSettings::UserScope, "Korvel", "Korvel").clear();
    return true;
}

class Window : public testing::Test {
protected:
    QApplication &app = App();
    bool forgotten = ForgetSettings();
    std::string folder = std::filesystem::temp_directory_path().string() + "/";
    MainWindow window{folder};

    // Waits for the window's long work (a file read, a conversion) to end, as a user would.
    void Finish() {
        while (window.Form().Busy())
            app.processEvents(QEventLoop::AllEvents, 10);
    }
};

TEST_F(Window, FrameCaptionAndFont) {
    EXPECT_EQ(window.size(), QSize(664, 387));
    EXPECT_EQ(window.minimumSize(), QSize(664, 387));
    EXPECT_EQ(window.pos(), QPoint(192, 107));
    EXPECT_EQ(window.windowTitle().toStdString(),
              "Korvel Ver.1.02　Jw_cadクリップボードからVantra用スクリプトへの変換ツール");
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_EQ(window.font().family().toStdString(), "ＭＳ Ｐゴシック");
    EXPECT_EQ(window.font().pixelSize(), 12);
    EXPECT_TRUE(window.acceptDrops());
    // The icon is built in, whether or not the icon theme has it.
    const QIcon icon = KorvelIcon();
    for (const int size : {16, 32, 48, 256})
        EXPECT_EQ(icon.pixmap(size, size).size(), QSize(size, size)) << size;
}

// Widened and heightened, the pane and the note take the room; the buttons stay where they were.
TEST_F(Window, ThePaneAndTheNoteGrowWithTheWindow) {
    window.show();
    window.resize(1000, 600);
    app.processEvents();
    EXPECT_EQ(window.findChild<QWidget *>("RichEdit1")->geometry(), QRect(192, 8, 465 + 336, 353 + 213));
    EXPECT_EQ(window.findChild<QWidget *>("Label1")->geometry(), QRect(8, 368 + 213, 570 + 336, 12));
    EXPECT_EQ(window.findChild<QWidget *>("Button2")->geometry(), QRect(8, 256, 177, 25));
}

TEST_F(Window, EveryControlAtItsPlaceWithItsCaption) {
    for (const Control &c : kControls) {
        auto *w = window.findChild<QWidget *>(c.name);
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_STREQ(w->metaObject()->className(), c.kind) << c.name;
        EXPECT_EQ(w->geometry(), c.geometry) << c.name;
        if (c.caption) {
            EXPECT_EQ(CaptionOf(w).toStdString(), c.caption) << c.name;
        }
        EXPECT_EQ(w->font().pixelSize(), 12) << c.name;
    }
}

TEST_F(Window, TabOrderAndInitialState) {
    std::vector<std::string> order;
    QWidget *w = window.findChild<QWidget *>("Button1");
    do {
        if (!w->objectName().isEmpty() && w->focusPolicy() != Qt::NoFocus)
            order.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
    } while (w->objectName() != "Button1");
    EXPECT_EQ(order, (std::vector<std::string>{"Button1", "ListBox1", "CheckBox2", "CheckBox1", "CheckBox3",
                                               "CheckBox4", "Button2", "RichEdit1", "Button3", "Button4"}));

    window.show();
    for (int i = 1; i <= 4; ++i) {
        EXPECT_TRUE(window.findChild<QPushButton *>(QString("Button%1").arg(i))->isEnabled()) << i;
        EXPECT_FALSE(window.findChild<QCheckBox *>(QString("CheckBox%1").arg(i))->isChecked()) << i;
    }
    EXPECT_FALSE(window.findChild<QWidget *>("ListBox1")->isVisible());
    auto *pane = window.findChild<ScriptPane *>("RichEdit1");
    EXPECT_EQ(pane->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(pane->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(pane->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(pane->tabChangesFocus());
    EXPECT_FALSE(pane->isReadOnly());
    EXPECT_TRUE(pane->toPlainText().isEmpty());
    EXPECT_EQ(window.Form().ScriptPath(), folder + "TEMP.VNT");
    window.close();
}

TEST_F(Window, PastingStopsAtThePanesCharacterLimit) {
    auto *pane = window.findChild<ScriptPane *>("RichEdit1");
    pane->setPlainText(QString(kPaneMaxCharacters - 2, 'a'));
    pane->moveCursor(QTextCursor::End);
    QGuiApplication::clipboard()->setText("bcdef");
    pane->paste();
    EXPECT_EQ(pane->document()->characterCount() - 1, kPaneMaxCharacters);
    EXPECT_TRUE(pane->toPlainText().endsWith("aabc"));
}

// A long script goes into the pane a part at a time: every character arrives once, whatever falls on a part's
// edge (a line's end, a line longer than a part, a character of several bytes), and undo cannot take it back.
TEST_F(Window, ALongScriptReachesThePaneWhole) {
    std::string text;
    for (int i = 0; i < 3000; i++)
        text += "LINE2D  n, 1.5,2.5, 壁" + std::to_string(i) + "\n";
    text += std::string(70000, 'x');
    for (int i = 0; i < 30000; i++)
        text += "建";
    text += "\nend";
    FormControls &controls = window;
    controls.SetText(text);
    auto *pane = window.findChild<ScriptPane *>("RichEdit1");
    EXPECT_TRUE(pane->toPlainText().toStdString() == text) << "the pane's text differs from the script";
    EXPECT_FALSE(pane->document()->isUndoAvailable());
}

// A saved drawing opens from Ctrl+O (the preview's context menu holds the same action); a cancelled
// dialog changes nothing, a missing file is said.
TEST_F(Window, CtrlOOpensASavedDrawing) {
    std::vector<std::string> messages;
    window.SetMessageDisplay([&](const std::string &message) { messages.push_back(message); });
    auto *open = window.findChild<QAction *>("OpenAction");
    ASSERT_TRUE(open);
    EXPECT_EQ(open->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(open->text(), QString::fromUtf8(kOpenMenuText));
    EXPECT_EQ(window.findChild<QLabel *>("Image1")->contextMenuPolicy(), Qt::CustomContextMenu);
    const std::string example = KORVEL_EXAMPLES_DIR "/plan.jwwin";
    for (const std::string &chosen : {std::string(), folder + "no-such.jww", example}) {
        window.SetFileChooser([&] { return QString::fromStdString(chosen); });
        open->trigger();
        Finish();
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], kFileNotFoundMessage + folder + "no-such.jww");
    EXPECT_FALSE(window.findChild<QLabel *>("Image1")->pixmap().isNull());
    EXPECT_FALSE(window.Form().Store().lines.empty());
    EXPECT_EQ(window.windowTitle().toStdString(), std::string(kWindowCaption) + " — plan.jwwin");
}

// Ctrl+S saves the shown script where the chosen path says.
TEST_F(Window, CtrlSSavesTheShownScript) {
    std::vector<std::string> messages;
    window.SetMessageDisplay([&](const std::string &message) { messages.push_back(message); });
    window.show();  // where TEMP.VNT goes is set as the window shows
    auto *saveAs = window.findChild<QAction *>("SaveAsAction");
    ASSERT_TRUE(saveAs);
    EXPECT_EQ(saveAs->shortcut(), QKeySequence(QKeySequence::Save));
    window.Form().ImportDroppedFile(KORVEL_EXAMPLES_DIR "/plan.jwwin");
    Finish();
    window.findChild<QPushButton *>("Button2")->click();
    Finish();
    const std::string saved = folder + "korvel-saved-test.vnt";
    window.SetSaveChooser([&] { return QString::fromStdString(saved); });
    saveAs->trigger();
    std::ifstream a(saved, std::ios::binary), b(window.Form().ScriptPath(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(a), {}), std::string(std::istreambuf_iterator<char>(b), {}));
    EXPECT_TRUE(messages.empty()) << messages.front();
    std::filesystem::remove(saved);
}

// Ctrl+E exports the drawing shown where the chosen path says, as the name's format; with no drawing it says
// so and writes nothing; the note says where it went.
TEST_F(Window, CtrlEExportsTheDrawingAsTheNameSays) {
    std::vector<std::string> messages;
    window.SetMessageDisplay([&](const std::string &message) { messages.push_back(message); });
    window.show();
    auto *exportAction = window.findChild<QAction *>("ExportAction");
    ASSERT_TRUE(exportAction);
    EXPECT_EQ(exportAction->shortcut(), QKeySequence("Ctrl+E"));
    const std::string dxf = folder + "korvel-export-test.dxf", svg = folder + "korvel-export-test.svg";
    window.SetSaveChooser([&] { return QString::fromStdString(dxf); });
    exportAction->trigger();
    Finish();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], kNothingToExportMessage);
    EXPECT_FALSE(std::filesystem::exists(dxf));

    window.Form().ImportDroppedFile(KORVEL_EXAMPLES_DIR "/plan.jwwin");
    Finish();
    EXPECT_EQ(window.Form().SuggestedExportName(), "plan.dxf");
    for (const std::string &path : {dxf, svg}) {
        window.SetSaveChooser([&] { return QString::fromStdString(path); });
        exportAction->trigger();
        Finish();
        std::ifstream written(path, std::ios::binary);
        const std::string text(std::istreambuf_iterator<char>(written), {});
        EXPECT_NE(text.find(path == dxf ? "AC1027" : "<svg"), std::string::npos) << path;
        const std::string note = window.findChild<QLabel *>("Label1")->toolTip().toStdString();
        EXPECT_NE(note.find(kExportedNote + path), std::string::npos) << note;
        std::filesystem::remove(path);
    }
    EXPECT_EQ(messages.size(), 1u);
    // A name of no known format is a DXF, named so; a place that cannot be written is said, with the file.
    const std::string bare = folder + "korvel-export-test";
    for (const std::string &path : {bare, std::string("/proc/korvel-export-test.dxf")}) {
        window.SetSaveChooser([&] { return QString::fromStdString(path); });
        exportAction->trigger();
        Finish();
    }
    EXPECT_TRUE(std::filesystem::exists(bare + ".dxf"));
    std::filesystem::remove(bare + ".dxf");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].rfind(std::string(kExportFailedMessage) + "/proc/korvel-export-test.dxf\n", 0), 0u)
        << messages[1];
}

// Several files dropped on the pane convert into the folder the user picks, with one message; nothing opens.
TEST_F(Window, SeveralDroppedFilesConvertIntoAChosenFolder) {
    std::vector<std::string> messages;
    window.SetMessageDisplay([&](const std::string &message) { messages.push_back(message); });
    const std::filesystem::path out = std::filesystem::path(folder) / "korvel-dropped-test";
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    window.SetFolderChooser([&] { return QString::fromStdString(out.string()); });
    auto *pane = window.findChild<QPlainTextEdit *>("RichEdit1");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromUtf8(KORVEL_EXAMPLES_DIR "/plan.jwwin")),
                  QUrl::fromLocalFile(QString::fromUtf8(KORVEL_EXAMPLES_DIR "/scripts"))});
    const auto dropOnPane = [&] {
        const QPoint middle = pane->viewport()->rect().center();
        QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane->viewport(), &enter);
        QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane->viewport(), &drop);
        Finish();
    };
    dropOnPane();
    ASSERT_EQ(messages.size(), 1u);
    // The examples' script folder holds no drawing: the whole drop is refused, and says why.
    EXPECT_NE(messages[0].find("変換する図面がありません"), std::string::npos) << messages[0];
    data.setUrls({QUrl::fromLocalFile(QString::fromUtf8(KORVEL_EXAMPLES_DIR "/plan.jwwin")),
                  QUrl::fromLocalFile(QString::fromUtf8(KORVEL_EXAMPLES_DIR "/scripts/plan.none.vnt"))});
    dropOnPane();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].rfind("1 件を変換、1 件は読めませんでした:\nplan.none.vnt（", 0), 0u) << messages[1];
    EXPECT_TRUE(std::filesystem::exists(out / "plan.vnt"));
    EXPECT_TRUE(window.Form().Store().lines.empty());  // nothing opened
    std::filesystem::remove_all(out);
}

// A file dropped on the script pane opens the drawing, as on the preview; its address is never pasted.
TEST_F(Window, AFileDroppedOnTheScriptPaneOpensTheDrawing) {
    std::vector<std::string> messages;
    window.SetMessageDisplay([&](const std::string &message) { messages.push_back(message); });
    auto *pane = window.findChild<QPlainTextEdit *>("RichEdit1");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromUtf8(KORVEL_EXAMPLES_DIR "/plan.jwwin"))});
    const QPoint middle = pane->viewport()->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pane->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pane->viewport(), &drop);
    Finish();
    EXPECT_FALSE(pane->toPlainText().contains("file:"));
    EXPECT_FALSE(window.Form().Store().lines.empty());
    EXPECT_TRUE(messages.empty());
}

// Automatic import: off at first, switched from the context menu, remembered by the next window; the
// conversion's switch works only with the import's.
TEST_F(Window, AutomaticImportIsOffUntilChosenAndRemembered) {
    QSettings(QSettings::UserScope, "Korvel", "Korvel").clear();
    {
        MainWindow first{folder};
        auto *import = first.findChild<QAction *>("AutoImportAction");
        auto *convert = first.findChild<QAction *>("AutoConvertAction");
        ASSERT_TRUE(import && convert);
        EXPECT_EQ(import->text(), QString::fromUtf8(kAutoImportMenuText));
        EXPECT_FALSE(import->isChecked());
        EXPECT_FALSE(convert->isEnabled());
        EXPECT_FALSE(first.Form().GetAutoImport().import);
        import->setChecked(true);
        EXPECT_TRUE(convert->isEnabled());
        convert->setChecked(true);
        EXPECT_TRUE(first.Form().GetAutoImport().convert);
    }
    MainWindow second{folder};
    EXPECT_TRUE(second.findChild<QAction *>("AutoImportAction")->isChecked());
    EXPECT_TRUE(second.findChild<QAction *>("AutoConvertAction")->isChecked());
    EXPECT_TRUE(second.Form().GetAutoImport().import && second.Form().GetAutoImport().convert);
    QSettings(QSettings::UserScope, "Korvel", "Korvel").clear();
}

// The menu's three conversion switches and the four check boxes: off at first, and as the last window left
// them in the next.
TEST_F(Window, ConversionChoicesAreRememberedAcrossStarts) {
    const char *actions[] = {"BlocksAction", "DimensionsAction", "GroupScalesAction"};
    {
        MainWindow first{folder};
        for (const char *name : actions) {
            auto *action = first.findChild<QAction *>(name);
            ASSERT_TRUE(action) << name;
            EXPECT_FALSE(action->isChecked()) << name;
        }
        EXPECT_FALSE(first.CheckBoxChecked(3));
        first.findChild<QAction *>("BlocksAction")->setChecked(true);
        first.findChild<QAction *>("GroupScalesAction")->setChecked(true);
        first.findChild<QCheckBox *>("CheckBox3")->setChecked(true);
        EXPECT_TRUE(first.Form().GetMoreOptions().blocks);
    }
    MainWindow second{folder};
    const TForm1::MoreOptions more = second.Form().GetMoreOptions();
    EXPECT_TRUE(more.blocks && !more.dimensions && more.groupScales);
    EXPECT_TRUE(second.findChild<QAction *>("BlocksAction")->isChecked());
    EXPECT_FALSE(second.findChild<QAction *>("DimensionsAction")->isChecked());
    EXPECT_TRUE(second.CheckBoxChecked(3));
    EXPECT_FALSE(second.CheckBoxChecked(1));
    ForgetSettings();
}

// The drawing view opens from the preview's menu, follows the window's drawing, and its layer switches hide
// layers from the image and, when asked, from the script.
TEST_F(Window, TheDrawingViewShowsHidesAndConvertsWhatItShows) {
    std::vector<std::string> messages;
    window.SetMessageDisplay([&](const std::string &message) { messages.push_back(message); });
    window.show();
    window.Form().ImportDroppedFile(KORVEL_EXAMPLES_DIR "/plan.jwwin");
    Finish();
    auto *open = window.findChild<QAction *>("ViewAction");
    ASSERT_TRUE(open);
    EXPECT_EQ(open->text(), QString::fromUtf8(kViewMenuText));
    open->trigger();
    ViewWindow *view = window.DrawingViewWindow();
    ASSERT_TRUE(view && view->isVisible());
    view->resize(640, 480);
    app.processEvents();
    view->Session().Fit();  // at the pane's final size
    view->Session().TimerFired(ViewTimer::Rest);
    const auto inked = [&] {
        const QImage image = view->Image();
        std::size_t count = 0;
        for (int y = 0; y < image.height(); y++)
            for (int x = 0; x < image.width(); x++)
                count += image.pixel(x, y) != qRgb(255, 255, 255);
        return count;
    };
    const std::size_t all = inked();
    EXPECT_GT(all, 100u);

    // Every layer that holds something switched off: only the reference point's marker is left.
    auto *panel = view->findChild<QTreeWidget *>("LayerPanel");
    ASSERT_TRUE(panel);
    for (int g = 0; g < panel->topLevelItemCount(); g++)
        panel->topLevelItem(g)->setCheckState(0, Qt::Unchecked);
    view->Session().TimerFired(ViewTimer::Rest);
    EXPECT_LT(inked(), all / 10);
    EXPECT_TRUE(window.Form().GetHiddenLayers().all());

    view->findChild<QCheckBox *>("ShownLayersOnly")
        ->click();  // as a user does: the window answers clicks, not its own setChecked
    window.findChild<QPushButton *>("Button2")->click();
    Finish();
    const std::string summary = window.findChild<QLabel *>("Label1")->toolTip().toStdString();
    EXPECT_NE(summary.find("非表示レイヤの図形"), std::string::npos) << summary;
    ASSERT_EQ(messages.size(), 1u);  // nothing converted: said, with why

    // A new drawing replaces the view's, all its layers on.
    window.Form().ImportDroppedFile(KORVEL_EXAMPLES_DIR "/plan.jwwin");
    Finish();
    view->Session().TimerFired(ViewTimer::Rest);
    EXPECT_TRUE(window.Form().GetHiddenLayers().none());
    EXPECT_EQ(inked(), all);

    // Closed, the view no longer decides what is converted.
    for (int g = 0; g < panel->topLevelItemCount(); g++)
        panel->topLevelItem(g)->setCheckState(0, Qt::Unchecked);
    view->close();
    EXPECT_FALSE(window.Form().GetMoreOptions().shownLayersOnly);
    EXPECT_TRUE(window.Form().GetHiddenLayers().none());
}

// Measuring in the view: two clicks give the distance at the scale of the group chosen in the layer panel
// (a layer's row counts for its group), a third click starts a new measurement and keeps the second point
// where it was.
TEST_F(Window, MeasuringTakesTheChosenGroupsScaleAndAThirdClickStartsAgain) {
    DrawingStore store;
    store.layerGroupScales.assign(16, 1.0);
    store.layerGroupScales[0] = 50;
    store.layerGroupScales[3] = 7;  // layer 0-3's number: never the scale
    test::Add(store, TclpEntSen{{}, 0, 0, 100, 100});
    const std::string path = folder + "korvel-measure.jwwin";
    test::WriteFileBytes(path, test::WriteStream(store));
    window.show();
    window.Form().ImportDroppedFile(path);
    Finish();
    window.findChild<QAction *>("ViewAction")->trigger();
    ViewWindow *view = window.DrawingViewWindow();
    ASSERT_TRUE(view);
    view->resize(640, 480);
    app.processEvents();
    auto *panel = view->findChild<QTreeWidget *>("LayerPanel");
    panel->setCurrentItem(panel->topLevelItem(0)->child(3));
    view->findChild<QToolButton *>("MeasureButton")->click();
    QWidget &pane = view->Pane();
    const auto click = [&](int x, int y) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, y), pane.mapToGlobal(QPointF(x, y)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&pane, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(x, y), pane.mapToGlobal(QPointF(x, y)), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&pane, &release);
        return view->findChild<QLabel *>("ViewStatus")->text().toStdString();
    };
    EXPECT_EQ(click(100, 100), "距離: 2点目をクリックしてください");
    const std::string measured = click(160, 180);
    EXPECT_NE(measured.find("縮尺 1/50"), std::string::npos) << measured;
    const double units = std::hypot(60.0, 80.0) / view->Session().Camera().scale;
    EXPECT_NE(measured.find("距離 "), std::string::npos) << measured;
    EXPECT_NEAR(std::stod(measured.substr(std::string("距離 ").size())), units, 0.01) << measured;
    EXPECT_EQ(click(300, 200), "距離: 2点目をクリックしてください");
    std::filesystem::remove(path);
}

}  // namespace
