// What both main windows offer beside their buttons: the switches remembered under the keys earlier versions
// stored, the menu's entries and what a drop does.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>

#include "shell/window_options.h"
#include "support/realdata.h"
#include "support/shell_fakes.h"

namespace korvel {
namespace {

namespace fs = std::filesystem;

class MapSettings final : public SettingsStore {
public:
    std::map<std::string, bool> values;
    bool Get(const std::string &key) const override {
        const auto found = values.find(key);
        return found != values.end() && found->second;
    }
    void Set(const std::string &key, bool on) override { values[key] = on; }
};

class WindowOptions : public testing::Test {
protected:
    test::FakeClipboard clipboard;
    test::FakeControls controls;
    TForm1 form{controls, clipboard};
};

// A settings file written by an earlier version gives the same switches; what is saved reads back.
TEST_F(WindowOptions, SwitchesAreRememberedUnderTheirStoredKeys) {
    MapSettings stored;
    stored.values = {{"autoImport", true}, {"dimensions", true}, {"checkBox2", true}, {"checkBox4", true}};
    const std::array<bool, 4> boxes = LoadSwitches(form, stored);
    EXPECT_EQ(boxes, (std::array<bool, 4>{false, true, false, true}));
    EXPECT_TRUE(form.GetAutoImport().import);
    EXPECT_FALSE(form.GetAutoImport().convert);
    EXPECT_TRUE(form.GetMoreOptions().dimensions);
    EXPECT_FALSE(form.GetMoreOptions().blocks);

    ASSERT_TRUE(FlipSwitch(form, WindowCommand::Blocks));
    EXPECT_FALSE(FlipSwitch(form, WindowCommand::Open)) << "a command that is no switch";
    MapSettings saved;
    SaveSwitches(form, boxes, saved);
    EXPECT_EQ(saved.values, (std::map<std::string, bool>{{"autoImport", true},
                                                         {"autoConvert", false},
                                                         {"blocks", true},
                                                         {"dimensions", true},
                                                         {"groupScales", false},
                                                         {"allLayers", false},
                                                         {"exportDrops", false},
                                                         {"checkBox1", false},
                                                         {"checkBox2", true},
                                                         {"checkBox3", false},
                                                         {"checkBox4", true}}));
}

// Every switch has its entry, converting after an import only with the import on, and no shortcut is taken
// twice.
TEST_F(WindowOptions, TheMenuOffersEverySwitchOnce) {
    std::map<WindowCommand, int> seen;
    std::map<char, int> shortcuts;
    for (const MenuEntry &entry : kContextMenu) {
        if (entry.command == WindowCommand::None) continue;
        seen[entry.command]++;
        if (entry.shortcut) shortcuts[entry.shortcut]++;
        EXPECT_FALSE(std::string(entry.text).empty());
    }
    EXPECT_EQ(seen.size(), 11u);
    for (const auto &[command, count] : seen)
        EXPECT_EQ(count, 1) << static_cast<int>(command);
    for (const auto &[key, count] : shortcuts)
        EXPECT_EQ(count, 1) << key;
    EXPECT_FALSE(CommandEnabled(form, WindowCommand::AutoConvert));
    FlipSwitch(form, WindowCommand::AutoImport);
    EXPECT_TRUE(CommandEnabled(form, WindowCommand::AutoConvert));
    EXPECT_TRUE(SwitchedOn(form, WindowCommand::AutoImport));
}

// One file opens, and so does a folder holding a saved clipboard; a folder of drawings, or several files,
// convert into a folder.
TEST_F(WindowOptions, OneDrawingOpensAndAFolderConverts) {
    const fs::path folder = fs::temp_directory_path() / ("korvel-drop-" + std::to_string(::getpid()));
    fs::create_directories(folder / "copy");
    test::WriteFileBytes(folder / "a.jww", {1});
    test::WriteFileBytes(folder / "copy" / "Jw_win", {1});
    const std::string a = (folder / "a.jww").string();
    EXPECT_EQ(ActionFor({}), DropAction::Nothing);
    EXPECT_EQ(ActionFor({a}), DropAction::Open);
    EXPECT_EQ(ActionFor({(folder / "missing.jww").string()}), DropAction::Open) << "opening says it is missing";
    EXPECT_EQ(ActionFor({(folder / "copy").string()}), DropAction::Open);
    EXPECT_EQ(ActionFor({folder.string()}), DropAction::ConvertIntoFolder);
    EXPECT_EQ(ActionFor({a, a}), DropAction::ConvertIntoFolder);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace korvel
