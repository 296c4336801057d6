#include "platform/qt/main_window.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QUrl>

#include "shell/input_list.h"
#include "shell/messages.h"
#include "shell/view_texts.h"

#include "platform/qt/qt_fonts.h"

namespace korvel {

QIcon KorvelIcon() {
    // PNGs, not the SVG, which would need Qt's SVG plugin.
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/korvel-%1.png").arg(size), QSize(size, size));
    return icon;
}

namespace {

// The settings remembered across starts (~/.config/Korvel/Korvel.conf).
constexpr const char *kAutoImportKey = "autoImport";
constexpr const char *kAutoConvertKey = "autoConvert";
constexpr const char *kBlocksKey = "blocks";
constexpr const char *kDimensionsKey = "dimensions";
constexpr const char *kGroupScalesKey = "groupScales";
// The check boxes under "checkBox1".."checkBox4".
QString CheckBoxKey(int number) { return QStringLiteral("checkBox%1").arg(number); }

// How long the clipboard stays unchanged before a change is taken: a program that fills the clipboard in
// several steps is read once, when it is done.
constexpr int kClipboardSettleTime = 100;

QSettings Settings() { return QSettings(QSettings::UserScope, "Korvel", "Korvel"); }

QFont WindowFont() {
    InstallFaceSubstitutions();
    QFont font(QString::fromUtf8(kWindowFontFace));
    font.setPixelSize(kWindowFontPixels);
    return font;
}

// The local files (and folders) of a drag, if that is all it carries.
QStringList DroppedFiles(const QMimeData *data) {
    if (!data || !data->hasUrls()) return {};
    QStringList files;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile()) return {};
        files.append(url.toLocalFile());
    }
    return files;
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
    return kPaneMaxCharacters - (document()->characterCount() - 1) + textCursor().selectedText().size();
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

// Files and addresses are never text for the script: local files open (or convert, several of them),
// anything else with addresses is refused.
void ScriptPane::dragEnterEvent(QDragEnterEvent *event) {
    if (!event->mimeData()->hasUrls()) return QPlainTextEdit::dragEnterEvent(event);
    if (DroppedFiles(event->mimeData()).isEmpty()) event->ignore();
    else event->acceptProposedAction();
}

void ScriptPane::dragMoveEvent(QDragMoveEvent *event) {
    if (!event->mimeData()->hasUrls()) return QPlainTextEdit::dragMoveEvent(event);
    if (DroppedFiles(event->mimeData()).isEmpty()) event->ignore();
    else event->acceptProposedAction();
}

void ScriptPane::dropEvent(QDropEvent *event) {
    if (!event->mimeData()->hasUrls()) return QPlainTextEdit::dropEvent(event);
    const QStringList paths = DroppedFiles(event->mimeData());
    if (paths.isEmpty() || !openDropped) return event->ignore();
    event->acceptProposedAction();
    openDropped(paths);
}

MainWindow::MainWindow(std::string programFolder)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      form(*this, clipboard),
      programFolder(std::move(programFolder)) {
    setWindowTitle(QString::fromUtf8(kWindowCaption));
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);
    move(kWindowLeft, kWindowTop);
    setAcceptDrops(true);
    BuildControls();
}

void MainWindow::BuildControls() {
    // Created in tab order, so the focus chain is the window's.
    QWidget *previous = nullptr;
    for (const ControlPlace &place : kControls) {
        QWidget *control = CreateControl(place);
        control->setObjectName(place.name);
        control->setGeometry(place.left, place.top, place.width, place.height);
        if (previous && control->focusPolicy() != Qt::NoFocus) setTabOrder(previous, control);
        if (control->focusPolicy() != Qt::NoFocus) previous = control;
    }
    for (int i = 0; i < 4; ++i)
        connect(buttons[i], &QPushButton::clicked, this,
                [this, i] { Handle([this, i] { ClickButton(form, i + 1); }); });
    // Opening a saved drawing and saving the script, without controls of their own: the layout stays as it is.
    const auto windowAction = [this](const char *text, const char *name, QKeySequence::StandardKey key,
                                     void (MainWindow::*run)()) {
        auto *action = new QAction(QString::fromUtf8(text), this);
        action->setObjectName(name);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
        return action;
    };
    QAction *open = windowAction(kOpenMenuText, "OpenAction", QKeySequence::Open, &MainWindow::OpenFile);
    QAction *saveAs = windowAction(kSaveAsMenuText, "SaveAsAction", QKeySequence::Save, &MainWindow::SaveScriptAs);
    QAction *showView =
        windowAction(kViewMenuText, "ViewAction", QKeySequence::UnknownKey, &MainWindow::ShowDrawingView);
    showView->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    image->installEventFilter(this);
    QAction *autoImport = AutoImportActions();
    const std::vector<QAction *> more = MoreOptionActions();
    RememberCheckBoxes();
    image->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(image, &QWidget::customContextMenuRequested, this,
            [this, open, saveAs, showView, autoImport, more](const QPoint &at) {
                QMenu menu(this);
                menu.addAction(open);
                menu.addAction(saveAs);
                menu.addAction(showView);
                menu.addSeparator();
                menu.addAction(autoImport);
                menu.addAction(autoConvert);
                menu.addSeparator();
                for (QAction *option : more)
                    menu.addAction(option);
                menu.exec(image->mapToGlobal(at));
            });
}

std::vector<QAction *> MainWindow::MoreOptionActions() {
    QSettings settings = Settings();
    const TForm1::MoreOptions choice{settings.value(kBlocksKey, false).toBool(),
                                     settings.value(kDimensionsKey, false).toBool(),
                                     settings.value(kGroupScalesKey, false).toBool()};
    form.SetMoreOptions(choice);
    const auto action = [this](const char *text, const char *name, bool checked) {
        auto *option = new QAction(QString::fromUtf8(text), this);
        option->setObjectName(name);
        option->setCheckable(true);
        option->setChecked(checked);
        return option;
    };
    const std::vector<QAction *> actions = {action(kBlocksMenuText, "BlocksAction", choice.blocks),
                                            action(kDimensionsMenuText, "DimensionsAction", choice.dimensions),
                                            action(kGroupScalesMenuText, "GroupScalesAction", choice.groupScales)};
    const auto remember = [this, actions] {
        const TForm1::MoreOptions now{actions[0]->isChecked(), actions[1]->isChecked(), actions[2]->isChecked()};
        form.SetMoreOptions(now);
        QSettings settings = Settings();
        settings.setValue(kBlocksKey, now.blocks);
        settings.setValue(kDimensionsKey, now.dimensions);
        settings.setValue(kGroupScalesKey, now.groupScales);
    };
    for (QAction *option : actions)
        connect(option, &QAction::toggled, this, remember);
    return actions;
}

void MainWindow::RememberCheckBoxes() {
    QSettings settings = Settings();
    for (int number = 1; number <= 4; number++) {
        QCheckBox *box = checkBoxes[number - 1];
        box->setChecked(settings.value(CheckBoxKey(number), false).toBool());
        connect(box, &QCheckBox::toggled, this,
                [number](bool checked) { Settings().setValue(CheckBoxKey(number), checked); });
    }
}

QAction *MainWindow::AutoImportActions() {
    // Off unless the user turned it on, as the last run left it.
    QSettings settings = Settings();
    TForm1::AutoImport choice{settings.value(kAutoImportKey, false).toBool(),
                              settings.value(kAutoConvertKey, false).toBool()};
    form.SetAutoImport(choice);
    auto *autoImport = new QAction(QString::fromUtf8(kAutoImportMenuText), this);
    autoImport->setObjectName("AutoImportAction");
    autoImport->setCheckable(true);
    autoImport->setChecked(choice.import);
    autoConvert = new QAction(QString::fromUtf8(kAutoConvertMenuText), this);
    autoConvert->setObjectName("AutoConvertAction");
    autoConvert->setCheckable(true);
    autoConvert->setChecked(choice.convert);
    autoConvert->setEnabled(choice.import);
    const auto remember = [this, autoImport] {
        const TForm1::AutoImport now{autoImport->isChecked(), autoConvert->isChecked()};
        form.SetAutoImport(now);
        autoConvert->setEnabled(now.import);
        QSettings settings = Settings();
        settings.setValue(kAutoImportKey, now.import);
        settings.setValue(kAutoConvertKey, now.convert);
    };
    connect(autoImport, &QAction::toggled, this, remember);
    connect(autoConvert, &QAction::toggled, this, remember);
    // The window's own copy (its copy button) is not a Jw_cad copy.
    QClipboard *system = QGuiApplication::clipboard();
    clipboardSettles = new QTimer(this);
    clipboardSettles->setSingleShot(true);
    clipboardSettles->setInterval(kClipboardSettleTime);
    connect(system, &QClipboard::dataChanged, this, [this, system] {
        changedHere = system->ownsClipboard();
        clipboardSettles->start();
    });
    connect(clipboardSettles, &QTimer::timeout, this, [this] {
        if (handling) clipboardChanged = true;
        else Handle([this, copiedHere = changedHere] { form.ClipboardChanged(copiedHere); });
    });
    return autoImport;
}

template <class Handler>
void MainWindow::Handle(Handler &&handler) {
    if (handling) return;
    handling = true;
    RunGuarded(*this, handler);
    handling = false;
    if (closeAsked) close();
    else if (std::exchange(clipboardChanged, false)) clipboardSettles->start();
}

void MainWindow::SaveScriptAs() {
    const QString filter = QString::fromUtf8(kSaveDialogFilter) + ";;" + QString::fromUtf8(kAllFilesFilter);
    const QString path = chooseSavePath
                             ? chooseSavePath()
                             : QFileDialog::getSaveFileName(this, QString::fromUtf8(kSaveDialogTitle),
                                                            QString::fromStdString(form.SuggestedScriptName()), filter);
    if (path.isEmpty()) return;
    Handle([this, &path] { form.SaveScriptAs(path.toStdString()); });
}

void MainWindow::OpenFile() {
    const QString filters = QString::fromUtf8(kOpenDialogFilter) + ";;" + QString::fromUtf8(kAllFilesFilter);
    const QString path =
        chooseFile ? chooseFile()
                   : QFileDialog::getOpenFileName(this, QString::fromUtf8(kOpenDialogTitle), QString(), filters);
    if (path.isEmpty()) return;
    Handle([this, &path] { form.ImportDroppedFile(path.toStdString()); });
}

QWidget *MainWindow::CreateControl(const ControlPlace &place) {
    const QString caption = QString::fromUtf8(place.caption);
    switch (place.kind) {
        case ControlKind::Button: {
            auto *button = new QPushButton(caption, this);
            button->setAutoDefault(false);
            return buttons[place.number - 1] = button;
        }
        case ControlKind::CheckBox: return checkBoxes[place.number - 1] = new QCheckBox(caption, this);
        case ControlKind::Image: return image = new QLabel(this);
        case ControlKind::ScratchList:
            scratchList = new QListWidget(this);
            scratchList->hide();
            return scratchList;
        case ControlKind::Pane:
            pane = new ScriptPane(this);
            pane->SetFileDrop([this](const QStringList &paths) { OpenDroppedFiles(paths); });
            return pane;
        case ControlKind::Label: return note = new QLabel(caption, this);
    }
    return nullptr;
}

void MainWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (shown) return;
    shown = true;
    RunGuarded(*this, [this] { form.FormShow(programFolder); });
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (handling) {
        closeAsked = true;
        event->ignore();
        return;
    }
    RunGuarded(*this, [this] { form.FormClose(); });
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event) {
    if (!DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event) {
    const QStringList paths = DroppedFiles(event->mimeData());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    OpenDroppedFiles(paths);
}

void MainWindow::OpenDroppedFiles(const QStringList &paths) {
    // One drawing (or saved clipboard) opens as before; several, or a folder of drawings, convert into a
    // folder the user picks.
    if (paths.size() == 1 && (!QFileInfo(paths[0]).isDir() || IsClipboardFolder(paths[0].toStdString())))
        return Handle([this, &paths] { form.ImportDroppedFile(paths[0].toStdString()); });
    const QString folder =
        chooseFolder ? chooseFolder() : QFileDialog::getExistingDirectory(this, QString::fromUtf8(kBatchFolderTitle));
    if (folder.isEmpty()) return;
    std::vector<std::string> files;
    for (const QString &path : paths)
        files.push_back(path.toStdString());
    Handle([this, &files, &folder] { form.ConvertDroppedFiles(files, folder.toStdString()); });
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
    previewCanvas = std::make_unique<QtCanvas>(image->width(), image->height());
    return *previewCanvas;
}

std::int32_t MainWindow::PreviewImageWidth() const { return image->width(); }
std::int32_t MainWindow::PreviewImageHeight() const { return image->height(); }

void MainWindow::PreviewImageDrawn() {
    if (previewCanvas) image->setPixmap(QPixmap::fromImage(previewCanvas->Image()));
}

void MainWindow::DrawingReplacing() {
    if (viewWindow) viewWindow->LetGo();
}

void MainWindow::DrawingReplaced() {
    if (viewWindow && viewWindow->isVisible()) viewWindow->TakeDrawing();
}

void MainWindow::ShowDrawingView() {
    if (!viewWindow) {
        viewWindow = new ViewWindow(form, this);
        viewWindow->setWindowIcon(windowIcon());
    }
    const bool wasOpen = viewWindow->isVisible();
    viewWindow->show();
    viewWindow->raise();
    viewWindow->activateWindow();
    if (!wasOpen) viewWindow->TakeDrawing();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == image && event->type() == QEvent::MouseButtonDblClick) {
        ShowDrawingView();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::ShowScriptLocation(const std::string &path) {
    const QString tip = QString::fromStdString(kScriptLocationLabel + path);
    pane->setToolTip(tip);
    findChild<QPushButton *>("Button2")->setToolTip(tip);
}

void MainWindow::ShowConversionSummary(const std::string &summary) {
    const QString text = QString::fromStdString(summary);
    note->setText(text);
    note->setToolTip(text);  // in full, where the note's width cuts it off
}

void MainWindow::ShowDocumentName(const std::string &name) {
    setWindowTitle(QString::fromStdString(WindowTitleFor(name)));
}

void MainWindow::SetBusyCursor(bool busy) {
    if (busy) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else QGuiApplication::restoreOverrideCursor();
}

void MainWindow::ShowMessage(const std::string &message, MessageKind kind) {
    if (closeAsked) return;  // the user is leaving: what the stopped transfer says no longer matters
    if (messageDisplay) return messageDisplay(message);
    const QString title = QStringLiteral("Korvel"), text = QString::fromStdString(message);
    switch (kind) {
        case MessageKind::Information: QMessageBox::information(this, title, text); break;
        case MessageKind::Warning: QMessageBox::warning(this, title, text); break;
        case MessageKind::Error: QMessageBox::critical(this, title, text); break;
    }
}

void MainWindow::CloseWindow() { close(); }

}  // namespace korvel
