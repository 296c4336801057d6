// The drawing view on Linux: a resizable window with the drawing, zoomed with the wheel about the cursor and
// moved by dragging, a layer panel with switches, and a status line with the cursor and measured distances.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <memory>
#include <optional>

#include "platform/qt/qt_view_surface.h"
#include "preview/drawing_view.h"
#include "preview/view_frames.h"
#include "shell/form.h"

namespace korvel {

class ViewPane;

class ViewWindow final : public QWidget {
public:
    explicit ViewWindow(TForm1 &form, QWidget *parent = nullptr);
    ~ViewWindow() override;

    // The form's drawing is about to change: nothing may read the old one any more.
    void LetGo();
    // Shows the form's drawing as it now is, the whole of it, all its layers on.
    void TakeDrawing();

    // For tests: the pane's image, its camera, and the pane itself for driving it.
    const QImage &Image() const;
    ViewPane &Pane() { return *pane; }

protected:
    // Closed, it lets go of the drawing, and the script is again the whole drawing's.
    void closeEvent(QCloseEvent *event) override;

private:
    void FillLayerPanel();
    void LayerSwitched(QTreeWidgetItem *item);

    TForm1 &form;
    std::unique_ptr<DrawingView> view;
    ViewPane *pane = nullptr;
    QTreeWidget *layers = nullptr;
    QCheckBox *shownOnly = nullptr;
    QLabel *status = nullptr;
    bool filling = false;  // the layer panel is being filled: its switches are not the user's
};

// The drawing itself: frames reused where they can be, the exact image once the hand rests.
class ViewPane final : public QWidget {
public:
    enum class Mode { Move, ZoomRectangle, Measure };

    ViewPane(QLabel &status, QWidget *parent);

    void SetDrawing(const DrawingView *drawing, const DrawingStore *store);
    void SetHidden(const HiddenLayers &hidden);
    void SetMode(Mode mode);
    void Fit();
    // The layer group whose scale gives real sizes.
    void SetScaleGroup(std::size_t group) { scaleGroup = group; }
    const QImage &Image() const { return surface.Image(); }
    const ViewCamera &Camera() const { return camera; }
    void ShowCamera(const ViewCamera &next);
    // Draws afresh at once, as the pane does once the hand rests.
    void Settle();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void SayWhere(QPointF at);

    QLabel &status;
    QtViewSurface surface;
    ViewFrames frames{surface};
    const DrawingView *drawing = nullptr;
    const DrawingStore *store = nullptr;
    ViewCamera camera;
    HiddenLayers hidden;
    Mode mode = Mode::Move;
    std::size_t scaleGroup = 0;
    std::optional<QPointF> dragFrom, rectangleTo;
    std::optional<PlanePoint> measureFrom, measureTo;
    QTimer settle;
};

}  // namespace korvel
