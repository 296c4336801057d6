// Real clipboard streams (Jw_cad's own dumps and streams made from saved drawings), when present.
#include <gtest/gtest.h>

#include <string>

#include "files/file_path.h"
#include "geom/cp932.h"
#include "preview/preview.h"
#include "preview/recording_canvas.h"
#include "reader/any_input.h"
#include "reader/jclfunit.h"
#include "reader/jww_file.h"
#include "script/convert.h"
#include "tests/support/converted_entities.h"
#include "tests/support/realdata.h"
#include "tests/support/scripts.h"
#include "tests/support/summary_check.h"

using namespace korvel;
using namespace korvel::test;

namespace {

// The value after "key": in an expectation file (written with one key per line).
std::string ValueOf(const std::string &json, const std::string &key) {
    const std::size_t at = json.find("\"" + key + "\": ");
    if (at == std::string::npos) return {};
    const std::size_t from = at + key.size() + 4;
    return json.substr(from, json.find_first_of(",\n}", from) - from);
}

}  // namespace

TEST(RealData, ReadsAsExpected) {
    const auto streams = RealStreams();
    if (streams.empty()) GTEST_SKIP() << "no real data folder";
    int complete = 0;
    for (const RealStream &s : streams) {
        SCOPED_TRACE(s.stream.filename().string());
        const std::string expected = ReadFileText(s.expected);
        EXPECT_EQ(CheckClipFile(Utf8Of(s.stream)), ValueOf(expected, "check") == "true");
        DrawingStore store;
        ReadReport report;
        const bool read = ReadClipFile(Utf8Of(s.stream), store, &report);
        ASSERT_EQ(read, ValueOf(expected, "read") == "true") << report.failure;
        EXPECT_EQ(std::to_string(report.indexCounter), ValueOf(expected, "index_counter"));
        EXPECT_EQ(std::to_string(store.version), ValueOf(expected, "version"));
        EXPECT_EQ(std::to_string(store.objectCount), ValueOf(expected, "objectCount"));
        EXPECT_EQ(std::to_string(store.blockDefCount()), ValueOf(expected, "blockDefCount"));
        // The counting read of korvel-cli info, through the buffered file as there.
        DrawingSummary summary;
        ReadReport counted;
        std::FILE *file = OpenFile(Utf8Of(s.stream), "rb");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(ReadClipStream(file, std::filesystem::file_size(s.stream), summary, &counted), read);
        std::fclose(file);
        EXPECT_TRUE(test::SameEnding(report, counted));
        EXPECT_TRUE(test::SameFigures(summary, store));
        if (!read) continue;
        complete++;
        // A Unicode stream is longer than the Shift-JIS twin whose expectation it shares.
        const bool twin = s.expected.filename().string().ends_with(".sjis.expected.json") &&
                          !s.stream.filename().string().ends_with(".sjis.jwwin");
        if (!twin) {
            EXPECT_EQ(std::to_string(report.endOffset), ValueOf(expected, "end_offset"));
        }
        // Jw_cad's own copies mark every top-level entity with flag 0x0002.
        if (s.stream.extension() == ".prev1") {
            for (const TclpEntSen &line : store.lines)
                EXPECT_TRUE(line.base.flags & 0x0002);
        }
    }
    EXPECT_GT(complete, 0);
}

TEST(RealData, UnicodeStreamsReadAsTheirShiftJisTwins) {
    const auto dir = RealDataDir();
    if (!dir) GTEST_SKIP() << "no real data folder";
    int compared = 0;
    for (const auto &entry : std::filesystem::directory_iterator(*dir)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with("j8u-") || !name.ends_with(".jwwin") || name.ends_with(".sjis.jwwin")) continue;
        SCOPED_TRACE(name);
        DrawingStore unicode, shiftJis;
        ASSERT_TRUE(ReadClipFile(Utf8Of(entry.path()), unicode));
        ASSERT_TRUE(ReadClipFile(Utf8Of(*dir / (name.substr(0, name.size() - 6) + ".sjis.jwwin")), shiftJis));
        EXPECT_TRUE(unicode == shiftJis);
        EXPECT_FALSE(unicode.texts.empty() && unicode.blockDefs.empty());
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

namespace {

bool ReadDrawingFile(const std::filesystem::path &path, DrawingStore &store, bool allLayers) {
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    ReadReport report;
    const bool read = ReadDrawingFileBytes(bytes, store, DrawingFileOptions{allLayers}, &report);
    EXPECT_TRUE(read) << path.filename().string() << ": " << report.failure;
    return read;
}

// Top-level entities without the selection mark 0x0002, which copies set and files may hold.
template <class Rec>
void Unselect(std::vector<Rec> &records) {
    for (Rec &r : records)
        r.base.flags &= static_cast<std::uint16_t>(~0x0002u);
}

}  // namespace

// With every layer, a saved drawing reads as the stream made from its lists.
TEST(RealData, DrawingFilesReadAsTheirStreams) {
    const auto dir = RealDataDir();
    if (!dir) GTEST_SKIP() << "no real data folder";
    int compared = 0;
    for (const auto &entry : std::filesystem::directory_iterator(*dir)) {
        const std::filesystem::path file = entry.path();
        if (file.extension() != ".jww" && file.extension() != ".jws") continue;
        SCOPED_TRACE(file.filename().string());
        std::filesystem::path stream = *dir / (file.stem().string() + ".sjis.jwwin");
        if (!std::filesystem::exists(stream)) stream = *dir / (file.stem().string() + ".jwwin");
        DrawingStore fromFile, fromStream;
        if (!ReadDrawingFile(file, fromFile, true)) continue;
        ASSERT_TRUE(ReadClipFile(Utf8Of(stream), fromStream));
        RemoveSettingsTexts(fromStream);
        // The layer names are a .jww file's own: a copy holds none, nor does a .jws.
        EXPECT_EQ(fromFile.layerNames.size(), file.extension() == ".jww" ? 16u * 16 + 16 : 0u);
        if (file.stem() == "jwc-v600-amansion-heimen") {
            EXPECT_NE(Cp932ToUtf8(fromFile.layerNames[1]).find("躯体"), std::string::npos);  // group 0, layer 1
            EXPECT_EQ(Cp932ToUtf8(fromFile.layerNames[16 * 16]), "一般図");                  // group 0
        }
        fromStream.layerNames = fromFile.layerNames;
        // as are its layers' states and what it left out for them.
        fromStream.layerStates = fromFile.layerStates;
        fromStream.leftOnLockedLayers = fromFile.leftOnLockedLayers;
        EXPECT_TRUE(fromFile == fromStream);
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

// By default a saved drawing reads as Jw_cad's own "select all + copy" of it: the same entities in the same
// order with the same fields, but for the reference point, the selection mark and the class schema.
// Every entity of every real drawing is written or left out for one reason, under the check boxes and with
// every layer read or not: what the summary says adds up to what the drawing holds.
TEST(RealData, TheSummaryAddsUpToTheDrawing) {
    const auto dir = RealDataDir();
    if (!dir) GTEST_SKIP() << "no real data folder";
    PenColorTable pens;
    FillPenColorTable(pens);
    int checked = 0;
    for (const auto &entry : std::filesystem::directory_iterator(*dir)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".jww" && extension != ".jws" && extension != ".jwwin") continue;
        SCOPED_TRACE(entry.path().filename().string());
        for (const bool allLayers : {false, true}) {
            DrawingStore store;
            if (ReadAnyInputFile(Utf8Of(entry.path()), store, DrawingFileOptions{allLayers}) != FileRead::Whole)
                continue;
            for (const ConvertOptions &options : {ConvertOptions{}, ConvertOptions{true, true, true, true},
                                                  ConvertOptions{true, true, true, true, true, true},
                                                  ConvertOptions{false, false, false, false, true}}) {
                NullScriptSink nowhere;
                ConversionReport report;
                ASSERT_TRUE(ConvertDrawing(store, options, pens, nowhere, &report));
                EXPECT_EQ(report.Written() + report.LeftOut(), test::ConvertedEntities(store, options))
                    << ReportSummary(report, ReportLanguage::English, AdviceFor::CommandLine);
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 40);
}

TEST(RealData, DrawingFilesReadAsJwCadCopiesThem) {
    const auto dir = RealDataDir();
    if (!dir) GTEST_SKIP() << "no real data folder";
    int compared = 0;
    for (const auto &entry : std::filesystem::directory_iterator(*dir)) {
        const std::string name = entry.path().filename().string();
        if (!name.ends_with(".jwcad711.prev1")) continue;
        SCOPED_TRACE(name);
        DrawingStore copy, file;
        ASSERT_TRUE(ReadClipFile(Utf8Of(entry.path()), copy));
        if (!ReadDrawingFile(*dir / (name.substr(0, name.size() - 15) + ".jww"), file, false)) continue;
        for (EntityArrays *a : {static_cast<EntityArrays *>(&copy), static_cast<EntityArrays *>(&file)}) {
            Unselect(a->lines);
            Unselect(a->arcs);
            Unselect(a->points);
            Unselect(a->texts);
            Unselect(a->dimensions);
            Unselect(a->solids);
            Unselect(a->inserts);
        }
        EXPECT_TRUE(static_cast<const EntityArrays &>(file) == static_cast<const EntityArrays &>(copy));
        EXPECT_TRUE(file.objects == copy.objects);
        EXPECT_TRUE(file.blockDefs == copy.blockDefs);
        EXPECT_EQ(file.layerGroupScales, copy.layerGroupScales);
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

TEST(RealData, ScriptsAreTheGoldenScriptsByteForByte) {
    const auto dir = RealDataDir();
    if (!dir || !std::filesystem::is_directory(*dir / "scripts")) GTEST_SKIP() << "no golden scripts";
    PenColorTable pens;
    FillPenColorTable(pens);
    int compared = 0;
    for (const auto &entry : std::filesystem::directory_iterator(*dir / "scripts")) {
        // NAME.SET.vnt, for the stream NAME.jwwin or, for a capture, NAME itself.
        const std::string file = entry.path().filename().string();
        if (!file.ends_with(".vnt")) continue;
        const std::string stem = file.substr(0, file.size() - 4);
        const std::string name = stem.substr(0, stem.rfind('.')), set = stem.substr(stem.rfind('.') + 1);
        const std::optional<ConvertOptions> options = OptionSetNamed(set);
        ASSERT_TRUE(options) << file;
        const std::filesystem::path stream =
            std::filesystem::exists(*dir / (name + ".jwwin")) ? *dir / (name + ".jwwin") : *dir / name;
        SCOPED_TRACE(file);
        DrawingStore store;
        ASSERT_TRUE(ReadClipFile(Utf8Of(stream), store));
        StringScriptSink sink;
        ASSERT_TRUE(ConvertDrawing(store, *options, pens, sink));
        EXPECT_EQ(FirstDifference(sink.text, ReadFileText(entry.path())), "");
        // Read keeping only the script's kinds, as the command line reads streams.
        const std::vector<std::uint8_t> bytes = ReadFileBytes(stream);
        ScriptDrawing kept;
        ASSERT_TRUE(ReadClipBytes(bytes, kept));
        StringScriptSink keptSink;
        ASSERT_TRUE(ConvertDrawing(kept, *options, pens, keptSink));
        EXPECT_EQ(keptSink.text, sink.text);
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

TEST(RealData, EveryCompleteStreamPreviews) {
    const auto streams = RealStreams();
    if (streams.empty()) GTEST_SKIP() << "no real data folder";
    int captures = 0;
    for (const RealStream &s : streams) {
        SCOPED_TRACE(s.stream.filename().string());
        DrawingStore store;
        if (!ReadClipFile(Utf8Of(s.stream), store)) continue;
        std::size_t ops = 0, drawing = 0;
        RecordingCanvas canvas([&](const DrawOp &op) {
            ops++;
            // Background, frame and the red reference marker are drawn for any drawing at all.
            if (op.kind != DrawOp::Kind::Rect && op.pen.color != Rgb{255, 0, 0}) drawing++;
            for (const PixelPoint &p : op.points)
                ASSERT_TRUE(op.kind == DrawOp::Kind::Polygon || (p.x >= -1 && p.x <= 178 && p.y >= -1 && p.y <= 130))
                    << TraceLine(op);  // clipped geometry stays on the image
        });
        PreviewSurface surface(canvas);
        PrepareBlankPreview(surface, kPreviewWidth, kPreviewHeight);
        RenderDrawingPreview(surface, store);
        EXPECT_GE(ops, 3u);
        if (s.stream.extension() == ".prev1") {
            captures++;
            EXPECT_GT(drawing, 0u) << "a genuine capture shows more than the frame";
        }
    }
    EXPECT_GT(captures, 0);
}
