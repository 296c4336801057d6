// The drawing view on Linux.
#include "platform/qt/view_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "shell/view_texts.h"

namespace korvel {

namespace {

constexpr int kRowRole = Qt::UserRole;

}  // namespace

// The drawing itself: the session's image and overlay, the pointer's events handed on.
class ViewPane final : public QWidget {
public:
    ViewPane(ViewSession &session, const QtViewSurface &surface, QWidget *parent)
        : QWidget(parent), session(session), surface(surface) {
        setObjectName("ViewPane");
        setMouseTracking(true);
        setMinimumSize(200, 150);
        setCursor(Qt::CrossCursor);
        setFocusPolicy(Qt::ClickFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        if (!session.HasDrawing()) {
            painter.fillRect(rect(), Qt::white);
            painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, QString::fromUtf8(kNoDrawingText));
            return;
        }
        QtCanvas shown(surface.Image());
        session.DrawOverlay(shown);
        painter.drawImage(0, 0, shown.Image());
    }
    void resizeEvent(QResizeEvent *) override { session.Resized(width(), height()); }
    void wheelEvent(QWheelEvent *event) override {
        session.Wheeled(event->position().x(), event->position().y(), event->angleDelta().y() / 120.0);
    }
    void mousePressEvent(QMouseEvent *event) override {
        if (event->button() == Qt::LeftButton) session.Pressed(event->position().x(), event->position().y());
    }
    void mouseMoveEvent(QMouseEvent *event) override { session.Moved(event->position().x(), event->position().y()); }
    void mouseReleaseEvent(QMouseEvent *event) override {
        if (event->button() == Qt::LeftButton) session.Released(event->position().x(), event->position().y());
    }
    void mouseDoubleClickEvent(QMouseEvent *) override { session.DoubleClicked(); }

private:
    ViewSession &session;
    const QtViewSurface &surface;
};

ViewWindow::ViewWindow(TForm1 &form, QWidget *parent) : QWidget(parent, Qt::Window), session(form, *this, surface) {
    setObjectName("ViewWindow");
    setWindowTitle(QString::fromUtf8(kViewWindowCaption) + " - Korvel");
    resize(1100, 720);

    status = new QLabel(QString::fromUtf8(kViewHelpText), this);
    status->setObjectName("ViewStatus");
    status->setMinimumWidth(1);  // a long status line is cut, never widens the window
    pane = new ViewPane(session, surface, this);

    auto *toolRow = new QHBoxLayout;
    for (std::size_t i = 0; i < kViewTools.size(); i++) {
        tools[i] = new QToolButton(this);
        tools[i]->setText(QString::fromUtf8(kViewTools[i].text));
        tools[i]->setObjectName(kViewTools[i].name);
        tools[i]->setCheckable(kViewTools[i].mode.has_value());
        toolRow->addWidget(tools[i]);
        // Clicks only: the window's own setChecked is not the user's doing.
        connect(tools[i], &QToolButton::clicked, this, [this, i](bool down) { session.ToolPressed(i, down); });
    }
    toolRow->addStretch();
    auto *left = new QWidget(this);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addLayout(toolRow);
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
    connect(layers, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item) {
        if (!quiet) session.RowSwitched(item->data(0, kRowRole).toUInt(), item->checkState(0) != Qt::Unchecked);
    });
    connect(layers, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item && !quiet) session.RowChosen(item->data(0, kRowRole).toUInt());
    });
    connect(shownOnly, &QCheckBox::clicked, this, [this](bool on) { session.ShownLayersOnlySwitched(on); });

    auto *splitter = new QSplitter(this);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({820, 280});
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    new QShortcut(QKeySequence(Qt::Key_Home), this, [this] { session.KeyPressed(ViewKey::Home); });
    new QShortcut(QKeySequence(Qt::Key_Escape), this, [this] { session.KeyPressed(ViewKey::Escape); });
    for (std::size_t i = 0; i < timers.size(); i++) {
        timers[i].setSingleShot(true);
        connect(&timers[i], &QTimer::timeout, this, [this, i] { session.TimerFired(static_cast<ViewTimer>(i)); });
    }
}

ViewWindow::~ViewWindow() = default;

QWidget &ViewWindow::Pane() { return *pane; }

void ViewWindow::closeEvent(QCloseEvent *event) {
    session.Closed();
    QWidget::closeEvent(event);
}

void ViewWindow::Invalidate() { pane->update(); }
void ViewWindow::SetStatus(const std::string &text) { status->setText(QString::fromStdString(text)); }

void ViewWindow::StartTimer(ViewTimer timer, int milliseconds) {
    timers[static_cast<std::size_t>(timer)].start(milliseconds);
}

void ViewWindow::StopTimer(ViewTimer timer) { timers[static_cast<std::size_t>(timer)].stop(); }

void ViewWindow::ShowRows(const std::vector<LayerRow> &rows) {
    quiet = true;
    layers->clear();
    rowItems.clear();
    QTreeWidgetItem *group = nullptr;
    for (std::size_t i = 0; i < rows.size(); i++) {
        const LayerRow &row = rows[i];
        auto *item = row.group ? new QTreeWidgetItem(layers) : new QTreeWidgetItem(group);
        if (row.group) group = item;
        item->setText(0, QString::fromStdString(row.text));
        item->setData(0, kRowRole, static_cast<unsigned>(i));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
        if (row.holdsNothing) item->setForeground(0, QBrush(Qt::gray));
        rowItems.push_back(item);
    }
    layers->expandAll();
    quiet = false;
}

void ViewWindow::SetRowState(std::size_t row, RowState state) {
    if (row >= rowItems.size()) return;
    quiet = true;
    rowItems[row]->setCheckState(0, state == RowState::On    ? Qt::Checked
                                    : state == RowState::Off ? Qt::Unchecked
                                                             : Qt::PartiallyChecked);
    quiet = false;
}

void ViewWindow::ShowMode(ViewMode mode) {
    for (std::size_t i = 0; i < tools.size(); i++)
        tools[i]->setChecked(kViewTools[i].mode == mode);
}

void ViewWindow::ShowShownLayersOnly(bool on) { shownOnly->setChecked(on); }

void ViewWindow::CloseView() { close(); }

}  // namespace korvel
