// The drawing view's image on Linux.
#include "platform/qt/qt_view_surface.h"

#include <QBuffer>
#include <QPainter>
#include <QTransform>

#include "platform/qt/gui_application.h"

namespace korvel {

QtCanvas &QtViewSurface::CanvasFor(std::unique_ptr<QtCanvas> &canvas, std::int32_t width, std::int32_t height) {
    if (!canvas || canvas->Image().width() < width || canvas->Image().height() < height)
        canvas = std::make_unique<QtCanvas>(width, height);
    return *canvas;
}

void QtViewSurface::DrawWhole(std::int32_t width, std::int32_t height, const std::function<void(Canvas &)> &draw) {
    if (whole && (whole->Image().width() != width || whole->Image().height() != height)) whole.reset();
    QtCanvas &canvas = CanvasFor(whole, width, height);
    draw(canvas);
    frame = canvas.Image();
}

void QtViewSurface::Redraw(const QTransform &transform) {
    const QImage last = frame.copy();
    frame.fill(Qt::white);
    QPainter painter(&frame);
    painter.setTransform(transform);
    painter.drawImage(0, 0, last);
}

void QtViewSurface::Scroll(std::int32_t dx, std::int32_t dy) { Redraw(QTransform::fromTranslate(dx, dy)); }

void QtViewSurface::DrawPart(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                             const std::function<void(Canvas &)> &draw) {
    QtCanvas &canvas = CanvasFor(part, frame.width(), frame.height());
    canvas.KeepOnly(QRect(left, top, width, height));
    draw(canvas);
    QPainter painter(&frame);
    painter.drawImage(QPoint(left, top), canvas.Image(), QRect(left, top, width, height));
}

void QtViewSurface::Magnify(double factor, double dx, double dy) { Redraw(QTransform(factor, 0, 0, factor, dx, dy)); }

bool QtViewSurface::EncodePng(std::string &png) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!frame.save(&buffer, "PNG")) return false;
    png.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

Rgb QtViewSurface::PixelAt(std::int32_t x, std::int32_t y) const {
    const QRgb p = frame.pixel(x, y);
    return {static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
            static_cast<std::uint8_t>(qBlue(p))};
}

std::unique_ptr<ImageViewSurface> CreateViewSurface() {
    StartGuiApplication(GuiPlatform::Offscreen);
    return std::make_unique<QtViewSurface>();
}

}  // namespace korvel
