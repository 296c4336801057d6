// The capture operations on the real Windows clipboard (run under Wine): formats, sizes, dumps, stale
// dumps, and a clipboard held by another thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/win32/win32_clipboard.h"
#include "support/realdata.h"
#include "support/win32_clipboard_fill.h"

using namespace korvel;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

HWND HelperWindow() {
    return CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

Bytes Pattern(std::size_t size, int seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 31 + seed);
    return bytes;
}

class Win32ClipboardTest : public testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("korvel-clipboard-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder);
        owner = HelperWindow();
    }
    void TearDown() override {
        DestroyWindow(owner);
        fs::remove_all(folder);
    }
    fs::path folder;
    HWND owner = nullptr;
};

TEST_F(Win32ClipboardTest, CountsSizesAndDumpsTheBlocksExactly) {
    const Bytes data = Pattern(4, 1), stream = Pattern(5000, 2), ole = Pattern(4096, 3);
    ASSERT_TRUE(test::PutOnClipboard(owner, {{"DataObject", data}, {"Jw_win", stream}, {"Ole Private Data", ole}}));
    Win32Clipboard source(owner);
    Clipboards clipboards(source);
    EXPECT_EQ(clipboards.ClipboardFormatCount(), 3);
    const std::uint32_t jwWin = clipboards.RegisterFormat("Jw_win");
    EXPECT_EQ(jwWin, RegisterClipboardFormatA("Jw_win"));
    EXPECT_EQ(clipboards.RegisterFormat("Jw_win"), jwWin);

    const std::pair<const char *, const Bytes *> formats[] = {
        {"DataObject", &data}, {"Jw_win", &stream}, {"Ole Private Data", &ole}};
    for (const auto &[name, bytes] : formats) {
        const std::uint32_t format = clipboards.RegisterFormat(name);
        std::uint32_t size = 0;
        ASSERT_TRUE(clipboards.ClipboardFormatSize(format, size)) << name;
        EXPECT_EQ(size, bytes->size()) << name;
        const fs::path dump = folder / name;
        {
            ClipboardHold hold(clipboards);
            clipboards.DumpClipboardFormat(format, dump.string());
        }
        EXPECT_EQ(test::ReadFileBytes(dump), *bytes) << name;
    }
}

TEST_F(Win32ClipboardTest, AMissingFormatRemovesAStaleDump) {
    ASSERT_TRUE(test::PutOnClipboard(owner, {{"DataObject", Pattern(4, 1)}}));
    Win32Clipboard source(owner);
    Clipboards clipboards(source);
    const fs::path stale = folder / "prev.1";
    test::WriteFileBytes(stale, Pattern(10, 0));
    const std::uint32_t jwWin = clipboards.RegisterFormat("Jw_win");
    std::uint32_t size = 99;
    EXPECT_FALSE(clipboards.ClipboardFormatSize(jwWin, size));
    EXPECT_EQ(size, 0u);
    clipboards.DumpClipboardFormat(jwWin, stale.string());
    EXPECT_FALSE(fs::exists(stale));
}

TEST_F(Win32ClipboardTest, AClipboardHeldByAnotherThreadCannotBeOpened) {
    ASSERT_TRUE(test::PutOnClipboard(owner, {{"Jw_win", Pattern(300, 1)}}));
    const HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        const HWND otherOwner = HelperWindow();
        OpenClipboard(otherOwner);
        SetEvent(held);
        WaitForSingleObject(release, 10000);
        CloseClipboard();
        DestroyWindow(otherOwner);
    });
    WaitForSingleObject(held, 10000);
    Win32Clipboard source(owner);
    Clipboards clipboards(source);
    std::uint32_t size = 0;
    try {
        clipboards.ClipboardFormatSize(clipboards.RegisterFormat("Jw_win"), size);
        ADD_FAILURE() << "the clipboard opened while another thread held it";
    } catch (const ClipboardOpenError &error) {
        EXPECT_STREQ(error.what(), kClipboardOpenMessage);
    }
    SetEvent(release);
    other.join();
    EXPECT_TRUE(clipboards.ClipboardFormatSize(clipboards.RegisterFormat("Jw_win"), size));
    EXPECT_EQ(size, 300u);
    CloseHandle(held);
    CloseHandle(release);
}

}  // namespace
