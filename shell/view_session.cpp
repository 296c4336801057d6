// The drawing view's behaviour, the same in both windows.
#include "shell/view_session.h"

#include <cmath>

#include "shell/view_texts.h"

namespace korvel {

namespace {

constexpr Rgb kMeasureColour{230, 0, 120}, kSnapColour{0, 150, 0}, kRectangleColour{0, 0, 255};

// The layer group a panel line belongs to: its own, or its layer's.
std::size_t GroupOf(const LayerRow &row) { return row.group ? row.index : row.index / kLayersPerGroup; }

void Square(Canvas &canvas, PixelPoint at, std::int32_t half) {
    canvas.DrawRect(at.x - half, at.y - half, at.x + half + 1, at.y + half + 1);
}

}  // namespace

ViewSession::ViewSession(TForm1 &form, ViewControls &controls, ViewSurface &surface)
    : form(form), controls(controls), frames(surface) {}

void ViewSession::LetGo() {
    controls.StopTimer(ViewTimer::Rest);
    frames.SetDrawing(nullptr);
    view.reset();
    rows.clear();
    controls.ShowRows(rows);
    ForgetGestures();
    controls.Invalidate();
}

void ViewSession::Opened() {
    if (open) return;
    open = true;
    TakeDrawing();
}

void ViewSession::DrawingReplaced() {
    if (open) TakeDrawing();
}

void ViewSession::TakeDrawing() {
    LetGo();
    view = std::make_unique<DrawingView>(form.Store());
    frames.SetDrawing(view.get());
    hidden.reset();
    scaleGroup = 0;
    FillRows();
    Fit();
    controls.SetStatus(kViewHelpText);
    controls.StartTimer(ViewTimer::Index, 0);
}

void ViewSession::Closed() {
    open = false;
    LetGo();
    hidden.reset();
    controls.ShowShownLayersOnly(false);
    ShownLayersOnlySwitched(false);
    form.SetHiddenLayers({});
}

void ViewSession::ForgetGestures() {
    dragFrom.reset();
    rectangleTo.reset();
    measureFrom.reset();
    measureTo.reset();
    snapped.reset();
}

void ViewSession::FillRows() {
    rows.clear();
    const DrawingStore &store = form.Store();
    const LayerCounts &counts = view->Counts();
    for (std::size_t group = 0; group < kLayerGroups; group++) {
        const bool holdsSomething = GroupCount(counts, group) > 0;
        rows.push_back({GroupLine(store, group, counts), true, group, !holdsSomething});
        // An empty group is its line alone: the panel would otherwise be 272 lines long.
        for (std::size_t layer = 0; holdsSomething && layer < kLayersPerGroup; layer++) {
            const std::size_t index = group * kLayersPerGroup + layer;
            rows.push_back({LayerLine(store, index, counts), false, index, counts[index] == 0});
        }
    }
    controls.ShowRows(rows);
}

RowState ViewSession::StateOf(const LayerRow &row) const {
    if (!row.group) return hidden[row.index] ? RowState::Off : RowState::On;
    std::size_t off = 0;
    for (std::size_t layer = 0; layer < kLayersPerGroup; layer++)
        off += hidden[row.index * kLayersPerGroup + layer];
    return off == 0 ? RowState::On : off == kLayersPerGroup ? RowState::Off : RowState::Mixed;
}

void ViewSession::RowSwitched(std::size_t row, bool on) {
    if (!view || row >= rows.size()) return;
    const LayerRow &switched = rows[row];
    if (switched.group) {
        for (std::size_t layer = 0; layer < kLayersPerGroup; layer++)
            hidden[switched.index * kLayersPerGroup + layer] = !on;
    } else {
        hidden[switched.index] = !on;
    }
    RowChosen(row);
    for (std::size_t i = 0; i < rows.size(); i++)
        if (GroupOf(rows[i]) == scaleGroup) controls.SetRowState(i, StateOf(rows[i]));
    form.SetHiddenLayers(hidden);
    ShowCamera(camera);
}

void ViewSession::RowChosen(std::size_t row) {
    if (row >= rows.size()) return;
    scaleGroup = GroupOf(rows[row]);
}

void ViewSession::ShownLayersOnlySwitched(bool on) {
    TForm1::MoreOptions options = form.GetMoreOptions();
    options.shownLayersOnly = on;
    form.SetMoreOptions(options);
}

void ViewSession::ModeSwitched(ViewMode next, bool on) {
    if (on) mode = next;
    else if (mode == next) mode = ViewMode::Move;
    ForgetGestures();
    controls.ShowMode(mode);
    controls.Invalidate();
}

void ViewSession::ToolPressed(std::size_t tool, bool down) {
    if (tool >= kViewTools.size()) return;
    if (const std::optional<ViewMode> toolMode = kViewTools[tool].mode) ModeSwitched(*toolMode, down);
    else Fit();
}

void ViewSession::Fit() { ShowCamera(view ? view->Fit(camera.width, camera.height) : camera); }

void ViewSession::ShowCamera(const ViewCamera &next) {
    camera = next;
    if (camera.width <= 0 || camera.height <= 0) return;
    frames.Show(camera, hidden);
    if (!frames.Exact()) controls.StartTimer(ViewTimer::Rest, kRestMilliseconds);
    controls.Invalidate();
}

void ViewSession::Resized(std::int32_t width, std::int32_t height) {
    const bool first = camera.width <= 0 || camera.height <= 0;
    const ViewCamera resized = DrawingView::Resize(camera, width, height);
    if (first && view) {
        camera = resized;
        return Fit();
    }
    ShowCamera(resized);
}

void ViewSession::TimerFired(ViewTimer timer) {
    controls.StopTimer(timer);
    if (timer == ViewTimer::Index) {
        if (view) view->PrepareIndex();
        return;
    }
    frames.Settle();
    controls.Invalidate();
}

void ViewSession::Wheeled(double x, double y, double notches) {
    if (!view) return;
    ShowCamera(view->Zoom(camera, x, y, std::pow(kNotchZoom, notches)));
    SayWhere(x, y);
}

PlanePoint ViewSession::MeasuredPoint(double x, double y) {
    snapped = view->SnapNear(camera, x, y, kSnapPixels, hidden);
    return snapped ? *snapped : DrawingPointAt(camera, x, y);
}

void ViewSession::Pressed(double x, double y) {
    if (!view) return;
    if (mode != ViewMode::Measure) {
        dragFrom = PlanePoint{x, y};
        return;
    }
    const PlanePoint p = MeasuredPoint(x, y);
    if (!measureFrom || measureTo) {
        measureFrom = p;
        measureTo.reset();
    } else {
        measureTo = p;
    }
    controls.SetStatus(MeasureText(form.Store(), *measureFrom, measureTo ? &*measureTo : nullptr, scaleGroup));
    controls.Invalidate();
}

void ViewSession::Moved(double x, double y) {
    if (!view) return;
    if (dragFrom && mode == ViewMode::ZoomRectangle) {
        rectangleTo = PlanePoint{x, y};
        controls.Invalidate();
    } else if (dragFrom) {
        // Whole pixels, so that the last image moves rather than being drawn afresh.
        const double dx = std::round(x - dragFrom->x), dy = std::round(y - dragFrom->y);
        if (dx != 0 || dy != 0) {
            ShowCamera(DrawingView::Pan(camera, dx, dy));
            dragFrom->x += dx, dragFrom->y += dy;
        }
    }
    if (mode == ViewMode::Measure) {
        const bool had = snapped.has_value();
        MeasuredPoint(x, y);
        if (had || snapped) controls.Invalidate();
        // A finished measurement, or the prompt for its second point, stays until the next click or Escape.
        if (measureFrom) return;
    }
    SayWhere(x, y);
}

void ViewSession::Released(double, double) {
    if (view && dragFrom && rectangleTo && mode == ViewMode::ZoomRectangle) {
        const PlanePoint a = *dragFrom, b = *rectangleTo;
        if (std::fabs(a.x - b.x) >= kSmallestRectangle && std::fabs(a.y - b.y) >= kSmallestRectangle)
            ShowCamera(view->ZoomToRectangle(camera, a, b));
    }
    dragFrom.reset();
    rectangleTo.reset();
    controls.Invalidate();
}

void ViewSession::DoubleClicked() { Fit(); }

void ViewSession::KeyPressed(ViewKey key) {
    if (key == ViewKey::Home) return Fit();
    // Escape undoes what is under way (a measurement, a rectangle being drawn); with nothing, it closes.
    if (!measureFrom && !dragFrom) return controls.CloseView();
    ForgetGestures();
    controls.SetStatus(kViewHelpText);
    controls.Invalidate();
}

void ViewSession::SayWhere(double x, double y) {
    std::string text = CursorText(form.Store(), DrawingPointAt(camera, x, y), scaleGroup);
    const std::string leftOut = LeftOutText(frames.LeftOut());
    if (!leftOut.empty()) text += "　" + leftOut;
    controls.SetStatus(text);
}

void ViewSession::DrawOverlay(Canvas &canvas) const {
    if (!view) return;
    canvas.SetBrush({{255, 255, 255}, BrushKind::Hollow});
    if (dragFrom && rectangleTo) {
        canvas.SetPen({kRectangleColour, PenStyle::Dash, 0});
        const auto at = [](double v) { return static_cast<std::int32_t>(std::lround(v)); };
        canvas.DrawRect(at(std::fmin(dragFrom->x, rectangleTo->x)), at(std::fmin(dragFrom->y, rectangleTo->y)),
                        at(std::fmax(dragFrom->x, rectangleTo->x)) + 1, at(std::fmax(dragFrom->y, rectangleTo->y)) + 1);
    }
    const PreviewView shown = ViewOf(camera);
    if (measureFrom) {
        canvas.SetPen({kMeasureColour, PenStyle::Solid, 0});
        const PixelPoint a = ViewPixel(shown, *measureFrom);
        Square(canvas, a, 3);
        if (measureTo) {
            const PixelPoint b = ViewPixel(shown, *measureTo);
            Square(canvas, b, 3);
            canvas.StrokeLine(a, b);
        }
    }
    if (snapped && mode == ViewMode::Measure) {
        canvas.SetPen({kSnapColour, PenStyle::Solid, 2});
        Square(canvas, ViewPixel(shown, *snapped), 5);
    }
}

}  // namespace korvel
