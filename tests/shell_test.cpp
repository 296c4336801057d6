// The window's workflow driven through fakes of the clipboard and the controls: import, dumps, convert,
// copy, close, and the program's folder.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "files/file_path.h"
#include "files/output_file.h"
#include "files/program_folder.h"
#include "geom/cp932.h"
#include "preview/preview.h"
#include "preview/recording_canvas.h"
#include "reader/jclfunit.h"
#include "reader/jww_file.h"
#include "script/convert.h"
#include "script/export.h"
#include "shell/folder_clipboard.h"
#include "shell/form.h"
#include "shell/form_layout.h"
#include "shell/input_list.h"
#include "shell/messages.h"
#include "shell/view_texts.h"
#include "shell/window_options.h"
#include "support/realdata.h"
#include "support/shell_fakes.h"
#include "support/stream_writer.h"
#include "support/trace.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

using namespace korvel;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder name for this run.
std::string UniqueName(const std::string &stem) {
    return stem + "-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
}

using test::FakeClipboard;
using test::FakeControls;

Bytes ReadBytes(const fs::path &path) { return test::ReadFileBytes(path); }

#ifndef _WIN32
// Runs `f` with writes past `bytes` failing (EFBIG rather than the signal), as on a full disk.
void WithFileSizeLimit(rlim_t bytes, const std::function<void()> &f) {
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    f();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
}
#endif
void WriteBytes(const fs::path &path, const Bytes &bytes) { test::WriteFileBytes(path, bytes); }

using test::Trace;

// What the window is told around long work (the buttons but "close" off, the busy sign), then `after`.
std::vector<std::string> LongWork(std::vector<std::string> after) {
    std::vector<std::string> log = {"disable 1", "disable 2", "disable 3", "enable 4", "busy",
                                    "idle",      "enable 1",  "enable 2",  "enable 3", "enable 4"};
    log.insert(log.end(), after.begin(), after.end());
    return log;
}

// What the import should draw: the blank image, then the drawing when there is one.
std::vector<std::string> ExpectedPreview(const DrawingStore *drawing) {
    RecordingCanvas canvas;
    PreviewSurface surface(canvas);
    PrepareBlankPreview(surface, kPreviewWidth, kPreviewHeight);
    if (drawing) RenderDrawingPreview(surface, *drawing);
    return Trace(canvas.ops);
}

// The same for a stream, drawn when it reads.
std::vector<std::string> ExpectedPreview(const Bytes &stream) {
    DrawingStore store;
    return ExpectedPreview(ReadClipBytes(stream, store) ? &store : nullptr);
}

class Shell : public testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / UniqueName("korvel-shell");
        fs::remove_all(folder);
        fs::create_directories(folder);
        form.FormShow(folder.string() + "/");
        controls.log.clear();
    }
    void TearDown() override { fs::remove_all(folder); }

    // Jw_cad's three formats as a real copy has them, plus text.
    void PutCopy(const Bytes &stream) {
        clipboard.formats = {{"DataObject", Bytes(4, 7)},
                             {"Jw_win", stream},
                             {"Ole Private Data", Bytes(120, 9)},
                             {"CF_TEXT", Bytes{'x', 0}}};
    }
    fs::path Scratch(int i) const { return folder / ("prev." + std::to_string(i)); }
    bool AnyScratchFile() const { return fs::exists(Scratch(0)) || fs::exists(Scratch(1)) || fs::exists(Scratch(2)); }

    fs::path folder;
    FakeClipboard clipboard;
    FakeControls controls;
    TForm1 form{controls, clipboard};
    const Bytes sample = test::WriteStream(test::SampleDrawing());
};

TEST_F(Shell, ImportDumpsTheThreeFormatsAndDrawsTheDrawing) {
    PutCopy(sample);
    form.Button1Click();

    EXPECT_EQ(ReadBytes(Scratch(0)), clipboard.formats["DataObject"]);
    EXPECT_EQ(ReadBytes(Scratch(1)), sample);
    EXPECT_EQ(ReadBytes(Scratch(2)), clipboard.formats["Ole Private Data"]);
    EXPECT_EQ(controls.scratch,
              (std::vector<std::string>{"49361 S:4", "49362 S:" + std::to_string(sample.size()), "49363 S:120"}));
    EXPECT_EQ(Trace(controls.image.ops), ExpectedPreview(sample));
    EXPECT_EQ(controls.log, (std::vector<std::string>{"busy", "drawn", "idle"}));
    EXPECT_EQ(form.Store().lines.size(), test::SampleDrawing().lines.size());
    // Three size queries and the hold around the dumps; the dumps' own opens nest inside the hold.
    EXPECT_EQ(clipboard.opens, 4);
}

TEST_F(Shell, ImportOfAnIncompleteClipboardChangesNothing) {
    struct Case {
        const char *name;
        std::function<void(FakeClipboard &)> change;
        std::size_t scratchLines;
    };
    const Case cases[] = {
        {"only text",
         [](FakeClipboard &c) {
             c.formats = {{"CF_TEXT", Bytes{'x'}}};
         },
         0},
        {"two of three formats", [](FakeClipboard &c) { c.formats.erase("Ole Private Data"); }, 2},
        {"an empty format", [](FakeClipboard &c) { c.formats["DataObject"].clear(); }, 2},
        {"registration fails", [](FakeClipboard &c) { c.registrationFails = true; }, 0},
    };
    for (const Case &c : cases) {
        PutCopy(sample);
        clipboard.registrationFails = false;
        c.change(clipboard);
        controls.scratch.clear();
        form.Button1Click();
        EXPECT_EQ(controls.scratch.size(), c.scratchLines) << c.name;
        EXPECT_FALSE(AnyScratchFile()) << c.name;
        EXPECT_EQ(controls.newImages, 0) << c.name;
        EXPECT_EQ(controls.log,
                  (std::vector<std::string>{"busy", "idle", std::string("message ") + kNoJwDrawingMessage}))
            << c.name;
        controls.log.clear();
    }
}

// Automatic import: off, nothing; on, each Jw_cad copy is imported (and converted when asked), while other
// copies and the window's own copy change nothing and say nothing.
TEST_F(Shell, AutomaticImportTakesJwCadCopiesOnlyAndConvertsWhenAsked) {
    struct Case {
        const char *name;
        TForm1::AutoImport choice;
        bool jwCopy, copiedHere;
        int images;
        bool script;
    };
    const Case cases[] = {
        {"off", {false, false}, true, false, 0, false},
        {"on: a Jw_cad copy", {true, false}, true, false, 1, false},
        {"on: the window's own copy", {true, true}, true, true, 0, false},
        {"on: text", {true, true}, false, false, 0, false},
        {"on, with conversion", {true, true}, true, false, 1, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(folder / kScriptFileName);
        controls.newImages = 0;
        controls.log.clear();
        if (c.jwCopy) PutCopy(sample);
        else clipboard.formats = {{"CF_TEXT", Bytes{'x', 0}}};
        form.SetAutoImport(c.choice);
        form.ClipboardChanged(c.copiedHere);
        EXPECT_EQ(controls.newImages, c.images);
        EXPECT_EQ(fs::exists(folder / kScriptFileName), c.script);
        for (const std::string &entry : controls.log)
            EXPECT_FALSE(entry.starts_with("message")) << entry;
    }
    // A copy that reads part-way is said once, and no conversion is tried: its script would lack what was not
    // read.
    fs::remove(folder / kScriptFileName);
    Bytes partial = sample;
    partial.resize(sample.size() - 10);
    ASSERT_TRUE(CheckClipBytes(partial));
    PutCopy(partial);
    controls.log.clear();
    form.SetAutoImport({true, true});
    form.ClipboardChanged(false);
    EXPECT_FALSE(fs::exists(folder / kScriptFileName));
    EXPECT_EQ(std::count_if(controls.log.begin(), controls.log.end(),
                            [](const std::string &entry) { return entry.starts_with("message"); }),
              1);
    // A copy that fails the check is still said: the user copied a drawing and should know.
    PutCopy(Bytes(300, 0));
    form.ClipboardChanged(false);
    EXPECT_NE(std::find(controls.log.begin(), controls.log.end(),
                        std::string("message ") + kRejectedCopyMessage + "\n" + kEarlierDrawingKeptMessage),
              controls.log.end());
}

TEST_F(Shell, ImportOfAStreamThatPassesTheCheckButFailsToReadLeavesTheBlankImage) {
    Bytes broken = sample;
    broken.resize(200);
    ASSERT_TRUE(CheckClipBytes(broken));
    PutCopy(broken);
    form.Button1Click();
    EXPECT_EQ(controls.newImages, 1);
    RecordingCanvas blank;
    PreviewSurface surface(blank);
    PrepareBlankPreview(surface, kPreviewWidth, kPreviewHeight);
    EXPECT_EQ(Trace(controls.image.ops), Trace(blank.ops));
}

TEST_F(Shell, ImportOfARejectedStreamKeepsThePreviewAndTheDrawing) {
    PutCopy(sample);
    form.Button1Click();
    PutCopy(Bytes(300, 0));
    form.Button1Click();
    EXPECT_EQ(ReadBytes(Scratch(1)), Bytes(300, 0));
    EXPECT_EQ(controls.newImages, 1);
    EXPECT_EQ(form.Store().lines.size(), test::SampleDrawing().lines.size());
}

TEST_F(Shell, ImportingTwiceOverwritesTheDumpsAndRedrawsFromABlankImage) {
    PutCopy(Bytes(sample.begin(), sample.begin() + 200));
    form.Button1Click();
    PutCopy(sample);
    clipboard.formats["DataObject"] = Bytes(4, 1);
    form.Button1Click();
    EXPECT_EQ(ReadBytes(Scratch(0)), Bytes(4, 1));
    EXPECT_EQ(ReadBytes(Scratch(1)), sample);
    EXPECT_EQ(controls.newImages, 2);
    EXPECT_EQ(Trace(controls.image.ops), ExpectedPreview(sample));
}

TEST_F(Shell, AClipboardHeldByAnotherProgramIsReportedAndTheCursorRestored) {
    // Open 0 is the first size query; open 3 is the hold around the dumps.
    for (const int failAt : {0, 3}) {
        PutCopy(sample);
        clipboard.opens = 0;
        clipboard.failOpenAt = failAt;
        controls.log.clear();
        form.Button1Click();
        const std::string message = std::string("message ") + kClipboardOpenMessage;
        // Busy from the first request on, since an owner may take its time to answer.
        EXPECT_EQ(controls.log, (std::vector<std::string>{"busy", "idle", message})) << failAt;
        EXPECT_FALSE(AnyScratchFile()) << failAt;
    }
}

TEST_F(Shell, DumpsHoldTheBlockExactlyAndNeverAStaleOrPartialFile) {
    Clipboards clipboards(clipboard);
    const std::uint32_t format = clipboards.RegisterFormat("Jw_win");
    const fs::path path = Scratch(1);
    for (const std::size_t size : {std::size_t{1}, std::size_t{2048}, std::size_t{4096}, std::size_t{5000}}) {
        Bytes block(size);
        for (std::size_t i = 0; i < size; ++i)
            block[i] = static_cast<std::uint8_t>(i * 7 + 3);
        clipboard.formats["Jw_win"] = block;
        clipboards.DumpClipboardFormat(format, path.string());
        EXPECT_EQ(ReadBytes(path), block) << size;
    }

    clipboard.formats.erase("Jw_win");
    clipboards.DumpClipboardFormat(format, path.string());
    EXPECT_FALSE(fs::exists(path)) << "a stale dump stays";

    clipboard.formats["Jw_win"] = Bytes(5000, 1);
    clipboards.DumpClipboardFormat(format, (folder / "missing" / "prev.1").string());
    EXPECT_FALSE(fs::exists(folder / "missing"));

    // A link planted at the dump's name is replaced by the dump; what it pointed at is untouched.
    const fs::path victim = folder / "victim.txt";
    WriteBytes(victim, Bytes(3, 9));
    std::error_code ec;
    fs::create_symlink(victim, path, ec);
    if (!ec) {
        clipboards.DumpClipboardFormat(format, path.string());
        EXPECT_EQ(ReadBytes(victim), Bytes(3, 9));
        EXPECT_FALSE(fs::is_symlink(path));
        EXPECT_EQ(ReadBytes(path), Bytes(5000, 1));
        // ... with a new file's mode, not the link's 0777.
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::others_write, fs::perms::none);
    }
    fs::remove(victim);
    for (const auto &entry : fs::directory_iterator(folder))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << "a temporary stays: " << entry.path();

#ifndef _WIN32
    // A write that fails half way (a file-size limit) leaves nothing behind.
    WriteBytes(path, Bytes(10, 2));
    WithFileSizeLimit(3000, [&] { clipboards.DumpClipboardFormat(format, path.string()); });
    EXPECT_FALSE(fs::exists(path));
#endif
}

TEST_F(Shell, ConvertReadsEachCheckBoxAsItsOptionAndShowsTheScript) {
    PutCopy(sample);
    form.Button1Click();
    std::set<std::string> scripts;
    for (int box = 0; box <= 4; ++box) {
        controls.checked = {box == 1, box == 2, box == 3, box == 4};
        ConvertOptions options;
        options.colors = box == 1;
        options.layers = box == 2;
        options.hatching = box == 3;
        options.solids = box == 4;
        StringScriptSink expected;
        PenColorTable pens;
        FillPenColorTable(pens);
        ConvertDrawing(form.Store(), options, pens, expected);

        controls.log.clear();
        controls.text = "stale";
        form.Button2Click();
        const std::string written = test::ReadFileText(form.ScriptPath());
        EXPECT_EQ(written, expected.text) << "check box " << box;
        std::string shown = Cp932ToUtf8(expected.text);
        std::erase(shown, '\r');
        EXPECT_EQ(controls.text, shown) << "check box " << box;
        EXPECT_EQ(controls.log, LongWork({}));
        scripts.insert(written);
    }
    EXPECT_EQ(scripts.size(), 5u) << "each option should change the sample's script";
}

// A drawing of blocks only: the script holds no command, and the window says why and what would carry them
// (a warning, not an error); with block figures chosen, the summary counts what went in.
TEST_F(Shell, ABlockOnlyDrawingIsNeverConvertedSilently) {
    DrawingStore blocks;
    blocks.layerGroupScales.assign(16, 1.0);
    TclpEntBlockDef chair;
    chair.number = 1;
    chair.lines = {{{}, 0, 0, 1, 0}, {{}, 0, 0, 0, 1}};
    chair.objects = {{1, 0}, {1, 1}};
    blocks.blockDefs = {chair};
    blocks.inserts = {{{}, 5, 5, 1, 1, 0, 1}};
    blocks.objects = {{static_cast<std::int32_t>(EntityKind::Insert), 0}};
    PutCopy(test::WriteStream(blocks));
    form.Button1Click();
    controls.log.clear();
    form.Button2Click();
    EXPECT_EQ(controls.summary,
              "変換した図形はありません／変換しなかったもの: ブロック図形 "
              "1（右クリックメニューの「ブロック図形も変換する」で変換）");
    ASSERT_EQ(controls.kinds, std::vector<MessageKind>{MessageKind::Warning});
    EXPECT_NE(controls.log.back().find("「ブロック図形も変換する」"), std::string::npos) << controls.log.back();

    form.SetMoreOptions({true, false, false});
    controls.kinds.clear();
    form.Button2Click();
    EXPECT_EQ(controls.summary, "線 2 を変換（うちブロック図形から 2）");
    EXPECT_TRUE(controls.kinds.empty());
    EXPECT_NE(test::ReadFileText(form.ScriptPath()).find("LINE2D"), std::string::npos);
}

// Several drawings dropped at once: each converted with the window's options into the chosen folder, named
// after its whole path where two names would be one file; one message says what could not be read.
TEST_F(Shell, DroppedDrawingsConvertIntoTheChosenFolderWithOneSummary) {
    const fs::path in = folder / "in", out = folder / "out";
    fs::create_directories(in / "a");
    fs::create_directories(in / "b");
    fs::create_directories(out);
    test::WriteFileBytes(in / "a" / "plan.jwwin", sample);
    test::WriteFileBytes(in / "b" / "PLAN.jwwin", sample);
    test::WriteFileBytes(in / "notes.txt", Bytes(300, 'x'));
    controls.checked = {false, true, false, false};
    // The view's layer switches belong to the drawing it shows: they leave nothing out of these.
    TForm1::MoreOptions shownOnly;
    shownOnly.shownLayersOnly = true;
    form.SetMoreOptions(shownOnly);
    form.SetHiddenLayers(HiddenLayers{}.set());
    form.ConvertDroppedFiles(
        {(in / "a" / "plan.jwwin").string(), (in / "b" / "PLAN.jwwin").string(), (in / "notes.txt").string()},
        out.string());
    ASSERT_EQ(controls.kinds, std::vector<MessageKind>{MessageKind::Warning});
    EXPECT_NE(controls.log.back().find("2 件を変換、1 件は読めませんでした:\nnotes.txt（"), std::string::npos)
        << controls.log.back();
    std::set<std::string> written;
    for (const auto &entry : fs::directory_iterator(out))
        written.insert(entry.path().filename().string());
    ASSERT_EQ(written.size(), 2u);
    // plan and PLAN would be one file where case is ignored: each is named after its whole path.
    EXPECT_TRUE(written.begin()->ends_with("a_plan.jwwin.vnt")) << *written.begin();
    EXPECT_TRUE(written.rbegin()->ends_with("b_PLAN.jwwin.vnt")) << *written.rbegin();
    ConvertOptions layers;
    layers.layers = true;
    StringScriptSink expected;
    PenColorTable pens;
    FillPenColorTable(pens);
    DrawingStore drawing;
    ASSERT_TRUE(ReadClipBytes(sample, drawing));
    ConvertDrawing(drawing, layers, pens, expected);
    for (const std::string &name : written)
        EXPECT_EQ(test::ReadFileText(out / name), expected.text) << name;
}

// With the switch on, the same batch is exported: NAME.dxf each, as korvel-cli export writes them, and the
// message says so.
TEST_F(Shell, DroppedDrawingsExportAsDxfWhenChosen) {
    const fs::path in = folder / "in", out = folder / "out";
    fs::create_directories(in);
    fs::create_directories(out);
    test::WriteFileBytes(in / "plan.jwwin", sample);
    test::WriteFileBytes(in / "copy.jwwin", sample);
    ASSERT_TRUE(FlipSwitch(form, WindowCommand::ExportDrops));
    form.ConvertDroppedFiles({(in / "plan.jwwin").string(), (in / "copy.jwwin").string()}, out.string());
    ASSERT_EQ(controls.kinds, std::vector<MessageKind>{MessageKind::Information});
    EXPECT_NE(controls.log.back().find("2 件を書き出し"), std::string::npos) << controls.log.back();
    DrawingStore drawing;
    ASSERT_TRUE(ReadClipBytes(sample, drawing));
    StringScriptSink expected;
    ExportDrawing(drawing, ExportFormat::Dxf, {}, expected);
    for (const char *name : {"plan.dxf", "copy.dxf"})
        EXPECT_EQ(test::ReadFileText(out / name), expected.text) << name;
    EXPECT_FALSE(fs::exists(out / "plan.vnt"));

    // A stream already named plan.dxf, exported into its own folder, is left as it was and said so.
    test::WriteFileBytes(in / "plan.dxf", sample);
    form.ConvertDroppedFiles({(in / "plan.dxf").string(), (in / "copy.jwwin").string()}, in.string());
    EXPECT_EQ(controls.kinds.back(), MessageKind::Warning);
    EXPECT_NE(controls.log.back().find(std::string("1 件を書き出し、1 件は書き出せませんでした:\nplan.dxf（") +
                                       kBatchIsInputReason + "）"),
              std::string::npos)
        << controls.log.back();
    EXPECT_EQ(test::ReadFileBytes(in / "plan.dxf"), sample);
    EXPECT_EQ(test::ReadFileText(in / "copy.dxf"), expected.text);
}

// What a dropped batch must not do: convert a stream it read only part-way, write one script over another
// when two whole paths still give one name, or end its list of failures with "ほか 0 件".
TEST_F(Shell, DroppedBatchesConvertOnlyWholeDrawingsIntoNamesOfTheirOwn) {
    const fs::path in = folder / "in", out = folder / "out";
    fs::create_directories(in / "d_e" / "f");
    fs::create_directories(in / "d" / "e_f");
    fs::create_directories(out);
    // Both are named "…d_e_f_p.jwwin.vnt" after their whole paths.
    test::WriteFileBytes(in / "d_e" / "f" / "p.jwwin", sample);
    test::WriteFileBytes(in / "d" / "e_f" / "p.jwwin", sample);
    Bytes cut = sample;
    cut.resize(200);  // passes the header check, read part-way
    test::WriteFileBytes(in / "cut.jwwin", cut);
    form.ConvertDroppedFiles(
        {(in / "d_e" / "f" / "p.jwwin").string(), (in / "d" / "e_f" / "p.jwwin").string(), (in / "cut.jwwin").string()},
        out.string());
    ASSERT_EQ(controls.kinds, std::vector<MessageKind>{MessageKind::Warning});
    const std::string &said = controls.log.back();
    EXPECT_NE(said.find("1 件を変換、2 件は変換できませんでした:\n"), std::string::npos) << said;
    EXPECT_NE(said.find(std::string("p.jwwin（") + kBatchSameNameReason), std::string::npos) << said;
    EXPECT_NE(said.find(std::string("cut.jwwin（") + kBatchPartialReason + "）"), std::string::npos) << said;
    std::vector<std::string> written;
    for (const auto &entry : fs::directory_iterator(out))
        written.push_back(entry.path().filename().string());
    ASSERT_EQ(written.size(), 1u);
    EXPECT_TRUE(written[0].ends_with("d_e_f_p.jwwin.vnt")) << written[0];

    for (const std::size_t unreadable : {std::size_t{10}, std::size_t{11}}) {
        SCOPED_TRACE(unreadable);
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < unreadable; i++) {
            paths.push_back((in / ("junk" + std::to_string(i) + ".txt")).string());
            test::WriteFileBytes(paths.back(), Bytes(300, 'x'));
        }
        controls.log.clear();
        form.ConvertDroppedFiles(paths, out.string());
        const std::string &message = controls.log.back();
        EXPECT_NE(message.find("0 件を変換、" + std::to_string(unreadable) + " 件は読めませんでした:\njunk0.txt（"),
                  std::string::npos)
            << message;
        EXPECT_EQ(message.find("ほか"), unreadable == 10 ? std::string::npos : message.find("ほか 1 件")) << message;
        EXPECT_NE(message.find("junk9.txt（"), std::string::npos) << message;
        EXPECT_EQ(message.find("junk10.txt（"), std::string::npos) << message;
    }
}

// The view's hidden layers leave something out of the script only while "shown layers only" is chosen.
TEST_F(Shell, HiddenLayersLeaveNothingOutUnlessShownLayersOnlyIsChosen) {
    PutCopy(sample);
    form.Button1Click();
    form.SetHiddenLayers(HiddenLayers{}.set());
    form.Button2Click();
    const std::string whole = test::ReadFileText(form.ScriptPath());
    EXPECT_NE(whole.find("LINE2D"), std::string::npos);
    TForm1::MoreOptions shownOnly;
    shownOnly.shownLayersOnly = true;
    form.SetMoreOptions(shownOnly);
    form.Button2Click();  // everything hidden
    EXPECT_EQ(test::ReadFileText(form.ScriptPath()).find("LINE2D"), std::string::npos);
    EXPECT_NE(controls.summary.find("非表示レイヤの図形"), std::string::npos) << controls.summary;
}

#ifndef _WIN32
// A clipboard format over the limit is refused before a byte of it is copied, and the user is told the limit.
TEST_F(Shell, AClipboardFormatOverTheLimitIsRefusedAndNothingIsDumped) {
    ::setenv("KORVEL_MAX_CLIPBOARD", "100", 1);
    PutCopy(sample);
    form.Button1Click();
    const std::string refusal = std::string("message ") + ClipboardTooLargeError().what();
    ::unsetenv("KORVEL_MAX_CLIPBOARD");
    EXPECT_EQ(controls.log.back(), refusal);
    EXPECT_NE(refusal.find("100 bytes"), std::string::npos) << refusal;
    EXPECT_FALSE(AnyScratchFile());
}
#endif

// Save as offers the opened drawing's name, and TEMP.VNT for a copy from the clipboard.
TEST_F(Shell, SaveAsOffersTheDrawingsName) {
    EXPECT_EQ(form.SuggestedScriptName(), "TEMP.VNT");
    const fs::path drawing = folder / FilePath("平面図.jwwin");
    test::WriteFileBytes(drawing, sample);
    form.ImportDroppedFile(Utf8Of(drawing));
    EXPECT_EQ(form.SuggestedScriptName(), "平面図.vnt");
    PutCopy(sample);
    form.Button1Click();
    EXPECT_EQ(form.SuggestedScriptName(), "TEMP.VNT");
}

// Outputs are named once for every batch: after the file's stem or a clipboard folder's own name, and two
// names that would be one file are found whatever their case.
TEST(OutputNames, NamedAfterTheInputAndCollisionsFoundWhateverTheCase) {
    const fs::path clip = fs::temp_directory_path() / UniqueName("korvel-clip");
    fs::create_directories(clip);
    EXPECT_EQ(OutputNameFor((clip / "plan.jww").string(), ".vnt"), "plan.vnt");
    EXPECT_EQ(OutputNameFor(clip.string() + "/", ".svg"), clip.filename().string() + ".svg");
    EXPECT_EQ(OutputNameFor((clip / ".").string(), ".vnt"), clip.filename().string() + ".vnt");
    fs::remove_all(clip);
    EXPECT_EQ(NameByPath("./dA/plan.jww", ".vnt"), "dA_plan.jww.vnt");
    EXPECT_EQ(FirstCollision({"a.vnt", "b.vnt", "c.vnt"}), std::nullopt);
    EXPECT_EQ(FirstCollision({"x/a.vnt", "B.vnt", "x/A.VNT", "b.vnt"}), (std::pair<std::size_t, std::size_t>{0, 2}));
    EXPECT_EQ(FirstCollision({"\xc3\x89.vnt", "\xc3\xa9.vnt"}), (std::pair<std::size_t, std::size_t>{0, 1}));  // É, é
}

// A writer that says it failed is a failure wherever it wrote: a file keeps what it held, and standard output
// (where nothing can be taken back) is reported all the same.
TEST(OutputFile, AWriterThatFailsIsReportedOnAFileAndOnStandardOutput) {
    const fs::path path = fs::temp_directory_path() / UniqueName("korvel-output");
    const auto writes = [](std::string_view text, bool result) {
        return [=](std::FILE *file) { return std::fwrite(text.data(), 1, text.size(), file) == text.size() && result; };
    };
    EXPECT_EQ(WriteOutputFile(path.string(), writes("kept", true)), std::nullopt);
    EXPECT_NE(WriteOutputFile(path.string(), writes("half", false)), std::nullopt);
    EXPECT_EQ(test::ReadFileText(path), "kept");
    fs::remove(path);
    const Failure failed = WriteOutputFile("-", writes("", false));
    ASSERT_NE(failed, std::nullopt);
    EXPECT_EQ(failed->rfind("standard output: ", 0), 0u) << *failed;
}

TEST_F(Shell, AScriptThatCannotBeWrittenIsReportedNotShown) {
    PutCopy(sample);
    form.Button1Click();
    controls.log.clear();
    fs::create_directories(folder / "TEMP.VNT");  // the script's name taken by a folder
    controls.text = "stale";
    form.Button2Click();
    EXPECT_EQ(controls.text, "");
    EXPECT_EQ(controls.log, LongWork({std::string("message ") + kScriptWriteMessage + form.ScriptPath()}));
}

// What the window says after each thing that did not go as the user meant, and what stays as it was: a
// conversion never writes an empty script or one of a partial drawing over the last TEMP.VNT, and the
// pane never shows (or copies) the script of a drawing other than the one previewed.
TEST_F(Shell, TheWindowSaysWhatHappenedAndKeepsTheLastGoodScript) {
    const std::string message = "message ";
    EXPECT_EQ(controls.scriptLocation, form.ScriptPath());

    // Each with the icon it calls for: an error's only for what failed.
    form.Button2Click();  // nothing loaded yet
    EXPECT_EQ(controls.log, (std::vector<std::string>{message + kNothingToConvertMessage}));
    EXPECT_EQ(controls.kinds.back(), MessageKind::Information);
    EXPECT_FALSE(fs::exists(form.ScriptPath()));
    clipboard.formats = {{"CF_TEXT", Bytes{'x', 0}}};
    form.Button1Click();
    EXPECT_EQ(controls.log.back(), message + kNoJwDrawingMessage);
    EXPECT_EQ(controls.kinds.back(), MessageKind::Information);

    controls.log.clear();
    PutCopy(Bytes(300, 0));  // rejected by the header check, nothing loaded before
    form.Button1Click();
    EXPECT_EQ(controls.log.back(), message + kRejectedCopyMessage);
    EXPECT_EQ(controls.kinds.back(), MessageKind::Error);

    PutCopy(sample);
    form.Button1Click();
    form.Button2Click();
    const std::string script = test::ReadFileText(form.ScriptPath());
    ASSERT_FALSE(controls.text.empty());

    struct Case {
        const char *name;
        Bytes copy;
        std::string importSays, convertSays;  // the last message of each; empty: none
        MessageKind importKind = MessageKind::Error, convertKind = MessageKind::Warning;
    };
    Bytes cut = sample;
    cut.resize(200);
    const Case cases[] = {
        {"rejected after a drawing", Bytes(300, 0), message + kRejectedCopyMessage + "\n" + kEarlierDrawingKeptMessage,
         message + kStaleConvertMessage},
        {"read part-way", cut, message + kPartialReadMessage, message + kPartialConvertMessage, MessageKind::Warning},
        {"a good copy again", sample, "", ""},
    };
    for (const Case &c : cases) {
        controls.text = "the pane's script";
        controls.log.clear();
        PutCopy(c.copy);
        form.Button1Click();
        const bool said = !controls.log.empty() && controls.log.back().starts_with(message);
        EXPECT_EQ(said ? controls.log.back() : "", c.importSays) << c.name;
        if (said) {
            EXPECT_EQ(controls.kinds.back(), c.importKind) << c.name;
        }
        // The pane is cleared whenever the store changes; TEMP.VNT is left alone.
        EXPECT_EQ(controls.text.empty(), c.copy != Bytes(300, 0)) << c.name;
        EXPECT_EQ(test::ReadFileText(form.ScriptPath()), script) << c.name;
        controls.log.clear();
        form.Button2Click();
        EXPECT_EQ(controls.log.front().starts_with(message) ? controls.log.front() : "", c.convertSays) << c.name;
        if (!c.convertSays.empty()) {
            EXPECT_EQ(controls.kinds.back(), c.convertKind) << c.name;
        }
        EXPECT_EQ(test::ReadFileText(form.ScriptPath()), script) << c.name;
    }
}

#ifndef _WIN32
// A script write that fails part-way (a file-size limit) keeps the last TEMP.VNT whole and leaves nothing
// partial beside it.
TEST_F(Shell, AScriptWriteThatFailsPartWayKeepsTheLastScript) {
    PutCopy(sample);
    form.Button1Click();
    WriteBytes(form.ScriptPath(), Bytes(10, 'o'));
    controls.log.clear();
    WithFileSizeLimit(100, [&] { form.Button2Click(); });
    EXPECT_EQ(controls.log.back(), std::string("message ") + kScriptWriteMessage + form.ScriptPath());
    EXPECT_EQ(ReadBytes(form.ScriptPath()), Bytes(10, 'o'));
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"TEMP.VNT", "prev.0", "prev.1", "prev.2"}));
}
#endif

TEST_F(Shell, CopyCloseAndTheScratchFiles) {
    form.Button3Click();
    EXPECT_EQ(controls.log, (std::vector<std::string>{"focus", "select all", "copy"}));

    PutCopy(sample);
    form.Button1Click();
    form.Button2Click();
    fs::remove(Scratch(2));  // gone in the meantime: not an error
    form.FormClose();
    EXPECT_FALSE(AnyScratchFile());
    EXPECT_TRUE(fs::exists(form.ScriptPath()));

    controls.log.clear();
    form.Button4Click();
    EXPECT_EQ(controls.log, std::vector<std::string>{"close"});
}

// Save as writes the script the pane shows, byte for byte, where the user chose; there is none to save
// before a conversion or once a new drawing clears the pane.
TEST_F(Shell, SaveAsWritesTheShownScript) {
    const std::string saved = (folder / "saved.vnt").string();
    form.SaveScriptAs(saved);
    EXPECT_EQ(controls.log.back(), std::string("message ") + kNoScriptToSaveMessage);
    EXPECT_EQ(controls.kinds.back(), MessageKind::Information);
    PutCopy(sample);
    form.Button1Click();
    form.Button2Click();
    form.SaveScriptAs(saved);
    EXPECT_EQ(ReadBytes(saved), ReadBytes(form.ScriptPath()));
    controls.log.clear();
    form.SaveScriptAs((folder / "missing" / "saved.vnt").string());
    ASSERT_EQ(controls.log.size(), 1u);
    EXPECT_TRUE(controls.log.back().starts_with(std::string("message ") + kScriptSaveFailedMessage));
    EXPECT_EQ(controls.kinds.back(), MessageKind::Error);
    form.Button1Click();  // a new drawing: the pane is cleared
    form.SaveScriptAs(saved);
    EXPECT_EQ(controls.log.back(), std::string("message ") + kNoScriptToSaveMessage);
}

TEST_F(Shell, ADroppedFileIsPreviewedOrReportedWhenItIsNoDrawing) {
    WriteBytes(folder / "copy.jwwin", sample);
    form.ImportDroppedFile((folder / "copy.jwwin").string());
    EXPECT_EQ(Trace(controls.image.ops), ExpectedPreview(sample));
    EXPECT_EQ(controls.log, LongWork({"drawn"}));
    EXPECT_EQ(controls.documentName, "copy.jwwin");  // the title names what is shown

    controls.log.clear();
    const std::string notes = (folder / "notes.txt").string();
    WriteBytes(notes, Bytes(300, 'a'));
    form.ImportDroppedFile(notes);
    EXPECT_EQ(controls.log, LongWork({std::string("message ") + kNotADrawingFileMessage + notes + "\n" +
                                      kEarlierDrawingKeptMessage}));
    EXPECT_EQ(controls.documentName, "copy.jwwin");  // still shown, its picture never replaced ("drawn")

    PutCopy(sample);
    form.Button1Click();
    EXPECT_TRUE(controls.documentName.starts_with(std::string(kClipboardDocumentName) + " ")) << controls.documentName;
    EXPECT_EQ(controls.documentName.size(), std::string(kClipboardDocumentName).size() + 6);  // " HH:MM"

    controls.log.clear();
    const std::string missing = (folder / "missing.jww").string();
    form.ImportDroppedFile(missing);
    EXPECT_EQ(controls.log, (std::vector<std::string>{std::string("message ") + kFileNotFoundMessage + missing}));
}

// Both kinds of saved drawing, told from a clipboard dump by their first bytes, preview as their reader
// reads them (a .jws mistaken for a dump would be rejected).
TEST_F(Shell, DroppedJwwAndJwsFilesArePreviewedAsDrawings) {
    const DrawingStore drawing = test::SampleDrawing();
    for (const auto &[name, bytes] : {std::pair{"part.jws", test::WriteJwsFile(drawing, 600)},
                                      std::pair{"whole.jww", test::WriteJwwFile(drawing, 700)}}) {
        SCOPED_TRACE(name);
        WriteBytes(folder / name, bytes);
        controls.log.clear();
        form.ImportDroppedFile((folder / name).string());
        DrawingStore store;
        ASSERT_TRUE(ReadDrawingFileBytes(bytes, store, DrawingFileOptions{}));
        EXPECT_EQ(Trace(controls.image.ops), ExpectedPreview(&store));
        EXPECT_EQ(controls.log, LongWork({"drawn"}));
    }
}

TEST_F(Shell, ADroppedDrawingFileIsPreviewedWithoutTouchingTheScratchFiles) {
    const auto dir = test::RealDataDir();
    if (!dir || !fs::exists(*dir / "jwc-v600-sample.jww")) GTEST_SKIP() << "no real drawing";
    const Bytes drawing = ReadBytes(*dir / "jwc-v600-sample.jww");
    form.ImportDroppedFile((*dir / "jwc-v600-sample.jww").string());
    DrawingStore store;
    ASSERT_TRUE(ReadDrawingFileBytes(drawing, store, DrawingFileOptions{}));
    EXPECT_EQ(Trace(controls.image.ops), ExpectedPreview(&store));
    EXPECT_EQ(form.Store().lines.size(), store.lines.size());
    EXPECT_FALSE(AnyScratchFile());
}

TEST_F(Shell, TheProgramFolderFallsBackToTheUserDataFolder) {
    const std::string executable = (folder / "korvel").string();
    const char separator = static_cast<char>(fs::path::preferred_separator);
    EXPECT_EQ(ChooseProgramFolder(executable, (folder / "data").string()), folder.string() + separator);
    const std::string unwritable = (folder / "no-such-folder" / "korvel").string();
    EXPECT_EQ(ChooseProgramFolder(unwritable, (folder / "data" / "korvel").string()),
              (folder / "data" / "korvel").string() + separator);
    EXPECT_TRUE(FolderIsWritable((folder / "data" / "korvel").string()));
    // An installed program keeps its files in the user's folder even where it could write (as root).
    // So does one installed under a user's prefix (~/.local/bin), or in a folder others may write in.
    fs::create_directories(folder / "prefix" / "bin");
    std::vector<std::string> installs = {"/usr/bin/korvel", "/usr/local/bin/korvel", "/opt/korvel/bin/korvel",
                                         (folder / "prefix" / "bin" / "korvel").string()};
#ifndef _WIN32
    fs::create_directories(folder / "shared");
    fs::permissions(folder / "shared", fs::perms::all);
    installs.push_back((folder / "shared" / "korvel").string());
#endif
    for (const std::string &installed : installs)
        EXPECT_EQ(ChooseProgramFolder(installed, (folder / "data" / "korvel").string()),
                  (folder / "data" / "korvel").string() + separator)
            << installed;
    EXPECT_FALSE(IsSystemFolder("/home/user/usr/"));
    EXPECT_FALSE(IsInstallFolder((folder / "prefix").string()));
}

TEST(RealCaptures, ImportThroughAFolderClipboardDumpsTheCaptureUnchanged) {
    const auto dir = test::RealDataDir();
    if (!dir) GTEST_SKIP() << "no real data";
    const fs::path capture = *dir / "jwc-v600-sample.jwcad711";
    if (!fs::exists(capture.string() + ".prev1")) GTEST_SKIP() << "no capture";

    const fs::path work = fs::temp_directory_path() / UniqueName("korvel-capture");
    fs::remove_all(work);
    fs::create_directories(work / "clipboard");
    for (int i = 0; i < 3; ++i) {
        const fs::path copy = work / "clipboard" / kFormatNames[i];
        fs::copy_file(capture.string() + ".prev" + std::to_string(i), copy);
        fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);  // the originals are read-only
    }
    FolderClipboard clipboard((work / "clipboard").string());
    FakeControls controls;
    TForm1 form(controls, clipboard);
    form.FormShow(work.string() + "/");
    form.Button1Click();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ReadBytes(work / ("prev." + std::to_string(i))),
                  ReadBytes(capture.string() + ".prev" + std::to_string(i)));
    EXPECT_EQ(Trace(controls.image.ops), ExpectedPreview(ReadBytes(capture.string() + ".prev1")));
    fs::remove_all(work);
}

// Long work runs while the window goes on: the pane is emptied at once, other handlers wait, and a stopped
// conversion or read leaves TEMP.VNT and the shown drawing as they were.
TEST_F(Shell, StoppedWorkLeavesTheLastScriptAndTheShownDrawing) {
    PutCopy(sample);
    form.Button1Click();
    form.Button2Click();
    const Bytes before = ReadBytes(form.ScriptPath());
    controls.deferWork = true;
    controls.log.clear();
    form.Button2Click();
    EXPECT_EQ(controls.text, "") << "the pane keeps the previous script beside the new conversion";
    EXPECT_TRUE(form.Busy());
    EXPECT_EQ(controls.summary, std::string(kConvertingNote) + kStopHint);
    form.Button1Click();
    form.ImportDroppedFile((folder / "prev.1").string());
    EXPECT_EQ(std::count(controls.log.begin(), controls.log.end(), std::string("message ") + kBusyMessage), 2);
    form.Cancel();
    controls.FinishWork();
    EXPECT_FALSE(form.Busy());
    EXPECT_EQ(ReadBytes(form.ScriptPath()), before);
    EXPECT_EQ(controls.summary, kConvertingStoppedNote);
    EXPECT_EQ(controls.log.back(), "enable 4");
    for (const auto &entry : fs::directory_iterator(folder))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".TEMP")) << entry.path();

    const std::size_t lines = form.Store().lines.size();
    const std::string shown = controls.documentName;
    DrawingStore other;
    test::Add(other, TclpEntSen{{}, 0, 0, 1, 1});
    WriteBytes(folder / "other.jwwin", test::WriteStream(other));
    form.ImportDroppedFile((folder / "other.jwwin").string());
    form.Cancel();
    controls.FinishWork();
    EXPECT_EQ(form.Store().lines.size(), lines);
    EXPECT_EQ(controls.documentName, shown);
    EXPECT_EQ(controls.summary, kReadingStoppedNote);

    // A stopped batch writes nothing more and says so.
    fs::create_directories(folder / "out");
    form.ConvertDroppedFiles({(folder / "other.jwwin").string(), (folder / "prev.1").string()},
                             (folder / "out").string());
    form.Cancel();
    controls.FinishWork();
    EXPECT_TRUE(fs::is_empty(folder / "out"));
    EXPECT_NE(controls.log.back().find(kBatchStoppedNote), std::string::npos) << controls.log.back();
    controls.deferWork = false;
    form.Button2Click();
    EXPECT_EQ(ReadBytes(form.ScriptPath()), before) << "a stop outlived its work";
}

// The note says what the choices leave out, in the original's words while none of the later ones is on; a
// conversion's summary stays until another drawing comes in; a save says where it went.
TEST_F(Shell, TheNoteFollowsTheChoicesAndTheWork) {
    const std::string original = kControls.back().caption;
    form.SetMoreOptions({true, false, true});
    EXPECT_EQ(controls.summary, std::string("※文字・寸法図形・寸法属性・画像") + kNoteNotConverted + "　" +
                                    kNoteEachGroupScale + kNoteWhereChoicesAre);
    form.SetMoreOptions({});
    EXPECT_EQ(controls.summary, original);
    PutCopy(sample);
    form.Button1Click();
    form.Button2Click();
    const std::string summary = controls.summary;
    EXPECT_NE(summary, original);
    form.SetMoreOptions({false, true, false});
    EXPECT_EQ(controls.summary, summary) << "the summary of the shown script was replaced";
    form.Button1Click();
    EXPECT_NE(controls.summary.find("寸法値"), std::string::npos) << controls.summary;
    form.Button2Click();
    const std::string saved = (folder / "saved.vnt").string();
    form.SaveScriptAs(saved);
    EXPECT_EQ(controls.summary, kSavedNote + saved);
}

// A script longer than the pane holds: the pane shows its first whole lines and the note says so; the copy
// button and Save as give all of it, as long as TEMP.VNT still holds what was converted.
TEST_F(Shell, AScriptLongerThanThePaneIsCopiedAndSavedWhole) {
    DrawingStore many;
    for (int i = 0; i < 120000; i++)
        test::Add(many, TclpEntSen{{}, 0, i * 1.5, 100, i * 1.5});
    PutCopy(test::WriteStream(many));
    form.Button1Click();
    form.Button2Click();
    const Bytes script = ReadBytes(form.ScriptPath());
    ASSERT_GT(script.size(), static_cast<std::size_t>(kPaneMaxCharacters));
    EXPECT_LE(std::count_if(controls.text.begin(), controls.text.end(), [](char c) { return (c & 0xC0) != 0x80; }),
              kPaneMaxCharacters);
    EXPECT_EQ(controls.text.back(), '\n');
    EXPECT_NE(controls.summary.find(kPaneCutNote), std::string::npos);
    controls.log.clear();
    form.Button3Click();
    std::string whole = Cp932ToUtf8(std::string(script.begin(), script.end()));
    std::erase(whole, '\r');
    EXPECT_EQ(controls.log, std::vector<std::string>{"copy " + std::to_string(whole.size())});
    const std::string saved = (folder / "long.vnt").string();
    form.SaveScriptAs(saved);
    EXPECT_EQ(ReadBytes(saved), script);

    Bytes changed = script;
    changed[100] ^= 1;
    WriteBytes(form.ScriptPath(), changed);
    form.SaveScriptAs((folder / "other.vnt").string());
    EXPECT_EQ(controls.log.back(), std::string("message ") + kScriptChangedMessage + form.ScriptPath());
    EXPECT_FALSE(fs::exists(folder / "other.vnt"));
}

// Layers a .jww file keeps hidden: what they hold is counted, named with the choice that carries it, and
// taken once that choice is made (the file is opened again); the view's panel says which layers they are.
TEST_F(Shell, HiddenLayersOfADrawingFileAreCountedAndTakenWhenChosen) {
    const DrawingStore drawing = test::SampleDrawing();
    const fs::path file = folder / "hidden.jww";
    WriteBytes(file, test::WriteJwwFile(drawing, 700, {{0, 1}}));
    form.ImportDroppedFile(file.string());
    const std::size_t shown = form.Store().lines.size();
    const std::uint64_t locked = form.Store().leftOnLockedLayers;
    ASSERT_GT(locked, 0u);
    form.Button2Click();
    EXPECT_NE(controls.summary.find("非表示・表示のみレイヤの図形 " + std::to_string(locked) +
                                    "（右クリックメニューの「非表示レイヤの図形も変換する」で変換）"),
              std::string::npos)
        << controls.summary;
    EXPECT_NE(LayerLine(form.Store(), 1, CountByLayer(form.Store())).find("非表示"), std::string::npos);
    EXPECT_EQ(LayerLine(form.Store(), 2, CountByLayer(form.Store())).find("非表示"), std::string::npos);

    TForm1::MoreOptions all = form.GetMoreOptions();
    all.allLayers = true;
    form.SetMoreOptions(all);
    EXPECT_GT(form.Store().lines.size(), shown) << "the file was not opened again";
    EXPECT_EQ(form.Store().leftOnLockedLayers, 0u);
    form.Button2Click();
    EXPECT_EQ(controls.summary.find("非表示・表示のみ"), std::string::npos) << controls.summary;
}

}  // namespace
