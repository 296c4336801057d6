// The drawing view on Windows.
#include "platform/win32/view_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cmath>
#include <stdexcept>

#include "platform/win32/wide_text.h"
#include "platform/win32/window_owner.h"
#include "shell/view_texts.h"

namespace korvel {

namespace {

constexpr const wchar_t *kViewClass = L"KorvelView";
constexpr const wchar_t *kPaneClass = L"KorvelViewPane";
constexpr int kFitId = 1, kZoomRectangleId = 2, kMeasureId = 3, kLayersId = 4, kShownOnlyId = 5;
constexpr UINT_PTR kSettleTimer = 1, kIndexTimer = 2;
constexpr UINT kRestMilliseconds = 200;
constexpr double kNotchZoom = 1.25;
constexpr int kToolHeight = 28, kStatusHeight = 22, kPanelWidth = 300, kMargin = 6;
// A layer list row's value: group rows hold kGroupRow + group.
constexpr LPARAM kGroupRow = 0x10000;

}  // namespace

ViewWindow::ViewWindow(HINSTANCE instance, TForm1 &form, HFONT font) : form(form), font(font) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &ViewWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kViewClass;
    RegisterClassExW(&windowClass);
    WNDCLASSEXW paneClass{};
    paneClass.cbSize = sizeof paneClass;
    paneClass.style = CS_DBLCLKS;
    paneClass.lpfnWndProc = &ViewWindow::PaneProcedure;
    paneClass.hInstance = instance;
    paneClass.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    paneClass.lpszClassName = kPaneClass;
    RegisterClassExW(&paneClass);

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
    fitButton = child(L"BUTTON", WideOf(kFitText), BS_PUSHBUTTON, kFitId);
    zoomRectangleButton = child(L"BUTTON", WideOf(kZoomRectangleText), BS_AUTOCHECKBOX | BS_PUSHLIKE, kZoomRectangleId);
    measureButton = child(L"BUTTON", WideOf(kMeasureText), BS_AUTOCHECKBOX | BS_PUSHLIKE, kMeasureId);
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
    const bool wasOpen = Visible();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    if (!wasOpen) TakeDrawing();
}

void ViewWindow::LetGo() {
    KillTimer(pane, kSettleTimer);
    frames.SetDrawing(nullptr);
    view.reset();
    filling = true;
    ListView_DeleteAllItems(layers);
    filling = false;
    InvalidateRect(pane, nullptr, FALSE);
}

void ViewWindow::TakeDrawing() {
    LetGo();
    view = std::make_unique<DrawingView>(form.Store());
    frames.SetDrawing(view.get());
    hidden.reset();
    measureFrom.reset();
    measureTo.reset();
    FillLayerList();
    Fit();
    Say(kViewHelpText);
    // Where everything lies is found once the first image is up, for the moves that follow.
    SetTimer(pane, kIndexTimer, 0, nullptr);
}

void ViewWindow::Layout() {
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    const int paneWidth = std::max(100, width - kPanelWidth - 3 * kMargin);
    MoveWindow(fitButton, kMargin, kMargin, 70, kToolHeight - 4, TRUE);
    MoveWindow(zoomRectangleButton, kMargin + 76, kMargin, 90, kToolHeight - 4, TRUE);
    MoveWindow(measureButton, kMargin + 172, kMargin, 100, kToolHeight - 4, TRUE);
    MoveWindow(pane, kMargin, kMargin + kToolHeight, paneWidth,
               std::max(100, height - kToolHeight - kStatusHeight - 3 * kMargin), TRUE);
    MoveWindow(status, kMargin, height - kStatusHeight - kMargin, paneWidth, kStatusHeight, TRUE);
    MoveWindow(layers, paneWidth + 2 * kMargin, kMargin, kPanelWidth, std::max(100, height - 3 * kMargin - 24), TRUE);
    MoveWindow(shownOnly, paneWidth + 2 * kMargin, height - kMargin - 22, kPanelWidth, 22, TRUE);
}

void ViewWindow::FillLayerList() {
    filling = true;
    ListView_DeleteAllItems(layers);
    const DrawingStore &store = form.Store();
    const LayerCounts &counts = view->Counts();
    int row = 0;
    const auto add = [&](const std::string &text, LPARAM value) {
        const std::wstring wide = WideOf(text);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = row++;
        item.pszText = const_cast<wchar_t *>(wide.c_str());
        item.lParam = value;
        const int at = ListView_InsertItem(layers, &item);
        ListView_SetCheckState(layers, at, TRUE);
    };
    for (std::size_t group = 0; group < kLayerGroups; group++) {
        add(GroupLine(store, group, counts), kGroupRow + static_cast<LPARAM>(group));
        // A group that holds something lists its 16 layers under it; an empty one is its line alone (the panel
        // would otherwise be 272 lines long).
        const bool holdsSomething = GroupCount(counts, group) > 0;
        for (std::size_t layer = 0; holdsSomething && layer < kLayersPerGroup; layer++) {
            const std::size_t index = group * kLayersPerGroup + layer;
            add("　　" + LayerLine(store, index, counts), static_cast<LPARAM>(index));
        }
    }
    filling = false;
}

void ViewWindow::LayersSwitched(int changed) {
    if (filling || !view) return;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = changed;
    ListView_GetItem(layers, &item);
    const bool on = ListView_GetCheckState(layers, changed) != FALSE;
    const int rows = ListView_GetItemCount(layers);
    if (item.lParam >= kGroupRow) {
        // A group's switch is each of its layers' switch.
        const std::size_t group = static_cast<std::size_t>(item.lParam - kGroupRow);
        scaleGroup = group;
        for (std::size_t layer = 0; layer < kLayersPerGroup; layer++)
            hidden[group * kLayersPerGroup + layer] = !on;
        filling = true;
        for (int row = changed + 1; row < rows; row++) {
            LVITEMW next{};
            next.mask = LVIF_PARAM;
            next.iItem = row;
            ListView_GetItem(layers, &next);
            if (next.lParam >= kGroupRow) break;
            ListView_SetCheckState(layers, row, on);
        }
        filling = false;
    } else {
        hidden[static_cast<std::size_t>(item.lParam)] = !on;
        scaleGroup = static_cast<std::size_t>(item.lParam) / kLayersPerGroup;
    }
    form.SetHiddenLayers(hidden);
    ShowCamera(camera);
}

void ViewWindow::ShowCamera(const ViewCamera &next) {
    camera = next;
    if (camera.width <= 0 || camera.height <= 0) return;
    frames.Show(camera, hidden);
    if (!frames.Exact()) SetTimer(pane, kSettleTimer, kRestMilliseconds, nullptr);
    InvalidateRect(pane, nullptr, FALSE);
}

void ViewWindow::Fit() {
    RECT client;
    GetClientRect(pane, &client);
    if (view) ShowCamera(view->Fit(client.right, client.bottom));
    else ShowCamera(DrawingView::Resize(camera, client.right, client.bottom));
}

ViewWindow::Mode ViewWindow::CurrentMode() const {
    if (Button_GetCheck(zoomRectangleButton) == BST_CHECKED) return Mode::ZoomRectangle;
    if (Button_GetCheck(measureButton) == BST_CHECKED) return Mode::Measure;
    return Mode::Move;
}

void ViewWindow::Say(const std::string &text) { SetWindowTextW(status, WideOf(text).c_str()); }

void ViewWindow::SayWhere(POINT at) {
    if (!view) return;
    std::string text = CursorText(form.Store(), DrawingPointAt(camera, at.x, at.y), scaleGroup);
    const std::string leftOut = LeftOutText(frames.LeftOut());
    if (!leftOut.empty()) text += "　" + leftOut;
    Say(text);
}

void ViewWindow::PaintPane() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(pane, &paint);
    RECT client;
    GetClientRect(pane, &client);
    const GdiCanvas *frame = surface.Frame();
    if (view && frame) {
        BitBlt(dc, 0, 0, frame->Width(), frame->Height(), frame->DeviceContext(), 0, 0, SRCCOPY);
    } else {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const HGDIOBJ old = SelectObject(dc, font);
        DrawTextW(dc, WideOf(kNoDrawingText).c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
        SelectObject(dc, old);
    }
    const auto pixelOf = [&](PlanePoint p) {
        const PixelPoint at = ViewPixel(ViewOf(camera), p);
        return POINT{at.x, at.y};
    };
    const HPEN pen = CreatePen(PS_SOLID, 1, RGB(230, 0, 120));
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    if (view && dragFrom && rectangleTo)
        Rectangle(dc, std::min(dragFrom->x, rectangleTo->x), std::min(dragFrom->y, rectangleTo->y),
                  std::max(dragFrom->x, rectangleTo->x), std::max(dragFrom->y, rectangleTo->y));
    if (view && measureFrom) {
        const POINT a = pixelOf(*measureFrom);
        Ellipse(dc, a.x - 3, a.y - 3, a.x + 4, a.y + 4);
        if (measureTo) {
            const POINT b = pixelOf(*measureTo);
            Ellipse(dc, b.x - 3, b.y - 3, b.x + 4, b.y + 4);
            MoveToEx(dc, a.x, a.y, nullptr);
            LineTo(dc, b.x, b.y);
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    EndPaint(pane, &paint);
}

LRESULT CALLBACK ViewWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto *self = WindowOwner<ViewWindow>(hwnd, message, lParam);
    if (!self || !self->window) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT CALLBACK ViewWindow::PaneProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto *self = WindowOwner<ViewWindow>(hwnd, message, lParam);
    if (!self || !self->pane) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->HandlePane(message, wParam, lParam);
}

LRESULT ViewWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: Layout(); return 0;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kFitId: Fit(); return 0;
                case kZoomRectangleId:
                    if (Button_GetCheck(zoomRectangleButton) == BST_CHECKED)
                        Button_SetCheck(measureButton, BST_UNCHECKED);
                    measureFrom.reset();
                    measureTo.reset();
                    InvalidateRect(pane, nullptr, FALSE);
                    return 0;
                case kMeasureId:
                    if (Button_GetCheck(measureButton) == BST_CHECKED)
                        Button_SetCheck(zoomRectangleButton, BST_UNCHECKED);
                    measureFrom.reset();
                    measureTo.reset();
                    InvalidateRect(pane, nullptr, FALSE);
                    return 0;
                case kShownOnlyId: {
                    TForm1::MoreOptions options = form.GetMoreOptions();
                    options.shownLayersOnly = Button_GetCheck(shownOnly) == BST_CHECKED;
                    form.SetMoreOptions(options);
                    return 0;
                }
                default: break;
            }
            break;
        case WM_NOTIFY: {
            const auto *header = reinterpret_cast<const NMHDR *>(lParam);
            if (header->idFrom == kLayersId && header->code == LVN_ITEMCHANGED) {
                const auto *change = reinterpret_cast<const NMLISTVIEW *>(lParam);
                if ((change->uChanged & LVIF_STATE) &&
                    ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) && change->iItem >= 0)
                    LayersSwitched(change->iItem);
                return 0;
            }
            break;
        }
        case WM_MOUSEWHEEL: return HandlePane(message, wParam, lParam);
        case WM_CLOSE: {
            // Closed, it lets go of the drawing until opened again, and the script is again the whole drawing's.
            ShowWindow(window, SW_HIDE);
            LetGo();
            Button_SetCheck(shownOnly, BST_UNCHECKED);
            TForm1::MoreOptions options = form.GetMoreOptions();
            options.shownLayersOnly = false;
            form.SetMoreOptions(options);
            form.SetHiddenLayers({});
            return 0;
        }
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
        case WM_SIZE: {
            const bool first = camera.width <= 0 || camera.height <= 0;
            if (first && view) Fit();
            else ShowCamera(DrawingView::Resize(camera, LOWORD(lParam), HIWORD(lParam)));
            return 0;
        }
        case WM_TIMER:
            KillTimer(pane, wParam);
            if (wParam == kIndexTimer) {
                if (view) view->PrepareIndex();
                return 0;
            }
            frames.Settle();
            InvalidateRect(pane, nullptr, FALSE);
            return 0;
        case WM_MOUSEWHEEL: {
            if (!view) return 0;
            ScreenToClient(pane, &at);
            const double notches = GET_WHEEL_DELTA_WPARAM(wParam) / double{WHEEL_DELTA};
            ShowCamera(view->Zoom(camera, at.x, at.y, std::pow(kNotchZoom, notches)));
            SayWhere(at);
            return 0;
        }
        case WM_LBUTTONDOWN:
            SetFocus(pane);
            if (!view) return 0;
            if (CurrentMode() == Mode::Measure) {
                const PlanePoint p = DrawingPointAt(camera, at.x, at.y);
                if (!measureFrom || measureTo) {
                    measureFrom = p;
                    measureTo.reset();
                } else {
                    measureTo = p;
                }
                Say(MeasureText(form.Store(), *measureFrom, measureTo ? &*measureTo : nullptr, scaleGroup));
                InvalidateRect(pane, nullptr, FALSE);
                return 0;
            }
            dragFrom = at;
            SetCapture(pane);
            return 0;
        case WM_MOUSEMOVE:
            if (view && dragFrom) {
                if (CurrentMode() == Mode::ZoomRectangle) {
                    rectangleTo = at;
                    InvalidateRect(pane, nullptr, FALSE);
                } else if (at.x != dragFrom->x || at.y != dragFrom->y) {
                    ShowCamera(DrawingView::Pan(camera, at.x - dragFrom->x, at.y - dragFrom->y));
                    dragFrom = at;
                }
            }
            if (CurrentMode() != Mode::Measure || !measureFrom || measureTo) SayWhere(at);
            return 0;
        case WM_LBUTTONUP:
            if (view && dragFrom && rectangleTo && CurrentMode() == Mode::ZoomRectangle &&
                std::abs(dragFrom->x - rectangleTo->x) >= 3 && std::abs(dragFrom->y - rectangleTo->y) >= 3)
                ShowCamera(view->ZoomToRectangle(camera, {double(dragFrom->x), double(dragFrom->y)},
                                                 {double(rectangleTo->x), double(rectangleTo->y)}));
            dragFrom.reset();
            rectangleTo.reset();
            ReleaseCapture();
            InvalidateRect(pane, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDBLCLK: Fit(); return 0;
        case WM_NCDESTROY: pane = nullptr; break;
        default: break;
    }
    return DefWindowProcW(pane, message, wParam, lParam);
}

}  // namespace korvel
