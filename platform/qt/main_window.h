// The Linux main window: the controls of TForm1 as Qt widgets, driven by the portable handlers.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>

#include "platform/qt/qt_canvas.h"
#include "platform/qt/view_window.h"
#include "platform/qt/x11_clipboard.h"
#include "shell/background_work.h"
#include "shell/form.h"
#include "shell/form_layout.h"
#include "shell/window_options.h"

namespace korvel {

// The application's icon in the sizes of the desktop's icon theme, built into the program.
QIcon KorvelIcon();

// RichEdit1: plain text without wrapping; typing and pasting stop at the pane's character limit.
class ScriptPane final : public QPlainTextEdit {
public:
    explicit ScriptPane(QWidget *parent);
    // Where files dropped on the pane go: opened (or converted, several) as on the preview, never pasted as
    // their addresses (which the copy button would then hand to Vantra).
    void SetFileDrop(std::function<void(const QStringList &)> open) { openDropped = std::move(open); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    int RoomLeft() const;

    std::function<void(const QStringList &)> openDropped;
};

class MainWindow final : public QWidget, public FormControls {
public:
    // Scratch and script files go to `programFolder`.
    explicit MainWindow(std::string programFolder);

    TForm1 &Form() { return form; }
    // Asks for a saved drawing (.jww, .jws) or stream and opens it as a dropped file; the preview's
    // context menu and Ctrl+O call it. `choose` stands in for the file dialog in tests.
    void OpenFile();
    void SetFileChooser(std::function<QString()> choose) { chooseFile = std::move(choose); }
    // Asks where to save the shown script and saves it there; the context menu and Ctrl+S call it.
    // `choose` stands in for the save dialog in tests.
    void SaveScriptAs();
    // The drawing as DXF or SVG, to a file the user names (the save chooser's, in tests).
    void ExportDrawing();
    void SetSaveChooser(std::function<QString()> choose) { chooseSavePath = std::move(choose); }
    // How the folder for several dropped drawings is chosen; a folder dialog unless replaced (tests).
    void SetFolderChooser(std::function<QString()> choose) { chooseFolder = std::move(choose); }
    // Where messages go; a modal message box unless replaced (tests).
    void SetMessageDisplay(std::function<void(const std::string &)> display) { messageDisplay = std::move(display); }
    // Dropped files, or the command line's: one drawing opens, several or a folder convert into a folder the
    // user picks.
    void OpenPaths(const std::vector<std::string> &paths);

    void SetButtonEnabled(int button, bool enabled) override;
    bool CheckBoxChecked(int checkBox) const override;
    void ClearText() override;
    void SetText(const std::string &text) override;
    void FocusText() override;
    void SelectAllText() override;
    void CopySelectedText() override;
    void CopyText(const std::string &text) override;
    void ClearScratchList() override;
    void AddScratchLine(const std::string &line) override;
    int ScratchLineCount() const override;
    std::string ScratchLine(int index) const override;
    Canvas &NewPreviewImage() override;
    std::int32_t PreviewImageWidth() const override;
    std::int32_t PreviewImageHeight() const override;
    void PreviewImageDrawn() override;
    void DrawingReplacing() override;
    void DrawingReplaced() override;
    // Opens the drawing view (or brings it forward); the preview's double-click, its menu and Ctrl+D call it.
    void ShowDrawingView();
    ViewWindow *DrawingViewWindow() const { return viewWindow; }
    void ShowScriptLocation(const std::string &path) override;
    void ShowConversionSummary(const std::string &summary) override;
    void ShowDocumentName(const std::string &name) override;
    void SetBusyCursor(bool busy) override;
    void RunInBackground(std::function<void()> work, std::function<void()> done) override;
    void Post(std::function<void()> f) override;
    void ShowMessage(const std::string &message, MessageKind kind) override;
    void CloseWindow() override;
    ~MainWindow() override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void OpenDroppedFiles(const QStringList &paths);
    void BuildControls();
    void Run(WindowCommand command);
    // The menu's switches as the form has them; then remembered, with the check boxes, for the next start.
    void ShowSwitches();
    void RememberSwitches();
    void WatchClipboard();
    QWidget *CreateControl(const ControlPlace &place);
    // Runs one of the form's handlers. The clipboard is read with the window still repainting, so a close
    // asked for meanwhile stops the transfer and closes the window once the handler is done; a clipboard
    // change meanwhile is taken after it.
    template <class Handler>
    void Handle(Handler &&handler);

    bool handling = false;               // a handler is running
    bool closeAsked = false;             // the window was asked to close while one was
    bool clipboardChanged = false;       // the clipboard changed while one was
    bool changedHere = false;            // by this window's own copy, when it last changed
    QTimer *clipboardSettles = nullptr;  // changes close together are taken once
    X11Clipboard clipboard{[this] { return closeAsked; }};
    TForm1 form;
    std::string programFolder;
    bool shown = false;
    std::function<void(const std::string &)> messageDisplay;
    std::function<QString()> chooseFile;
    std::function<QString()> chooseSavePath;
    std::function<QString()> chooseFolder;
    std::map<WindowCommand, QAction *> commands;

    std::array<QPushButton *, 4> buttons{};
    std::array<QCheckBox *, 4> checkBoxes{};
    QLabel *image = nullptr;
    QListWidget *scratchList = nullptr;
    ScriptPane *pane = nullptr;
    QLabel *note = nullptr;
    std::unique_ptr<QtCanvas> previewCanvas;
    ViewWindow *viewWindow = nullptr;
    BackgroundWork background;  // declared last: it waits for the work before the rest goes
};

}  // namespace korvel
