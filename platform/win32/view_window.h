// The drawing view on Windows: a resizable window with the drawing, zoomed with the wheel about the cursor and
// moved by dragging, a layer list with switches, and a status line with the cursor and measured distances.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "platform/win32/gdi_view_surface.h"
#include "preview/drawing_view.h"
#include "preview/view_frames.h"
#include "shell/form.h"

namespace korvel {

class ViewWindow {
public:
    ViewWindow(HINSTANCE instance, TForm1 &form, HFONT font);
    ~ViewWindow();
    ViewWindow(const ViewWindow &) = delete;
    ViewWindow &operator=(const ViewWindow &) = delete;

    HWND Handle() const { return window; }
    bool Visible() const { return IsWindowVisible(window) != FALSE; }
    // Shows the window (its drawing taken afresh if it was closed) and brings it forward.
    void Open();
    // The form's drawing is about to change: nothing may read the old one any more.
    void LetGo();
    // Shows the form's drawing as it now is, the whole of it, all its layers on.
    void TakeDrawing();

private:
    enum class Mode { Move, ZoomRectangle, Measure };

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PaneProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandlePane(UINT message, WPARAM wParam, LPARAM lParam);
    void Layout();
    void FillLayerList();
    void LayersSwitched(int item);
    void ShowCamera(const ViewCamera &next);
    void Fit();
    void PaintPane();
    void SayWhere(POINT at);
    void Say(const std::string &text);
    Mode CurrentMode() const;

    TForm1 &form;
    HWND window = nullptr, pane = nullptr, layers = nullptr, status = nullptr, shownOnly = nullptr;
    HWND fitButton = nullptr, zoomRectangleButton = nullptr, measureButton = nullptr;
    HFONT font;
    std::unique_ptr<DrawingView> view;
    GdiViewSurface surface;
    ViewFrames frames{surface};
    ViewCamera camera;
    HiddenLayers hidden;
    bool filling = false;
    std::optional<POINT> dragFrom, rectangleTo;
    std::optional<PlanePoint> measureFrom, measureTo;
    std::size_t scaleGroup = 0;
};

}  // namespace korvel
