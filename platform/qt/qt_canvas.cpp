// The preview's canvas on Linux: a QImage drawn with the raster rules of the original surface.
#include "platform/qt/qt_canvas.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <vector>

#include "geom/cp932.h"
#include "platform/qt/gui_application.h"
#include "platform/qt/qt_fonts.h"

namespace korvel {

namespace {

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// On/off runs in pixels of the one-pixel pen styles, as the original surface draws them.
std::span<const int> DashRuns(PenStyle style) {
    static constexpr std::array<int, 2> kDash{18, 6}, kDot{3, 3};
    static constexpr std::array<int, 4> kDashDot{9, 6, 3, 6};
    static constexpr std::array<int, 6> kDashDotDot{9, 3, 3, 3, 3, 3};
    switch (style) {
        case PenStyle::Dash: return kDash;
        case PenStyle::Dot: return kDot;
        case PenStyle::DashDot: return kDashDot;
        case PenStyle::DashDotDot: return kDashDotDot;
        case PenStyle::Solid:
        case PenStyle::Null: return {};
    }
    return {};
}

// Whether pixel number `step` of a pattern is set.
class DashPattern {
public:
    explicit DashPattern(PenStyle style) : runs(DashRuns(style)) {
        for (int r : runs)
            period += r;
    }
    bool On(std::int64_t step) const {
        if (period == 0) return true;
        std::int64_t pos = step % period;
        for (std::size_t i = 0; i < runs.size(); i++) {
            if (pos < runs[i]) return i % 2 == 0;
            pos -= runs[i];
        }
        return false;
    }

private:
    std::span<const int> runs;
    int period = 0;
};

Qt::BrushStyle ToQtBrushStyle(BrushKind kind) {
    switch (kind) {
        case BrushKind::Hollow: return Qt::NoBrush;
        case BrushKind::Solid: return Qt::SolidPattern;
        case BrushKind::Horizontal: return Qt::HorPattern;
        case BrushKind::Vertical: return Qt::VerPattern;
        case BrushKind::ForwardDiagonal: return Qt::FDiagPattern;
        case BrushKind::BackwardDiagonal: return Qt::BDiagPattern;
        case BrushKind::Cross: return Qt::CrossPattern;
        case BrushKind::DiagonalCross: return Qt::DiagCrossPattern;
    }
    return Qt::NoBrush;
}

QPolygon ToQPolygon(std::span<const PixelPoint> points) {
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const PixelPoint &p : points)
        polygon << QPoint(p.x, p.y);
    return polygon;
}

// Rounds up num / den for den > 0.
template <class Integer>
std::int64_t CeilDiv(Integer num, Integer den) {
    Integer q = num / den;
    if (num % den != 0 && num > 0) q += 1;
    return static_cast<std::int64_t>(q);
}

// Whether products of two such values, doubled, fit 64 bits: the usual case, without 128-bit division.
bool Small(std::int64_t v) { return v > -(std::int64_t{1} << 30) && v < (std::int64_t{1} << 30); }

// The minor-axis offset of pixel i of a segment `steps` long that moves `delta` along the minor axis:
// rounded half down, as GDI does in every octant, ceil((2 i delta - steps) / (2 steps)).
std::int64_t MinorOffset(std::int64_t i, std::int64_t delta, std::int64_t steps) {
    if (Small(i) && Small(delta) && Small(steps)) return CeilDiv<std::int64_t>(2 * i * delta - steps, 2 * steps);
    return CeilDiv<__int128>(static_cast<__int128>(2) * i * delta - steps, static_cast<__int128>(2) * steps);
}

// Which pixels of an 8x8 cell Qt's pattern brush of a kind sets (the same cells as the Windows hatches).
const std::array<std::uint8_t, 8> &PatternRows(BrushKind kind) {
    static const auto patterns = [] {
        std::array<std::array<std::uint8_t, 8>, 8> rows{};
        for (int k = 0; k < 8; ++k) {
            QImage cell(8, 8, QImage::Format_RGB32);
            cell.fill(Qt::white);
            QPainter painter(&cell);
            painter.fillRect(cell.rect(), QBrush(Qt::black, ToQtBrushStyle(static_cast<BrushKind>(k))));
            painter.end();
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    if (cell.pixel(x, y) != qRgb(255, 255, 255)) rows[k][y] |= static_cast<std::uint8_t>(1u << x);
        }
        return rows;
    }();
    return patterns[static_cast<int>(kind)];
}

}  // namespace

QtCanvas::QtCanvas(std::int32_t width, std::int32_t height)
    : image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32), kept(image.rect()) {
    image.fill(Qt::white);
    InstallFaceSubstitutions();
}

QtCanvas::QtCanvas(const QImage &picture) : image(picture), kept(image.rect()) { InstallFaceSubstitutions(); }

bool QtCanvas::EncodePng(std::string &png) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
    png.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

Rgb QtCanvas::PixelAt(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return {};
    const QRgb p = image.pixel(x, y);
    return {static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
            static_cast<std::uint8_t>(qBlue(p))};
}

void QtCanvas::StrokeThin(const Pen &pen, std::span<const PixelPoint> points, bool closed) {
    const DashPattern pattern(pen.style);
    const QRgb color = qRgb(pen.color.r, pen.color.g, pen.color.b);
    const std::int64_t left = kept.left(), top = kept.top(), right = kept.right() + 1, bottom = kept.bottom() + 1;
    QRgb *pixels = reinterpret_cast<QRgb *>(image.bits());
    const std::int64_t stride = image.bytesPerLine() / static_cast<std::int64_t>(sizeof(QRgb));
    std::int64_t phase = 0;  // the pattern runs on across the segments of one call
    auto segment = [&](PixelPoint a, PixelPoint b) {
        const std::int64_t dx = std::int64_t{b.x} - a.x, dy = std::int64_t{b.y} - a.y;
        const std::int64_t steps = std::max(std::llabs(dx), std::llabs(dy));
        // Most segments of a small preview are a pixel long or none: the end pixel is left out, so
        // they draw their start pixel or nothing.
        if (steps <= 1) {
            if (steps == 1 && pattern.On(phase) && a.x >= left && a.y >= top && a.x < right && a.y < bottom)
                pixels[a.y * stride + a.x] = color;
            phase += steps;
            return;
        }
        // Pixel i of the segment lies i steps along the major axis, the minor axis rounded; only the
        // steps that land on the image are visited, so far-off vertices cost nothing.
        const bool xMajor = std::llabs(dx) >= std::llabs(dy);
        const std::int64_t majorStart = xMajor ? a.x : a.y;
        const std::int64_t majorFirst = xMajor ? left : top, majorLast = (xMajor ? right : bottom) - 1;
        const std::int64_t majorDir = (xMajor ? dx : dy) < 0 ? -1 : 1;
        std::int64_t first = 0, last = steps - 1;
        if (majorDir > 0) {
            first = std::max(first, majorFirst - majorStart);
            last = std::min(last, majorLast - majorStart);
        } else {
            first = std::max(first, majorStart - majorLast);
            last = std::min(last, majorStart - majorFirst);
        }
        const std::int64_t minorStart = xMajor ? a.y : a.x, minorDelta = xMajor ? dy : dx;
        // Only the steps whose minor coordinate may lie in the kept columns or rows (a steep line across a
        // narrow strip): the exact minor coordinate within a pixel of them, and a step more each side.
        const std::int64_t minorFirst = xMajor ? top : left, minorLast = (xMajor ? bottom : right) - 1;
        if (minorDelta == 0) {
            if (minorStart < minorFirst || minorStart > minorLast) first = last + 1;
        } else {
            const long double perStep = static_cast<long double>(minorDelta) / steps;
            const long double from = (minorFirst - 1 - minorStart) / perStep,
                              to = (minorLast + 1 - minorStart) / perStep;
            const long double lo = std::min(from, to) - 1, hi = std::max(from, to) + 1;
            if (lo > static_cast<long double>(first))
                first = static_cast<std::int64_t>(std::min<long double>(lo, last + 1));
            if (hi < static_cast<long double>(last))
                last = static_cast<std::int64_t>(std::max<long double>(hi, first - 1));
        }
        auto plot = [&](std::int64_t i, std::int64_t minorOffset) {
            const std::int64_t major = majorStart + majorDir * i, minor = minorStart + minorOffset;
            const std::int64_t x = xMajor ? major : minor, y = xMajor ? minor : major;
            if (x >= left && y >= top && x < right && y < bottom) pixels[y * stride + x] = color;
        };
        if (first <= last && Small(first) && Small(steps)) {
            // The minor offset step by step: the numerator of MinorOffset grows by 2 delta per pixel,
            // at most one denominator, so the quotient moves by at most one.
            const std::int64_t den = 2 * steps, grow = 2 * minorDelta;
            const std::int64_t num = 2 * first * minorDelta - steps;
            std::int64_t offset = CeilDiv<std::int64_t>(num, den), slack = offset * den - num;  // 0 <= slack < den
            for (std::int64_t i = first; i <= last; i++) {
                if (pattern.On(phase + i)) plot(i, offset);
                slack -= grow;
                if (slack < 0) offset++, slack += den;
                else if (slack >= den) offset--, slack -= den;
            }
        } else {
            for (std::int64_t i = first; i <= last; i++)
                if (pattern.On(phase + i)) plot(i, MinorOffset(i, minorDelta, steps));
        }
        phase += steps;
    };
    // Curves smaller than a pixel repeat one point many times: such segments draw nothing and move no
    // pattern, so the loop passes over them without a segment's work.
    const PixelPoint *p = points.data();
    const std::size_t n = points.size();
    for (std::size_t s = 0; s + 1 < n; s++)
        if (!(p[s] == p[s + 1])) segment(p[s], p[s + 1]);
    if (closed) segment(p[n - 1], p[0]);
}

void QtCanvas::StrokeWide(const Pen &pen, std::span<const PixelPoint> points, bool closed) {
    // Wide pens draw solid whatever their style, with round ends, as the original surface does.
    QPainter painter(&image);
    painter.setClipRect(kept);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ToQColor(pen.color), pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const QPolygon polygon = ToQPolygon(points);
    if (closed) painter.drawPolygon(polygon);
    else painter.drawPolyline(polygon);
}

void QtCanvas::Stroke(const Pen &pen, std::span<const PixelPoint> points, bool closed) {
    lastCharacter.reset();
    if (pen.style == PenStyle::Null || points.size() < 2) return;
    if (pen.width > 1) StrokeWide(pen, points, closed);
    else StrokeThin(pen, points, closed);
}

void QtCanvas::Fill(const Brush &brush, std::span<const PixelPoint> points) {
    lastCharacter.reset();
    if (brush.kind == BrushKind::Hollow || points.size() < 3) return;
    // GDI's polygon rule, scanline by scanline and exactly: row y holds the pixels whose top-left corner
    // (x, y) lies inside, odd-even; a corner on a left or top edge is inside, on a right or bottom edge not.
    edges.clear();
    std::int64_t top = INT64_MAX, bottom = INT64_MIN;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const PixelPoint a = points[i], b = i + 1 < points.size() ? points[i + 1] : points[0];
        if (a.y == b.y) continue;
        edges.push_back(a.y < b.y ? Edge{a.x, a.y, b.x, b.y} : Edge{b.x, b.y, a.x, a.y});
        top = std::min(top, edges.back().y0);
        bottom = std::max(bottom, edges.back().y1);
    }
    const std::array<std::uint8_t, 8> &pattern = PatternRows(brush.kind);
    const QRgb color = qRgb(brush.color.r, brush.color.g, brush.color.b);
    const std::int64_t keptLeft = kept.left(), keptRight = kept.right() + 1;
    for (std::int64_t y = std::max<std::int64_t>(top, kept.top());
         y < std::min<std::int64_t>(bottom, kept.bottom() + 1); ++y) {
        crossings.clear();
        for (const Edge &e : edges) {
            if (y < e.y0 || y >= e.y1) continue;
            const std::int64_t dy = e.y1 - e.y0, dx = e.x1 - e.x0;
            if (Small(e.x0) && Small(dy) && Small(y - e.y0) && Small(dx))
                crossings.push_back(CeilDiv<std::int64_t>(e.x0 * dy + (y - e.y0) * dx, dy));
            else
                crossings.push_back(
                    CeilDiv<__int128>(static_cast<__int128>(e.x0) * dy + static_cast<__int128>(y - e.y0) * dx,
                                      static_cast<__int128>(dy)));
        }
        std::sort(crossings.begin(), crossings.end());
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(static_cast<int>(y)));
        const std::uint8_t bits = pattern[static_cast<std::size_t>(y & 7)];
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
            for (std::int64_t x = std::max(crossings[i], keptLeft); x < std::min(crossings[i + 1], keptRight); ++x)
                if (bits >> (x & 7) & 1) row[x] = color;
    }
}

void QtCanvas::Line(const Pen &pen, PixelPoint from, PixelPoint to) {
    const PixelPoint ends[2] = {from, to};
    Stroke(pen, ends, false);
}

void QtCanvas::Rect(const Pen &pen, const Brush &brush, std::int32_t left, std::int32_t top, std::int32_t right,
                    std::int32_t bottom) {
    lastCharacter.reset();
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    // The right and bottom edges are left out; without a pen the fill loses one more pixel on each.
    const bool outlined = pen.style != PenStyle::Null;
    const std::int32_t lastX = right - (outlined ? 1 : 2), lastY = bottom - (outlined ? 1 : 2);
    if (lastX < left || lastY < top) return;
    if (brush.kind != BrushKind::Hollow) {
        QPainter painter(&image);
        painter.setClipRect(kept);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QBrush(ToQColor(brush.color), ToQtBrushStyle(brush.kind)));
        painter.drawRect(QRect(QPoint(left, top), QPoint(lastX, lastY)));
    }
    if (!outlined) return;
    const PixelPoint corners[4] = {{left, top}, {lastX, top}, {lastX, lastY}, {left, lastY}};
    Stroke(pen, corners, true);
}

void QtCanvas::Polyline(const Pen &pen, std::span<const PixelPoint> points) { Stroke(pen, points, false); }

void QtCanvas::Polygon(const Pen &pen, const Brush &brush, std::span<const PixelPoint> points) {
    Fill(brush, points);
    Stroke(pen, points, true);
}

// One pixel over and over: a one-pixel pen's segments are all empty and a fill finds no edge; only a wide
// pen's round ends draw.
void QtCanvas::RepeatedPolyline(const Pen &pen, PixelPoint point, std::size_t count) {
    if (pen.width > 1) Canvas::RepeatedPolyline(pen, point, count);
}

void QtCanvas::RepeatedPolygon(const Pen &pen, const Brush &brush, PixelPoint point, std::size_t count) {
    if (pen.width > 1) Canvas::RepeatedPolygon(pen, brush, point, count);
}

const QFont &QtCanvas::FontFor(const FontSpec &description, int &ascent) {
    if (!cachedDescription || *cachedDescription != description) {
        QFont font(QString::fromStdString(description.face));
        font.setStyleStrategy(QFont::NoAntialias);
        font.setWeight(description.weight >= 700 ? QFont::Bold : QFont::Normal);
        font.setItalic(description.italic);
        // The height is the character cell (ascent plus descent), not the em size.
        const int cell = std::clamp(std::abs(description.height), 1, 4000);
        font.setPixelSize(cell);
        const QFontMetrics probe(font);
        const int measured = probe.ascent() + probe.descent();
        if (measured > 0) font.setPixelSize(std::max(1, static_cast<int>(std::lround(double(cell) * cell / measured))));
        if (description.width > 0) {
            const int average = QFontMetrics(font).averageCharWidth();
            if (average > 0)
                font.setStretch(
                    std::clamp(static_cast<int>(std::lround(100.0 * description.width / average)), 1, 4000));
        }
        cachedFont = font;
        cachedAscent = QFontMetrics(font).ascent();
        cachedDescription = description;
    }
    ascent = cachedAscent;
    return cachedFont;
}

void QtCanvas::Character(PixelPoint at, std::string_view sjis, const FontSpec &asked, Rgb color) {
    // Characters far off the image cannot reach it; the cell is at most 4000 pixels.
    constexpr std::int64_t kReach = 8000;
    if (at.x < -kReach || at.y < -kReach || at.x > image.width() + kReach || at.y > image.height() + kReach) return;
    // Fonts and glyphs are kept by the family drawn: a drawing of many face names that all fall back to one
    // family shares them.
    FontSpec font = asked;
    font.face = DrawnFamily(asked.face);
    if (lastCharacter && lastCharacter->at == at && lastCharacter->sjis == sjis && lastCharacter->color == color &&
        cachedDescription == font)
        return;
    lastCharacter = DrawnCharacter{at, std::string(sjis), color};
    if (const std::vector<QPoint> *pixels = GlyphPixels(sjis, font)) {
        const QRgb rgb = qRgb(color.r, color.g, color.b);
        for (const QPoint &p : *pixels) {
            const std::int64_t x = std::int64_t{at.x} + p.x(), y = std::int64_t{at.y} + p.y();
            if (kept.contains(static_cast<int>(x), static_cast<int>(y)))
                reinterpret_cast<QRgb *>(image.scanLine(static_cast<int>(y)))[x] = rgb;
        }
        return;
    }
    int ascent = 0;
    const QFont &qfont = FontFor(font, ascent);
    QPainter painter(&image);
    painter.setClipRect(kept);
    painter.translate(at.x, at.y);
    PaintCharacter(painter, qfont, ascent, sjis, font.escapement, ToQColor(color));
}

void QtCanvas::PaintCharacter(QPainter &painter, const QFont &qfont, int ascent, std::string_view sjis,
                              std::int32_t escapement, const QColor &color) {
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(qfont);
    painter.setPen(color);
    painter.rotate(-escapement / 10.0);
    painter.drawText(QPoint(0, ascent), QString::fromStdString(Cp932ToUtf8(sjis)));
}

const std::vector<QPoint> *QtCanvas::GlyphPixels(std::string_view sjis, const FontSpec &font) {
    // Small characters only: a large drawing holds many texts of a few sizes and few distinct characters.
    constexpr int kLargestCell = 48, kMostGlyphs = 8192;
    if (std::abs(font.height) > kLargestCell || std::abs(font.width) > kLargestCell) return nullptr;
    GlyphKey key{font, std::string(sjis)};
    if (const auto found = glyphs.find(key); found != glyphs.end()) return &found->second;
    if (glyphs.size() >= kMostGlyphs) glyphs.clear();
    // Drawn once without antialiasing onto a clear square around the cell's corner, every pixel set or not,
    // so that copying those pixels sets what drawing the character there sets.
    const int half = 2 * (std::abs(font.height) + 2 * std::abs(font.width)) + 8;
    QImage scratch(2 * half, 2 * half, QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    {
        int ascent = 0;
        const QFont &qfont = FontFor(font, ascent);
        QPainter painter(&scratch);
        painter.translate(half, half);
        PaintCharacter(painter, qfont, ascent, sjis, font.escapement, Qt::black);
    }
    std::vector<QPoint> &pixels = glyphs[std::move(key)];
    for (int y = 0; y < scratch.height(); y++) {
        const QRgb *row = reinterpret_cast<const QRgb *>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width(); x++)
            if (qAlpha(row[x]) != 0) pixels.emplace_back(x - half, y - half);
    }
    return &pixels;
}

std::unique_ptr<RasterCanvas> CreateRasterCanvas(std::int32_t width, std::int32_t height) {
    // Fonts need a GUI application; one already running (the window's) serves as well as an offscreen one.
    StartGuiApplication(GuiPlatform::Offscreen);
    return std::make_unique<QtCanvas>(width, height);
}

}  // namespace korvel
