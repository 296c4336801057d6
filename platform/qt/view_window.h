// The drawing view on Linux: the session's pane, tool buttons, layer panel and status line as Qt widgets.
// What each event does is the session's; this window only translates and paints.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWidget>
#include <array>
#include <vector>

#include "platform/qt/qt_view_surface.h"
#include "shell/view_session.h"

namespace korvel {

class ViewPane;

class ViewWindow final : public QWidget, private ViewControls {
public:
    explicit ViewWindow(TForm1 &form, QWidget *parent = nullptr);
    ~ViewWindow() override;

    ViewSession &Session() { return session; }
    // For tests: the pane's image.
    const QImage &Image() const { return surface.Image(); }
    QWidget &Pane();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Invalidate() override;
    void SetStatus(const std::string &text) override;
    void StartTimer(ViewTimer timer, int milliseconds) override;
    void StopTimer(ViewTimer timer) override;
    void ShowRows(const std::vector<LayerRow> &rows) override;
    void SetRowState(std::size_t row, RowState state) override;
    void ShowMode(ViewMode mode) override;
    void ShowShownLayersOnly(bool on) override;
    void CloseView() override;

    QtViewSurface surface;
    ViewSession session;
    ViewPane *pane = nullptr;
    QLabel *status = nullptr;
    QTreeWidget *layers = nullptr;
    QCheckBox *shownOnly = nullptr;
    std::array<QToolButton *, kViewTools.size()> tools{};
    std::vector<QTreeWidgetItem *> rowItems;  // the session's rows, in order
    std::array<QTimer, 2> timers;             // by ViewTimer
    bool quiet = false;                       // the window is setting its own controls: not the user's doing
};

}  // namespace korvel
