// The drawing as an SVG picture: what the view shows of it, on a white sheet, in paper millimetres, one named
// group per layer, blocks defined once and placed by <use>.
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "geom/cp932.h"
#include "geom/func.h"
#include "geom/plane.h"
#include "reader/drawing_rules.h"
#include "reader/extents.h"
#include "reader/layers.h"
#include "reader/text_layout.h"
#include "script/export.h"
#include "script/export_style.h"
#include "script/staged_text.h"

namespace korvel {

namespace {

constexpr double kDegrees = 180 / std::numbers::pi;
// The view's margin around the drawing: it fills nine tenths of the image.
constexpr double kFill = 0.9;
constexpr double kHairlines = 1200;
// Where a character stands in its cell: the baseline at the font's ascent, as a Japanese font's em box
// shares its height between ascent and descent.
constexpr double kAscent = 0.88;

std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
    return out;
}

std::string ColorText(Rgb c) {
    constexpr char kHex[] = "0123456789abcdef";
    return {'#', kHex[c.r >> 4], kHex[c.r & 15], kHex[c.g >> 4], kHex[c.g & 15], kHex[c.b >> 4], kHex[c.b & 15]};
}

class SvgWriter final : public FigureWriter {
public:
    SvgWriter(const DrawingStore &store, ScriptSink &sink) : store(store), sink(sink) {}

    bool Write(const ExportOptions &options, ConversionReport &report) {
        ExportOptions paper = options;
        paper.paper = true;  // a picture of the sheet, as the view shows it
        Head();
        sink.WriteLines("<defs>\n");
        const bool walked = WalkForExport(store, paper, *this, report);
        if (walked) Layers();
        return walked && sink.Ok();
    }

    void BeginBlock(std::size_t d) override {
        target = &block;
        block = "<g id=\"block-" + std::to_string(d) + "\">\n";
    }
    void EndBlock(std::size_t) override {
        block += "</g>\n";
        sink.WriteLines(block);
        block.clear();
    }
    void BeginTopLevel() override {
        sink.WriteLines("</defs>\n");
        inBlock = false;
    }

    bool Line(const TclpEntSen &line, const ExportPlace &at) override {
        Begin(line.base, "<path d=\"M");
        Coordinates(at, line.startX, line.startY);
        staged << " L";
        Coordinates(at, line.endX, line.endY);
        staged << '"';
        Stroke(line.base);
        return Commit();
    }

    bool Arc(const TclpEntEnko &arc, const ExportPlace &at) override {
        Begin(arc.base, "<path d=\"");
        CurvePath(ArcOf(arc), arc.fullCircle != 0, at);
        staged << '"';
        Stroke(arc.base);
        return Commit();
    }

    bool Point(const TclpEntTen &point, const ExportPlace &at) override {
        Begin(point.base, "<path d=\"M");
        Coordinates(at, point.x, point.y);
        staged << " h0\" fill=\"none\" stroke=\"" << ColorText(ColorOf(point.base)) << "\" stroke-linecap=\"square\"";
        if (point.temporary != 0) staged << " display=\"none\"";  // kept, but not drawn: Jw_cad does not print it
        return Commit();
    }

    bool Text(const TclpEntMoji &text, const ExportPlace &at) override {
        TextElement(text, at);
        return Commit(">\n");
    }

    bool Dimension(const TclpEntSunpo &d, const ExportPlace &at) override {
        Begin(d.base, "<g class=\"dimension\">\n");
        staged << "<path d=\"M";
        for (const TclpEntSen *line : {&d.line, &d.auxLine1, &d.auxLine2}) {
            if (line != &d.line && d.sxfMode == 0) break;
            if (line != &d.line) staged << " M";
            Coordinates(at, line->startX, line->startY);
            staged << " L";
            Coordinates(at, line->endX, line->endY);
        }
        staged << '"';
        Stroke(d.line.base);
        staged << "/>\n";
        TextElement(d.label, at, false);
        staged << ">\n</g";
        return Commit(">\n");
    }

    bool Solid(const TclpEntSolid &solid, const ExportPlace &at) override {
        const std::string color = ColorText(ColorOf(solid));
        if (!IsArcSolid(solid)) {
            Begin(solid.base, "<path d=\"M");
            Coordinates(at, solid.x1, solid.y1);
            for (const auto &[x, y] : {std::pair{solid.x2, solid.y2}, {solid.x3, solid.y3}, {solid.x4, solid.y4}}) {
                staged << " L";
                Coordinates(at, x, y);
            }
            staged << " Z\" fill=\"" << color << "\" stroke=\"" << color << '"';
            return Commit();
        }
        const ArcSolidShape shape = DecodeArcSolid(solid);
        const ArcSolidFigure figure = FigureOf(shape, kArcSolidShapeTolerance);
        const ArcShape &arc = shape.arc;
        const EllipseShape &e = arc.ellipse;
        Begin(solid.base, "<path d=\"");
        switch (figure) {
            case ArcSolidFigure::WholeOutline:
            case ArcSolidFigure::OutlineArc:
                CurvePath(arc, figure == ArcSolidFigure::WholeOutline, at);
                staged << "\" fill=\"none\" stroke=\"" << color << '"';
                return Commit();
            case ArcSolidFigure::WholeEllipse: CurvePath(arc, true, at); break;
            case ArcSolidFigure::Sector:
                CurvePath(arc, false, at);
                staged << " L";
                Coordinates(at, e.cx, e.cy);
                break;
            case ArcSolidFigure::Segment: CurvePath(arc, false, at); break;
            case ArcSolidFigure::TangentCorner: {
                CurvePath(arc, false, at);
                PlanePoint corner;
                ArcTangentCorner(e.cx, e.cy, e.radius, e.flatness, arc.start, arc.sweep, e.tilt, corner.x, corner.y);
                staged << " L";
                Coordinates(at, corner.x, corner.y);
                break;
            }
            case ArcSolidFigure::Band: {
                const bool whole = std::fabs(arc.sweep) >= 2 * std::numbers::pi;
                CurvePath(arc, whole, at);
                ArcShape inner = arc;
                inner.ellipse.radius = shape.value;
                inner.ellipse.flatness = ToDouble(BandInnerFlatness(shape));
                if (whole) {
                    staged << " Z ";
                    CurvePath(inner, true, at);
                } else {
                    // Back along the inner edge, from the arc's end to its start.
                    inner.start = arc.start + arc.sweep;
                    inner.sweep = -arc.sweep;
                    staged << " L";
                    const PlanePoint p = PointOn(inner.ellipse, inner.start);
                    Coordinates(at, p.x, p.y);
                    ArcTo(inner, at);
                }
                break;
            }
            case ArcSolidFigure::Nothing: break;
        }
        staged << " Z\" fill=\"" << color << "\" fill-rule=\"evenodd\" stroke=\"none\"";
        return Commit();
    }

    bool Insert(const TclpEntBlock &insert, std::size_t d, const ExportPlace &at) override {
        Begin(insert.base, "<use href=\"#block-");
        staged.Integer(static_cast<long long>(d)) << "\" xlink:href=\"#block-";
        staged.Integer(static_cast<long long>(d)) << "\" transform=\"translate(";
        Coordinates(at, insert.x, insert.y);
        staged << ") rotate(" << -insert.angle * kDegrees << ") scale(" << insert.scaleX << ' ' << insert.scaleY
               << ")\"";
        return Commit();
    }

private:
    void Head() {
        const DrawingExtents extents = ComputeShownExtents(store);
        // The view's whole drawing: what is shown, centred, filling nine tenths of the picture; a drawing that
        // shows only a point, on an A3 sheet about it; where the extents are no number, about the origin.
        double w = (extents.maxX - extents.minX) / kFill, h = (extents.maxY - extents.minY) / kFill;
        if (!std::isnormal(w) && !std::isnormal(h)) w = 420, h = 297;
        else if (!std::isnormal(w)) w = h;
        else if (!std::isnormal(h)) h = w;
        double x = (extents.minX + extents.maxX) / 2 - store.originX - w / 2;
        double y = -((extents.minY + extents.maxY) / 2 - store.originY) - h / 2;
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(w) || !std::isfinite(h))
            x = -210, y = -148.5, w = 420, h = 297;
        StagedText head;
        head << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             << "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" version=\"1.1\" width=\""
             << w << "mm\" height=\"" << h << "mm\" viewBox=\"" << x << ' ' << y << ' ' << w << ' ' << h << "\">\n"
             << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << w << "\" height=\"" << h
             << "\" fill=\"#ffffff\"/>\n"
             // Lines as thin as the view's pixels when the picture is shown about 1,200 pixels wide.
             << "<g stroke-width=\"" << std::max(w, h) / kHairlines << "\">\n";
        std::string text;
        head.CommitTo(text);
        sink.WriteLines(text);
    }

    // Each layer's group in order, hidden ones present but not displayed; what lies on no layer last.
    void Layers() {
        for (std::size_t layer = 0; layer < kLayerCount; layer++) {
            const std::string &figures = layers[layer];
            const bool off = LayerShownIn(store, layer) == LayerShown::Off;
            const std::string name = LayerName(store, layer);
            std::string group = "<g id=\"layer-" + name.substr(0, 3) +
                                "\" inkscape:groupmode=\"layer\" inkscape:label=\"" + Escaped(name) + "\"" +
                                (off ? " display=\"none\"" : "") + ">\n";
            sink.WriteLines(group);
            sink.WriteLines(figures);
            sink.WriteLines("</g>\n");
        }
        sink.WriteLines(unlayered);
        sink.WriteLines("</g>\n</svg>\n");
    }

    void Begin(const TclpEntBase &base, std::string_view element) {
        if (inBlock) target = &block;
        else {
            const std::optional<std::size_t> layer = LayerIndexOf(base);
            target = layer ? &layers[*layer] : &unlayered;
        }
        staged << element;
    }
    // Ends the element (an empty one unless told) and keeps it when all its numbers were numbers.
    bool Commit(std::string_view end = "/>\n") {
        staged << end;
        return staged.CommitTo(*target);
    }

    // In the picture's coordinates: y grows downwards.
    void Coordinates(const ExportPlace &at, double x, double y) { staged << at.X(x) << ' ' << -at.Y(y); }

    void Stroke(const TclpEntBase &base) {
        staged << " fill=\"none\" stroke=\"" << ColorText(ColorOf(base)) << '"';
        const LineTypePattern &pattern = LineTypeOf(base);
        if (pattern.elements.empty()) return;
        staged << " stroke-dasharray=\"";
        for (std::size_t i = 0; i < pattern.elements.size(); i++) {
            // A dot of a pattern drawn as a short dash: SVG draws nothing for a dash of no length.
            const double length = pattern.elements[i] == 0 ? 0.2 : std::fabs(pattern.elements[i]);
            staged << (i ? " " : "") << length;
        }
        staged << '"';
    }

    // Moves to the curve's start and draws it; a whole ellipse as two halves.
    void CurvePath(const ArcShape &arc, bool whole, const ExportPlace &at) {
        whole = whole || std::fabs(arc.sweep) >= 2 * std::numbers::pi;
        ArcShape part = arc;
        if (whole) part.start = 0, part.sweep = std::numbers::pi;
        const PlanePoint p = PointOn(part.ellipse, part.start);
        staged << 'M';
        Coordinates(at, p.x, p.y);
        ArcTo(part, at);
        if (whole) {
            part.start = std::numbers::pi;
            ArcTo(part, at);
            staged << " Z";
        }
    }

    void ArcTo(const ArcShape &arc, const ExportPlace &at) {
        const EllipseShape &e = arc.ellipse;
        const PlanePoint end = PointOn(e, arc.start + arc.sweep);
        // With y downwards a counter-clockwise arc turns against SVG's sweep flag (a negative flatness mirrors it).
        staged << " A" << at.Length(std::fabs(e.radius)) << ' ' << at.Length(std::fabs(e.radius * e.flatness)) << ' '
               << -e.tilt * kDegrees << (std::fabs(arc.sweep) > std::numbers::pi ? " 1" : " 0")
               << ((arc.sweep < 0) != (e.flatness < 0) ? " 1 " : " 0 ");
        Coordinates(at, end.x, end.y);
    }

    // Character by character in the cells Jw_cad lays them out in, as the view draws them; a text of no
    // height or no baseline as its baseline.
    void TextElement(const TclpEntMoji &text, const ExportPlace &at, bool begin = true) {
        if (begin) Begin(text.base, "");
        const std::optional<TextLayout> layout = LayOutText(text.startX, text.startY, text.endX, text.endY, text.sizeY,
                                                            text.sizeX, text.spacing, text.text.size());
        const std::string color = ColorText(ColorOf(text.base));
        if (!layout) {
            staged << "<path d=\"M";
            Coordinates(at, text.startX, text.startY);
            staged << " L";
            Coordinates(at, text.endX, text.endY);
            staged << "\" stroke=\"" << color << "\"/";  // the element's end follows
            return;
        }
        // In the text's own axes: x along the baseline in full-width cells, y down from the cells' top.
        const double stretch = layout->w / layout->h;
        staged << "<text transform=\"translate(";
        Coordinates(at, layout->anchor.x, layout->anchor.y);
        staged << ") rotate(" << -layout->angle * kDegrees << ") scale(" << stretch << " 1)\" font-size=\"" << layout->h
               << "\" font-family=\"IPAGothic, 'IPAexGothic', 'MS Gothic', 'Noto Sans CJK JP', sans-serif\" fill=\""
               << color << "\" y=\"" << layout->h * kAscent << "\">";
        // Each character at its own cell, in an element of its own: a list of positions on one element is
        // ignored by some renderers (librsvg), which then run the characters together, and would grow without
        // bound with the text.
        double along = 0;
        for (std::size_t pos = 0; pos < text.text.size();) {
            const std::size_t bytes = SjisCharBytes(text.text, pos);
            const bool wide = bytes == 2;
            staged << "<tspan x=\"" << along / stretch << "\">" << Escaped(Cp932ToUtf8(text.text.substr(pos, bytes)))
                   << "</tspan>";
            along += CellAdvance(*layout, wide);
            pos += bytes;
        }
        staged << "</text";
    }

    const DrawingStore &store;
    ScriptSink &sink;
    StagedText staged;
    std::array<std::string, kLayerCount> layers;
    std::string unlayered, block;
    std::string *target = &unlayered;
    bool inBlock = true;
};

}  // namespace

bool WriteSvg(const DrawingStore &store, const ExportOptions &options, ScriptSink &out, ConversionReport &report) {
    return SvgWriter(store, out).Write(options, report);
}

}  // namespace korvel
