// The drawing view on Linux.
#include "platform/qt/view_window.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "shell/view_texts.h"

namespace korvel {

namespace {

// A wheel notch zooms by this much; the image is drawn afresh once the wheel or the hand has rested this long.
constexpr double kNotchZoom = 1.25;
constexpr int kRestMilliseconds = 200;
constexpr int kLayerRole = Qt::UserRole;

}  // namespace

ViewPane::ViewPane(QLabel &status, QWidget *parent) : QWidget(parent), status(status) {
    setObjectName("ViewPane");
    setMouseTracking(true);
    setMinimumSize(200, 150);
    setCursor(Qt::CrossCursor);
    settle.setSingleShot(true);
    settle.setInterval(kRestMilliseconds);
    connect(&settle, &QTimer::timeout, this, [this] { Settle(); });
}

void ViewPane::SetDrawing(const DrawingView *next, const DrawingStore *nextStore) {
    drawing = next;
    store = nextStore;
    frames.SetDrawing(drawing);
    measureFrom.reset();
    measureTo.reset();
    hidden.reset();
    Fit();
    // Where everything lies is found once the first image is up, for the moves that follow.
    QTimer::singleShot(0, this, [this] {
        if (drawing) drawing->PrepareIndex();
    });
}

void ViewPane::SetHidden(const HiddenLayers &next) {
    hidden = next;
    ShowCamera(camera);
}

void ViewPane::SetMode(Mode next) {
    mode = next;
    measureFrom.reset();
    measureTo.reset();
    update();
}

void ViewPane::Fit() {
    ShowCamera(drawing ? drawing->Fit(width(), height()) : DrawingView::Resize(camera, width(), height()));
}

void ViewPane::ShowCamera(const ViewCamera &next) {
    camera = next;
    if (camera.width <= 0 || camera.height <= 0) return;
    frames.Show(camera, hidden);
    if (!frames.Exact()) settle.start();
    update();
}

void ViewPane::Settle() {
    settle.stop();
    frames.Settle();
    update();
}

void ViewPane::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.drawImage(0, 0, surface.Image());
    if (!drawing) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, QString::fromUtf8(kNoDrawingText));
        return;
    }
    if (dragFrom && rectangleTo) {
        painter.setPen(QPen(Qt::blue, 1, Qt::DashLine));
        painter.drawRect(QRectF(*dragFrom, *rectangleTo).normalized());
    }
    // The measured points and the line between them, in the view's own pixels.
    const auto pixelOf = [&](PlanePoint p) {
        const PixelPoint at = ViewPixel(ViewOf(camera), p);
        return QPoint(at.x, at.y);
    };
    painter.setPen(QPen(QColor(230, 0, 120), 1));
    if (measureFrom) painter.drawEllipse(pixelOf(*measureFrom), 3, 3);
    if (measureFrom && measureTo) {
        painter.drawEllipse(pixelOf(*measureTo), 3, 3);
        painter.drawLine(pixelOf(*measureFrom), pixelOf(*measureTo));
    }
}

void ViewPane::resizeEvent(QResizeEvent *) {
    const bool first = camera.width <= 0 || camera.height <= 0;
    if (first && drawing) return Fit();
    ShowCamera(DrawingView::Resize(camera, width(), height()));
}

void ViewPane::wheelEvent(QWheelEvent *event) {
    if (!drawing) return;
    const double notches = event->angleDelta().y() / 120.0;
    const QPointF at = event->position();
    ShowCamera(drawing->Zoom(camera, at.x(), at.y(), std::pow(kNotchZoom, notches)));
    SayWhere(at);
}

void ViewPane::mousePressEvent(QMouseEvent *event) {
    if (!drawing) return;
    const QPointF at = event->position();
    if (mode == Mode::Measure && event->button() == Qt::LeftButton) {
        const PlanePoint p = DrawingPointAt(camera, at.x(), at.y());
        if (!measureFrom || measureTo) {
            measureFrom = p;
            measureTo.reset();
        } else {
            measureTo = p;
        }
        status.setText(
            QString::fromStdString(MeasureText(*store, *measureFrom, measureTo ? &*measureTo : nullptr, scaleGroup)));
        update();
        return;
    }
    dragFrom = at;
}

void ViewPane::mouseMoveEvent(QMouseEvent *event) {
    const QPointF at = event->position();
    if (drawing && dragFrom) {
        if (mode == Mode::ZoomRectangle) {
            rectangleTo = at;
            update();
        } else {
            // Whole pixels, so that the last image moves rather than being drawn afresh.
            const QPointF moved = at - *dragFrom;
            const double dx = std::round(moved.x()), dy = std::round(moved.y());
            if (dx != 0 || dy != 0) {
                ShowCamera(DrawingView::Pan(camera, dx, dy));
                *dragFrom += QPointF(dx, dy);
            }
        }
    }
    if (mode != Mode::Measure || !measureFrom || measureTo) SayWhere(at);
}

void ViewPane::mouseReleaseEvent(QMouseEvent *) {
    if (drawing && dragFrom && rectangleTo && mode == Mode::ZoomRectangle) {
        const QPointF a = *dragFrom, b = *rectangleTo;
        if (std::fabs(a.x() - b.x()) >= 3 && std::fabs(a.y() - b.y()) >= 3)
            ShowCamera(drawing->ZoomToRectangle(camera, {a.x(), a.y()}, {b.x(), b.y()}));
    }
    dragFrom.reset();
    rectangleTo.reset();
    update();
}

void ViewPane::mouseDoubleClickEvent(QMouseEvent *) { Fit(); }

void ViewPane::SayWhere(QPointF at) {
    if (!drawing) return;
    QString text = QString::fromStdString(CursorText(*store, DrawingPointAt(camera, at.x(), at.y()), scaleGroup));
    const std::string leftOut = LeftOutText(frames.LeftOut());
    if (!leftOut.empty()) text += "　" + QString::fromStdString(leftOut);
    status.setText(text);
}

ViewWindow::ViewWindow(TForm1 &form, QWidget *parent) : QWidget(parent, Qt::Window), form(form) {
    setObjectName("ViewWindow");
    setWindowTitle(QString::fromUtf8(kViewWindowCaption) + " - Korvel");
    resize(1100, 720);

    status = new QLabel(this);
    status->setObjectName("ViewStatus");
    status->setText(QString::fromUtf8(kViewHelpText));
    pane = new ViewPane(*status, this);

    auto *tools = new QHBoxLayout;
    const auto tool = [&](const char *text, const char *name, bool checkable) {
        auto *button = new QToolButton(this);
        button->setText(QString::fromUtf8(text));
        button->setObjectName(name);
        button->setCheckable(checkable);
        tools->addWidget(button);
        return button;
    };
    QToolButton *fit = tool(kFitText, "FitButton", false);
    QToolButton *zoomRectangle = tool(kZoomRectangleText, "ZoomRectangleButton", true);
    QToolButton *measure = tool(kMeasureText, "MeasureButton", true);
    tools->addStretch();
    connect(fit, &QToolButton::clicked, pane, &ViewPane::Fit);
    // At most one of the two modes; with neither, dragging moves the drawing.
    const auto chooseMode = [this, zoomRectangle, measure](QToolButton *turnedOn, QToolButton *other) {
        if (turnedOn->isChecked() && other->isChecked()) other->setChecked(false);
        pane->SetMode(zoomRectangle->isChecked() ? ViewPane::Mode::ZoomRectangle
                      : measure->isChecked()     ? ViewPane::Mode::Measure
                                                 : ViewPane::Mode::Move);
    };
    connect(zoomRectangle, &QToolButton::toggled, this, [=] { chooseMode(zoomRectangle, measure); });
    connect(measure, &QToolButton::toggled, this, [=] { chooseMode(measure, zoomRectangle); });
    auto *left = new QWidget(this);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addLayout(tools);
    leftLayout->addWidget(pane, 1);
    leftLayout->addWidget(status);

    auto *right = new QWidget(this);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(new QLabel(QString::fromUtf8(kLayersTitle), right));
    layers = new QTreeWidget(right);
    layers->setObjectName("LayerPanel");
    layers->setHeaderHidden(true);
    rightLayout->addWidget(layers, 1);
    shownOnly = new QCheckBox(QString::fromUtf8(kShownLayersOnlyText), right);
    shownOnly->setObjectName("ShownLayersOnly");
    rightLayout->addWidget(shownOnly);
    connect(layers, &QTreeWidget::itemChanged, this, &ViewWindow::LayerSwitched);
    connect(layers, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item) pane->SetScaleGroup(static_cast<std::size_t>(item->data(0, kLayerRole).toInt()) / kLayersPerGroup);
    });
    connect(shownOnly, &QCheckBox::toggled, this, [this](bool on) {
        TForm1::MoreOptions options = this->form.GetMoreOptions();
        options.shownLayersOnly = on;
        this->form.SetMoreOptions(options);
    });

    auto *splitter = new QSplitter(this);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({820, 280});
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    new QShortcut(QKeySequence(Qt::Key_Home), this, [this] { pane->Fit(); });
    new QShortcut(QKeySequence(Qt::Key_Escape), this, [this] { close(); });
}

ViewWindow::~ViewWindow() = default;

const QImage &ViewWindow::Image() const { return pane->Image(); }

void ViewWindow::closeEvent(QCloseEvent *event) {
    LetGo();
    shownOnly->setChecked(false);
    form.SetHiddenLayers({});
    QWidget::closeEvent(event);
}

void ViewWindow::LetGo() {
    pane->SetDrawing(nullptr, nullptr);
    view.reset();
    filling = true;
    layers->clear();
    filling = false;
}

void ViewWindow::TakeDrawing() {
    LetGo();
    view = std::make_unique<DrawingView>(form.Store());
    FillLayerPanel();
    pane->SetDrawing(view.get(), &form.Store());
    status->setText(QString::fromUtf8(kViewHelpText));
}

void ViewWindow::FillLayerPanel() {
    filling = true;
    const DrawingStore &store = form.Store();
    const LayerCounts &counts = view->Counts();
    for (std::size_t group = 0; group < kLayerGroups; group++) {
        auto *groupItem = new QTreeWidgetItem(layers, {QString::fromStdString(GroupLine(store, group, counts))});
        groupItem->setData(0, kLayerRole, static_cast<int>(group * kLayersPerGroup));
        groupItem->setFlags(groupItem->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
        for (std::size_t layer = 0; layer < kLayersPerGroup; layer++) {
            const std::size_t index = group * kLayersPerGroup + layer;
            auto *item = new QTreeWidgetItem(groupItem, {QString::fromStdString(LayerLine(store, index, counts))});
            item->setData(0, kLayerRole, static_cast<int>(index));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Checked);
            if (counts[index] == 0) item->setForeground(0, QBrush(Qt::gray));
        }
        // The groups that hold something open, the rest closed.
        groupItem->setExpanded(GroupCount(counts, group) > 0);
    }
    filling = false;
}

void ViewWindow::LayerSwitched(QTreeWidgetItem *) {
    if (filling) return;
    HiddenLayers hidden;
    for (int g = 0; g < layers->topLevelItemCount(); g++) {
        const QTreeWidgetItem *group = layers->topLevelItem(g);
        for (int l = 0; l < group->childCount(); l++)
            hidden[static_cast<std::size_t>(group->child(l)->data(0, kLayerRole).toInt())] =
                group->child(l)->checkState(0) != Qt::Checked;
    }
    form.SetHiddenLayers(hidden);
    pane->SetHidden(hidden);
}

}  // namespace korvel
