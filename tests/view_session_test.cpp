// The drawing view's behaviour driven headless, as both windows drive it: measuring with snaps, the layer
// panel's switches, the gestures and keys, and what it tells the window.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "preview/recording_canvas.h"
#include "shell/view_session.h"
#include "shell/view_texts.h"
#include "support/realdata.h"
#include "support/shell_fakes.h"
#include "support/stream_writer.h"

namespace korvel {
namespace {

namespace fs = std::filesystem;

class NoSurface final : public ViewSurface {
public:
    int wholes = 0;
    void DrawWhole(std::int32_t, std::int32_t, const std::function<void(Canvas &)> &) override { wholes++; }
    void Scroll(std::int32_t, std::int32_t) override {}
    void DrawPart(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                  const std::function<void(Canvas &)> &) override {}
    void Magnify(double, double, double) override {}
};

class FakeViewControls final : public ViewControls {
public:
    std::string status;
    std::vector<LayerRow> rows;
    std::vector<RowState> states;
    std::set<ViewTimer> timers;
    ViewMode mode = ViewMode::Move;
    bool shownOnly = true, closed = false;
    int invalidated = 0;

    void Invalidate() override { invalidated++; }
    void SetStatus(const std::string &text) override { status = text; }
    void StartTimer(ViewTimer timer, int) override { timers.insert(timer); }
    void StopTimer(ViewTimer timer) override { timers.erase(timer); }
    void ShowRows(const std::vector<LayerRow> &shown) override {
        rows = shown;
        states.assign(rows.size(), RowState::On);
    }
    void SetRowState(std::size_t row, RowState state) override { states.at(row) = state; }
    void ShowMode(ViewMode shown) override { mode = shown; }
    void ShowShownLayersOnly(bool on) override { shownOnly = on; }
    void CloseView() override { closed = true; }
};

class ViewSessionTest : public testing::Test {
protected:
    // The form opens the drawing, as a dropped file.
    void Import(const DrawingStore &store) {
        const fs::path path = fs::temp_directory_path() / ("korvel-view-session-" + std::to_string(::getpid()));
        test::WriteFileBytes(path, test::WriteStream(store));
        form.ImportDroppedFile(path.string());
        fs::remove(path);
    }
    void Open(const DrawingStore &store) {
        Import(store);
        session.Resized(400, 300);
        session.Opened();
    }
    PixelPoint PixelOf(PlanePoint p) const { return ViewPixel(ViewOf(session.Camera()), p); }

    test::FakeClipboard clipboard;
    test::FakeControls formControls;
    TForm1 form{formControls, clipboard};
    FakeViewControls controls;
    NoSurface surface;
    ViewSession session{form, controls, surface};
};

DrawingStore TwoLines() {
    DrawingStore store;
    store.layerGroupScales.assign(16, 1.0);
    store.layerGroupScales[2] = 50;
    test::Add(store, TclpEntSen{{0, 1, 2, 0, 0, 0}, 0, 0, 100, 0});
    test::Add(store, TclpEntSen{{0, 1, 2, 0, 5, 2}, 0, 40, 100, 40});  // layer 2-5
    return store;
}

// Clicks a few pixels off a line's end and middle take the points themselves; the result, in real size at the
// chosen group's scale, stays while the pointer moves, until Escape; a second Escape closes the view.
TEST_F(ViewSessionTest, MeasuringSnapsToKeyPointsAndKeepsItsResult) {
    Open(TwoLines());
    EXPECT_EQ(controls.status, kViewHelpText);
    EXPECT_TRUE(controls.timers.count(ViewTimer::Index)) << "the index is found once the first image is up";
    session.RowChosen(19);  // layer 2-0's row (rows: group 0, its 16 layers, group 1, group 2, ...)
    session.ModeSwitched(ViewMode::Measure, true);
    ASSERT_EQ(controls.mode, ViewMode::Measure);

    const PixelPoint end = PixelOf({100, 40}), middle = PixelOf({50, 0});
    session.Moved(end.x - 3, end.y + 2);
    RecordingCanvas overlay;
    session.DrawOverlay(overlay);
    ASSERT_EQ(overlay.ops.size(), 1u) << "the snap marker shows before the click";
    session.Pressed(end.x - 3, end.y + 2);
    EXPECT_EQ(controls.status, "距離: 2点目をクリックしてください");
    session.Pressed(middle.x + 2, middle.y - 3);
    const std::string result = "距離 64.031（実寸 3201.562 mm・縮尺 1/50）";
    EXPECT_EQ(controls.status, result);
    session.Moved(10, 10);
    EXPECT_EQ(controls.status, result) << "moving the mouse lost the result";

    // Far from any key point, a click takes the pointer's own point.
    session.Pressed(200, 150);
    session.Pressed(200, 150);
    EXPECT_EQ(controls.status.rfind("距離 0（", 0), 0u) << controls.status;

    session.KeyPressed(ViewKey::Escape);
    EXPECT_EQ(controls.status, kViewHelpText);
    EXPECT_FALSE(controls.closed);
    session.KeyPressed(ViewKey::Escape);
    EXPECT_TRUE(controls.closed);
}

// A group's switch is each of its layers'; a group partly on shows so; the form learns every switch, and the
// view's closing gives the script back its whole drawing.
TEST_F(ViewSessionTest, LayerRowsSwitchGroupsAndLayersAndTellTheForm) {
    Open(TwoLines());
    // Every group's line, and the layers of the two groups that hold something.
    ASSERT_EQ(controls.rows.size(), 16u + 2 * 16u);
    const std::size_t group2 = 18;
    ASSERT_TRUE(controls.rows[group2].group);
    EXPECT_EQ(controls.rows[group2].index, 2u);
    EXPECT_TRUE(controls.rows[3].holdsNothing) << "layer 0-1 holds nothing";

    session.RowSwitched(group2, false);
    EXPECT_EQ(session.ScaleGroup(), 2u);
    for (std::size_t layer = 32; layer < 48; layer++)
        EXPECT_TRUE(form.GetHiddenLayers()[layer]) << layer;
    EXPECT_EQ(form.GetHiddenLayers().count(), 16u);
    EXPECT_EQ(controls.states[group2], RowState::Off);
    EXPECT_EQ(controls.states[group2 + 1 + 5], RowState::Off);

    session.RowSwitched(group2 + 1 + 5, true);  // layer 2-5 back on
    EXPECT_FALSE(form.GetHiddenLayers()[37]);
    EXPECT_EQ(controls.states[group2], RowState::Mixed);
    EXPECT_EQ(controls.states[group2 + 1 + 5], RowState::On);

    session.ShownLayersOnlySwitched(true);
    EXPECT_TRUE(form.GetMoreOptions().shownLayersOnly);
    session.Closed();
    EXPECT_FALSE(form.GetMoreOptions().shownLayersOnly);
    EXPECT_FALSE(controls.shownOnly);
    EXPECT_TRUE(form.GetHiddenLayers().none());
    EXPECT_FALSE(session.HasDrawing());
}

// Dragging moves by whole pixels, a rectangle smaller than a slip of the hand zooms nothing, Home and a
// double-click fit, the wheel zooms about the pointer and asks for the exact image once it rests; the modes
// exclude each other.
TEST_F(ViewSessionTest, GesturesMoveZoomAndFit) {
    Open(TwoLines());
    const ViewCamera fitted = session.Camera();
    session.Pressed(100, 100);
    session.Moved(110.4, 93.6);
    session.Released(110.4, 93.6);
    EXPECT_DOUBLE_EQ(session.Camera().centreX, fitted.centreX - 10 / fitted.scale);
    EXPECT_DOUBLE_EQ(session.Camera().centreY, fitted.centreY - 6 / fitted.scale);
    session.KeyPressed(ViewKey::Home);
    EXPECT_DOUBLE_EQ(session.Camera().centreX, fitted.centreX);

    session.ModeSwitched(ViewMode::Measure, true);
    session.ModeSwitched(ViewMode::ZoomRectangle, true);
    EXPECT_EQ(controls.mode, ViewMode::ZoomRectangle);
    session.Pressed(50, 50);
    session.Moved(52, 120);
    RecordingCanvas overlay;
    session.DrawOverlay(overlay);
    ASSERT_EQ(overlay.ops.size(), 1u) << "the rectangle is drawn while dragged";
    session.Released(52, 120);
    EXPECT_DOUBLE_EQ(session.Camera().scale, fitted.scale) << "a 2-pixel-wide rectangle zoomed";
    // Escape while dragging drops the rectangle and keeps the view open.
    session.Pressed(50, 50);
    session.Moved(150, 120);
    session.KeyPressed(ViewKey::Escape);
    EXPECT_FALSE(controls.closed) << "Escape on a rectangle being drawn closed the view";
    RecordingCanvas dropped;
    session.DrawOverlay(dropped);
    EXPECT_TRUE(dropped.ops.empty()) << "the dropped rectangle is still drawn";
    session.Released(150, 120);
    EXPECT_DOUBLE_EQ(session.Camera().scale, fitted.scale) << "a dropped rectangle zoomed";
    session.Pressed(50, 50);
    session.Moved(150, 120);
    session.Released(150, 120);
    EXPECT_GT(session.Camera().scale, fitted.scale * 3);
    session.DoubleClicked();
    EXPECT_DOUBLE_EQ(session.Camera().scale, fitted.scale);
    session.ModeSwitched(ViewMode::ZoomRectangle, false);
    EXPECT_EQ(controls.mode, ViewMode::Move);

    const PlanePoint under = DrawingPointAt(session.Camera(), 120, 80);
    session.Wheeled(120, 80, 2);
    EXPECT_NEAR(DrawingPointAt(session.Camera(), 120, 80).x, under.x, 1e-9);
    EXPECT_NEAR(session.Camera().scale, fitted.scale * 1.5625, 1e-9);
    EXPECT_TRUE(controls.timers.count(ViewTimer::Rest));
    session.TimerFired(ViewTimer::Rest);
    EXPECT_FALSE(controls.timers.count(ViewTimer::Rest));
}

// Opened, the view shows the form's drawing and follows each new one; opened again it keeps where it was;
// closed, it lets the drawing go and follows no more. Its buttons do what their tools say.
TEST_F(ViewSessionTest, FollowsTheFormsDrawingWhileOpenAndItsButtonsAct) {
    Open(TwoLines());
    ASSERT_TRUE(session.HasDrawing());
    const ViewCamera fitted = session.Camera();
    session.Wheeled(200, 150, 3);
    const double zoomed = session.Camera().scale;
    session.Opened();
    EXPECT_DOUBLE_EQ(session.Camera().scale, zoomed) << "opening the open view again started it afresh";

    DrawingStore wider = TwoLines();
    test::Add(wider, TclpEntSen{{0, 1, 0, 0, 0, 0}, 0, 0, 1000, 0});
    session.LetGo();
    Import(wider);
    session.DrawingReplaced();
    ASSERT_TRUE(session.HasDrawing());
    EXPECT_LT(session.Camera().scale, fitted.scale / 5) << "the open view kept the earlier drawing's camera";

    session.Closed();
    EXPECT_FALSE(session.HasDrawing());
    session.LetGo();
    Import(TwoLines());
    session.DrawingReplaced();
    EXPECT_FALSE(session.HasDrawing()) << "a closed view took the new drawing";
    session.Opened();
    EXPECT_DOUBLE_EQ(session.Camera().scale, fitted.scale);

    session.ToolPressed(1, true);
    EXPECT_EQ(controls.mode, ViewMode::ZoomRectangle);
    session.ToolPressed(2, true);
    EXPECT_EQ(controls.mode, ViewMode::Measure);
    session.ToolPressed(2, false);
    EXPECT_EQ(controls.mode, ViewMode::Move);
    session.Wheeled(200, 150, 2);
    session.ToolPressed(0, false);
    EXPECT_DOUBLE_EQ(session.Camera().scale, fitted.scale) << "全体 did not fit";
    session.ToolPressed(kViewTools.size(), true);
    EXPECT_EQ(controls.mode, ViewMode::Move);
}

}  // namespace
}  // namespace korvel
