// The conversion driver's whole scripts, and the pen colour table behind "PEN" lines.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "reader/jclfunit.h"
#include "script/convert.h"
#include "script/emitters.h"
#include "script/script_sink.h"
#include "tests/support/converted_entities.h"
#include "tests/support/readable_script.h"
#include "tests/support/realdata.h"
#include "tests/support/scripts.h"
#include "tests/support/stream_writer.h"

using namespace korvel;

namespace {

TclpEntBase Base(std::uint16_t color, std::uint16_t layer = 0, std::uint16_t group = 0, std::uint16_t flags = 0,
                 std::uint8_t style = 1) {
    return {0, style, color, 0, layer, group, flags};
}

DrawingStore Drawing() {
    DrawingStore d;
    d.layerGroupScales.assign(16, 1.0);
    return d;
}

std::string Convert(const DrawingStore &d, ConvertOptions options) {
    PenColorTable pens;
    FillPenColorTable(pens);
    StringScriptSink sink;
    EXPECT_TRUE(ConvertDrawing(d, options, pens, sink));
    return test::Readable(sink.text);
}

const std::string kHeader = "#VAR\r\n_n\r\n#DRAW\r\n";
const ConvertOptions kLayersAndColors{true, true, false, false};

}  // namespace

// The example's scripts were made once by korvel-cli convert and reviewed by eye; any change to them must be
// deliberate.
TEST(ConvertDrawing, TheExampleUnderEveryOptionSetIsItsReviewedScript) {
    const std::filesystem::path examples = KORVEL_EXAMPLES_DIR;
    DrawingStore store;
    ASSERT_TRUE(ReadClipFile((examples / "plan.jwwin").string(), store));
    PenColorTable pens;
    FillPenColorTable(pens);
    for (int bits = 0; bits < 16; ++bits) {
        const ConvertOptions options{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
        const std::string name = "plan." + test::OptionSetName(options) + ".vnt";
        StringScriptSink sink;
        ASSERT_TRUE(ConvertDrawing(store, options, pens, sink));
        EXPECT_EQ(test::FirstDifference(sink.text, test::ReadFileText(examples / "scripts" / name)), "") << name;
    }
}

TEST(ConvertDrawing, HeaderBytesAreShiftJis) {
    PenColorTable pens;
    FillPenColorTable(pens);
    StringScriptSink sink;
    ASSERT_TRUE(ConvertDrawing(DrawingStore{}, ConvertOptions{true, true, true, true}, pens, sink));  // before any read
    EXPECT_EQ(sink.text, "#VAR\r\n\x81\x40n\r\n#DRAW\r\n");
}

TEST(ConvertDrawing, OneLineWithAndWithoutLayersAndColours) {
    DrawingStore d = Drawing();
    d.lines.push_back({Base(2), 0, 0, 100, 50});
    EXPECT_EQ(Convert(d, kLayersAndColors), kHeader + "_LAYER_0\r\n_PEN_7\r\n_LINE2D_n, 0,0, 100,50\r\n");
    EXPECT_EQ(Convert(d, {}), kHeader + "_LINE2D_n, 0,0, 100,50\r\n");
}

TEST(ConvertDrawing, LayerAndPenLinesOnlyOnChange) {
    DrawingStore d = Drawing();
    d.lines.push_back({Base(2), 0, 0, 1, 0});
    d.lines.push_back({Base(7), 0, 1, 1, 1});                   // colour 7 is pen 7 too
    d.lines.push_back({Base(1, 5, 2), 0, 2, 1, 2});             // layer group 2, layer 5: 37; pen 4
    d.lines.push_back({Base(107, 6), 0, 3, 1, 3});              // a new layer, the same pen 4
    d.arcs.push_back({Base(1, 5, 2), 0, 0, 1, 0, 1, 0, 1, 0});  // the run state carries over to arcs
    d.points.push_back({Base(3, 5, 2), 1, 1, 0, 0, 0, 0});
    EXPECT_EQ(Convert(d, kLayersAndColors), kHeader +
                                                "_LAYER_0\r\n_PEN_7\r\n_LINE2D_n, 0,0, 1,0\r\n"
                                                "_LINE2D_n, 0,1, 1,1\r\n"
                                                "_LAYER_37\r\n_PEN_4\r\n_LINE2D_n, 0,2, 1,2\r\n"
                                                "_LAYER_6\r\n_LINE2D_n, 0,3, 1,3\r\n"
                                                "_LAYER_37\r\n_ARC2D_n,SetArcSep, 0,0, 1, 0,1\r\n"
                                                "_PEN_3\r\n_TEN2D_n, 1,1\r\n");
    EXPECT_EQ(Convert(d, {false, true, false, false}), kHeader +
                                                           "_LAYER_0\r\n_LINE2D_n, 0,0, 1,0\r\n"
                                                           "_LINE2D_n, 0,1, 1,1\r\n"
                                                           "_LAYER_37\r\n_LINE2D_n, 0,2, 1,2\r\n"
                                                           "_LAYER_6\r\n_LINE2D_n, 0,3, 1,3\r\n"
                                                           "_LAYER_37\r\n_ARC2D_n,SetArcSep, 0,0, 1, 0,1\r\n"
                                                           "_TEN2D_n, 1,1\r\n");
}

TEST(ConvertDrawing, SkippedEntitiesWriteNothingAtAll) {
    DrawingStore d = Drawing();
    d.lines.push_back({Base(2, 1), 5, 5, 5 + 5e-13, 5});  // zero length within 1e-12
    d.lines.push_back({Base(2, 1), 0, 0, 1e-12, 0});      // exactly 1e-12 counts as within
    d.lines.push_back({Base(2, 1), 0, 0, 0, -1e-12});
    d.lines.push_back({Base(3, 2, 0, 0x2000), 0, 0, 1, 1});             // a dimension figure's line
    d.arcs.push_back({Base(4, 3), 0, 0, 1e-12, 0, 1, 0, 1, 1});         // radius <= 1e-12
    d.arcs.push_back({Base(4, 3), 0, 0, 1, 0, 1, 0, 1e-12, 1});         // second radius <= 1e-12
    d.arcs.push_back({Base(4, 3), 0, 0, 1, 0, -1e-12, 0, 1, 0});        // no sweep
    d.arcs.push_back({Base(4, 3, 0, 0x0040), 0, 0, 1, 0, 1, 0, 1, 1});  // a dimension figure's arc
    d.points.push_back({Base(5, 4, 0, 0x0040), 1, 1, 0, 0, 0, 0});      // and end point
    EXPECT_EQ(Convert(d, {true, true, true, true}), kHeader);
    // A sweep of 0 is no arc, but a full circle ignores its sweep.
    d.arcs.push_back({Base(4, 3), 0, 0, 1, 0, 0, 0, 1, 1});
    EXPECT_EQ(Convert(d, {}), kHeader + "_CIRCLE2D_n,SetArcSep, 0,0, 1\r\n");
}

// The parts of Jw_cad's dimension figures (its dimension lines, extension lines and end points, told by
// their flags) are written with the dimensions, each on its own layer and in its own colour.
TEST(ConvertDrawing, DimensionFiguresOnlyWhenAsked) {
    DrawingStore d = Drawing();
    d.lines.push_back({Base(3, 2, 0, 0x2000), 0, 0, 1, 1});
    d.arcs.push_back({Base(4, 3, 0, 0x0040), 0, 0, 1, 0, 1, 0, 1, 1});
    d.points.push_back({Base(5, 4, 0, 0x0040), 1, 1, 0, 0, 0, 0});
    ConvertOptions options{true, true, false, false};
    PenColorTable pens;
    FillPenColorTable(pens);
    StringScriptSink sink;
    ConversionReport report;
    ASSERT_TRUE(ConvertDrawing(d, options, pens, sink, &report));
    EXPECT_EQ(report[LeftOutReason::DimensionFigure], 3u);
    EXPECT_EQ(report.Written(), 0u);
    options.dimensions = true;
    const std::string script = Convert(d, options);
    EXPECT_NE(script.find("_LAYER_2\r\n_PEN_3\r\n_LINE2D_n, 0,0, 1,1"), std::string::npos) << script;
    EXPECT_NE(script.find("_CIRCLE2D_n"), std::string::npos) << script;
    EXPECT_NE(script.find("_TEN2D_n, 1,1"), std::string::npos) << script;
}

// What the summary counts: each entity once, except that a converted dimension counts as its lines and its
// value, and a placed insert as what it places (an insert of an empty block once, as no figure): the summary
// then adds up, whatever the options.
TEST(ConvertDrawing, TheSummaryCountsDimensionsAsTheirPartsAndInsertsAsWhatTheyPlace) {
    DrawingStore d = Drawing();
    for (double y : {0.0, 1.0, 2.0})
        test::Add(d, TclpEntSen{Base(2, 0, 0, 0), 0, y, 5, y});
    TclpEntMoji text;
    text.text = "A";
    test::Add(d, text);
    test::Add(d, text);
    TclpEntSunpo plain, sxf;
    plain.line = {{}, 0, 0, 10, 0};
    sxf = plain;
    sxf.sxfMode = 1;
    sxf.auxLine1 = {{}, 0, 0, 0, -3};
    sxf.auxLine2 = {{}, 10, 0, 10, -3};
    test::Add(d, plain);
    test::Add(d, sxf);
    test::Add(d, TclpEntTen{{}, 1, 1, 0, 0, 0, 0});
    TclpEntBlockDef members, empty, placesEmpty;
    members.number = 1;
    for (double y : {0.0, 1.0, 2.0})
        test::Add(members, TclpEntSen{{}, 0, y, 1, y});
    test::Add(members, text);
    test::Add(members, text);
    test::Add(members, text);
    empty.number = 2;
    placesEmpty.number = 3;
    test::Add(placesEmpty, test::InsertOf(2, 0, 0, 1, 1, 0));
    d.blockDefs = {members, empty, placesEmpty};
    for (std::int32_t number : {1, 2, 3})
        test::Add(d, test::InsertOf(number, 0, 0, 1, 1, 0));

    PenColorTable pens;
    FillPenColorTable(pens);
    const auto summary = [&](const ConvertOptions &options) {
        NullScriptSink nowhere;
        ConversionReport report;
        EXPECT_TRUE(ConvertDrawing(d, options, pens, nowhere, &report));
        EXPECT_EQ(report.Written() + report.LeftOut(), test::ConvertedEntities(d, options));
        return ReportSummary(report, ReportLanguage::English, AdviceFor::CommandLine);
    };
    ConvertOptions options;
    EXPECT_EQ(summary(options),
              "lines 3, points 1 converted; left out: texts 2, dimensions 2 (--dimensions converts "
              "them), block figures 3 (--blocks converts them)");
    options.dimensions = true;
    EXPECT_EQ(summary(options),
              "lines 7, points 1 converted; left out: texts 4, block figures 3 (--blocks converts "
              "them)");
    options.blocks = true;
    EXPECT_EQ(summary(options), "lines 10, points 1 converted (3 from block figures); left out: texts 7, zero-size 2");
}

TEST(ConvertDrawing, HatchingOnlyWhenAsked) {
    DrawingStore d = Drawing();
    d.lines.push_back({Base(2, 0, 0, 0x0020), 0, 0, 1, 0});
    d.points.push_back({Base(2, 0, 0, 0x0020), 1, 1, 0, 0, 0, 0});
    d.solids.push_back({Base(2, 0, 0, 0x0020), 0, 0, 1, 0, 0, 1, 0, 1, 0});
    d.arcs.push_back({Base(2, 0, 0, 0x0020), 0, 0, 1, 0, 0, 0, 1, 1});
    EXPECT_EQ(Convert(d, {false, false, false, true}), kHeader);
    EXPECT_EQ(Convert(d, {false, false, true, true}), kHeader +
                                                          "_3SLD2D_n, 0,0, 1,0, 0,1\r\n_LINE2D_n, 0,0, 1,0\r\n"
                                                          "_CIRCLE2D_n,SetArcSep, 0,0, 1\r\n_TEN2D_n, 1,1\r\n");
}

TEST(ConvertDrawing, SolidsComeFirstAndShareTheRunState) {
    DrawingStore d = Drawing();
    d.solids.push_back({Base(2), 0, 0, 1, 0, 0, 1, 0, 1, 0});
    d.lines.push_back({Base(2), 0, 0, 1, 0});
    EXPECT_EQ(Convert(d, {true, true, false, true}),
              kHeader + "_LAYER_0\r\n_PEN_7\r\n_3SLD2D_n, 0,0, 1,0, 0,1\r\n_LINE2D_n, 0,0, 1,0\r\n");
    // With solids off they are not looked at: the line walk starts from -1.
    EXPECT_EQ(Convert(d, {true, true, false, false}), kHeader + "_LAYER_0\r\n_PEN_7\r\n_LINE2D_n, 0,0, 1,0\r\n");
}

TEST(ConvertDrawing, SolidColoursAndUnsupportedKinds) {
    DrawingStore d = Drawing();
    TclpEntSolid own{Base(10), 0, 0, 1, 0, 1, 1, 0, 1, 0x000000};  // colour 10: its own RGB, black
    d.solids.push_back(own);
    own.color = 0x0000C8;  // (200, 0, 0)
    d.solids.push_back(own);
    // Pen style 100 is still a four-corner solid; above it, arc-shaped, and kind 102 writes no command.
    d.solids.push_back({Base(3, 1, 0, 0, 100), 0, 0, 2, 0, 2, 2, 0, 2, 0});
    TclpEntSolid odd{Base(3, 1, 0, 0, 102), 0, 0, 1, 1, 0, 0, 1, 0, 0};
    d.solids.push_back(odd);
    TclpEntSolid band = odd;
    band.base.penStyle = 106;  // t = 0: skipped, and the run goes on
    d.solids.push_back(band);
    d.lines.push_back({Base(2, 1), 0, 0, 1, 0});
    EXPECT_EQ(Convert(d, {true, true, false, true}), kHeader +
                                                         "_LAYER_0\r\n_PEN_7\r\n_4SLD2D_n, 0,0, 1,0, 1,1, 0,1\r\n"
                                                         "_PEN_12\r\n_4SLD2D_n, 0,0, 1,0, 1,1, 0,1\r\n"
                                                         "_LAYER_1\r\n_PEN_3\r\n_4SLD2D_n, 0,0, 2,0, 2,2, 0,2\r\n"
                                                         "_PEN_7\r\n_LINE2D_n, 0,0, 1,0\r\n");
}

TEST(ConvertDrawing, TransformComesFromTheStoreHeader) {
    DrawingStore d = Drawing();
    d.originX = 1000;
    d.originY = -500;
    d.layerGroupScales[0] = 0.001;
    d.layerGroupScales[1] = 99;  // only group 0's scale is used
    d.lines.push_back({Base(2, 0, 1), 1000, -500, 3500, 1500});
    d.arcs.push_back({Base(2), 1000, -500, 250, 0, 0, 0, 1, 1});
    EXPECT_EQ(Convert(d, {}), kHeader + "_LINE2D_n, 0,0, 2.5,2\r\n_CIRCLE2D_n,SetArcSep, 0,0, 0.25\r\n");
}

TEST(ConvertDrawing, NonFiniteValuesNeverCrash) {
    DrawingStore d = Drawing();
    d.lines.push_back({Base(2), NAN, 0, 1, INFINITY});
    d.arcs.push_back({Base(2), NAN, 0, NAN, NAN, NAN, NAN, NAN, 0});
    d.solids.push_back({Base(2, 0, 0, 0, 106), 0, 0, 1, NAN, 0, 0, NAN, NAN, 0});
    EXPECT_EQ(Convert(d, {true, true, true, true}),
              kHeader +
                  "_LAYER_0\r\n_PEN_7\r\n_BSLD2D_n,SetArcSep, 0,0, 1,0, 0,0,0, 0,0\r\n"
                  "_LINE2D_n, 0,0, 1,0\r\n_ELARC2D_n,SetArcSep, 0,0, 0,0, 0,0,0\r\n");
}

TEST(ConvertDrawing, StopsAtTheFirstFailedWrite) {
    // Takes `room` bytes, then fails; counts the writes tried after that.
    class FailingSink final : public ScriptSink {
    public:
        std::size_t room;
        bool failed = false;
        int writesAfterFailure = 0;
        std::string text;
        explicit FailingSink(std::size_t room) : room(room) {}

    protected:
        bool Write(std::string_view bytes) override {
            writesAfterFailure += failed;
            if (failed || bytes.size() > room) {
                failed = true;
                return false;
            }
            room -= bytes.size();
            text.append(bytes);
            return true;
        }
    };
    DrawingStore d = Drawing();
    for (int i = 0; i < 100000; i++)
        d.lines.push_back({Base(2), 0, 0, 1, static_cast<double>(i)});
    PenColorTable pens;
    FillPenColorTable(pens);
    StringScriptSink whole;
    ASSERT_TRUE(ConvertDrawing(d, {}, pens, whole));
    for (const std::size_t room : {std::size_t{0}, std::size_t{30}, whole.text.size() / 2, whole.text.size() - 1}) {
        FailingSink sink(room);
        EXPECT_FALSE(ConvertDrawing(d, {}, pens, sink));
        EXPECT_FALSE(sink.Ok());
        // What was written is the script's beginning, and nothing was tried once a write had failed.
        EXPECT_TRUE(whole.text.starts_with(sink.text)) << room;
        EXPECT_EQ(sink.writesAfterFailure, 0);
    }
}

// Large drawings are converted in parts side by side; the script is the one a single pass writes, with
// the layer and pen carried across parts, across kinds and across parts that write nothing at all.
// A file sink keeps its lines in order whatever their sizes: a block past the buffer goes out after the
// lines buffered before it.
TEST(FileScriptSink, LinesAndBlocksOfEverySizeKeepTheirOrder) {
    for (const std::size_t size : {std::size_t{10}, std::size_t{65535}, std::size_t{65536}, std::size_t{200000}}) {
        std::FILE *file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        const std::string block(size - 2, 'x');
        {
            FileScriptSink sink(file);
            sink.WriteLine("#VAR");
            sink.WriteLines(block + "\r\n");
            sink.WriteLine("#END");
            EXPECT_TRUE(sink.Finish());
        }
        std::rewind(file);
        std::string written;
        for (int c; (c = std::fgetc(file)) != EOF;)
            written += static_cast<char>(c);
        std::fclose(file);
        EXPECT_EQ(written, "#VAR\r\n" + block + "\r\n#END\r\n") << size;
    }
}

TEST(ConvertDrawing, LargeDrawingsAreWrittenAsInOnePass) {
    DrawingStore d = Drawing();
    const auto base = [](int i) {
        // Layers change near every part's edge (8192 entities), pens more often; hatching marks the
        // entities at the edges and, among the lines, a whole part.
        const bool hatching = (i + 1) % 8192 < 3 || (i >= 16384 && i < 24576);
        return Base(static_cast<std::uint16_t>(1 + i / 3000 % 9), static_cast<std::uint16_t>(i / 8191 % 3), 0,
                    hatching ? 0x0020 : 0);
    };
    for (int i = 0; i < 30000; i++)
        d.lines.push_back({base(i), 0, 0, 1, static_cast<double>(i)});
    for (int i = 0; i < 9000; i++) {
        d.solids.push_back({base(i + 5), 0, 0, 1, 0, 0, static_cast<double>(i), 0, 1, 0});
        d.arcs.push_back({base(i + 7), 0, 0, static_cast<double>(i + 1), 0, 1, 0, 1, 1});
        d.points.push_back({base(i + 11), static_cast<double>(i), 1, 0, 0, 0, 0});
    }
    PenColorTable pens;
    FillPenColorTable(pens);
    // The single pass, written out plainly for these entities (none of them skipped but as hatching).
    const auto onePass = [&](const ConvertOptions &o) {
        StringScriptSink out;
        out.WriteLine("#VAR");
        out.WriteLine("\x81\x40n");
        out.WriteLine("#DRAW");
        int lastLayer = -1, lastPen = -1;
        const ScriptTransform t{0, 0, 1};
        const auto announce = [&](const TclpEntBase &b) {
            if (!o.hatching && (b.flags & 0x0020)) return false;
            if (o.layers && b.layer != lastLayer)
                out.WriteLine("\x81\x40LAYER\x81\x40" + std::to_string(lastLayer = b.layer));
            const int pen = PenNumberOf(b.penColor);
            if (o.colors && pen != lastPen) out.WriteLine("\x81\x40PEN\x81\x40" + std::to_string(lastPen = pen));
            return true;
        };
        if (o.solids)
            for (const TclpEntSolid &e : d.solids)
                if (announce(e.base)) EmitPolygonSolid(out, e, t);
        for (const TclpEntSen &e : d.lines)
            if (announce(e.base)) EmitLine(out, e, t);
        for (const TclpEntEnko &e : d.arcs)
            if (announce(e.base)) EmitArc(out, e, t);
        for (const TclpEntTen &e : d.points)
            if (announce(e.base)) EmitPoint(out, e, t);
        return out.text;
    };
    for (const ConvertOptions &options :
         {ConvertOptions{true, true, false, true}, ConvertOptions{true, false, false, false},
          ConvertOptions{false, true, true, true}, ConvertOptions{}}) {
        SCOPED_TRACE(test::OptionSetName(options));
        StringScriptSink sink;
        ASSERT_TRUE(ConvertDrawing(d, options, pens, sink));
        EXPECT_EQ(test::FirstDifference(sink.text, onePass(options)), "");
    }
}

TEST(PenColorTable, EntriesFromTheHueRule) {
    PenColorTable pens;
    FillPenColorTable(pens);
    struct Case {
        int entry;
        std::uint32_t r, g, b;
    };
    const Case cases[] = {
        {1, 255, 0, 0},  {7, 0, 0, 0},         {9, 192, 192, 192},   {10, 255, 0, 0},      {11, 255, 127, 127},
        {12, 165, 0, 0}, {23, 165, 103, 82},   {36, 76, 38, 0},      {141, 127, 223, 255}, {249, 38, 19, 23},
        {250, 0, 0, 0},  {254, 183, 183, 183}, {255, 179, 179, 179},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(pens.entries[c.entry], c.r | c.g << 8 | c.b << 16);
    }
    // The whole table, entries 1..255 byte by byte (FNV-1a), as checked against the golden scripts.
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (int i = 1; i < 256; ++i)
        for (int k = 0; k < 4; ++k)
            hash = (hash ^ (pens.entries[i] >> (8 * k) & 0xFF)) * 0x100000001b3u;
    EXPECT_EQ(hash, 0x7beab606e0174470u);
}

TEST(PenColorTable, NearestEntryByDifferencesOfSquares) {
    PenColorTable pens;
    FillPenColorTable(pens);
    auto rgb = [](std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r | g << 8 | b << 16; };
    struct Case {
        std::uint32_t color;
        int expected;
    };
    const Case cases[] = {
        {rgb(0, 0, 0), 7},         // 7 and 250 are both black: the lower wins
        {rgb(255, 255, 255), 51},  // no white in the table
        {rgb(128, 128, 128), 8},  {rgb(192, 192, 192), 9}, {rgb(100, 100, 100), 252},
        {rgb(200, 0, 0), 12},     {rgb(255, 128, 0), 30},  {0xFF000000u | rgb(0, 0, 0), 7},  // top byte ignored
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.color);
        EXPECT_EQ(NearestPenNumber(pens, c.color), c.expected);
    }
}

TEST(PenNumberOf, EveryJwColourNumber) {
    // Jw_cad's colour numbers with a pen of their own; every other number of the 16-bit range is pen 7.
    const std::map<std::uint16_t, int> own = {{1, 4},    {107, 4},   {3, 3},     {103, 3},   {4, 2},    {105, 2},
                                              {5, 6},    {106, 6},   {6, 5},     {104, 5},   {8, 1},    {102, 1},
                                              {9, 9},    {115, 9},   {101, 250}, {109, 222}, {110, 23}, {111, 30},
                                              {112, 83}, {113, 150}, {114, 171}, {116, 8}};
    for (int color = 0; color <= 0xFFFF; ++color) {
        const auto found = own.find(static_cast<std::uint16_t>(color));
        ASSERT_EQ(PenNumberOf(static_cast<std::uint16_t>(color)), found == own.end() ? 7 : found->second) << color;
    }
}

// Asked for, each entity is scaled by its own layer group's scale, not by its layer's number; a group whose
// scale is no number to scale by leaves its entities out, counted, instead of writing zeros.
TEST(ConvertDrawing, GroupScalesAreTakenByGroupAndUnusableOnesLeaveTheirEntitiesOut) {
    DrawingStore d = Drawing();
    d.layerGroupScales[2] = 10;
    d.layerGroupScales[5] = 1000;  // the layer's number: never a scale
    test::Add(d, TclpEntSen{Base(2, 5, 2), 1, 2, 3, 4});
    ConvertOptions options;
    options.groupScales = true;
    EXPECT_EQ(Convert(d, options), kHeader + "_LINE2D_n, 10,20, 30,40\r\n");
    for (const double unusable : {0.0, 4e-320, double{INFINITY}, double{NAN}}) {
        SCOPED_TRACE(unusable);
        d.layerGroupScales[2] = unusable;
        PenColorTable pens;
        FillPenColorTable(pens);
        StringScriptSink sink;
        ConversionReport report;
        ASSERT_TRUE(ConvertDrawing(d, options, pens, sink, &report));
        EXPECT_EQ(test::Readable(sink.text), kHeader);
        EXPECT_EQ(report[LeftOutReason::UnusableScale], 1u);
        EXPECT_EQ(report.Written(), 0u);
    }
}

// The counts a user reads: digits grouped by three from the right, never a comma in front; each reason under
// its own key.
TEST(ConversionReport, CountsAreGroupedAndEachReasonHasItsOwnKey) {
    ConversionReport report;
    report[WrittenKind::Line] = 123;
    report[WrittenKind::Arc] = 123456;
    report[WrittenKind::Point] = 1234567;
    report[LeftOutReason::Text] = 12;
    report[LeftOutReason::LockedLayer] = 1712;
    EXPECT_EQ(ReportSummary(report, ReportLanguage::English, AdviceFor::CommandLine),
              "lines 123, arcs 123,456, points 1,234,567 converted; left out: texts 12, on hidden or display-only "
              "layers 1,712 (--all-layers converts them)");
    EXPECT_EQ(
        ReportSummary(report, ReportLanguage::Japanese, AdviceFor::Window),
        "線 123・円弧 123,456・点 1,234,567 を変換／変換しなかったもの: 文字 12・非表示・表示のみレイヤの図形 1,712"
        "（右クリックメニューの「非表示レイヤの図形も変換する」で変換）");
    const std::map<LeftOutReason, std::string> keys = {
        {LeftOutReason::Text, "texts"},
        {LeftOutReason::Dimension, "dimensions"},
        {LeftOutReason::Block, "block-figures"},
        {LeftOutReason::Solid, "solids"},
        {LeftOutReason::Hatching, "hatching"},
        {LeftOutReason::ZeroSize, "zero-size"},
        {LeftOutReason::DimensionFigure, "never-converted"},
        {LeftOutReason::NoFigure, "no-figure"},
        {LeftOutReason::MissingBlock, "missing-blocks"},
        {LeftOutReason::SelfReferring, "self-referring-blocks"},
        {LeftOutReason::OverBudget, "over-limit"},
        {LeftOutReason::HiddenLayer, "hidden-layers"},
        {LeftOutReason::UnusableScale, "unusable-scale"},
        {LeftOutReason::LockedLayer, "locked-layers"},
    };
    ASSERT_EQ(keys.size(), kLeftOutReasons);
    for (const auto &[reason, key] : keys)
        EXPECT_EQ(LeftOutKey(reason), key);
}
