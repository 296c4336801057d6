// The header check and the stream reader: hand-made bytes, writer round trips, and broken streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "files/file_path.h"
#include "reader/jclfunit.h"
#include "reader/jww_file.h"
#include "tests/support/stream_writer.h"
#include "tests/support/summary_check.h"

using namespace korvel;
using namespace korvel::test;

namespace {

DrawingStore WithPenWidths(DrawingStore d) {
    for (auto &l : d.lines)
        l.base.penWidth = 3;
    for (auto &a : d.arcs)
        a.base.penWidth = 5;
    return d;
}

// The sample's one dimension as a stream older than version 420 has it: without the SXF extras, which the
// reader makes of the dimension's own pen (a point's pen without its style) and zero coordinates.
TclpEntSunpo OldSampleDimension() {
    TclpEntSunpo dim = SampleDrawing().dimensions.at(0);
    const TclpEntBase pen{0, 1, 1, 0, 5, 0, 0x0002};
    const TclpEntBase pointPen{0, 0, 1, 0, 5, 0, 0x0002};
    EXPECT_EQ(dim.base, pen);
    dim.sxfMode = 0;
    dim.auxLine1 = dim.auxLine2 = {pen, 0, 0, 0, 0};
    dim.point1 = dim.point2 = dim.point3 = dim.point4 = {pointPen, 0, 0, 0, 0, 0, 0};
    return dim;
}

// What the reader makes of WithPenWidths(SampleDrawing()) written at `schema`: no pen widths before 351
// (the sample's own are all 0), the old dimension before 420.
DrawingStore SampleAsReadAt(int schema) {
    DrawingStore expected = schema >= 351 ? WithPenWidths(SampleDrawing()) : SampleDrawing();
    if (schema < 420) expected.dimensions.at(0) = OldSampleDimension();
    expected.version = schema;
    return expected;
}

// The header of a stream: reference point, 16 scales of 1.
DrawingStore BareDrawing() {
    DrawingStore d;
    d.layerGroupScales.assign(16, 1.0);
    d.version = 600;
    return d;
}

void Header(StreamWriter &w) {
    w.Double(12.5);
    w.Double(-7);
    for (int i = 0; i < 16; i++)
        w.Double(1);
}

TclpEntSen Line(double x1, double y1, double x2, double y2) {
    return {TclpEntBase{0, 1, 2, 0, 0, 0, 2}, x1, y1, x2, y2};
}

}  // namespace

// Written by hand from the byte layout, so that the writer and the reader cannot share one mistake.
TEST(ReadClipBytes, HandWrittenStreamWithOneLine) {
    const std::vector<std::uint8_t> bytes = {
        0,    0,    0,    0,    0,    0,    0xF0, 0x3F,  // origin x 1.0
        0,    0,    0,    0,    0,    0,    0,    0xC0,  // origin y -2.0
        0,    0,    0,    0,    0,    0,    0x59, 0x40,  // scale 0: 100
        0,    0,    0,    0,    0,    0,    0xF0, 0x3F, 0,    0,    0,    0,    0,    0,    0xF0, 0x3F, 0,    0,
        0,    0,    0,    0,    0xF0, 0x3F, 0,    0,    0,    0,    0,    0,    0xF0, 0x3F, 0,    0,    0,    0,
        0,    0,    0xF0, 0x3F, 0,    0,    0,    0,    0,    0,    0xF0, 0x3F, 0,    0,    0,    0,    0,    0,
        0xF0, 0x3F, 0,    0,    0,    0,    0,    0,    0xF0, 0x3F, 0,    0,    0,    0,    0,    0,    0xF0, 0x3F,
        0,    0,    0,    0,    0,    0,    0xF0, 0x3F, 0,    0,    0,    0,    0,    0,    0xF0, 0x3F, 0,    0,
        0,    0,    0,    0,    0xF0, 0x3F, 0,    0,    0,    0,    0,    0,    0xF0, 0x3F, 0,    0,    0,    0,
        0,    0,    0xF0, 0x3F, 0,    0,    0,    0,    0,    0,    0xF0, 0x3F, 1,    0,    // one object
        0xFF, 0xFF, 0x58, 0x02, 8,    0,    'C',  'D',  'a',  't',  'a',  'S',  'e',  'n',  // new class, schema 600
        0x07, 0,    0,    0,                                                                // group 7
        1,    2,    0,    3,    0,                       // pen style 1, colour 2, width 3
        4,    0,    5,    0,    0x20, 0,                 // layer 4, group 5, flags 0x0020
        0,    0,    0,    0,    0,    0,    0,    0,     // start x 0
        0,    0,    0,    0,    0,    0,    0xF0, 0x3F,  // start y 1
        0,    0,    0,    0,    0,    0,    0,    0x40,  // end x 2
        0,    0,    0,    0,    0,    0,    0x08, 0x40,  // end y 3
        0,    0,                                         // no block definitions
        0xDE, 0xAD,                                      // leftover clipboard bytes
    };
    EXPECT_TRUE(CheckClipBytes(bytes));
    DrawingStore store;
    ReadReport report;
    ASSERT_TRUE(ReadClipBytes(bytes, store, &report));
    EXPECT_EQ(report.endOffset, bytes.size() - 2);
    EXPECT_EQ(report.indexCounter, 3);
    EXPECT_EQ(store.version, 600);
    EXPECT_EQ(store.originX, 1.0);
    EXPECT_EQ(store.originY, -2.0);
    EXPECT_EQ(store.layerGroupScales.size(), 16u);
    EXPECT_EQ(store.layerGroupScales[0], 100.0);
    ASSERT_EQ(store.lineCount(), 1);
    const TclpEntSen expected{TclpEntBase{7, 1, 2, 3, 4, 5, 0x20}, 0, 1, 2, 3};
    EXPECT_EQ(store.lines[0], expected);
    EXPECT_EQ(store.objects, (std::vector<ObjectRef>{{1, 0}}));
    EXPECT_EQ(store.blockDefCount(), 0);
}

TEST(ReadClipBytes, HandWrittenOldStreamHasThirteenByteHeaders) {
    StreamWriter w;
    Header(w);
    w.Count(1);
    const std::vector<std::uint8_t> tail = {0xFF, 0xFF, 0x5E, 0x01, 8,    0, 'C',  'D',  'a',  't', 'a',
                                            'T',  'e',  'n',  // schema 350
                                            0,    0,    0,    0,    100,  9, 0,    1,    0,    2,   0,
                                            0,    0,  // symbol point: no pen width before 351
                                            0,    0,    0,    0,    0,    0, 0xF0, 0x3F, 0,    0,   0,
                                            0,    0,    0,    0xF0, 0x3F, 1, 0,    0,    0,  // (1, 1), temporary
                                            12,   0,    0,    0,    0,    0, 0,    0,    0,    0,   0xE0,
                                            0x3F, 0,    0,    0,    0,    0, 0,    0,    0x40,  // code 12, 0.5, 2
                                            0,    0};
    w.bytes.insert(w.bytes.end(), tail.begin(), tail.end());
    DrawingStore store;
    ASSERT_TRUE(ReadClipBytes(w.bytes, store));
    ASSERT_EQ(store.pointCount(), 1);
    const TclpEntTen expected{TclpEntBase{0, 100, 9, 0, 1, 2, 0}, 1, 1, 1, 12, 0.5, 2};
    EXPECT_EQ(store.points[0], expected);
}

TEST(ReadClipBytes, RoundTripsEveryEncodingVariant) {
    const DrawingStore sample = WithPenWidths(SampleDrawing());
    for (const int schema : {220, 350, 351, 419, 420, 600, 700}) {
        for (const TagForm tags : {TagForm::Short, TagForm::Long}) {
            for (const bool longForms : {false, true}) {
                SCOPED_TRACE(testing::Message() << "schema " << schema << (tags == TagForm::Long ? " long tags" : "")
                                                << (longForms ? " long counts and strings" : ""));
                StreamOptions options{static_cast<std::uint16_t>(schema), tags, longForms, longForms, {1, 2, 3}};
                const auto bytes = WriteStream(sample, options);
                EXPECT_TRUE(CheckClipBytes(bytes));
                DrawingStore store;
                ReadReport report;
                ASSERT_TRUE(ReadClipBytes(bytes, store, &report)) << report.failure;
                EXPECT_EQ(report.endOffset, bytes.size() - 3);
                EXPECT_EQ(store, SampleAsReadAt(schema));
            }
        }
    }
}

TEST(ReadClipBytes, StringsInBothForms) {
    for (const std::size_t length : {0u, 1u, 254u, 255u, 256u, 600u, 65535u}) {
        SCOPED_TRACE(length);
        DrawingStore d;
        d.layerGroupScales.assign(16, 1);
        TclpEntMoji text;
        text.fontName = "font";
        for (std::size_t i = 0; i < length; i++)
            text.text += static_cast<char>('a' + i % 26);
        Add(d, text);
        const auto bytes = WriteStream(d);
        DrawingStore store;
        ASSERT_TRUE(ReadClipBytes(bytes, store));
        EXPECT_EQ(store.texts.at(0).text, text.text);
    }
    // 255 bytes take the escape: 0xFF, then 0x00FF, then the text.
    StreamWriter w;
    w.String(std::string(255, 'x'));
    EXPECT_EQ(w.bytes[0], 0xFF);
    EXPECT_EQ(w.bytes[1], 0xFF);
    EXPECT_EQ(w.bytes[2], 0x00);
    EXPECT_EQ(w.bytes.size(), 258u);
}

// Every form of an archive string, ANSI and Unicode, read on its own; Unicode becomes CP932 with "?" for
// what CP932 cannot hold.
TEST(ReadArchiveString, EveryForm) {
    using Bytes = std::vector<std::uint8_t>;
    const auto utf16 = [](std::initializer_list<std::uint16_t> units) {
        Bytes b;
        for (const std::uint16_t u : units)
            b.insert(b.end(), {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8)});
        return b;
    };
    const auto join = [](Bytes a, const Bytes &b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const Bytes kanji = utf16({0x5C45, 0x9593});  // 居間
    struct Case {
        const char *form;
        Bytes bytes;
        std::string expected;
        std::uint64_t replaced;
    };
    const Case cases[] = {
        {"ANSI, byte length", {3, 'a', 'b', 'c'}, "abc", 0},
        {"ANSI, word length", {0xFF, 2, 0, 'a', 'b'}, "ab", 0},
        {"ANSI, double-word length", {0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 'a', 'b'}, "ab", 0},
        {"Unicode, byte length", join({0xFF, 0xFE, 0xFF, 2}, kanji), "\x8b\x8f\x8a\xd4", 0},
        {"Unicode, word length", join({0xFF, 0xFE, 0xFF, 0xFF, 2, 0}, kanji), "\x8b\x8f\x8a\xd4", 0},
        {"Unicode, double-word length", join({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0}, kanji),
         "\x8b\x8f\x8a\xd4", 0},
        {"Unicode, ASCII and a full-width tilde", join({0xFF, 0xFE, 0xFF, 2}, utf16({'A', 0xFF5E})), "A\x81\x60", 0},
        {"Unicode without a CP932 form", join({0xFF, 0xFE, 0xFF, 3}, utf16({0x00E9, 'x', 0x20AC})), "?x?", 2},
        {"Unicode just past ASCII", join({0xFF, 0xFE, 0xFF, 3}, utf16({0x7F, 0x80, 'x'})), "\x7f?x", 1},
        {"Unicode, a surrogate pair and a lone half", join({0xFF, 0xFE, 0xFF, 3}, utf16({0xD83D, 0xDE00, 0xDC00})),
         "??", 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.form);
        const Bytes bytes = join(c.bytes, {0x5A});  // a byte after the string
        ByteCursor in(bytes);
        std::uint64_t replaced = 0;
        EXPECT_EQ(ReadArchiveString(in, replaced), c.expected);
        EXPECT_EQ(replaced, c.replaced);
        EXPECT_EQ(in.Read<std::uint8_t>(), 0x5A);
        EXPECT_TRUE(in.Ok());
    }
    // A length beyond the input fails without allocating it.
    const Bytes huge = {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0};
    ByteCursor in(huge);
    std::uint64_t replaced = 0;
    EXPECT_EQ(ReadArchiveString(in, replaced), "");
    EXPECT_FALSE(in.Ok());
}

TEST(ReadClipBytes, LoadMapNumbersClassesAndObjects) {
    // A new "CDataSen" gets index 1 and its object 2; 0x8001 is a line (3); a new "CDataEnko" gets 4
    // and its object 5; 0x8004 is an arc (6); 0x7FFF with 0x80000001 is a line again (7).
    StreamWriter w;
    Header(w);
    w.Count(5);
    w.Object(Line(0, 0, 1, 1));
    w.UInt16(0x8001);
    w.Base({});
    for (int i = 0; i < 4; i++)
        w.Double(2);
    w.Object(TclpEntEnko{{}, 0, 0, 1, 0, 1, 0, 1, 0});
    w.UInt16(0x8004);
    w.Base({});
    for (int i = 0; i < 7; i++)
        w.Double(3);
    w.Int32(1);
    w.UInt16(0x7FFF);
    w.UInt32(0x80000001);
    w.Base({});
    for (int i = 0; i < 4; i++)
        w.Double(4);
    w.Count(0);
    DrawingStore store;
    ReadReport report;
    ASSERT_TRUE(ReadClipBytes(w.bytes, store, &report)) << report.failure;
    EXPECT_EQ(report.indexCounter, 8);
    EXPECT_EQ(store.lineCount(), 3);
    EXPECT_EQ(store.arcCount(), 2);
    EXPECT_EQ(store.lines[2].endY, 4);
    EXPECT_EQ(store.arcs[1].fullCircle, 1);
    EXPECT_EQ(store.objects, (std::vector<ObjectRef>{{1, 0}, {1, 1}, {2, 0}, {2, 1}, {1, 2}}));
}

TEST(ReadClipBytes, UnknownClassesStoreNothingAndTheirBytesReadAsTags) {
    // A definition of an unknown class with no body: its number is taken, and the line after it is
    // read as the next object. A tag below 0x7FFF reads nothing after itself either.
    StreamWriter w;
    Header(w);
    w.Count(1);
    w.ClassTag("CDataFoo");
    w.UInt16(0x1234);
    const std::string longName = "CDataSen" + std::string(300, '_');  // longer than 200 bytes: read whole
    w.ClassTag(longName);
    w.Object(Line(1, 2, 3, 4));
    w.Count(0);
    DrawingStore store;
    ReadReport report;
    ASSERT_TRUE(ReadClipBytes(w.bytes, store, &report)) << report.failure;
    EXPECT_EQ(store.lineCount(), 1);
    EXPECT_EQ(store.objects.size(), 1u);
    EXPECT_EQ(report.indexCounter, 5);  // CDataFoo 1, the long name 2, CDataSen 3, its line 4
}

TEST(ReadClipBytes, BlockDefinitionWithLargeStampSkipsEightBytes) {
    DrawingStore d;
    d.layerGroupScales.assign(16, 1);
    TclpEntBlockDef def;
    def.number = 9;
    def.stamp = static_cast<std::int32_t>(0x80000000u);
    def.name = "blk";
    Add(def, Line(0, 0, 5, 5));
    Add(def, TclpEntBlock{{}, 1, 2, 1, 1, 0, 9});  // an insert inside a definition is stored too
    d.blockDefs.push_back(def);
    Add(d, TclpEntBlock{{}, 10, 20, 2, 2, 0.5, 9});
    const auto bytes = WriteStream(d);
    DrawingStore store;
    ASSERT_TRUE(ReadClipBytes(bytes, store));
    ASSERT_EQ(store.blockDefCount(), 1);
    EXPECT_EQ(store.blockDefs[0].stamp, def.stamp);
    EXPECT_EQ(store.blockDefs[0].name, "blk");
    EXPECT_EQ(store.blockDefs[0].lineCount(), 1);
    EXPECT_EQ(store.blockDefs[0].insertCount(), 1);
    d.version = 600;
    EXPECT_EQ(store, d);
}

TEST(CheckClipBytes, SizeScalesAndSchemaRange) {
    DrawingStore d;
    d.layerGroupScales.assign(16, 1);
    Add(d, Line(0, 0, 1, 1));
    struct Case {
        std::uint16_t schema;
        int badScale;
        double scaleValue;
        bool expected;
    };
    const Case cases[] = {
        {219, -1, 0, false},  {220, -1, 0, true},     {700, -1, 0, true},   {701, -1, 0, false},
        {600, 0, 0.0, false}, {600, 15, -1.0, false}, {600, 7, NAN, false}, {600, 3, 1e-300, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "schema " << c.schema << " scale " << c.badScale);
        DrawingStore variant = d;
        if (c.badScale >= 0) variant.layerGroupScales[c.badScale] = c.scaleValue;
        StreamOptions options;
        options.schema = c.schema;
        EXPECT_EQ(CheckClipBytes(WriteStream(variant, options)), c.expected);
    }
    // The reference point is not tested; the size limit is 148 bytes.
    d.originX = -1e300;
    auto bytes = WriteStream(d);
    EXPECT_TRUE(CheckClipBytes(bytes));
    bytes.resize(148);
    EXPECT_FALSE(CheckClipBytes(bytes));  // passes the size test, then runs out
    bytes.resize(147);
    EXPECT_FALSE(CheckClipBytes(bytes));
}

// Every proper prefix of a valid stream is a truncated stream (run under ASan in CI).
TEST(ReadClipBytes, RejectsEveryTruncation) {
    const std::vector<std::uint8_t> whole = WriteStream(SampleDrawing());
    DrawingStore store;
    ASSERT_TRUE(ReadClipBytes(whole, store));
    for (std::size_t n = 0; n < whole.size(); n++) {
        const std::vector<std::uint8_t> prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        ReadReport report;
        EXPECT_FALSE(ReadClipBytes(prefix, store, &report)) << "prefix of " << n << " bytes";
        EXPECT_LE(report.endOffset, n);
    }
}

TEST(ReadClipBytes, FailureKeepsWhatWasRead) {
    const DrawingStore sample = SampleDrawing();
    auto bytes = WriteStream(sample);
    bytes.resize(bytes.size() - 10);  // ends inside the last block definition
    DrawingStore store;
    ReadReport report;
    EXPECT_FALSE(ReadClipBytes(bytes, store, &report));
    EXPECT_NE(report.failure.find("end of file"), std::string::npos);
    EXPECT_EQ(static_cast<const EntityArrays &>(store), static_cast<const EntityArrays &>(sample));
    EXPECT_EQ(store.objects, sample.objects);
    ASSERT_EQ(store.blockDefCount(), 1);
    EXPECT_LT(store.blockDefs[0].objects.size(), sample.blockDefs[0].objects.size());

    // Cut inside a line's coordinates: the line is counted, its numbers stay zero.
    DrawingStore lines;
    lines.layerGroupScales.assign(16, 1);
    Add(lines, Line(1, 2, 3, 4));
    Add(lines, Line(5, 6, 7, 8));
    auto cut = WriteStream(lines);
    cut.resize(cut.size() - 2 - 12);
    EXPECT_FALSE(ReadClipBytes(cut, store));
    ASSERT_EQ(store.lineCount(), 2);
    EXPECT_EQ(store.lines[0], lines.lines[0]);
    EXPECT_EQ(store.lines[1].base, lines.lines[1].base);
    EXPECT_EQ(store.lines[1].startX, 0);
    EXPECT_EQ(store.objects.size(), 1u);
}

TEST(ReadClipBytes, CountsThatCannotBeRightFailAtOnce) {
    enum Where { kObjects, kBlockDefinitions, kDefinitionEntities };
    struct Case {
        Where where;
        std::uint32_t count;
    };
    const Case cases[] = {
        {kObjects, 100000000},
        {kBlockDefinitions, 50000000},
        {kDefinitionEntities, 3000000},
        {kObjects, 0x80000000u},
        {kBlockDefinitions, 0xFFFFFFFFu},
        {kDefinitionEntities, 0x80000001u},
        {kBlockDefinitions, 1000 / 30 + 1},  // one more than the smallest definitions can fit
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.where << " " << c.count);
        StreamWriter w;
        Header(w);
        if (c.where == kObjects) {
            w.Count(c.count);
        } else {
            w.Count(0);
            if (c.where == kBlockDefinitions) {
                w.Count(c.count);
            } else {
                w.Count(1);
                w.BlockDefinition(TclpEntBlockDef{});
                w.bytes.resize(w.bytes.size() - 2);
                w.Count(c.count);
            }
        }
        w.bytes.resize(w.bytes.size() + 1000);
        DrawingStore store;
        ReadReport report;
        EXPECT_FALSE(ReadClipBytes(w.bytes, store, &report));
        EXPECT_NE(report.failure.find(std::to_string(c.count) + " "), std::string::npos) << report.failure;
        EXPECT_NE(report.failure.find("cannot fit"), std::string::npos) << report.failure;
        EXPECT_LT(store.objects.capacity(), 1000u);
        EXPECT_LT(store.blockDefs.capacity(), 1000u);
    }
}

// Memory is no reason to refuse a well-formed stream: definitions that take far more memory than their
// bytes (empty ones) are read whole, however many there are.
TEST(ReadClipBytes, ManyEmptyBlockDefinitionsReadWhole) {
    for (const int count : {2, 1000, 70000}) {
        SCOPED_TRACE(count);
        DrawingStore d = BareDrawing();
        for (int i = 0; i < count; i++) {
            TclpEntBlockDef def;
            def.number = i;
            d.blockDefs.push_back(def);
        }
        const std::vector<std::uint8_t> bytes = WriteStream(d);
        DrawingStore store;
        ReadReport report;
        EXPECT_TRUE(ReadClipBytes(bytes, store, &report)) << report.failure;
        EXPECT_EQ(store.blockDefs.size(), static_cast<std::size_t>(count));
    }
}

TEST(ReadClipBytes, ASecondReadReplacesTheFirst) {
    DrawingStore store;
    ASSERT_TRUE(ReadClipBytes(WriteStream(SampleDrawing()), store));
    DrawingStore small;
    small.layerGroupScales.assign(16, 2);
    Add(small, Line(0, 0, 1, 0));
    ASSERT_TRUE(ReadClipBytes(WriteStream(small), store));
    small.version = 600;
    EXPECT_EQ(store, small);
}

TEST(ReadClipFile, BufferedFileReadMatchesTheInMemoryRead) {
    // Long strings and enough objects to cross the file buffer's refills at many offsets.
    DrawingStore d;
    d.layerGroupScales.assign(16, 1);
    for (int i = 0; i < 12000; i++) {
        Add(d, Line(i, -i, i * 0.5, 1));
        TclpEntMoji text;
        text.text = std::string(static_cast<std::size_t>(i % 700), static_cast<char>('A' + i % 26));
        Add(d, text);
    }
    const auto bytes = WriteStream(d);
    ASSERT_GT(bytes.size(), 3u << 20);
    const std::string path = Utf8Of(std::filesystem::temp_directory_path() / "korvel_reader_test.jwwin");
    std::FILE *f = OpenFile(path, "wb");
    ASSERT_TRUE(f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    DrawingStore fromFile, fromMemory;
    EXPECT_TRUE(CheckClipFile(path));
    ASSERT_TRUE(ReadClipFile(path, fromFile));
    ASSERT_TRUE(ReadClipBytes(bytes, fromMemory));
    EXPECT_EQ(fromFile, fromMemory);
    std::filesystem::resize_file(FilePath(path), bytes.size() - 1);
    EXPECT_FALSE(ReadClipFile(path, fromFile));
    std::filesystem::remove(FilePath(path));
    EXPECT_FALSE(ReadClipFile(path, fromFile));
    EXPECT_FALSE(CheckClipFile(path));
}

// A string longer than the file buffer makes it grow while the unread rest of the window is still in it:
// the rest must be carried into the grown buffer, whatever the buffer's size and wherever the string falls.
TEST(ReadClipStream, StringsLongerThanTheBufferGrowItWithoutLosingTheWindow) {
    struct Case {
        std::size_t chunk;
        std::size_t length;
    };
    for (const Case c : {Case{1 << 20, 2'000'000}, Case{7, 40}, Case{64, 1000}, Case{4096, 70'000}, Case{1, 300}}) {
        SCOPED_TRACE(testing::Message() << c.chunk << " " << c.length);
        DrawingStore d;
        d.layerGroupScales.assign(16, 1);
        Add(d, Line(1, 2, 3, 4));
        TclpEntMoji text;
        text.fontName = "ＭＳ ゴシック";
        for (std::size_t i = 0; i < c.length; i++)
            text.text.push_back(static_cast<char>('a' + i % 26));
        Add(d, text);
        Add(d, Line(5, 6, 7, 8));
        const auto bytes = WriteStream(d);
        std::FILE *file = std::tmpfile();
        ASSERT_TRUE(file);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::rewind(file);
        DrawingStore fromFile, fromMemory;
        ReadReport report;
        EXPECT_TRUE(ReadClipStream(file, bytes.size(), fromFile, &report, c.chunk)) << report.failure;
        std::fclose(file);
        ASSERT_TRUE(ReadClipBytes(bytes, fromMemory));
        EXPECT_EQ(fromFile, fromMemory);
    }
}

TEST(ReadClipBytes, SurvivesRandomCorruption) {
    const auto whole = WriteStream(SampleDrawing());
    std::mt19937 random(7);
    for (int round = 0; round < 3000; round++) {
        std::vector<std::uint8_t> bytes = whole;
        const int flips = 1 + round % 8;
        for (int i = 0; i < flips; i++)
            bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        DrawingStore store;
        ReadClipBytes(bytes, store);  // must not crash, hang or over-read
        CheckClipBytes(bytes);
    }
}

// A counting read goes through the same reader as a store read and must find the same figures and end
// the same way: on every truncation and on corrupted streams.
TEST(ReadClipBytes, CountingAndScriptReadsFindWhatTheStoreReadFinds) {
    const auto whole = WriteStream(SampleDrawing());
    std::mt19937 random(11);
    for (int round = 0; round < 4000; round++) {
        std::vector<std::uint8_t> bytes = whole;
        if (round < static_cast<int>(whole.size())) {
            bytes.resize(static_cast<std::size_t>(round));
        } else {
            for (int i = 0; i < 1 + round % 8; i++)
                bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        }
        DrawingStore store;
        DrawingSummary summary;
        ScriptDrawing script;
        ReadReport stored, counted, kept;
        const bool complete = ReadClipBytes(bytes, store, &stored);
        ASSERT_EQ(complete, ReadClipBytes(bytes, summary, &counted)) << round;
        ASSERT_TRUE(SameEnding(stored, counted)) << round;
        ASSERT_TRUE(SameFigures(summary, store)) << round;
        // A read keeping the script's kinds keeps the same records of them.
        ASSERT_EQ(complete, ReadClipBytes(bytes, script, &kept)) << round;
        ASSERT_TRUE(SameEnding(stored, kept)) << round;
        ASSERT_TRUE(SameFigures(script, store)) << round;
        // (Arrays holding a NaN, which equals nothing, are compared by their counts alone.)
        const auto same = [](const auto &kept, const auto &stored) { return !(stored == stored) || kept == stored; };
        ASSERT_TRUE(same(script.lines, store.lines) && same(script.arcs, store.arcs) &&
                    same(script.points, store.points) && same(script.solids, store.solids))
            << round;
    }
}

namespace {

// The position of the `nth` (from 0) occurrence of `pattern` in `bytes`.
std::size_t Find(const std::vector<std::uint8_t> &bytes, const std::vector<std::uint8_t> &pattern, int nth = 0) {
    auto at = bytes.begin();
    for (int i = 0;; ++i, ++at) {
        at = std::search(at, bytes.end(), pattern.begin(), pattern.end());
        if (at == bytes.end() || i == nth) break;
    }
    return static_cast<std::size_t>(at - bytes.begin());
}

}  // namespace

// Fields that only some values bring with them: symbol points (style 100 exactly) and a solid's own
// colour (pen colour 10 exactly), at the values around them.
TEST(ReadClipBytes, ConditionalFieldsOnlyAtTheirExactValues) {
    DrawingStore d = BareDrawing();
    for (const std::uint8_t style : {99, 100, 101})
        Add(d, TclpEntTen{TclpEntBase{0, style, 2, 0, 0, 0, 2}, 1.0 * style, 2, 0, style == 100 ? 12 : 0,
                          style == 100 ? 0.5 : 0, style == 100 ? 2.0 : 0});
    for (const std::uint16_t color : {9, 10, 11, 0x0123})
        Add(d,
            TclpEntSolid{TclpEntBase{0, 1, color, 0, 0, 0, 2}, 0, 0, 1, 0, 1, 1, 0, 1, color == 10 ? 0x00C08040 : 0});
    Add(d, TclpEntSen{TclpEntBase{0, 1, 2, 0, 0, 0, 2}, 0, 0, 5, 5});  // something to misread after them
    DrawingStore store;
    ASSERT_TRUE(ReadClipBytes(WriteStream(d), store));
    EXPECT_EQ(store, d);
}

// The stream's version is the schema of its first class definition, whatever later ones say.
TEST(ReadClipBytes, VersionComesFromTheFirstClassDefinition) {
    DrawingStore d = BareDrawing();
    Add(d, TclpEntSen{TclpEntBase{0, 1, 2, 0, 0, 0, 2}, 0, 0, 5, 5});
    Add(d, TclpEntEnko{TclpEntBase{0, 1, 2, 0, 0, 0, 2}, 1, 1, 2, 0, 6.28, 0, 1, 1});
    Add(d, TclpEntSen{TclpEntBase{0, 1, 3, 0, 0, 0, 2}, 1, 1, 6, 6});
    StreamOptions options;
    options.schema = 350;  // before pen widths
    std::vector<std::uint8_t> bytes = WriteStream(d, options);
    const std::size_t second = Find(bytes, {0xFF, 0xFF, 350 & 0xFF, 350 >> 8}, 1);
    ASSERT_LT(second, bytes.size());
    bytes[second + 2] = 600 & 0xFF;  // the arc's class says 600
    bytes[second + 3] = 600 >> 8;
    DrawingStore store;
    ASSERT_TRUE(ReadClipBytes(bytes, store));
    d.version = 350;  // the records were written without pen widths, and had none
    EXPECT_EQ(store, d);
}

// Counts below 0xFFFF are one 16-bit word, however large: 40,000 objects.
TEST(ReadClipBytes, ShortCountsUpTo65534) {
    DrawingStore d = BareDrawing();
    for (int i = 0; i < 40000; ++i)
        Add(d, TclpEntSen{TclpEntBase{0, 1, 2, 0, 0, 0, 2}, 0, 0, 1.0 * i, 1});
    const std::vector<std::uint8_t> bytes = WriteStream(d);
    ASSERT_EQ(bytes[16 * 8 + 16], 40000 & 0xFF);  // the count as one word, right after the header
    ASSERT_EQ(bytes[16 * 8 + 17], 40000 >> 8);
    DrawingStore store;
    ASSERT_TRUE(ReadClipBytes(bytes, store));
    EXPECT_EQ(store.lines.size(), 40000u);
}

// A reference to class index 0 (tag 0x8000) names no class, not the kinds still undefined: a crafted
// stream must not read an invented block insert.
TEST(ReadClipBytes, ClassIndexZeroNamesNoClass) {
    DrawingStore d = BareDrawing();
    Add(d, TclpEntSen{TclpEntBase{0, 1, 2, 0, 0, 0, 2}, 0, 0, 5, 5});  // its class sets the version
    Add(d, TclpEntBlock{TclpEntBase{0, 1, 2, 0, 0, 0, 2}, 1, 2, 1, 1, 0, 7});
    std::vector<std::uint8_t> bytes = WriteStream(d);
    const std::string name = "CDataBlock";
    const std::size_t definition = Find(bytes, {0xFF, 0xFF}, 1);
    ASSERT_EQ(std::string(bytes.begin() + definition + 6, bytes.begin() + definition + 6 + name.size()), name);
    // Replace the class definition by a reference to index 0.
    bytes.erase(bytes.begin() + definition + 2, bytes.begin() + definition + 6 + name.size());
    bytes[definition] = 0x00;
    bytes[definition + 1] = 0x80;
    DrawingStore store;
    ReadClipBytes(bytes, store);
    EXPECT_EQ(store.lines.size(), 1u);
    EXPECT_TRUE(store.inserts.empty());
}

// A file whose last read crosses the 1 MiB read buffer and ends on the file's last byte.
TEST(ReadClipFile, TheLastReadMayEndExactlyAtTheEndOfAFileAcrossTheBuffer) {
    constexpr std::size_t kTarget = (1u << 20) + 1;
    DrawingStore d = BareDrawing();
    const TclpEntSen line{TclpEntBase{0, 1, 2, 0, 0, 0, 2}, 0, 0, 1, 1};
    Add(d, line);
    const std::size_t oneLine = WriteStream(d).size();
    Add(d, line);
    const std::size_t perLine = WriteStream(d).size() - oneLine;
    while (d.lines.size() * perLine + oneLine < kTarget - 2000)
        Add(d, line);
    TclpEntMoji text;
    text.base = line.base;
    text.fontName = "f";
    text.text = std::string(300, 'a');
    Add(d, text);
    d.texts.back().text.resize(300 + kTarget - WriteStream(d).size());  // longer strings cost what they hold
    const std::vector<std::uint8_t> bytes = WriteStream(d);
    ASSERT_EQ(bytes.size(), kTarget);
    const std::string path = Utf8Of(std::filesystem::temp_directory_path() / "korvel_reader_boundary.jwwin");
    std::FILE *f = OpenFile(path, "wb");
    ASSERT_TRUE(f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    DrawingStore store;
    ReadReport report;
    EXPECT_TRUE(ReadClipFile(path, store, &report)) << report.failure;
    EXPECT_EQ(report.endOffset, kTarget);
    std::filesystem::remove(FilePath(path));
}

// A version field that does not match the header's layout must not read as a complete (often empty)
// drawing: the lists are not where that version's header ends.
TEST(ReadDrawingFileBytes, AVersionStampedOverAnotherLayoutFails) {
    struct Case {
        std::uint32_t layout, stamped;
        bool empty;  // the drawing's lists: empty ones must still be told from a missed walk
    };
    DrawingStore sample = WithPenWidths(SampleDrawing());
    DrawingStore none = sample;
    ClearDrawingStore(none);
    none.layerGroupScales = sample.layerGroupScales;
    for (const Case c : {Case{700, 300, false}, Case{700, 200, false}, Case{700, 222, false}, Case{700, 299, false},
                         Case{600, 200, false}, Case{420, 351, false}, Case{351, 420, false}, Case{700, 300, true}}) {
        SCOPED_TRACE(testing::Message() << c.layout << " stamped " << c.stamped << (c.empty ? " empty" : ""));
        std::vector<std::uint8_t> file = WriteJwwFile(c.empty ? none : sample, c.layout);
        DrawingStore genuine;
        ASSERT_TRUE(ReadDrawingFileBytes(file, genuine, DrawingFileOptions{true}));
        std::memcpy(file.data() + 8, &c.stamped, 4);
        // The lists' class definitions written after the empty lists, as a missed walk would leave them.
        if (c.empty) {
            const std::vector<std::uint8_t> lists = WriteStream(sample);
            file.insert(file.end(), lists.begin() + 18 * 8, lists.end());
        }
        DrawingStore store;
        ReadReport report;
        EXPECT_FALSE(ReadDrawingFileBytes(file, store, DrawingFileOptions{true}, &report));
        EXPECT_NE(report.failure.find("version-" + std::to_string(c.stamped)), std::string::npos) << report.failure;
    }
}

// Characters without a Shift-JIS form are counted in what is kept: not in the header's strings, nor in
// the entities of layers a copy leaves out.
TEST(ReadDrawingFileBytes, ReplacedCharactersAreCountedInWhatIsKept) {
    DrawingStore d = BareDrawing();
    // Kept (two replaced characters), left out with its layer (one), kept (none): the count of what is left
    // out must be the one read with it, after an object that was kept.
    struct Text {
        std::uint16_t layer;
        const char *placeholder;
        std::vector<std::uint8_t> unicode;  // what the placeholder (a length byte and four letters) becomes
    };
    const Text texts[] = {{0, "BBBB", {0xFF, 0xFE, 0xFF, 2, 0xE9, 0x00, 0xE9, 0x00}},
                          {1, "AAAA", {0xFF, 0xFE, 0xFF, 1, 0xE9, 0x00}},
                          {0, "CCCC", {}}};
    for (const Text &t : texts) {
        TclpEntMoji text;
        text.base = TclpEntBase{0, 1, 2, 0, t.layer, 0, 2};
        text.text = t.placeholder;
        Add(d, text);
    }
    std::vector<std::uint8_t> file = WriteJwwFile(d, 700, {{0, 1}});
    for (const Text &t : texts) {
        if (t.unicode.empty()) continue;
        const std::vector<std::uint8_t> ansi = {4, std::uint8_t(t.placeholder[0]), std::uint8_t(t.placeholder[1]),
                                                std::uint8_t(t.placeholder[2]), std::uint8_t(t.placeholder[3])};
        const auto at = std::search(file.begin(), file.end(), ansi.begin(), ansi.end());
        ASSERT_NE(at, file.end());
        file.insert(file.erase(at, at + 5), t.unicode.begin(), t.unicode.end());
    }
    for (const bool allLayers : {true, false}) {
        DrawingStore store;
        ReadReport report;
        ASSERT_TRUE(ReadDrawingFileBytes(file, store, DrawingFileOptions{allLayers}, &report)) << report.failure;
        EXPECT_EQ(store.replacedCharacters, allLayers ? 3u : 2u);
        EXPECT_EQ(store.texts.size(), allLayers ? 3u : 2u);
    }
}

// Saved drawings written at each header layout read back as the drawing; by default without the entities
// on a layer that is not editable.
TEST(ReadDrawingFileBytes, RoundTripsEveryHeaderLayout) {
    DrawingStore sample = WithPenWidths(SampleDrawing());
    // Every gate of the header's layout at its own value and one below.
    for (const std::uint32_t version :
         {222u, 223u, 224u, 225u, 229u, 230u, 299u, 300u, 350u, 351u, 419u, 420u, 600u, 700u}) {
        SCOPED_TRACE(version);
        const std::vector<std::uint8_t> file = WriteJwwFile(sample, version, {{0, 1}});
        EXPECT_TRUE(CheckDrawingFileBytes(file));
        DrawingStore every, editable;
        ReadReport report;
        ASSERT_TRUE(ReadDrawingFileBytes(file, every, DrawingFileOptions{true}, &report)) << report.failure;
        DrawingStore expected = SampleAsReadAt(static_cast<int>(version));
        expected.originX = expected.originY = 0;       // a .jww has no reference point of its own
        expected.layerNames.assign(16 * 16 + 16, "");  // and names every layer and group (here, emptily)
        // and keeps each group's and layer's state: layer 0-1 hidden, the rest editable.
        ASSERT_EQ(every.layerStates.size(), 16u + 256u);
        EXPECT_EQ(std::count_if(every.layerStates.begin(), every.layerStates.end(), [](auto s) { return s < 2; }), 1);
        EXPECT_LT(every.layerStates[16 + 1], 2);
        expected.layerStates = every.layerStates;
        EXPECT_EQ(every, expected);
        ASSERT_TRUE(ReadDrawingFileBytes(file, editable, DrawingFileOptions{false}));
        const auto onVisibleLayers = std::count_if(sample.lines.begin(), sample.lines.end(), [](const TclpEntSen &l) {
            return !(l.base.layerGroup == 0 && l.base.layer == 1);
        });
        EXPECT_EQ(static_cast<long>(editable.lines.size()), onVisibleLayers);
        EXPECT_EQ(editable.blockDefs, every.blockDefs);
        EXPECT_EQ(editable.leftOnLockedLayers, every.objects.size() - editable.objects.size());
        EXPECT_GT(editable.leftOnLockedLayers, 0u);
    }
    DrawingStore part;
    ASSERT_TRUE(ReadDrawingFileBytes(WriteJwsFile(sample, 600), part, DrawingFileOptions{}));
    EXPECT_EQ(part, SampleAsReadAt(600));
    // A file cut anywhere in its header fails cleanly.
    const std::vector<std::uint8_t> file = WriteJwwFile(sample, 700);
    for (std::size_t cut = 0; cut < 9000; cut += 97) {
        DrawingStore store;
        EXPECT_FALSE(ReadDrawingFileBytes(std::span(file.data(), cut), store, DrawingFileOptions{}));
    }
}

// A definition whose announced entity count is far past the bytes left: the read fails where the count cannot
// fit, having reserved only what the counting pass found, never what the stream announced.
TEST(ReadClipBytes, AnAnnouncedDefinitionCountReservesNothing) {
    DrawingStore drawing;
    drawing.layerGroupScales.assign(16, 1.0);
    TclpEntBlockDef def;
    def.number = 1;
    def.name = "ZZZZ";
    test::Add(def, TclpEntSen{{}, 0, 0, 1, 1});
    drawing.blockDefs.push_back(def);
    test::StreamOptions options;
    options.longCounts = true;
    std::vector<std::uint8_t> bytes = test::WriteStream(drawing, options);
    const std::string name = "ZZZZ";
    const auto at = std::search(bytes.begin(), bytes.end(), name.begin(), name.end()) + name.size();
    ASSERT_EQ(at[0], 0xFF);  // the entity count: 0xFFFF, then 32 bits
    ASSERT_EQ(at[2], 1);
    at[2] = 0xFF, at[3] = 0xFF, at[4] = 0xFF, at[5] = 0x7F;
    DrawingStore store;
    ReadReport report;
    EXPECT_FALSE(ReadClipBytes(bytes, store, &report));
    EXPECT_FALSE(report.outOfMemory);
    EXPECT_NE(report.failure.find("cannot fit"), std::string::npos) << report.failure;
    ASSERT_EQ(store.blockDefs.size(), 1u);
    EXPECT_LT(store.blockDefs[0].objects.capacity(), 16u);
}
