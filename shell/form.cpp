// The window's handlers other than the import: start, convert, copy, close.
#include "shell/form.h"
#include "files/file_path.h"
#include "files/output_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>

#include "files/program_folder.h"
#include "geom/cp932.h"
#include "script/convert.h"
#include "shell/capture.h"
#include "shell/input_list.h"
#include "shell/messages.h"

namespace korvel {

namespace {

// The script as the pane shows it: UTF-8, one '\n' per line.
std::string PaneTextOf(const std::string &script) {
    std::string text = Cp932ToUtf8(script);
    std::erase(text, '\r');
    return text;
}

}  // namespace

void TForm1::FormShow(const std::string &folder) {
    programFolder = folder;
    scriptPath = programFolder + kScriptFileName;
    FillPenColorTable(pens);
    controls.ShowScriptLocation(scriptPath);
    if (!FolderIsWritable(programFolder))
        controls.ShowMessage("作業用のフォルダに書き込めません: " + programFolder, MessageKind::Error);
}

std::string TForm1::ScratchPath(int index) const { return korvel::ScratchPath(programFolder, index); }

void TForm1::FormClose() {
    std::error_code ignored;
    for (int i = 0; i < 3; ++i)
        std::filesystem::remove(FilePath(ScratchPath(i)), ignored);
}

void TForm1::Button2Click() {
    // Neither an empty script nor one of a partial drawing replaces the last good TEMP.VNT.
    if (loaded != Loaded::Whole) {
        controls.ShowMessage(loaded == Loaded::Nothing   ? kNothingToConvertMessage
                             : loaded == Loaded::Partial ? kPartialConvertMessage
                                                         : kStaleConvertMessage,
                             loaded == Loaded::Nothing ? MessageKind::Information : MessageKind::Warning);
        return;
    }
    for (int button = 1; button <= 4; ++button)
        controls.SetButtonEnabled(button, false);
    controls.ClearText();
    shownScript.reset();
    ConversionReport report;
    if (WriteScript(report)) {
        LoadScriptIntoPane();
        SayWhatWasConverted(report);
    } else {
        // A partial script is not shown as if it were the result.
        controls.ShowMessage(kScriptWriteMessage + scriptPath, MessageKind::Error);
    }
    for (int button = 1; button <= 4; ++button)
        controls.SetButtonEnabled(button, true);
}

ConvertOptions TForm1::ChosenOptions() const {
    ConvertOptions options;
    options.colors = controls.CheckBoxChecked(1);
    options.layers = controls.CheckBoxChecked(2);
    options.hatching = controls.CheckBoxChecked(3);
    options.solids = controls.CheckBoxChecked(4);
    options.blocks = moreOptions.blocks;
    options.dimensions = moreOptions.dimensions;
    options.groupScales = moreOptions.groupScales;
    if (moreOptions.shownLayersOnly) options.hiddenLayers = hiddenLayers;
    return options;
}

bool TForm1::WriteScript(ConversionReport &report) {
    const ConvertOptions options = ChosenOptions();
    // Written whole or not at all: a failed write keeps the last TEMP.VNT.
    return !WriteOutputFile(scriptPath,
                            [&](std::FILE *file) { return WriteScriptFile(file, store, options, pens, &report); });
}

void TForm1::SayWhatWasConverted(const ConversionReport &report) {
    controls.ShowConversionSummary(ReportSummary(report, ReportLanguage::Japanese));
    if (report.Written() == 0 && report.LeftOut() > 0)
        controls.ShowMessage(EmptyScriptAdvice(report, ReportLanguage::Japanese, AdviceFor::Window),
                             MessageKind::Warning);
}

void TForm1::LoadScriptIntoPane() {
    shownScript = ReadWholeFile(scriptPath);
    if (shownScript) controls.SetText(PaneTextOf(std::string(shownScript->begin(), shownScript->end())));
}

void TForm1::SaveScriptAs(const std::string &path) {
    if (!shownScript) return controls.ShowMessage(kNoScriptToSaveMessage, MessageKind::Information);
    const auto write = [&](std::FILE *file) {
        return std::fwrite(shownScript->data(), 1, shownScript->size(), file) == shownScript->size();
    };
    // The system's own words (which file, what failed) follow as the detail a bug report needs.
    if (const Failure failed = WriteOutputFile(path, write))
        controls.ShowMessage(kScriptSaveFailedMessage + path + "\n" + kDetailLabel + *failed, MessageKind::Error);
}

std::string TForm1::SuggestedScriptName() const {
    return openedFile.empty() ? kScriptFileName : OutputNameFor(openedFile, ".vnt");
}

void TForm1::Button3Click() {
    controls.FocusText();
    controls.SelectAllText();
    controls.CopySelectedText();
}

void TForm1::Button4Click() { controls.CloseWindow(); }

void RunGuarded(FormControls &controls, const std::function<void()> &handler) {
    try {
        handler();
    } catch (const std::bad_alloc &) {
        controls.ShowMessage("メモリが不足しています", MessageKind::Error);
    } catch (const std::exception &error) {
        controls.ShowMessage(error.what(), MessageKind::Error);
    }
}

void ClickButton(TForm1 &form, int button) {
    switch (button) {
        case 1: form.Button1Click(); break;
        case 2: form.Button2Click(); break;
        case 3: form.Button3Click(); break;
        case 4: form.Button4Click(); break;
    }
}

}  // namespace korvel
