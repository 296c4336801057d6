// The drawing view's behaviour, the same in both windows: what each pointer move, wheel notch, key and layer
// switch does to the camera, the measurement, the layer switches and the status line. A window translates
// its toolkit's events into these calls and paints what the session asks for.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "preview/drawing_view.h"
#include "preview/view_frames.h"
#include "shell/form.h"
#include "shell/view_texts.h"

namespace korvel {

// With neither mode on, dragging moves the drawing.
enum class ViewMode { Move, ZoomRectangle, Measure };

// The buttons above the drawing, in order: one that acts once when pressed, or one that holds a mode while down.
struct ViewTool {
    const char *text;
    const char *name;  // the control's name, for tests and accessibility
    std::optional<ViewMode> mode;
};
inline constexpr std::array<ViewTool, 3> kViewTools{
    {{kFitText, "FitButton", std::nullopt},
     {kZoomRectangleText, "ZoomRectangleButton", ViewMode::ZoomRectangle},
     {kMeasureText, "MeasureButton", ViewMode::Measure}}};
enum class ViewKey { Home, Escape };
// Rest: the wheel or the hand has rested, draw the exact image. Index: the first image is up, find where
// everything lies for the moves that follow.
enum class ViewTimer { Rest, Index };
enum class RowState { On, Off, Mixed };

// A line of the layer panel: a group's, followed by its layers' when it holds anything.
struct LayerRow {
    std::string text;
    bool group = false;
    std::size_t index = 0;  // the group's number, or the layer's (group * 16 + layer)
    bool holdsNothing = false;
};

class ViewControls {
public:
    virtual ~ViewControls() = default;
    // The pane is to be painted again: the surface's image, then DrawOverlay.
    virtual void Invalidate() = 0;
    virtual void SetStatus(const std::string &text) = 0;
    virtual void StartTimer(ViewTimer timer, int milliseconds) = 0;
    virtual void StopTimer(ViewTimer timer) = 0;
    // The layer panel's lines afresh, each switched on; then each line's state as it changes.
    virtual void ShowRows(const std::vector<LayerRow> &rows) = 0;
    virtual void SetRowState(std::size_t row, RowState state) = 0;
    // The mode buttons: at most one of them pressed.
    virtual void ShowMode(ViewMode mode) = 0;
    virtual void ShowShownLayersOnly(bool on) = 0;
    virtual void CloseView() = 0;
};

class ViewSession {
public:
    // A wheel notch zooms by this much; the exact image is drawn once the wheel or the hand has rested this long.
    static constexpr double kNotchZoom = 1.25;
    static constexpr int kRestMilliseconds = 200;
    // A zoom rectangle narrower or lower than this is a slip of the hand, not a rectangle.
    static constexpr double kSmallestRectangle = 3;
    // A measuring click takes a key point this near the pointer.
    static constexpr double kSnapPixels = 6;

    ViewSession(TForm1 &form, ViewControls &controls, ViewSurface &surface);

    // Shows the form's drawing as it now is, the whole of it, all its layers on.
    void TakeDrawing();
    // The window was shown: its drawing is taken afresh unless it was open already.
    void Opened();
    // The form's drawing is about to change: nothing may read the old one any more.
    void LetGo();
    // The form holds another drawing: an open view shows it.
    void DrawingReplaced();
    // The window was closed: it lets go of the drawing, and the script is again the whole drawing's.
    void Closed();

    // The pane's events, in its pixels (y down).
    void Resized(std::int32_t width, std::int32_t height);
    void Pressed(double x, double y);
    void Moved(double x, double y);
    void Released(double x, double y);
    void DoubleClicked();
    void Wheeled(double x, double y, double notches);
    void KeyPressed(ViewKey key);
    void TimerFired(ViewTimer timer);
    // The window's other controls.
    // A button of kViewTools pressed: a mode's button is now `down` or not.
    void ToolPressed(std::size_t tool, bool down);
    void Fit();
    void ModeSwitched(ViewMode mode, bool on);
    void RowSwitched(std::size_t row, bool on);
    // A line of the layer panel chosen: its group's scale gives real sizes.
    void RowChosen(std::size_t row);
    void ShownLayersOnlySwitched(bool on);

    // What lies over the image: the zoom rectangle, the measured points and the line between them, the key
    // point a click would take.
    void DrawOverlay(Canvas &canvas) const;

    bool HasDrawing() const { return view != nullptr; }
    const ViewCamera &Camera() const { return camera; }
    std::size_t ScaleGroup() const { return scaleGroup; }

private:
    void ShowCamera(const ViewCamera &next);
    void FillRows();
    RowState StateOf(const LayerRow &row) const;
    void ForgetGestures();
    void SayWhere(double x, double y);
    // The point a measuring click at (x, y) takes: a key point near it, or the pointer's own.
    PlanePoint MeasuredPoint(double x, double y);

    TForm1 &form;
    ViewControls &controls;
    ViewFrames frames;
    std::unique_ptr<DrawingView> view;
    ViewCamera camera;
    HiddenLayers hidden;
    bool open = false;
    ViewMode mode = ViewMode::Move;
    std::size_t scaleGroup = 0;
    std::vector<LayerRow> rows;
    std::optional<PlanePoint> dragFrom, rectangleTo;            // pixels
    std::optional<PlanePoint> measureFrom, measureTo, snapped;  // drawing points
};

}  // namespace korvel
