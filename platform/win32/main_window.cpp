#include "platform/win32/main_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "platform/win32/wide_text.h"
#include "platform/win32/window_owner.h"
#include "shell/input_list.h"
#include "shell/messages.h"
#include "shell/view_texts.h"

namespace korvel {

namespace {

// The settings remembered across starts, in a file beside TEMP.VNT.
constexpr const wchar_t *kSettingsFile = L"korvel.ini";
constexpr const wchar_t *kSettingsSection = L"Korvel";

// The pane's text goes in parts of about this many characters, each ending at a line's end: the first part at
// once, the others one a timer tick, which lets input and painting in between (about 50 ms a part under Wine).
constexpr std::size_t kPanePartCharacters = 65536;
constexpr UINT_PTR kPaneFillTimer = 1;
// A function posted from the background work, run on the window's thread; and Escape, which stops the work.
constexpr UINT kRunPosted = WM_APP + 1;
constexpr WORD kStopCommand = 0x100;

// Where the part of `text` from `from` ends: after the first line end at or past the part's size, or at the end.
std::size_t PartEnd(const std::wstring &text, std::size_t from) {
    if (text.size() - from <= kPanePartCharacters) return text.size();
    const std::size_t lineEnd = text.find(L'\n', from + kPanePartCharacters);
    return lineEnd == std::wstring::npos ? text.size() : lineEnd + 1;
}

constexpr DWORD kFrameStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;

struct ControlClass {
    const wchar_t *name;
    DWORD style;
    DWORD extendedStyle;
};

ControlClass ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button: return {L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case ControlKind::CheckBox: return {L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case ControlKind::Image: return {L"STATIC", WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, 0};
        case ControlKind::ScratchList: return {L"LISTBOX", WS_TABSTOP | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
        case ControlKind::Pane:
            return {RICHEDIT_CLASSW,
                    WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL |
                        ES_WANTRETURN | ES_DISABLENOSCROLL | ES_NOHIDESEL,
                    WS_EX_CLIENTEDGE};
        case ControlKind::Label: return {L"STATIC", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0};
    }
    return {L"STATIC", 0, 0};
}

// Text for the pane: its lines end in CR LF.
std::wstring PaneTextOf(const std::string &text) {
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return WideOf(crlf);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, std::string folder)
    : clipboard(nullptr), form(*this, clipboard), programFolder(std::move(folder)) {
    // RichEdit 2.0, the pane's control, lives in its own library.
    richEdit = LoadLibraryW(L"riched20.dll");

    RegisterWindowClass(instance, kWindowClass, &OwnedProcedure<MainWindow, &MainWindow::window, &MainWindow::Handle>,
                        IDC_ARROW, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));

    // The layout is in pixels at 96 DPI; the program declares itself DPI-aware and scales it to the screen's.
    const HDC screen = GetDC(nullptr);
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    RECT frame{0, 0, Scaled(kClientWidth), Scaled(kClientHeight)};
    AdjustWindowRectEx(&frame, kFrameStyle, FALSE, WS_EX_CONTROLPARENT);
    window = CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES, kWindowClass, WideOf(kWindowCaption).c_str(),
                             kFrameStyle, Scaled(kWindowLeft), Scaled(kWindowTop), frame.right - frame.left,
                             frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!window) throw std::runtime_error("ウィンドウを作成できません");
    clipboard.SetOwner(window);
    font = CreateFontW(-Scaled(kWindowFontPixels), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       WideOf(kWindowFontFace).c_str());
    CreateControls(instance);
    std::vector<ACCEL> keys;
    for (const MenuEntry &entry : kContextMenu)
        if (entry.shortcut)
            keys.push_back(
                {FCONTROL | FVIRTKEY, static_cast<WORD>(entry.shortcut), static_cast<WORD>(CommandId(entry.command))});
    keys.push_back({FVIRTKEY, VK_ESCAPE, kStopCommand});
    accelerators = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    RunGuarded(*this, [this] { form.FormShow(programFolder); });
    LoadSettings();
    AddClipboardFormatListener(window);
}

namespace {

// The remembered switches in a file beside TEMP.VNT.
class IniSettings final : public SettingsStore {
public:
    explicit IniSettings(const std::string &folder) : path(WideOf(folder) + kSettingsFile) {}
    bool Get(const std::string &key) const override {
        return GetPrivateProfileIntW(kSettingsSection, WideOf(key).c_str(), 0, path.c_str()) != 0;
    }
    void Set(const std::string &key, bool on) override {
        WritePrivateProfileStringW(kSettingsSection, WideOf(key).c_str(), on ? L"1" : L"0", path.c_str());
    }

private:
    std::wstring path;
};

}  // namespace

void MainWindow::LoadSettings() {
    const std::array<bool, 4> checked = LoadSwitches(form, IniSettings(form.ProgramFolder()));
    for (int i = 0; i < 4; ++i)
        SendMessageW(checkBoxes[i], BM_SETCHECK, checked[i] ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::SaveSettings() const {
    std::array<bool, 4> checked{};
    for (int i = 0; i < 4; ++i)
        checked[i] = CheckBoxChecked(i + 1);
    IniSettings settings(form.ProgramFolder());
    SaveSwitches(form, checked, settings);
}

void MainWindow::ShowContextMenu(POINT at) {
    const HMENU menu = CreatePopupMenu();
    for (const MenuEntry &entry : kContextMenu) {
        if (entry.command == WindowCommand::None) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::wstring text =
            WideOf(entry.text) + (entry.shortcut ? L"\tCtrl+" + std::wstring(1, entry.shortcut) : L"");
        AppendMenuW(menu,
                    MF_STRING | (SwitchedOn(form, entry.command) ? MF_CHECKED : 0) |
                        (CommandEnabled(form, entry.command) ? 0 : MF_GRAYED),
                    CommandId(entry.command), text.c_str());
    }
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
    DestroyMenu(menu);
}

MainWindow::~MainWindow() {
    form.Cancel();
    if (window) DestroyWindow(window);
    if (font) DeleteObject(font);
    if (richEdit) FreeLibrary(richEdit);
    if (accelerators) DestroyAcceleratorTable(accelerators);
}

void MainWindow::CreateControls(HINSTANCE instance) {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlPlace &place = kControls[i];
        const HWND control = CreateControl(instance, place, kFirstControlId + static_cast<int>(i));
        switch (place.kind) {
            case ControlKind::Button: buttons[place.number - 1] = control; break;
            case ControlKind::CheckBox: checkBoxes[place.number - 1] = control; break;
            case ControlKind::Image: image = control; break;
            case ControlKind::ScratchList: scratchList = control; break;
            case ControlKind::Pane: pane = control; break;
            case ControlKind::Label: note = control; break;
        }
    }
    SetUpPane();
}

void MainWindow::SetUpPane() {
    SendMessageW(pane, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE, 0);
    SendMessageW(pane, EM_EXLIMITTEXT, 0, kPaneMaxCharacters);
    SendMessageW(pane, EM_SETTARGETDEVICE, 0, 1);  // no word wrap
}

HWND MainWindow::CreateControl(HINSTANCE instance, const ControlPlace &place, int id) {
    const ControlClass kind = ClassOf(place.kind);
    const HWND control =
        CreateWindowExW(kind.extendedStyle, kind.name, WideOf(place.caption).c_str(), WS_CHILD | kind.style,
                        Scaled(place.left), Scaled(place.top), Scaled(place.width), Scaled(place.height), window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

int MainWindow::Run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (accelerators && TranslateAcceleratorW(window, accelerators, &message)) continue;
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam == 0 && LOWORD(wParam) == kStopCommand) {
                form.Cancel();
                return 0;
            }
            if (lParam == 0) {
                const auto command = static_cast<WindowCommand>(LOWORD(wParam));
                if (command == WindowCommand::Open) OpenFile();
                else if (command == WindowCommand::SaveAs) SaveScriptAs();
                else if (command == WindowCommand::Export) ExportDrawing();
                else if (command == WindowCommand::View) ShowDrawingView();
                else if (FlipSwitch(form, command)) SaveSettings();
                return 0;
            }
            if (reinterpret_cast<HWND>(lParam) == image && HIWORD(wParam) == STN_DBLCLK) {
                ShowDrawingView();
                return 0;
            }
            if (HIWORD(wParam) == BN_CLICKED) {
                const int id = LOWORD(wParam) - kFirstControlId;
                if (id >= 0 && id < static_cast<int>(kControls.size()) && kControls[id].kind == ControlKind::Button)
                    RunGuarded(*this, [this, id] { ClickButton(form, kControls[id].number); });
                if (id >= 0 && id < static_cast<int>(kControls.size()) && kControls[id].kind == ControlKind::CheckBox)
                    SaveSettings();
                return 0;
            }
            break;
        case WM_SIZE:
            for (std::size_t i = 0; i < kControls.size(); ++i) {
                const ControlPlace place = CurrentPlace(kControls[i]);
                MoveWindow(GetDlgItem(window, kFirstControlId + static_cast<int>(i)), Scaled(place.left),
                           Scaled(place.top), Scaled(place.width), Scaled(place.height), TRUE);
            }
            return 0;
        case WM_GETMINMAXINFO: {
            // Never smaller than the layout.
            RECT frame{0, 0, Scaled(kClientWidth), Scaled(kClientHeight)};
            AdjustWindowRectEx(&frame, kFrameStyle, FALSE, WS_EX_CONTROLPARENT);
            auto *limits = reinterpret_cast<MINMAXINFO *>(lParam);
            limits->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
            return 0;
        }
        case WM_DRAWITEM: {
            const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
            if (item->hwndItem == image) {
                PaintPreview(*item);
                return TRUE;
            }
            break;
        }
        case WM_CONTEXTMENU: {
            POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            RECT shown;
            GetWindowRect(image, &shown);
            if (!PtInRect(&shown, at)) break;
            ShowContextMenu(at);
            return 0;
        }
        case WM_DROPFILES: {
            const auto drop = reinterpret_cast<HDROP>(wParam);
            std::vector<std::string> paths;
            for (UINT i = 0, count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0); i < count; i++) {
                std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
                DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
                paths.push_back(Utf8OfWide(path));
            }
            DragFinish(drop);
            OpenDroppedFiles(paths);
            return 0;
        }
        case WM_TIMER:
            if (wParam != kPaneFillTimer) break;
            FillPane();
            return 0;
        case WM_CLIPBOARDUPDATE: {
            // The window's own copy (the copy button, or the pane's) is not a Jw_cad copy.
            const HWND owner = GetClipboardOwner();
            const bool copiedHere = owner && (owner == window || IsChild(window, owner));
            RunGuarded(*this, [this, copiedHere] { form.ClipboardChanged(copiedHere); });
            return 0;
        }
        case WM_CLOSE:
            // Long work is stopped first; the window closes once it has.
            if (form.Busy()) {
                form.Cancel();
                closeAsked = true;
                return 0;
            }
            DestroyWindow(window);
            return 0;
        case kRunPosted: {
            const std::unique_ptr<std::function<void()>> posted(reinterpret_cast<std::function<void()> *>(lParam));
            (*posted)();
            return 0;
        }
        case WM_ENDSESSION:
            // The session ends (logout, shutdown): Windows ends the program once this returns, without
            // destroying the window, so the scratch files go now.
            if (wParam) RunGuarded(*this, [this] { form.FormClose(); });
            return 0;
        case WM_DESTROY:
            RemoveClipboardFormatListener(window);
            RunGuarded(*this, [this] { form.FormClose(); });
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY: window = nullptr; break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The system's file dialog, for opening or for saving; the path chosen, empty when the user cancels.
// `filters`: pairs of a label and a pattern, each ended by a NUL.
std::wstring MainWindow::ChooseFile(bool saving, const std::vector<FileFilter> &filters, const char *title,
                                    const std::wstring &suggested, const wchar_t *extension) {
    const std::wstring caption = WideOf(title);
    // Pairs of a label and its patterns, each ended by a NUL.
    std::wstring list;
    for (const FileFilter &filter : filters) {
        list += WideOf(filter.label) + L'\0';
        for (std::size_t i = 0; i < filter.patterns.size(); i++)
            list += (i ? L";" : L"") + WideOf(filter.patterns[i] == "*" ? "*.*" : filter.patterns[i]);
        list += L'\0';
    }
    std::wstring path = suggested;
    path.resize(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = list.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = caption.c_str();
    dialog.lpstrDefExt = extension;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | (saving ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(saving ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return {};
    path.resize(wcslen(path.c_str()));
    return path;
}

void MainWindow::OpenFile() {
    const std::wstring path = ChooseFile(false, kOpenFilters, kOpenDialogTitle, {}, nullptr);
    if (path.empty()) return;
    RunGuarded(*this, [this, &path] { form.ImportDroppedFile(Utf8OfWide(path)); });
}

std::wstring MainWindow::ChooseFolder() {
    const std::wstring title = WideOf(DropFolderTitle(form));
    BROWSEINFOW browse{};
    browse.hwndOwner = window;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    const LPITEMIDLIST chosen = SHBrowseForFolderW(&browse);
    if (!chosen) return {};
    std::wstring path(MAX_PATH, L'\0');
    const bool named = SHGetPathFromIDListW(chosen, path.data());
    CoTaskMemFree(chosen);
    if (!named) return {};
    path.resize(wcslen(path.c_str()));
    return path;
}

void MainWindow::OpenDroppedFiles(const std::vector<std::string> &paths) {
    // One drawing (or saved clipboard) opens as before; several, or a folder of drawings, convert into a
    // folder the user picks.
    const DropAction action = ActionFor(paths);
    if (action == DropAction::Nothing) return;
    if (action == DropAction::Open) return RunGuarded(*this, [this, &paths] { form.ImportDroppedFile(paths[0]); });
    const std::wstring folder = ChooseFolder();
    if (folder.empty()) return;
    RunGuarded(*this, [this, &paths, &folder] { form.ConvertDroppedFiles(paths, Utf8OfWide(folder)); });
}

void MainWindow::SaveScriptAs() {
    const std::wstring path =
        ChooseFile(true, kSaveFilters, kSaveDialogTitle, WideOf(form.SuggestedScriptName()), L"vnt");
    if (path.empty()) return;
    RunGuarded(*this, [this, &path] { form.SaveScriptAs(Utf8OfWide(path)); });
}

void MainWindow::ExportDrawing() {
    const std::wstring path =
        ChooseFile(true, kExportFilters, kExportDialogTitle, WideOf(form.SuggestedExportName()), L"dxf");
    if (path.empty()) return;
    RunGuarded(*this, [this, &path] { form.ExportDrawingAs(Utf8OfWide(path)); });
}

ControlPlace MainWindow::CurrentPlace(const ControlPlace &place) const {
    RECT client;
    GetClientRect(window, &client);
    return PlaceIn(place, MulDiv(client.right, 96, dpi), MulDiv(client.bottom, 96, dpi));
}

void MainWindow::PaintPreview(const DRAWITEMSTRUCT &item) {
    if (!preview) {
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    BitBlt(item.hDC, 0, 0, preview->Width(), preview->Height(), preview->DeviceContext(), 0, 0, SRCCOPY);
}

void MainWindow::SetButtonEnabled(int button, bool enabled) {
    if (button >= 1 && button <= 4) EnableWindow(buttons[button - 1], enabled);
}

bool MainWindow::CheckBoxChecked(int checkBox) const {
    return checkBox >= 1 && checkBox <= 4 && SendMessageW(checkBoxes[checkBox - 1], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::ClearText() {
    StopFillingPane();
    if (GetWindowTextLengthW(pane) == 0) return;
    // Emptying a long text takes time that grows with its square in some RichEdit versions (minutes for
    // 100,000 lines under Wine); a new control in the old one's place is empty at once.
    const int id = GetDlgCtrlID(pane);
    const HWND before = GetWindow(pane, GW_HWNDPREV);
    const bool focused = GetFocus() == pane;
    DestroyWindow(pane);
    pane = CreateControl(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)),
                         CurrentPlace(kControls[static_cast<std::size_t>(id - kFirstControlId)]), id);
    SetWindowPos(pane, before ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetUpPane();
    if (tips) AddTips();
    if (focused) SetFocus(pane);
}
void MainWindow::SetText(const std::string &text) {
    StopFillingPane();
    paneText = PaneTextOf(text);
    const std::size_t end = PartEnd(paneText, 0);
    SetWindowTextW(pane, paneText.substr(0, end).c_str());
    SendMessageW(pane, EM_SETMODIFY, FALSE, 0);
    paneFilled = end;
    if (FillingPane()) SetTimer(window, kPaneFillTimer, USER_TIMER_MINIMUM, nullptr);
}

void MainWindow::FillPane() {
    if (!FillingPane()) return StopFillingPane();
    // Appending moves the selection and the view to the end: both are put back as the user left them,
    // a selection of everything grows with the text.
    CHARRANGE selected{};
    SendMessageW(pane, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selected));
    GETTEXTLENGTHEX all{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT length = SendMessageW(pane, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&all), 0);
    const bool everything = selected.cpMin == 0 && selected.cpMax >= length && length > 0;
    const bool modified = SendMessageW(pane, EM_GETMODIFY, 0, 0) != 0;
    POINT scrolled{};
    SendMessageW(pane, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
    SendMessageW(pane, WM_SETREDRAW, FALSE, 0);

    const std::size_t end = PartEnd(paneText, paneFilled);
    CHARRANGE atEnd{-1, -1};
    SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&atEnd));
    SendMessageW(pane, EM_REPLACESEL, FALSE,
                 reinterpret_cast<LPARAM>(paneText.substr(paneFilled, end - paneFilled).c_str()));
    paneFilled = end;

    if (everything) selected = {0, -1};
    SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selected));
    SendMessageW(pane, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
    SendMessageW(pane, EM_SETMODIFY, modified, 0);
    SendMessageW(pane, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(pane, nullptr, FALSE);
    if (!FillingPane()) StopFillingPane();
}

void MainWindow::StopFillingPane() {
    KillTimer(window, kPaneFillTimer);
    paneText.clear();
    paneText.shrink_to_fit();
    paneFilled = 0;
}

void MainWindow::FocusText() { SetFocus(pane); }
void MainWindow::SelectAllText() { SendMessageW(pane, EM_SETSEL, 0, -1); }
void MainWindow::CopySelectedText() {
    // The whole text goes to the clipboard straight from the pane's text: the control's own copy of a long
    // selection is slow in some RichEdit versions (minutes under Wine for 100,000 lines).
    // While the pane is still being filled, a selection of everything it holds so far stands for the whole
    // text, which the pane will hold unless the user has typed into it; then the filling is finished first.
    if (FillingPane() && SendMessageW(pane, EM_GETMODIFY, 0, 0)) {
        while (FillingPane())
            FillPane();
    }
    CHARRANGE selected{};
    SendMessageW(pane, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selected));
    GETTEXTLENGTHEX all{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT length = SendMessageW(pane, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&all), 0);
    if (selected.cpMin != 0 || selected.cpMax < length || length == 0) {
        SendMessageW(pane, WM_COPY, 0, 0);
        return;
    }
    std::wstring text;
    if (FillingPane()) {
        text = paneText;
    } else {
        text.assign(static_cast<std::size_t>(GetWindowTextLengthW(pane)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(pane, text.data(), static_cast<int>(text.size()))));
    }
    PutOnClipboard(text);
}

void MainWindow::CopyText(const std::string &text) { PutOnClipboard(PaneTextOf(text)); }

void MainWindow::PutOnClipboard(const std::wstring &text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block) return;
    std::memcpy(GlobalLock(block), text.c_str(), bytes);
    GlobalUnlock(block);
    if (!OpenClipboard(window)) {
        GlobalFree(block);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
    CloseClipboard();
}

void MainWindow::ClearScratchList() { SendMessageW(scratchList, LB_RESETCONTENT, 0, 0); }

void MainWindow::AddScratchLine(const std::string &line) {
    SendMessageW(scratchList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideOf(line).c_str()));
}

int MainWindow::ScratchLineCount() const { return static_cast<int>(SendMessageW(scratchList, LB_GETCOUNT, 0, 0)); }

std::string MainWindow::ScratchLine(int index) const {
    const LRESULT length = SendMessageW(scratchList, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return {};
    std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(scratchList, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line.data()));
    line.resize(static_cast<std::size_t>(length));
    return Utf8OfWide(line);
}

Canvas &MainWindow::NewPreviewImage() {
    nextPreview = std::make_unique<GdiCanvas>(PreviewImageWidth(), PreviewImageHeight());
    return *nextPreview;
}

std::int32_t MainWindow::PreviewImageWidth() const {
    RECT r;
    GetClientRect(image, &r);
    return r.right - r.left;
}

std::int32_t MainWindow::PreviewImageHeight() const {
    RECT r;
    GetClientRect(image, &r);
    return r.bottom - r.top;
}

void MainWindow::DrawingReplacing() {
    if (viewWindow) viewWindow->Session().LetGo();
}

void MainWindow::DrawingReplaced() {
    if (viewWindow) viewWindow->Session().DrawingReplaced();
}

void MainWindow::ShowDrawingView() {
    if (!viewWindow) viewWindow = std::make_unique<ViewWindow>(GetModuleHandleW(nullptr), form, font);
    viewWindow->Open();
}

void MainWindow::PreviewImageDrawn() {
    GdiFlush();
    if (nextPreview) preview = std::move(nextPreview);
    InvalidateRect(image, nullptr, FALSE);
    UpdateWindow(image);
}

void MainWindow::ShowScriptLocation(const std::string &path) {
    scriptLocation = WideOf(kScriptLocationLabel + path);
    if (!tips) {
        tips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, nullptr, nullptr);
        SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 600);
    }
    AddTips();
}

void MainWindow::AddTips() {
    for (const HWND control : {pane, buttons[1]}) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = scriptLocation.data();
        SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void MainWindow::ShowConversionSummary(const std::string &summary) { SetWindowTextW(note, WideOf(summary).c_str()); }

void MainWindow::ShowDocumentName(const std::string &name) {
    SetWindowTextW(window, WideOf(WindowTitleFor(name)).c_str());
}

void MainWindow::SetBusyCursor(bool busy) { SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW)); }

void MainWindow::ShowMessage(const std::string &message, MessageKind kind) {
    if (messageDisplay) return messageDisplay(message);
    const UINT icon = kind == MessageKind::Information ? MB_ICONINFORMATION
                      : kind == MessageKind::Warning   ? MB_ICONWARNING
                                                       : MB_ICONERROR;
    MessageBoxW(window, WideOf(message).c_str(), WideOf(kApplicationTitle).c_str(), MB_OK | icon);
}

void MainWindow::CloseWindow() { PostMessageW(window, WM_CLOSE, 0, 0); }

void MainWindow::Post(std::function<void()> f) {
    auto *posted = new std::function<void()>(std::move(f));
    if (!PostMessageW(window, kRunPosted, 0, reinterpret_cast<LPARAM>(posted))) delete posted;
}

void MainWindow::RunInBackground(std::function<void()> work, std::function<void()> done) {
    background.Start(
        std::move(work),
        [this, done = std::move(done)] {
            done();
            if (closeAsked) DestroyWindow(window);
        },
        [this](std::function<void()> f) { Post(std::move(f)); }, *this);
}

}  // namespace korvel
