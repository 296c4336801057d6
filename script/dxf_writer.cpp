// The drawing as an ASCII DXF of AutoCAD 2013 (AC1027): from 2007 on a DXF's strings are UTF-8, so Japanese
// texts and layer names need no code page, and 2013 is a version every current reader takes.
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "geom/cp932.h"
#include "geom/extended.h"
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

// Group codes and values, one per line, each figure staged until it is whole.
class DxfOut {
public:
    explicit DxfOut(ScriptSink &sink) : sink(sink) {}

    void Code(int code, std::string_view value) { Key(code) << value << '\n'; }
    void Code(int code, const char *value) { Code(code, std::string_view(value)); }
    void Code(int code, const std::string &value) { Code(code, std::string_view(value)); }
    void Code(int code, double value) { Key(code) << value << '\n'; }
    void Integer(int code, std::int64_t value) { Key(code).Integer(value) << '\n'; }
    void Handle(int code, std::uint64_t handle) { Key(code).Hex(handle) << '\n'; }
    void Point(int code, double x, double y) {
        Code(code, x);
        Code(code + 10, y);
        Code(code + 20, 0.0);
    }

    // What was staged goes out when all its numbers were numbers; false otherwise.
    bool Commit() {
        const bool ok = staged.CommitTo(text);
        if (!held && text.size() >= kFlushBytes) Flush();
        return ok;
    }

    // Figures that go out all together or not at all: what is committed from here is held until Keep, or
    // dropped by Drop.
    std::size_t Hold() {
        held = true;
        return text.size();
    }
    void Keep() {
        held = false;
        if (text.size() >= kFlushBytes) Flush();
    }
    void Drop(std::size_t mark) {
        text.resize(mark);
        held = false;
    }
    void Flush() {
        sink.WriteLines(text);
        text.clear();
    }

private:
    // The group code on its line, right-aligned in three columns as AutoCAD writes it.
    StagedText &Key(int code) {
        if (code < 100) staged << (code < 10 ? "  " : " ");
        return staged.Integer(code) << '\n';
    }

    static constexpr std::size_t kFlushBytes = 1 << 16;
    bool held = false;
    ScriptSink &sink;
    StagedText staged;
    std::string text;
};

// Both layouts' plot settings: an A3 sheet, landscape, in millimetres, as a reader expects them.
constexpr std::pair<int, std::string_view> kA3PlotSettings[] = {
    {100, "AcDbPlotSettings"},
    {1, ""},
    {4, "A3"},
    {6, ""},
    {40, "7.5"},
    {41, "20"},
    {42, "7.5"},
    {43, "20"},
    {44, "420"},
    {45, "297"},
    {46, "0"},
    {47, "0"},
    {48, "0"},
    {49, "0"},
    {140, "0"},
    {141, "0"},
    {142, "1"},
    {143, "1"},
    {70, "688"},
    {72, "1"},
    {73, "0"},
    {74, "5"},
    {7, ""},
    {75, "16"},
    {76, "0"},
    {77, "2"},
    {78, "300"},
    {147, "1"},
    {148, "0"},
    {149, "0"},
};

std::uint32_t RgbValue(Rgb c) { return std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b; }

// The nearest of the first nine indexed colours, black and white both as 7 (shown against the background).
int NearestIndexColor(Rgb c) {
    static constexpr Rgb kIndexed[] = {{255, 0, 0},   {255, 255, 0}, {0, 255, 0},     {0, 255, 255},  {0, 0, 255},
                                       {255, 0, 255}, {0, 0, 0},     {128, 128, 128}, {192, 192, 192}};
    int best = 7;
    long bestDistance = -1;
    for (int i = 0; i < 9; i++) {
        const long dr = c.r - kIndexed[i].r, dg = c.g - kIndexed[i].g, db = c.b - kIndexed[i].b;
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) best = i + 1, bestDistance = distance;
    }
    return best;
}

// The font file and family a Japanese user's CAD has for Jw_cad's face names.
struct FontFace {
    std::string file, family;
};
FontFace FaceFor(const std::string &jwName) {
    const bool mincho = jwName.find("明朝") != std::string::npos || jwName.find("Mincho") != std::string::npos;
    const bool proportional = jwName.find("Ｐ") != std::string::npos || jwName.find(" P") != std::string::npos;
    if (mincho) return {"msmincho.ttc", proportional ? "ＭＳ Ｐ明朝" : "ＭＳ 明朝"};
    return {"msgothic.ttc", proportional ? "ＭＳ Ｐゴシック" : "ＭＳ ゴシック"};
}

// A counter-clockwise parameter range: a negative sweep is the same arc walked the other way.
struct Range {
    double from, to;
};
Range RangeOf(double start, double sweep) {
    return sweep >= 0 ? Range{start, start + sweep} : Range{start + sweep, start};
}

// An ellipse as DXF holds it: the end of its major axis from the centre and the minor axis's ratio to it
// (at most 1). Jw_cad's parameter t is DXF's sign * t + shift: a quarter turn back when Jw_cad's second axis is
// the longer, and run the other way when its flatness is negative (which mirrors the ellipse about its tilt).
struct DxfEllipse {
    double cx, cy, majorX, majorY, ratio, shift, sign;

    Range ParametersOf(double start, double sweep) const {
        const double a = sign * start + shift, b = sign * (start + sweep) + shift;
        return a <= b ? Range{a, b} : Range{b, a};
    }
};
DxfEllipse DxfEllipseOf(const EllipseShape &e, const ExportPlace &at) {
    // The tilt's sine and cosine as the script's and the preview's are taken: the same on every platform.
    const Rotation tilt(e.tilt);
    const double r = at.Length(e.radius), k = std::fabs(e.flatness), sign = e.flatness < 0 ? -1 : 1;
    if (k <= 1) {
        const PlanePoint major = tilt.Apply(r, 0);
        return {at.X(e.cx), at.Y(e.cy), major.x, major.y, std::max(k, 1e-6), 0, sign};
    }
    const PlanePoint major = tilt.Apply(0, r * k);
    return {at.X(e.cx), at.Y(e.cy), major.x, major.y, std::max(1 / k, 1e-6), -std::numbers::pi / 2, sign};
}

// A hatch boundary's elliptic edge is given by the true angles of its ends from the major axis (not by their
// parameters, as an ELLIPSE is), in degrees within 0 to 360: readers fill an edge of negative angles on the
// wrong side.
double EdgeAngle(const DxfEllipse &d, double parameter) {
    const double degrees = std::atan2(d.ratio * std::sin(parameter), std::cos(parameter)) * kDegrees;
    return degrees < 0 ? degrees + 360 : degrees;
}

class DxfWriter final : public FigureWriter {
public:
    DxfWriter(const DrawingStore &store, const ExportOptions &options, ScriptSink &sink)
        : store(store), options(options), out(sink), blockNames(store) {
        for (std::size_t layer = 0; layer < kLayerCount; layer++)
            layerNames.push_back(LayerName(store, layer));
        memberLineTypeScale = options.paper || store.layerGroupScales.empty() ? 1 : store.layerGroupScales[0];
        if (!std::isnormal(memberLineTypeScale)) memberLineTypeScale = 1;
    }

    bool Write(ConversionReport &report) {
        CollectFonts();
        handleSeed = 0x1000 + 16 * (HandledCount() + 64);
        Header();
        Section("CLASSES");
        EndSection();
        Tables();
        Section("BLOCKS");
        SpaceBlock("*Model_Space", modelRecord, false);
        SpaceBlock("*Paper_Space", paperRecord, true);
        const bool walked = WalkForExport(store, options, *this, report);
        if (walked) {
            EndSection();
            Objects();
            out.Code(0, "EOF");
            out.Commit();
        }
        out.Flush();
        return walked;
    }

    void BeginTopLevel() override {
        EndSection();
        Section("ENTITIES");
        owner = modelRecord;
    }

    void BeginBlock(std::size_t d) override {
        owner = blockRecords[d];
        out.Code(0, "BLOCK");
        out.Handle(5, Next());
        out.Handle(330, owner);
        out.Code(100, "AcDbEntity");
        out.Code(8, "0");
        out.Code(100, "AcDbBlockBegin");
        out.Code(2, blockNames[d]);
        out.Integer(70, 0);
        out.Point(10, 0, 0);
        out.Code(3, blockNames[d]);
        out.Code(1, "");
        out.Commit();
    }
    void EndBlock(std::size_t d) override {
        out.Code(0, "ENDBLK");
        out.Handle(5, Next());
        out.Handle(330, blockRecords[d]);
        out.Code(100, "AcDbEntity");
        out.Code(8, "0");
        out.Code(100, "AcDbBlockEnd");
        out.Commit();
    }

    bool Line(const TclpEntSen &line, const ExportPlace &at) override {
        Entity("LINE", line.base, at, true);
        out.Code(100, "AcDbLine");
        out.Point(10, at.X(line.startX), at.Y(line.startY));
        out.Point(11, at.X(line.endX), at.Y(line.endY));
        return out.Commit();
    }

    bool Arc(const TclpEntEnko &arc, const ExportPlace &at) override {
        return Curve(arc.base, ArcOf(arc), arc.fullCircle != 0, at, true);
    }

    bool Point(const TclpEntTen &point, const ExportPlace &at) override {
        Entity("POINT", point.base, at, false);
        if (point.temporary != 0) out.Integer(60, 1);  // a temporary point: kept, but not shown or printed
        out.Code(100, "AcDbPoint");
        out.Point(10, at.X(point.x), at.Y(point.y));
        return out.Commit();
    }

    bool Text(const TclpEntMoji &text, const ExportPlace &at) override { return TextEntity(text, at); }

    // Its line, extension lines and value, whole or not at all; at the top level grouped, so that they are
    // chosen and moved as one.
    bool Dimension(const TclpEntSunpo &d, const ExportPlace &at) override {
        const bool grouped = owner == modelRecord;
        if (grouped) {
            groups.emplace_back();
            group = &groups.back();
            group->handle = Next();
        }
        const std::size_t mark = out.Hold();
        bool ok = Line(d.line, at);
        if (ok && d.sxfMode != 0) ok = Line(d.auxLine1, at) && Line(d.auxLine2, at);
        ok = ok && TextEntity(d.label, at);
        group = nullptr;
        if (ok) {
            out.Keep();
            return true;
        }
        out.Drop(mark);
        if (grouped) groups.pop_back();  // no group of figures not written
        return false;
    }

    bool Solid(const TclpEntSolid &solid, const ExportPlace &at) override {
        if (IsArcSolid(solid)) return ArcSolid(solid, at);
        Entity("SOLID", solid.base, at, false, &solid);
        out.Code(100, "AcDbTrace");
        // DXF fills corners 1, 2, 4, 3 in that order.
        out.Point(10, at.X(solid.x1), at.Y(solid.y1));
        out.Point(11, at.X(solid.x2), at.Y(solid.y2));
        out.Point(12, at.X(solid.x4), at.Y(solid.y4));
        out.Point(13, at.X(solid.x3), at.Y(solid.y3));
        return out.Commit();
    }

    bool Insert(const TclpEntBlock &insert, std::size_t d, const ExportPlace &at) override {
        out.Code(0, "INSERT");
        out.Handle(5, Next());
        out.Handle(330, owner);
        out.Code(100, "AcDbEntity");
        out.Code(8, LayerOf(insert.base));
        out.Code(100, "AcDbBlockReference");
        out.Code(2, blockNames[d]);
        out.Point(10, at.X(insert.x), at.Y(insert.y));
        out.Code(41, at.Length(insert.scaleX));
        out.Code(42, at.Length(insert.scaleY));
        out.Code(43, 1.0);
        out.Code(50, insert.angle * kDegrees);
        return out.Commit();
    }

private:
    std::uint64_t Next() { return nextHandle++; }

    // Every record, table entry and entity the file may hold, for a handle seed above all of them.
    std::uint64_t HandledCount() const {
        std::uint64_t n = store.objects.size() + store.dimensions.size() * 4;
        for (const TclpEntBlockDef &d : store.blockDefs)
            n += d.objects.size() + d.dimensions.size() * 4 + 3;
        return n + fonts.size() + kLayerCount;
    }

    void Section(const char *name) {
        out.Code(0, "SECTION");
        out.Code(2, name);
        out.Commit();
    }
    void EndSection() {
        out.Code(0, "ENDSEC");
        out.Commit();
    }

    std::string_view LayerOf(const TclpEntBase &base) const {
        if (owner != modelRecord) return "0";  // a member goes with the layer its insert is placed on
        const std::optional<std::size_t> layer = LayerIndexOf(base);
        return layer ? std::string_view(layerNames[*layer]) : "0";
    }

    void Entity(const char *type, const TclpEntBase &base, const ExportPlace &at, bool lineType,
                const TclpEntSolid *solid = nullptr) {
        out.Code(0, type);
        const std::uint64_t handle = Next();
        out.Handle(5, handle);
        if (group) {
            group->members.push_back(handle);
            out.Code(102, "{ACAD_REACTORS");
            out.Handle(330, group->handle);
            out.Code(102, "}");
        }
        out.Handle(330, owner);
        out.Code(100, "AcDbEntity");
        out.Code(8, LayerOf(base));
        const LineTypePattern &pattern = LineTypeOf(base);
        if (lineType) out.Code(6, pattern.name);
        const Rgb color = solid ? ColorOf(*solid) : ColorOf(base);
        out.Integer(62, NearestIndexColor(color));
        out.Integer(370, LineWeightOf(base));
        if (lineType && !pattern.elements.empty()) out.Code(48, owner == modelRecord ? at.s : memberLineTypeScale);
        out.Integer(420, RgbValue(color));
    }

    bool Curve(const TclpEntBase &base, const ArcShape &arc, bool whole, const ExportPlace &at, bool lineType) {
        const EllipseShape &e = arc.ellipse;
        whole = whole || std::fabs(arc.sweep) >= 2 * std::numbers::pi;
        if (e.flatness == 1) {
            Entity(whole ? "CIRCLE" : "ARC", base, at, lineType);
            out.Code(100, "AcDbCircle");
            out.Point(10, at.X(e.cx), at.Y(e.cy));
            out.Code(40, at.Length(e.radius));
            if (!whole) {
                const Range r = RangeOf(arc.start, arc.sweep);
                out.Code(100, "AcDbArc");
                out.Code(50, (r.from + e.tilt) * kDegrees);
                out.Code(51, (r.to + e.tilt) * kDegrees);
            }
            return out.Commit();
        }
        const DxfEllipse d = DxfEllipseOf(e, at);
        const Range r = whole ? Range{0, 2 * std::numbers::pi} : d.ParametersOf(arc.start, arc.sweep);
        Entity("ELLIPSE", base, at, lineType);
        out.Code(100, "AcDbEllipse");
        out.Point(10, d.cx, d.cy);
        out.Point(11, d.majorX, d.majorY);
        out.Code(210, 0.0);
        out.Code(220, 0.0);
        out.Code(230, 1.0);
        out.Code(40, d.ratio);
        out.Code(41, r.from);
        out.Code(42, r.to);
        return out.Commit();
    }

    // Fitted between the bottom corners of the first and the last character cell, as Jw_cad lays the
    // characters out with their width and spacing; a text of no height or no baseline at its start.
    bool TextEntity(const TclpEntMoji &text, const ExportPlace &at) {
        const std::optional<TextLayout> layout = LayOutText(text.startX, text.startY, text.endX, text.endY, text.sizeY,
                                                            text.sizeX, text.spacing, text.text.size());
        Entity("TEXT", text.base, at, false);
        out.Code(100, "AcDbText");
        if (!layout) {
            out.Point(10, at.X(text.startX), at.Y(text.startY));
            out.Code(40, at.Length(std::fabs(text.sizeY)));
            out.Code(1, Printable(Cp932ToUtf8(text.text)));
            out.Code(50, text.angle);
            out.Code(7, StyleOf(text.fontName));
        } else {
            const PlanePoint first = PointInText(*layout, 0, -layout->h);
            const PlanePoint last = PointInText(*layout, CellsLength(*layout, text.text), -layout->h);
            out.Point(10, at.X(first.x), at.Y(first.y));
            out.Code(40, at.Length(layout->h));
            out.Code(1, Printable(Cp932ToUtf8(text.text)));
            out.Code(50, layout->angle * kDegrees);
            out.Code(41, layout->w / layout->h);
            out.Code(7, StyleOf(text.fontName));
            out.Integer(72, 5);
            out.Point(11, at.X(last.x), at.Y(last.y));
        }
        out.Code(100, "AcDbText");
        return out.Commit();
    }

    // Control characters as blanks, and a caret as itself: in a DXF string "^" and the character after it
    // are a control code ("^J" a line break), "^ " a caret.
    static std::string Printable(const std::string &text) {
        std::string out;
        out.reserve(text.size());
        for (const char c : text) {
            out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
            if (c == '^') out += ' ';
        }
        return out;
    }

    bool ArcSolid(const TclpEntSolid &solid, const ExportPlace &at);

    void CollectFonts() {
        const auto add = [&](const TclpEntMoji &t) {
            if (!fonts.contains(t.fontName)) fonts.emplace(t.fontName, "JW_" + std::to_string(fonts.size() + 1));
        };
        for (const TclpEntMoji &t : store.texts)
            add(t);
        for (const TclpEntSunpo &d : store.dimensions)
            add(d.label);
        for (const TclpEntBlockDef &definition : store.blockDefs) {
            for (const TclpEntMoji &t : definition.texts)
                add(t);
            for (const TclpEntSunpo &d : definition.dimensions)
                add(d.label);
        }
    }
    const std::string &StyleOf(const std::string &fontName) const { return fonts.at(fontName); }

    void Header();
    void Tables();
    void Table(const char *name, std::size_t entries, std::uint64_t &handle);
    void SpaceBlock(const char *name, std::uint64_t record, bool paper);
    void Objects();

    const DrawingStore &store;
    const ExportOptions &options;
    DxfOut out;
    const BlockNames blockNames;
    std::vector<std::string> layerNames;       // each of the 256, named once for every entity on it
    std::map<std::string, std::string> fonts;  // Jw_cad face name (Shift-JIS) to text style
    double memberLineTypeScale = 1;
    ExportBox shown{};  // what the file shows, for the header's extents and the opening window
    std::uint64_t nextHandle = 0x20, handleSeed = 0;
    std::uint64_t modelRecord = 0, paperRecord = 0, modelLayout = 0, paperLayout = 0;
    std::uint64_t owner = 0;
    std::vector<std::uint64_t> blockRecords;
    struct Group {
        std::uint64_t handle = 0;
        std::vector<std::uint64_t> members;
    };
    std::vector<Group> groups;
    Group *group = nullptr;
};

void DxfWriter::Header() {
    shown = ShownBox(store, options);
    Section("HEADER");
    const auto variable = [&](const char *name) { out.Code(9, name); };
    variable("$ACADVER");
    out.Code(1, "AC1027");
    variable("$DWGCODEPAGE");
    out.Code(3, "ANSI_1252");
    variable("$INSBASE");
    out.Point(10, 0, 0);
    out.Commit();
    // The reference point and what is shown, as the view fits them.
    variable("$EXTMIN");
    out.Point(10, shown.minX, shown.minY);
    variable("$EXTMAX");
    out.Point(10, shown.maxX, shown.maxY);
    out.Commit();
    variable("$LTSCALE");
    out.Code(40, 1.0);
    variable("$CELTSCALE");
    out.Code(40, 1.0);
    variable("$PSLTSCALE");
    out.Integer(70, 0);
    variable("$INSUNITS");
    out.Integer(70, 4);  // millimetres
    variable("$MEASUREMENT");
    out.Integer(70, 1);  // metric
    variable("$LUNITS");
    out.Integer(70, 2);
    variable("$HANDSEED");
    out.Handle(5, handleSeed);
    out.Commit();
    EndSection();
}

// A table's head; `handle` receives the table's own handle, the owner of its entries.
void DxfWriter::Table(const char *name, std::size_t entries, std::uint64_t &handle) {
    handle = Next();
    out.Code(0, "TABLE");
    out.Code(2, name);
    out.Handle(5, handle);
    out.Handle(330, 0);
    out.Code(100, "AcDbSymbolTable");
    out.Integer(70, static_cast<std::int64_t>(entries));
    if (std::string_view(name) == "DIMSTYLE") out.Code(100, "AcDbDimStyleTable");
}

void DxfWriter::Tables() {
    Section("TABLES");
    std::uint64_t table = 0;
    // Each entry goes out as the next begins, so that a table of a million block records is never held whole.
    const auto entry = [&](const char *type, const char *subclass, const std::string &name, int handleCode = 5) {
        out.Commit();
        out.Code(0, type);
        out.Handle(handleCode, Next());
        out.Handle(330, table);
        out.Code(100, "AcDbSymbolTableRecord");
        out.Code(100, subclass);
        out.Code(2, name);
        out.Integer(70, 0);
    };
    const auto endTable = [&] {
        out.Code(0, "ENDTAB");
        out.Commit();
    };

    // The window a reader opens on: what is shown, filling nine tenths of it as the view's fit does.
    constexpr double kAspect = 1.5, kFill = 0.9;
    // Halves first: a span from -1e308 to 1e308 has a centre, though not a width.
    const double centreX = shown.minX / 2 + shown.maxX / 2, centreY = shown.minY / 2 + shown.maxY / 2;
    const double fitted = std::max(shown.maxY / 2 - shown.minY / 2, (shown.maxX / 2 - shown.minX / 2) / kAspect) *
                          2 / kFill;
    // A drawing of only a point: a metre; one past the doubles: the largest.
    const double height = std::isnormal(fitted) ? fitted : fitted > 0 ? std::numeric_limits<double>::max() : 1000;
    Table("VPORT", 1, table);
    entry("VPORT", "AcDbViewportTableRecord", "*Active");
    out.Point(10, 0, 0);
    out.Code(11, 1.0);
    out.Code(21, 1.0);
    out.Code(12, centreX);
    out.Code(22, centreY);
    out.Code(40, height);
    out.Code(41, kAspect);
    endTable();

    const std::span<const LineTypePattern> types = JwLineTypes();
    Table("LTYPE", types.size() + 2, table);
    for (const char *name : {"ByBlock", "ByLayer"}) {
        entry("LTYPE", "AcDbLinetypeTableRecord", name);
        out.Code(3, "");
        out.Integer(72, 65);
        out.Integer(73, 0);
        out.Code(40, 0.0);
    }
    for (const LineTypePattern &type : types) {
        entry("LTYPE", "AcDbLinetypeTableRecord", std::string(type.name));
        out.Code(3, type.description);
        out.Integer(72, 65);
        out.Integer(73, static_cast<std::int64_t>(type.elements.size()));
        double length = 0;
        for (const double e : type.elements)
            length += std::fabs(e);
        out.Code(40, length);
        for (const double e : type.elements) {
            out.Code(49, e);
            out.Integer(74, 0);
        }
    }
    endTable();

    Table("LAYER", kLayerCount + 1, table);
    entry("LAYER", "AcDbLayerTableRecord", "0");
    out.Integer(62, 7);
    out.Code(6, "Continuous");
    for (std::size_t layer = 0; layer < kLayerCount; layer++) {
        const LayerShown shown = LayerShownIn(store, layer);
        entry("LAYER", "AcDbLayerTableRecord", layerNames[layer]);
        // DXF takes the flags' last value: a display-only layer is locked, a hidden one frozen as well as off
        // (some readers honour only one of the two).
        if (shown == LayerShown::Locked) out.Integer(70, 4);
        if (shown == LayerShown::Off) out.Integer(70, 1);
        out.Integer(62, shown == LayerShown::Off ? -7 : 7);  // a negative colour turns the layer off
        out.Code(6, "Continuous");
    }
    endTable();

    Table("STYLE", fonts.size() + 1, table);
    const auto style = [&](const std::string &name, const FontFace &face) {
        entry("STYLE", "AcDbTextStyleTableRecord", name);
        out.Code(40, 0.0);
        out.Code(41, 1.0);
        out.Code(50, 0.0);
        out.Integer(71, 0);
        out.Code(42, 2.5);
        out.Code(3, options.textFont.empty() ? face.file : options.textFont);
        out.Code(4, "");
        out.Code(1001, "ACAD");
        out.Code(1000, face.family);
        out.Integer(1071, 0x80 << 8 | 0x01);  // Shift-JIS character set, fixed pitch
    };
    style("Standard", FaceFor(""));
    for (const auto &[jwName, name] : fonts)
        style(name, FaceFor(Cp932ToUtf8(jwName)));
    endTable();

    for (const char *empty : {"VIEW", "UCS"}) {
        Table(empty, 0, table);
        endTable();
    }
    Table("APPID", 1, table);
    entry("APPID", "AcDbRegAppTableRecord", "ACAD");
    endTable();
    Table("DIMSTYLE", 1, table);
    entry("DIMSTYLE", "AcDbDimStyleTableRecord", "Standard", 105);
    endTable();

    Table("BLOCK_RECORD", store.blockDefs.size() + 2, table);
    const auto record = [&](const std::string &name, std::uint64_t layout) {
        const std::uint64_t handle = nextHandle;
        entry("BLOCK_RECORD", "AcDbBlockTableRecord", name);
        out.Handle(340, layout);
        out.Integer(70, 4);  // insert units: millimetres
        out.Integer(280, 1);
        out.Integer(281, 0);
        return handle;
    };
    modelLayout = Next();
    paperLayout = Next();
    modelRecord = record("*Model_Space", modelLayout);
    paperRecord = record("*Paper_Space", paperLayout);
    for (std::size_t d = 0; d < store.blockDefs.size(); d++)
        blockRecords.push_back(record(blockNames[d], 0));
    endTable();
    EndSection();
}

void DxfWriter::SpaceBlock(const char *name, std::uint64_t record, bool paper) {
    for (const bool end : {false, true}) {
        out.Code(0, end ? "ENDBLK" : "BLOCK");
        out.Handle(5, Next());
        out.Handle(330, record);
        out.Code(100, "AcDbEntity");
        if (paper) out.Integer(67, 1);
        out.Code(8, "0");
        if (end) {
            out.Code(100, "AcDbBlockEnd");
            break;
        }
        out.Code(100, "AcDbBlockBegin");
        out.Code(2, name);
        out.Integer(70, 0);
        out.Point(10, 0, 0);
        out.Code(3, name);
        out.Code(1, "");
    }
    out.Commit();
}

void DxfWriter::Objects() {
    Section("OBJECTS");
    const std::uint64_t root = Next(), groupDictionary = Next(), layoutDictionary = Next();
    const auto dictionary = [&](std::uint64_t handle, std::uint64_t parent) {
        out.Code(0, "DICTIONARY");
        out.Handle(5, handle);
        out.Handle(330, parent);
        out.Code(100, "AcDbDictionary");
        out.Integer(281, 1);
    };
    dictionary(root, 0);
    out.Code(3, "ACAD_GROUP");
    out.Handle(350, groupDictionary);
    out.Code(3, "ACAD_LAYOUT");
    out.Handle(350, layoutDictionary);
    dictionary(groupDictionary, root);
    for (std::size_t i = 0; i < groups.size(); i++) {
        out.Code(3, "*A" + std::to_string(i + 1));
        out.Handle(350, groups[i].handle);
    }
    dictionary(layoutDictionary, root);
    out.Code(3, "Model");
    out.Handle(350, modelLayout);
    out.Code(3, "Layout1");
    out.Handle(350, paperLayout);
    out.Commit();
    for (const Group &g : groups) {
        out.Code(0, "GROUP");
        out.Handle(5, g.handle);
        out.Code(102, "{ACAD_REACTORS");
        out.Handle(330, groupDictionary);
        out.Code(102, "}");
        out.Handle(330, groupDictionary);
        out.Code(100, "AcDbGroup");
        out.Code(300, "");
        out.Integer(70, 1);  // unnamed
        out.Integer(71, 1);  // selectable
        for (const std::uint64_t member : g.members)
            out.Handle(340, member);
        out.Commit();
    }
    const auto layout = [&](std::uint64_t handle, const char *name, int order, std::uint64_t record) {
        out.Code(0, "LAYOUT");
        out.Handle(5, handle);
        out.Handle(330, layoutDictionary);
        for (const auto &[code, value] : kA3PlotSettings)
            out.Code(code, value);
        out.Code(100, "AcDbLayout");
        out.Code(1, name);
        out.Integer(70, 1);
        out.Integer(71, order);
        out.Code(10, 0.0);
        out.Code(20, 0.0);
        out.Code(11, 420.0);
        out.Code(21, 297.0);
        out.Point(12, 0, 0);
        out.Point(14, 0, 0);
        out.Point(15, 0, 0);
        out.Code(146, 0.0);
        out.Point(13, 0, 0);
        out.Point(16, 1, 0);
        out.Code(17, 0.0);
        out.Code(27, 1.0);
        out.Code(37, 0.0);
        out.Integer(76, 0);
        out.Handle(330, record);
        out.Commit();
    };
    layout(modelLayout, "Model", 0, modelRecord);
    layout(paperLayout, "Layout1", 1, paperRecord);
    EndSection();
}

// A filled arc-shaped solid as a solid hatch bounded by its true curves; an outline as the curve itself.
bool DxfWriter::ArcSolid(const TclpEntSolid &solid, const ExportPlace &at) {
    const ArcSolidShape shape = DecodeArcSolid(solid);
    const ArcSolidFigure figure = FigureOf(shape, kArcSolidShapeTolerance);
    if (figure == ArcSolidFigure::WholeOutline || figure == ArcSolidFigure::OutlineArc)
        return Curve(solid.base, shape.arc, figure == ArcSolidFigure::WholeOutline, at, false);

    const EllipseShape &e = shape.arc.ellipse;
    const bool whole = figure == ArcSolidFigure::WholeEllipse || std::fabs(shape.arc.sweep) >= 2 * std::numbers::pi;
    struct Path {
        EllipseShape ellipse;
        std::vector<PlanePoint> after;  // corners the boundary runs through from the arc's end back to its start
    };
    std::vector<Path> paths;
    const PlanePoint centre{e.cx, e.cy};
    switch (figure) {
        case ArcSolidFigure::WholeEllipse: paths.push_back({e, {}}); break;
        case ArcSolidFigure::Sector: paths.push_back({e, {centre}}); break;
        case ArcSolidFigure::Segment: paths.push_back({e, {}}); break;
        case ArcSolidFigure::TangentCorner: {
            PlanePoint corner;
            ArcTangentCorner(e.cx, e.cy, e.radius, e.flatness, shape.arc.start, shape.arc.sweep, e.tilt, corner.x,
                             corner.y);
            paths.push_back({e, {corner}});
            break;
        }
        case ArcSolidFigure::Band: {
            EllipseShape inner = e;
            inner.radius = shape.value;
            inner.flatness = ToDouble(BandInnerFlatness(shape));
            // Two sectors (or whole ellipses) filled by odd parity leave the band between their arcs.
            paths.push_back({e, whole ? std::vector<PlanePoint>{} : std::vector<PlanePoint>{centre}});
            paths.push_back({inner, whole ? std::vector<PlanePoint>{} : std::vector<PlanePoint>{centre}});
            break;
        }
        default: return false;
    }
    Entity("HATCH", solid.base, at, false, &solid);
    out.Code(100, "AcDbHatch");
    out.Point(10, 0, 0);
    out.Code(210, 0.0);
    out.Code(220, 0.0);
    out.Code(230, 1.0);
    out.Code(2, "SOLID");
    out.Integer(70, 1);
    out.Integer(71, 0);
    out.Integer(91, static_cast<std::int64_t>(paths.size()));
    for (std::size_t i = 0; i < paths.size(); i++) {
        const Path &path = paths[i];
        out.Integer(92, i == 0 ? 1 : 0);
        const std::vector<PlanePoint> &after = path.after;
        out.Integer(93, whole ? 1 : static_cast<std::int64_t>(after.size()) + 2);  // the arc, then the lines
        const DxfEllipse d = DxfEllipseOf(path.ellipse, at);
        const Range r = d.ParametersOf(shape.arc.start, shape.arc.sweep);
        out.Integer(72, 3);
        out.Code(10, d.cx);
        out.Code(20, d.cy);
        out.Code(11, d.majorX);
        out.Code(21, d.majorY);
        out.Code(40, d.ratio);
        out.Code(50, whole ? 0.0 : EdgeAngle(d, r.from));
        out.Code(51, whole ? 360.0 : EdgeAngle(d, r.to));
        out.Integer(73, 1);
        if (!whole) {
            // Straight edges from the arc's end (counter-clockwise) through the corners back to its start.
            const Range range = RangeOf(shape.arc.start, shape.arc.sweep);
            const bool reversed = d.sign < 0;  // the counter-clockwise end is Jw_cad's start
            std::vector<PlanePoint> corners{PointOn(path.ellipse, reversed ? range.from : range.to)};
            corners.insert(corners.end(), after.begin(), after.end());
            corners.push_back(PointOn(path.ellipse, reversed ? range.to : range.from));
            for (std::size_t k = 0; k + 1 < corners.size(); k++) {
                out.Integer(72, 1);
                out.Code(10, at.X(corners[k].x));
                out.Code(20, at.Y(corners[k].y));
                out.Code(11, at.X(corners[k + 1].x));
                out.Code(21, at.Y(corners[k + 1].y));
            }
        }
        out.Integer(97, 0);
    }
    out.Integer(75, 0);  // odd parity
    out.Integer(76, 1);
    out.Integer(98, 0);
    return out.Commit();
}

}  // namespace

bool WriteDxf(const DrawingStore &store, const ExportOptions &options, ScriptSink &out, ConversionReport &report) {
    return DxfWriter(store, options, out).Write(report);
}

}  // namespace korvel
