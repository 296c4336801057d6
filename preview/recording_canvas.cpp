// A canvas that keeps what was drawn, with the pen and brush in force, for tests and the draw-call trace.
#include "preview/recording_canvas.h"

#include <cstdio>

#include "geom/cp932.h"

namespace korvel {

namespace {

const char *PenStyleName(PenStyle s) {
    switch (s) {
        case PenStyle::Solid: return "solid";
        case PenStyle::Dash: return "dash";
        case PenStyle::Dot: return "dot";
        case PenStyle::DashDot: return "dashdot";
        case PenStyle::DashDotDot: return "dashdotdot";
        case PenStyle::Null: return "null";
    }
    return "solid";
}

const char *BrushKindName(BrushKind k) {
    switch (k) {
        case BrushKind::Hollow: return "hollow";
        case BrushKind::Solid: return "solid";
        case BrushKind::Horizontal: return "horizontal";
        case BrushKind::Vertical: return "vertical";
        case BrushKind::ForwardDiagonal: return "fdiagonal";
        case BrushKind::BackwardDiagonal: return "bdiagonal";
        case BrushKind::Cross: return "cross";
        case BrushKind::DiagonalCross: return "diagcross";
    }
    return "hollow";
}

void AppendHex(std::string &out, Rgb c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X%02X%02X", c.r, c.g, c.b);
    out += buf;
}

void AppendInt(std::string &out, std::int64_t v) {
    out += ' ';
    out += std::to_string(v);
}

void AppendPen(std::string &out, const Pen &p) {
    out += " | pen ";
    AppendHex(out, p.color);
    out += ' ';
    out += PenStyleName(p.style);
    AppendInt(out, p.width);
}

void AppendBrush(std::string &out, const Brush &b) {
    out += " | brush ";
    if (b.kind == BrushKind::Hollow) {
        out += "hollow";
        return;
    }
    AppendHex(out, b.color);
    out += ' ';
    out += BrushKindName(b.kind);
}

void AppendQuoted(std::string &out, std::string_view sjis) {
    out += '"';
    for (char c : Cp932ToUtf8(sjis)) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
}

void AppendPoints(std::string &out, const std::vector<PixelPoint> &points) {
    for (const PixelPoint &p : points) {
        AppendInt(out, p.x);
        AppendInt(out, p.y);
    }
}

}  // namespace

std::string TraceLine(const DrawOp &op) {
    std::string out;
    switch (op.kind) {
        case DrawOp::Kind::Line:
            out = "line";
            AppendPoints(out, op.points);
            AppendPen(out, op.pen);
            break;
        case DrawOp::Kind::Rect:
            out = "rect";
            AppendPoints(out, op.points);
            AppendPen(out, op.pen);
            AppendBrush(out, op.brush);
            break;
        case DrawOp::Kind::Polyline:
            out = "polyline";
            AppendInt(out, static_cast<std::int64_t>(op.points.size()));
            AppendPoints(out, op.points);
            AppendPen(out, op.pen);
            break;
        case DrawOp::Kind::Polygon:
            out = "polygon";
            AppendInt(out, static_cast<std::int64_t>(op.points.size()));
            AppendPoints(out, op.points);
            AppendPen(out, op.pen);
            AppendBrush(out, op.brush);
            break;
        case DrawOp::Kind::Text:
            out = "text";
            AppendPoints(out, op.points);
            out += " | font";
            AppendInt(out, op.font.height);
            AppendInt(out, op.font.width);
            AppendInt(out, op.font.escapement);
            AppendInt(out, op.font.weight);
            AppendInt(out, op.font.italic ? 1 : 0);
            out += ' ';
            AppendQuoted(out, op.font.face);
            out += " | color ";
            AppendHex(out, op.color);
            out += " | ";
            AppendQuoted(out, op.text);
            break;
    }
    return out;
}

DrawOp &RecordingCanvas::Begin(DrawOp::Kind kind, const Pen &pen, const Brush &brush) {
    DrawOp &op = consumer ? scratch : ops.emplace_back();
    op.kind = kind;
    op.pen = pen;
    op.brush = brush;
    op.points.clear();
    return op;
}

void RecordingCanvas::End() {
    if (consumer) consumer(scratch);
}

void RecordingCanvas::Line(const Pen &pen, PixelPoint from, PixelPoint to) {
    Begin(DrawOp::Kind::Line, pen, CurrentBrush()).points.assign({from, to});
    End();
}

void RecordingCanvas::Rect(const Pen &pen, const Brush &brush, std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom) {
    Begin(DrawOp::Kind::Rect, pen, brush).points.assign({{left, top}, {right, bottom}});
    End();
}

void RecordingCanvas::Polyline(const Pen &pen, std::span<const PixelPoint> points) {
    Begin(DrawOp::Kind::Polyline, pen, CurrentBrush()).points.assign(points.begin(), points.end());
    End();
}

void RecordingCanvas::Polygon(const Pen &pen, const Brush &brush, std::span<const PixelPoint> points) {
    Begin(DrawOp::Kind::Polygon, pen, brush).points.assign(points.begin(), points.end());
    End();
}

void RecordingCanvas::Character(PixelPoint at, std::string_view sjis, const FontSpec &font, Rgb color) {
    DrawOp &op = Begin(DrawOp::Kind::Text, CurrentPen(), CurrentBrush());
    op.points.assign({at});
    op.font = font;
    op.color = color;
    op.text.assign(sjis);
    End();
}

}  // namespace korvel
