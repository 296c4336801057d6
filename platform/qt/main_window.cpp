#include "platform/qt/main_window.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QUrl>
#include <new>

#include "platform/qt/qt_fonts.h"

namespace korvel {

namespace {

struct ControlPlace {
    const char *name;
    int left, top, width, height;
    const char *caption;
};

constexpr ControlPlace kButtons[4] = {
    {"Button1", 8, 8, 177, 25, "Jw_cadクリップボード取り込み"},
    {"Button2", 8, 256, 177, 25, "Vantraコードへ変換"},
    {"Button3", 8, 296, 177, 25, "全選択してコピー"},
    {"Button4", 8, 336, 177, 25, "閉じる"},
};
constexpr ControlPlace kCheckBoxes[4] = {
    {"CheckBox1", 8, 192, 185, 17, "色を変換する(白背景設定色)"},
    {"CheckBox2", 8, 172, 177, 17, "レイヤを変換する(0～255)"},
    {"CheckBox3", 8, 212, 185, 17, "ハッチング線を変換する"},
    {"CheckBox4", 8, 232, 185, 17, "ソリッド図形を変換する"},
};
constexpr ControlPlace kImage = {"Image1", 8, 40, 177, 129, ""};
constexpr ControlPlace kScratchList = {"ListBox1", 24, 56, 33, 25, ""};
constexpr ControlPlace kPane = {"RichEdit1", 192, 8, 465, 353, ""};
constexpr ControlPlace kNote = {
    "Label1",
    8,
    368,
    570,
    12,
    "※文字・寸法図形・寸法属性・画像・ブロック図形の変換は出来ません。　レイヤグループ[0]の縮尺で変換します。"};

void Place(QWidget *control, const ControlPlace &place) {
    control->setObjectName(place.name);
    control->setGeometry(place.left, place.top, place.width, place.height);
}

QFont WindowFont() {
    InstallFaceSubstitutions();
    QFont font(QString::fromUtf8("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    return font;
}

// The single local file of a drag, if that is what it carries.
QString DroppedFile(const QMimeData *data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().front();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

ScriptPane::ScriptPane(QWidget *parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
}

int ScriptPane::RoomLeft() const {
    // characterCount() includes the document's closing paragraph separator.
    return kMaxCharacters - (document()->characterCount() - 1) + textCursor().selectedText().size();
}

void ScriptPane::keyPressEvent(QKeyEvent *event) {
    if (!event->text().isEmpty() && event->text().at(0).isPrint() && RoomLeft() < event->text().size()) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ScriptPane::insertFromMimeData(const QMimeData *source) {
    if (!source || !source->hasText()) return;
    insertPlainText(source->text().left(std::max(RoomLeft(), 0)));
}

MainWindow::MainWindow(std::string programFolder)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      form(*this, clipboard),
      programFolder(std::move(programFolder)) {
    setWindowTitle(QString::fromUtf8(kWindowCaption));
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);
    move(192, 107);
    setAcceptDrops(true);
    BuildControls();
}

void MainWindow::BuildControls() {
    // Created in tab order, so the focus chain is the window's.
    buttons[0] = new QPushButton(this);
    scratchList = new QListWidget(this);
    checkBoxes[1] = new QCheckBox(this);
    checkBoxes[0] = new QCheckBox(this);
    checkBoxes[2] = new QCheckBox(this);
    checkBoxes[3] = new QCheckBox(this);
    buttons[1] = new QPushButton(this);
    pane = new ScriptPane(this);
    buttons[2] = new QPushButton(this);
    buttons[3] = new QPushButton(this);
    image = new QLabel(this);
    note = new QLabel(this);

    for (int i = 0; i < 4; ++i) {
        Place(buttons[i], kButtons[i]);
        buttons[i]->setText(QString::fromUtf8(kButtons[i].caption));
        buttons[i]->setAutoDefault(false);
        Place(checkBoxes[i], kCheckBoxes[i]);
        checkBoxes[i]->setText(QString::fromUtf8(kCheckBoxes[i].caption));
    }
    Place(image, kImage);
    Place(scratchList, kScratchList);
    scratchList->hide();
    Place(pane, kPane);
    Place(note, kNote);
    note->setText(QString::fromUtf8(kNote.caption));

    QWidget *tabOrder[] = {buttons[0],    scratchList, checkBoxes[1], checkBoxes[0], checkBoxes[2],
                           checkBoxes[3], buttons[1],  pane,          buttons[2],    buttons[3]};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(buttons[0], &QPushButton::clicked, this, [this] { Run([this] { form.Button1Click(); }); });
    connect(buttons[1], &QPushButton::clicked, this, [this] { Run([this] { form.Button2Click(); }); });
    connect(buttons[2], &QPushButton::clicked, this, [this] { Run([this] { form.Button3Click(); }); });
    connect(buttons[3], &QPushButton::clicked, this, [this] { Run([this] { form.Button4Click(); }); });
}

void MainWindow::Run(const std::function<void()> &handler) {
    try {
        handler();
    } catch (const std::bad_alloc &) {
        ShowMessage("メモリが不足しています");
    } catch (const std::exception &error) {
        ShowMessage(error.what());
    }
}

void MainWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (shown) return;
    shown = true;
    Run([this] { form.FormShow(programFolder); });
}

void MainWindow::closeEvent(QCloseEvent *event) {
    Run([this] { form.FormClose(); });
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event) {
    if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event) {
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    Run([this, &path] { form.ImportDroppedFile(path.toStdString()); });
}

void MainWindow::SetButtonEnabled(int button, bool enabled) {
    if (button >= 1 && button <= 4) buttons[button - 1]->setEnabled(enabled);
}

bool MainWindow::CheckBoxChecked(int checkBox) const {
    return checkBox >= 1 && checkBox <= 4 && checkBoxes[checkBox - 1]->isChecked();
}

void MainWindow::ClearText() { pane->clear(); }
void MainWindow::SetText(const std::string &text) { pane->setPlainText(QString::fromStdString(text)); }
void MainWindow::FocusText() { pane->setFocus(Qt::OtherFocusReason); }
void MainWindow::SelectAllText() { pane->selectAll(); }

void MainWindow::CopySelectedText() {
    const QString text = pane->textCursor().selection().toPlainText();
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void MainWindow::ClearScratchList() { scratchList->clear(); }
void MainWindow::AddScratchLine(const std::string &line) { scratchList->addItem(QString::fromStdString(line)); }
int MainWindow::ScratchLineCount() const { return scratchList->count(); }

std::string MainWindow::ScratchLine(int index) const {
    const QListWidgetItem *item = scratchList->item(index);
    return item ? item->text().toStdString() : std::string();
}

Canvas &MainWindow::NewPreviewImage() {
    image->clear();
    previewCanvas = std::make_unique<QtCanvas>(kImage.width, kImage.height);
    return *previewCanvas;
}

std::int32_t MainWindow::PreviewImageWidth() const { return kImage.width; }
std::int32_t MainWindow::PreviewImageHeight() const { return kImage.height; }

void MainWindow::PreviewImageDrawn() {
    if (previewCanvas) image->setPixmap(QPixmap::fromImage(previewCanvas->Image()));
}

void MainWindow::SetBusyCursor(bool busy) {
    if (busy) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else QGuiApplication::restoreOverrideCursor();
}

void MainWindow::ShowMessage(const std::string &message) {
    if (messageDisplay) messageDisplay(message);
    else QMessageBox::critical(this, QStringLiteral("Korvel"), QString::fromStdString(message));
}

void MainWindow::CloseWindow() { close(); }

}  // namespace korvel
