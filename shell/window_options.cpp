// What both main windows offer beside their buttons.
#include "shell/window_options.h"

#include <filesystem>

#include "files/file_path.h"
#include "shell/input_list.h"
#include "shell/messages.h"
#include "shell/view_texts.h"

namespace korvel {

const std::array<MenuEntry, 14> kContextMenu = {{
    {WindowCommand::Open, "Open", kOpenMenuText, 'O'},
    {WindowCommand::SaveAs, "SaveAs", kSaveAsMenuText, 'S'},
    {WindowCommand::Export, "Export", kExportMenuText, 'E'},
    {WindowCommand::View, "View", kViewMenuText, 'D'},
    {WindowCommand::None, "", "", 0},
    {WindowCommand::AutoImport, "AutoImport", kAutoImportMenuText, 0},
    {WindowCommand::AutoConvert, "AutoConvert", kAutoConvertMenuText, 0},
    {WindowCommand::None, "", "", 0},
    {WindowCommand::Blocks, "Blocks", kBlocksMenuText, 0},
    {WindowCommand::Dimensions, "Dimensions", kDimensionsMenuText, 0},
    {WindowCommand::GroupScales, "GroupScales", kGroupScalesMenuText, 0},
    {WindowCommand::AllLayers, "AllLayers", kAllLayersMenuText, 0},
    {WindowCommand::None, "", "", 0},
    {WindowCommand::ExportDrops, "ExportDrops", kExportDropsMenuText, 0},
}};

namespace {

// Each switch's place in the form's choices, by command.
bool *SwitchOf(TForm1::AutoImport &import, TForm1::MoreOptions &more, WindowCommand command) {
    switch (command) {
        case WindowCommand::AutoImport: return &import.import;
        case WindowCommand::AutoConvert: return &import.convert;
        case WindowCommand::Blocks: return &more.blocks;
        case WindowCommand::Dimensions: return &more.dimensions;
        case WindowCommand::GroupScales: return &more.groupScales;
        case WindowCommand::AllLayers: return &more.allLayers;
        case WindowCommand::ExportDrops: return &more.exportDrops;
        default: return nullptr;
    }
}

// The settings' keys, as earlier versions stored them.
struct RememberedSwitch {
    WindowCommand command;
    const char *key;
};
constexpr RememberedSwitch kRemembered[] = {
    {WindowCommand::AutoImport, "autoImport"},   {WindowCommand::AutoConvert, "autoConvert"},
    {WindowCommand::Blocks, "blocks"},           {WindowCommand::Dimensions, "dimensions"},
    {WindowCommand::GroupScales, "groupScales"}, {WindowCommand::AllLayers, "allLayers"},
    {WindowCommand::ExportDrops, "exportDrops"}};

std::string CheckBoxKey(std::size_t index) { return "checkBox" + std::to_string(index + 1); }

}  // namespace

bool IsSwitch(WindowCommand command) {
    TForm1::AutoImport import;
    TForm1::MoreOptions more;
    return SwitchOf(import, more, command) != nullptr;
}

bool SwitchedOn(const TForm1 &form, WindowCommand command) {
    TForm1::AutoImport import = form.GetAutoImport();
    TForm1::MoreOptions more = form.GetMoreOptions();
    const bool *on = SwitchOf(import, more, command);
    return on && *on;
}

const char *DropFolderTitle(const TForm1 &form) {
    return form.GetMoreOptions().exportDrops ? kExportFolderTitle : kBatchFolderTitle;
}

bool CommandEnabled(const TForm1 &form, WindowCommand command) {
    // Converting after an import means nothing without the import.
    return command != WindowCommand::AutoConvert || form.GetAutoImport().import;
}

bool FlipSwitch(TForm1 &form, WindowCommand command) {
    TForm1::AutoImport import = form.GetAutoImport();
    TForm1::MoreOptions more = form.GetMoreOptions();
    bool *on = SwitchOf(import, more, command);
    if (!on) return false;
    *on = !*on;
    form.SetAutoImport(import);
    form.SetMoreOptions(more);
    return true;
}

std::array<bool, 4> LoadSwitches(TForm1 &form, const SettingsStore &settings) {
    TForm1::AutoImport import;
    TForm1::MoreOptions more = form.GetMoreOptions();
    for (const RememberedSwitch &s : kRemembered)
        *SwitchOf(import, more, s.command) = settings.Get(s.key);
    form.SetAutoImport(import);
    form.SetMoreOptions(more);
    std::array<bool, 4> checkBoxes{};
    for (std::size_t i = 0; i < checkBoxes.size(); i++)
        checkBoxes[i] = settings.Get(CheckBoxKey(i));
    return checkBoxes;
}

void SaveSwitches(const TForm1 &form, const std::array<bool, 4> &checkBoxes, SettingsStore &settings) {
    for (const RememberedSwitch &s : kRemembered)
        settings.Set(s.key, SwitchedOn(form, s.command));
    for (std::size_t i = 0; i < checkBoxes.size(); i++)
        settings.Set(CheckBoxKey(i), checkBoxes[i]);
}

const std::vector<FileFilter> kOpenFilters = {{kOpenDialogFilter, {"*.jww", "*.jws"}}, {kAllFilesFilter, {"*"}}};
const std::vector<FileFilter> kSaveFilters = {{kSaveDialogFilter, {"*.vnt"}}, {kAllFilesFilter, {"*"}}};
const std::vector<FileFilter> kExportFilters = {{kExportDxfFilter, {"*.dxf"}}, {kExportSvgFilter, {"*.svg"}}};

DropAction ActionFor(const std::vector<std::string> &paths) {
    if (paths.empty()) return DropAction::Nothing;
    std::error_code ec;
    if (paths.size() == 1 && (!std::filesystem::is_directory(FilePath(paths[0]), ec) || IsClipboardFolder(paths[0])))
        return DropAction::Open;
    return DropAction::ConvertIntoFolder;
}

}  // namespace korvel
