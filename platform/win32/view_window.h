// The drawing view on Windows: the session's pane, tool buttons, layer list and status line as Win32
// controls. What each message does is the session's; this window only translates and paints.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "platform/win32/gdi_view_surface.h"
#include "shell/view_session.h"

namespace korvel {

class ViewWindow final : private ViewControls {
public:
    ViewWindow(HINSTANCE instance, TForm1 &form, HFONT font);
    ~ViewWindow() override;
    ViewWindow(const ViewWindow &) = delete;
    ViewWindow &operator=(const ViewWindow &) = delete;

    HWND Handle() const { return window; }
    // Shows the window and brings it forward.
    void Open();
    ViewSession &Session() { return session; }

private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandlePane(UINT message, WPARAM wParam, LPARAM lParam);
    void Layout();
    void PaintPane();

    void Invalidate() override;
    void SetStatus(const std::string &text) override;
    void StartTimer(ViewTimer timer, int milliseconds) override;
    void StopTimer(ViewTimer timer) override;
    void ShowRows(const std::vector<LayerRow> &rows) override;
    void SetRowState(std::size_t row, RowState state) override;
    void ShowMode(ViewMode mode) override;
    void ShowShownLayersOnly(bool on) override;
    void CloseView() override;

    HWND window = nullptr, pane = nullptr, layers = nullptr, status = nullptr, shownOnly = nullptr;
    std::array<HWND, kViewTools.size()> tools{};
    HFONT font;
    GdiViewSurface surface;
    std::unique_ptr<GdiCanvas> shown;  // the image with the session's overlay, as painted
    ViewSession session;
    bool quiet = false;  // the window is setting its own controls: not the user's doing
};

}  // namespace korvel
