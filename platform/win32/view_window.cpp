// The drawing view on Windows.
#include "platform/win32/view_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <stdexcept>

#include "platform/win32/wide_text.h"
#include "platform/win32/window_owner.h"
#include "shell/view_texts.h"

namespace korvel {

namespace {

constexpr const wchar_t *kViewClass = L"KorvelView";
constexpr const wchar_t *kPaneClass = L"KorvelViewPane";
// The tools' numbers follow the first, in kViewTools' order.
constexpr int kLayersId = 1, kShownOnlyId = 2, kFirstToolId = 3;
constexpr int kToolWidth = 96, kToolHeight = 28, kStatusHeight = 22, kPanelWidth = 300, kMargin = 6;
// A timer's number is its ViewTimer plus this (0 is no timer).
constexpr UINT_PTR kFirstTimer = 1;

}  // namespace

ViewWindow::ViewWindow(HINSTANCE instance, TForm1 &form, HFONT font) : font(font), session(form, *this, surface) {
    RegisterWindowClass(instance, kViewClass, &OwnedProcedure<ViewWindow, &ViewWindow::window, &ViewWindow::Handle>,
                        IDC_ARROW, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RegisterWindowClass(instance, kPaneClass, &OwnedProcedure<ViewWindow, &ViewWindow::pane, &ViewWindow::HandlePane>,
                        IDC_CROSS, CS_DBLCLKS, nullptr);
    window = CreateWindowExW(0, kViewClass, (WideOf(kViewWindowCaption) + L" - Korvel").c_str(),
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, 1100, 720, nullptr,
                             nullptr, instance, this);
    if (!window) throw std::runtime_error("図面表示のウィンドウを作成できません");
    const auto child = [&](const wchar_t *kind, const std::wstring &text, DWORD style, int id) {
        const HWND control = CreateWindowExW(0, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, window,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        return control;
    };
    for (std::size_t i = 0; i < kViewTools.size(); i++)
        tools[i] = child(L"BUTTON", WideOf(kViewTools[i].text),
                         kViewTools[i].mode ? BS_AUTOCHECKBOX | BS_PUSHLIKE : BS_PUSHBUTTON,
                         kFirstToolId + static_cast<int>(i));
    pane = CreateWindowExW(WS_EX_CLIENTEDGE, kPaneClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, window, nullptr,
                           instance, this);
    status = child(L"STATIC", WideOf(kViewHelpText), SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0);
    layers = child(WC_LISTVIEWW, L"", LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER,
                   kLayersId);
    ListView_SetExtendedListViewStyle(layers, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = kPanelWidth - 30;
    ListView_InsertColumn(layers, 0, &column);
    shownOnly = child(L"BUTTON", WideOf(kShownLayersOnlyText), BS_AUTOCHECKBOX, kShownOnlyId);
    Layout();
}

ViewWindow::~ViewWindow() {
    if (window) DestroyWindow(window);
}

void ViewWindow::Open() {
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    session.Opened();
}

void ViewWindow::Layout() {
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    const int paneWidth = std::max(100, width - kPanelWidth - 3 * kMargin);
    for (std::size_t i = 0; i < tools.size(); i++)
        MoveWindow(tools[i], kMargin + static_cast<int>(i) * (kToolWidth + kMargin), kMargin, kToolWidth,
                   kToolHeight - 4, TRUE);
    MoveWindow(pane, kMargin, kMargin + kToolHeight, paneWidth,
               std::max(100, height - kToolHeight - kStatusHeight - 3 * kMargin), TRUE);
    MoveWindow(status, kMargin, height - kStatusHeight - kMargin, paneWidth, kStatusHeight, TRUE);
    MoveWindow(layers, paneWidth + 2 * kMargin, kMargin, kPanelWidth, std::max(100, height - 3 * kMargin - 24), TRUE);
    MoveWindow(shownOnly, paneWidth + 2 * kMargin, height - kMargin - 22, kPanelWidth, 22, TRUE);
}

void ViewWindow::Invalidate() { InvalidateRect(pane, nullptr, FALSE); }
void ViewWindow::SetStatus(const std::string &text) { SetWindowTextW(status, WideOf(text).c_str()); }

void ViewWindow::StartTimer(ViewTimer timer, int milliseconds) {
    SetTimer(pane, kFirstTimer + static_cast<UINT_PTR>(timer), static_cast<UINT>(milliseconds), nullptr);
}

void ViewWindow::StopTimer(ViewTimer timer) { KillTimer(pane, kFirstTimer + static_cast<UINT_PTR>(timer)); }

void ViewWindow::ShowRows(const std::vector<LayerRow> &rows) {
    quiet = true;
    ListView_DeleteAllItems(layers);
    for (std::size_t i = 0; i < rows.size(); i++) {
        // A layer's line indented under its group's.
        const std::wstring wide = WideOf(rows[i].group ? rows[i].text : "　　" + rows[i].text);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t *>(wide.c_str());
        const int at = ListView_InsertItem(layers, &item);
        ListView_SetCheckState(layers, at, TRUE);
    }
    quiet = false;
}

void ViewWindow::SetRowState(std::size_t row, RowState state) {
    quiet = true;
    // The list's switches have two states: a group partly on shows as on.
    ListView_SetCheckState(layers, static_cast<int>(row), state != RowState::Off);
    quiet = false;
}

void ViewWindow::ShowMode(ViewMode mode) {
    for (std::size_t i = 0; i < tools.size(); i++)
        Button_SetCheck(tools[i], kViewTools[i].mode == mode ? BST_CHECKED : BST_UNCHECKED);
}

void ViewWindow::ShowShownLayersOnly(bool on) { Button_SetCheck(shownOnly, on ? BST_CHECKED : BST_UNCHECKED); }

void ViewWindow::CloseView() { PostMessageW(window, WM_CLOSE, 0, 0); }

void ViewWindow::PaintPane() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(pane, &paint);
    RECT client;
    GetClientRect(pane, &client);
    const GdiCanvas *frame = surface.Frame();
    if (session.HasDrawing() && frame) {
        if (!shown || shown->Width() != frame->Width() || shown->Height() != frame->Height())
            shown = std::make_unique<GdiCanvas>(frame->Width(), frame->Height());
        BitBlt(shown->DeviceContext(), 0, 0, frame->Width(), frame->Height(), frame->DeviceContext(), 0, 0, SRCCOPY);
        session.DrawOverlay(*shown);
        BitBlt(dc, 0, 0, shown->Width(), shown->Height(), shown->DeviceContext(), 0, 0, SRCCOPY);
    } else {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const HGDIOBJ old = SelectObject(dc, font);
        DrawTextW(dc, WideOf(kNoDrawingText).c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
        SelectObject(dc, old);
    }
    EndPaint(pane, &paint);
}

LRESULT ViewWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: Layout(); return 0;
        case WM_COMMAND: {
            // Buttons tell only of clicks, never of the window's own Button_SetCheck.
            if (HIWORD(wParam) != BN_CLICKED) break;
            const HWND control = reinterpret_cast<HWND>(lParam);
            const bool checked = Button_GetCheck(control) == BST_CHECKED;
            const auto id = static_cast<std::size_t>(LOWORD(wParam));
            if (id == kShownOnlyId) session.ShownLayersOnlySwitched(checked);
            else if (id >= kFirstToolId) session.ToolPressed(id - kFirstToolId, checked);
            else break;
            return 0;
        }
        case WM_NOTIFY: {
            const auto *header = reinterpret_cast<const NMHDR *>(lParam);
            if (header->idFrom != kLayersId || header->code != LVN_ITEMCHANGED) break;
            const auto *change = reinterpret_cast<const NMLISTVIEW *>(lParam);
            if (quiet || change->iItem < 0 || !(change->uChanged & LVIF_STATE)) return 0;
            const auto row = static_cast<std::size_t>(change->iItem);
            if ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK)
                session.RowSwitched(row, ListView_GetCheckState(layers, change->iItem) != FALSE);
            else if (change->uNewState & LVIS_SELECTED) session.RowChosen(row);
            return 0;
        }
        case WM_MOUSEWHEEL: return HandlePane(message, wParam, lParam);
        case WM_CLOSE:
            // Closed, it hides until opened again.
            ShowWindow(window, SW_HIDE);
            session.Closed();
            return 0;
        case WM_NCDESTROY: window = nullptr; break;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT ViewWindow::HandlePane(UINT message, WPARAM wParam, LPARAM lParam) {
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_PAINT: PaintPane(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_SIZE: session.Resized(LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_TIMER: session.TimerFired(static_cast<ViewTimer>(wParam - kFirstTimer)); return 0;
        case WM_MOUSEWHEEL:
            ScreenToClient(pane, &at);
            session.Wheeled(at.x, at.y, GET_WHEEL_DELTA_WPARAM(wParam) / double{WHEEL_DELTA});
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(pane);
            SetCapture(pane);
            session.Pressed(at.x, at.y);
            return 0;
        case WM_MOUSEMOVE: session.Moved(at.x, at.y); return 0;
        case WM_LBUTTONUP:
            ReleaseCapture();
            session.Released(at.x, at.y);
            return 0;
        case WM_LBUTTONDBLCLK: session.DoubleClicked(); return 0;
        case WM_KEYDOWN:
            if (wParam == VK_HOME) session.KeyPressed(ViewKey::Home);
            else if (wParam == VK_ESCAPE) session.KeyPressed(ViewKey::Escape);
            else break;
            return 0;
        case WM_NCDESTROY: pane = nullptr; break;
        default: break;
    }
    return DefWindowProcW(pane, message, wParam, lParam);
}

}  // namespace korvel
