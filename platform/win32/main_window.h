// The Windows main window: the controls of TForm1 as native controls, driven by the portable handlers.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>

#include "platform/win32/gdi_canvas.h"
#include "platform/win32/view_window.h"
#include "platform/win32/win32_clipboard.h"
#include "shell/background_work.h"
#include "shell/form.h"
#include "shell/form_layout.h"
#include "shell/window_options.h"

namespace korvel {

// Control identifiers: 100 + the control's position in the tab order table.
inline constexpr int kFirstControlId = 100;
inline constexpr const wchar_t *kWindowClass = L"TForm1";
// A menu command's identifier: its WindowCommand's number.
constexpr UINT CommandId(WindowCommand command) { return static_cast<UINT>(command); }

class MainWindow final : public FormControls {
public:
    // Creates and shows the window; scratch and script files go to `programFolder`.
    MainWindow(HINSTANCE instance, std::string programFolder);
    ~MainWindow() override;
    MainWindow(const MainWindow &) = delete;
    MainWindow &operator=(const MainWindow &) = delete;

    HWND Handle() const { return window; }
    TForm1 &Form() { return form; }
    // Asks for a saved drawing (.jww, .jws) or stream and opens it as a dropped file; the preview's
    // context menu and Ctrl+O call it.
    void OpenFile();
    // Asks where to save the shown script and saves it there; the context menu and Ctrl+S call it.
    void SaveScriptAs();
    void ExportDrawing();
    // Where messages go; a modal message box unless replaced (tests).
    void SetMessageDisplay(std::function<void(const std::string &)> display) { messageDisplay = std::move(display); }
    // Runs the message loop until the window is closed.
    int Run();

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
    // Opens the drawing view, or brings it forward.
    void ShowDrawingView();
    void ShowScriptLocation(const std::string &path) override;
    void SetBusyCursor(bool busy) override;
    void RunInBackground(std::function<void()> work, std::function<void()> done) override;
    void Post(std::function<void()> f) override;
    void ShowMessage(const std::string &message, MessageKind kind) override;
    void ShowConversionSummary(const std::string &summary) override;
    void ShowDocumentName(const std::string &name) override;
    void CloseWindow() override;
    // Dropped files, or the command line's: one drawing opens, several (or a folder of drawings) convert into
    // a chosen folder.
    void OpenDroppedFiles(const std::vector<std::string> &paths);

private:
    // A folder for several dropped drawings; empty when the user cancels.
    std::wstring ChooseFolder();
    // `extension` is added to a name typed without one (none when opening).
    std::wstring ChooseFile(bool saving, const std::vector<FileFilter> &filters, const char *title,
                            const std::wstring &suggested, const wchar_t *extension);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls(HINSTANCE instance);
    HWND CreateControl(HINSTANCE instance, const ControlPlace &place, int id);
    void SetUpPane();
    // The pane takes a long text a part at a time on a timer, so that the window answers while a
    // RichEdit lays out megabytes of script (seconds under Wine); the user sees the first lines at once.
    void FillPane();
    void StopFillingPane();
    bool FillingPane() const { return paneFilled < paneText.size(); }
    // The script location's tip on the pane and the convert button.
    void AddTips();
    void PaintPreview(const DRAWITEMSTRUCT &item);
    // The menu's switches (automatic import, block figures, dimension lines, each group's scale) and the
    // four check boxes, as the last run left them in the settings file beside TEMP.VNT.
    void LoadSettings();
    void SaveSettings() const;
    void ShowContextMenu(POINT at);
    // `text` on the clipboard as Unicode text.
    void PutOnClipboard(const std::wstring &text);
    // A control's place at the window's present size, in layout pixels.
    ControlPlace CurrentPlace(const ControlPlace &place) const;
    // False for a command that is not one of the menu's switches.
    int Scaled(int pixelsAt96Dpi) const { return MulDiv(pixelsAt96Dpi, dpi, 96); }

    Win32Clipboard clipboard;
    TForm1 form;
    std::string programFolder;
    std::function<void(const std::string &)> messageDisplay;
    HWND window = nullptr;
    int dpi = 96;
    HFONT font = nullptr;
    HMODULE richEdit = nullptr;
    std::array<HWND, 4> buttons{};
    std::array<HWND, 4> checkBoxes{};
    HWND image = nullptr, scratchList = nullptr, pane = nullptr, note = nullptr, tips = nullptr;
    HACCEL accelerators = nullptr;
    std::wstring scriptLocation;                      // the tips' text, which must outlive them
    std::wstring paneText;                            // the whole text the pane is being given
    std::size_t paneFilled = 0;                       // how much of it the control holds
    std::unique_ptr<GdiCanvas> preview, nextPreview;  // shown, and being drawn
    std::unique_ptr<ViewWindow> viewWindow;
    bool closeAsked = false;    // the window was asked to close while it was
    BackgroundWork background;  // declared last: it waits for the work before the rest goes
};

}  // namespace korvel
