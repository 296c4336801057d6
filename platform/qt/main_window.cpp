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
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>

#include "shell/input_list.h"
#include "shell/messages.h"
#include "shell/view_texts.h"
#include "shell/window_options.h"

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

// The remembered switches in ~/.config/Korvel/Korvel.conf.
class QtSettings final : public SettingsStore {
public:
    bool Get(const std::string &key) const override {
        return settings.value(QString::fromStdString(key), false).toBool();
    }
    void Set(const std::string &key, bool on) override { settings.setValue(QString::fromStdString(key), on); }

private:
    mutable QSettings settings{QSettings::UserScope, "Korvel", "Korvel"};
};

// "Label (*.jww *.jws)", as Qt's dialogs take a filter.
QString FiltersOf(const std::vector<FileFilter> &filters) {
    QStringList list;
    for (const FileFilter &filter : filters) {
        QString label = QString::fromUtf8(filter.label);
        label.truncate(label.indexOf(QStringLiteral(" (")));
        QStringList patterns;
        for (const std::string &pattern : filter.patterns)
            patterns.append(QString::fromStdString(pattern));
        list.append(label + " (" + patterns.join(' ') + ")");
    }
    return list.join(QStringLiteral(";;"));
}

// How long the clipboard stays unchanged before a change is taken: a program that fills the clipboard in
// several steps is read once, when it is done.
constexpr int kClipboardSettleTime = 100;

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
                           Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      form(*this, clipboard),
      programFolder(std::move(programFolder)) {
    setWindowTitle(QString::fromUtf8(kWindowCaption));
    setFont(WindowFont());
    setMinimumSize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight);
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
    // The menu's commands, without controls of their own: the layout stays as it is.
    for (const MenuEntry &entry : kContextMenu) {
        if (entry.command == WindowCommand::None) continue;
        auto *action = new QAction(QString::fromUtf8(entry.text), this);
        action->setObjectName(QString::fromUtf8(entry.name) + "Action");
        if (entry.shortcut) action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(entry.shortcut)));
        action->setShortcutContext(Qt::WindowShortcut);
        action->setCheckable(IsSwitch(entry.command));
        const WindowCommand command = entry.command;
        if (action->isCheckable())
            connect(action, &QAction::toggled, this, [this, command](bool on) {
                if (SwitchedOn(form, command) != on) FlipSwitch(form, command);
                RememberSwitches();
            });
        else connect(action, &QAction::triggered, this, [this, command] { Run(command); });
        addAction(action);
        commands[command] = action;
    }
    // Escape stops long work.
    auto *stop = new QAction(this);
    stop->setShortcut(QKeySequence(Qt::Key_Escape));
    stop->setShortcutContext(Qt::WindowShortcut);
    connect(stop, &QAction::triggered, this, [this] { form.Cancel(); });
    addAction(stop);
    image->installEventFilter(this);
    const std::array<bool, 4> checked = LoadSwitches(form, QtSettings());
    for (int i = 0; i < 4; i++) {
        checkBoxes[i]->setChecked(checked[i]);
        connect(checkBoxes[i], &QCheckBox::toggled, this, [this] { RememberSwitches(); });
    }
    ShowSwitches();
    WatchClipboard();
    image->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(image, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu menu(this);
        for (const MenuEntry &entry : kContextMenu) {
            if (entry.command == WindowCommand::None) menu.addSeparator();
            else menu.addAction(commands[entry.command]);
        }
        menu.exec(image->mapToGlobal(at));
    });
}

void MainWindow::Run(WindowCommand command) {
    switch (command) {
        case WindowCommand::Open: return OpenFile();
        case WindowCommand::SaveAs: return SaveScriptAs();
        case WindowCommand::Export: return ExportDrawing();
        case WindowCommand::View: return ShowDrawingView();
        default: return;
    }
}

void MainWindow::ShowSwitches() {
    for (const auto &[command, action] : commands) {
        const QSignalBlocker quiet(action);
        if (action->isCheckable()) action->setChecked(SwitchedOn(form, command));
        action->setEnabled(CommandEnabled(form, command));
    }
}

void MainWindow::RememberSwitches() {
    std::array<bool, 4> checked{};
    for (int i = 0; i < 4; i++)
        checked[i] = checkBoxes[i]->isChecked();
    QtSettings settings;
    SaveSwitches(form, checked, settings);
    ShowSwitches();
}

void MainWindow::WatchClipboard() {
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
    const QString path =
        chooseSavePath
            ? chooseSavePath()
            : QFileDialog::getSaveFileName(this, QString::fromUtf8(kSaveDialogTitle),
                                           QString::fromStdString(form.SuggestedScriptName()), FiltersOf(kSaveFilters));
    if (path.isEmpty()) return;
    Handle([this, &path] { form.SaveScriptAs(path.toStdString()); });
}

void MainWindow::ExportDrawing() {
    const QString path = chooseSavePath
                             ? chooseSavePath()
                             : QFileDialog::getSaveFileName(this, QString::fromUtf8(kExportDialogTitle),
                                                            QString::fromStdString(form.SuggestedExportName()),
                                                            FiltersOf(kExportFilters));
    if (path.isEmpty()) return;
    Handle([this, &path] { form.ExportDrawingAs(path.toStdString()); });
}

void MainWindow::OpenFile() {
    const QString path = chooseFile ? chooseFile()
                                    : QFileDialog::getOpenFileName(this, QString::fromUtf8(kOpenDialogTitle), QString(),
                                                                   FiltersOf(kOpenFilters));
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

void MainWindow::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    for (const ControlPlace &control : kControls) {
        const ControlPlace place = PlaceIn(control, width(), height());
        if (auto *widget = findChild<QWidget *>(place.name))
            widget->setGeometry(place.left, place.top, place.width, place.height);
    }
}

void MainWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (shown) return;
    shown = true;
    RunGuarded(*this, [this] { form.FormShow(programFolder); });
}

void MainWindow::closeEvent(QCloseEvent *event) {
    // Long work is stopped first; the window closes once it has.
    if (form.Busy()) form.Cancel();
    if (handling || form.Busy()) {
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
    std::vector<std::string> files;
    for (const QString &path : paths)
        files.push_back(path.toStdString());
    OpenPaths(files);
}

void MainWindow::OpenPaths(const std::vector<std::string> &paths) {
    switch (ActionFor(paths)) {
        case DropAction::Nothing: return;
        case DropAction::Open: return Handle([this, &paths] { form.ImportDroppedFile(paths[0]); });
        case DropAction::ConvertIntoFolder: {
            const QString folder =
                chooseFolder ? chooseFolder()
                             : QFileDialog::getExistingDirectory(this, QString::fromUtf8(DropFolderTitle(form)));
            if (folder.isEmpty()) return;
            return Handle([this, &paths, &folder] { form.ConvertDroppedFiles(paths, folder.toStdString()); });
        }
    }
}

void MainWindow::SetButtonEnabled(int button, bool enabled) {
    if (button >= 1 && button <= 4) buttons[button - 1]->setEnabled(enabled);
}

bool MainWindow::CheckBoxChecked(int checkBox) const {
    return checkBox >= 1 && checkBox <= 4 && checkBoxes[checkBox - 1]->isChecked();
}

void MainWindow::ClearText() { pane->clear(); }
void MainWindow::SetText(const std::string &text) {
    // Put in by whole lines of at most this much, so that a long script never sits in memory twice more as
    // one string; without undo, which would keep a third copy.
    constexpr std::size_t kPart = 1 << 16;
    pane->clear();
    QTextDocument &document = *pane->document();
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    for (std::size_t from = 0; from < text.size();) {
        std::size_t end = std::min(text.size(), from + kPart);
        if (end < text.size()) {
            if (const std::size_t line = text.rfind('\n', end - 1); line != std::string::npos && line >= from)
                end = line + 1;
            else  // a line longer than a part ends the part on a character's first byte
                while (end > from + 1 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
                    end--;
        }
        cursor.insertText(QString::fromUtf8(text.data() + from, static_cast<qsizetype>(end - from)));
        from = end;
    }
    document.setUndoRedoEnabled(true);
    pane->moveCursor(QTextCursor::Start);
}
void MainWindow::FocusText() { pane->setFocus(Qt::OtherFocusReason); }
void MainWindow::SelectAllText() { pane->selectAll(); }

void MainWindow::CopySelectedText() {
    const QString text = pane->textCursor().selection().toPlainText();
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void MainWindow::CopyText(const std::string &text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text), QClipboard::Clipboard);
}

void MainWindow::ClearScratchList() { scratchList->clear(); }
void MainWindow::AddScratchLine(const std::string &line) { scratchList->addItem(QString::fromStdString(line)); }
int MainWindow::ScratchLineCount() const { return scratchList->count(); }

std::string MainWindow::ScratchLine(int index) const {
    const QListWidgetItem *item = scratchList->item(index);
    return item ? item->text().toStdString() : std::string();
}

Canvas &MainWindow::NewPreviewImage() {
    previewCanvas = std::make_unique<QtCanvas>(image->width(), image->height());
    return *previewCanvas;
}

std::int32_t MainWindow::PreviewImageWidth() const { return image->width(); }
std::int32_t MainWindow::PreviewImageHeight() const { return image->height(); }

void MainWindow::PreviewImageDrawn() {
    if (previewCanvas) image->setPixmap(QPixmap::fromImage(previewCanvas->Image()));
}

void MainWindow::DrawingReplacing() {
    if (viewWindow) viewWindow->Session().LetGo();
}

void MainWindow::DrawingReplaced() {
    if (viewWindow) viewWindow->Session().DrawingReplaced();
}

void MainWindow::ShowDrawingView() {
    if (!viewWindow) {
        viewWindow = new ViewWindow(form, this);
        viewWindow->setWindowIcon(windowIcon());
    }
    viewWindow->show();
    viewWindow->raise();
    viewWindow->activateWindow();
    viewWindow->Session().Opened();
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

MainWindow::~MainWindow() { form.Cancel(); }

void MainWindow::RunInBackground(std::function<void()> work, std::function<void()> done) {
    background.Start(
        std::move(work),
        [this, done = std::move(done)] {
            done();
            if (closeAsked) close();
        },
        [this](std::function<void()> f) { Post(std::move(f)); }, *this);
}

void MainWindow::Post(std::function<void()> f) { QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection); }

}  // namespace korvel
