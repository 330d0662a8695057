#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <map>

#include "gui/win32/drop_target.h"
#include "gui/win32/dropped_items.h"
#include "support/fake_data_object.h"
#include "win32_test_support.h"

namespace tramvek::test {
namespace {

std::vector<char> bytesOf(const std::string& text, bool terminated) {
    std::vector<char> bytes(text.begin(), text.end());
    if (terminated) {
        bytes.push_back('\0');
    }
    return bytes;
}

class DropTargetTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override {
        target->Release();
        OleUninitialize();
    }

    DWORD drop(FakeData& data, DWORD keys) {
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        target->DragEnter(&data, keys, {0, 0}, &effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        target->Drop(&data, keys, {0, 0}, &effect);
        return effect;
    }

    RecordingClient client;
    DropTarget* target = new DropTarget(client, nullptr);
};

TEST_F(DropTargetTest, TextArrivesAsOneItemWithItsBlockSizeAndType1) {
    FakeData data;
    data.offer(CF_TEXT, bytesOf("a loop", true));
    EXPECT_EQ(drop(data, 0), static_cast<DWORD>(DROPEFFECT_MOVE));
    ASSERT_EQ(client.drops.size(), 1U);
    const RecordingClient::Drop& made = client.drops[0];
    EXPECT_EQ(made.type, 1);
    EXPECT_EQ(made.count, static_cast<int32_t>(GlobalSize(globalCopy("a loop", 7))));
    EXPECT_STREQ(made.items[0].c_str(), "a loop");
}

TEST_F(DropTargetTest, TextWithoutTerminatorIsHandedOnTerminated) {
    FakeData data;
    data.offer(CF_TEXT, bytesOf("abcdefgh", false));
    drop(data, 0);
    ASSERT_EQ(client.drops.size(), 1U);
    const RecordingClient::Drop& made = client.drops[0];
    EXPECT_GE(made.count, 8);
    EXPECT_EQ(made.items[0].substr(0, 8), "abcdefgh");
    EXPECT_EQ(made.items[0][static_cast<size_t>(made.count)], '\0') << "no terminator after count bytes";
}

TEST_F(DropTargetTest, EmptyTextIsNotHandedOn) {
    FakeData data;
    data.offer(CF_TEXT, bytesOf("", true));
    drop(data, 0);
    EXPECT_TRUE(client.drops.empty());
    EXPECT_EQ(data.handedOut, 1) << "the medium was asked for once and released";
}

TEST_F(DropTargetTest, ControlKeyAsksForACopyAndUnknownDataForNothing) {
    FakeData text;
    text.offer(CF_TEXT, bytesOf("x", true));
    DWORD effect = 0;
    target->DragEnter(&text, MK_CONTROL, {0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    target->DragOver(0, {0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    target->DragOver(MK_CONTROL, {0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    target->DragLeave();

    FakeData bitmapOnly;
    bitmapOnly.offer(CF_BITMAP, {1, 2, 3});
    EXPECT_EQ(drop(bitmapOnly, MK_CONTROL), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(client.drops.empty());
}

TEST_F(DropTargetTest, TextIsPreferredOverFiles) {
    FakeData data;
    data.offer(CF_HDROP, fileList({"C:\\a.wav"}));
    data.offer(CF_TEXT, bytesOf("words", true));
    drop(data, 0);
    ASSERT_EQ(client.drops.size(), 1U);
    EXPECT_EQ(client.drops[0].type, 1);
}

TEST_F(DropTargetTest, DetachedTargetHandsNothingOn) {
    FakeData data;
    data.offer(CF_TEXT, bytesOf("late", true));
    target->detach();
    drop(data, 0);
    EXPECT_TRUE(client.drops.empty());
}

// A shortcut file at `link` pointing at `target`, written through the shell's link object.
bool makeShortcut(const std::string& link, const std::string& target) {
    IShellLinkA* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shellLink)))) {
        return false;
    }
    IPersistFile* file = nullptr;
    shellLink->SetPath(target.c_str());
    bool saved = SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    if (saved) {
        std::wstring wide(link.begin(), link.end());
        saved = SUCCEEDED(file->Save(wide.c_str(), TRUE));
        file->Release();
    }
    shellLink->Release();
    return saved;
}

TEST_F(DropTargetTest, FilesArriveAsPathsWithShortcutsResolvedToShortTargetPaths) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string directory = std::string(folder) + "tramvek drop test";
    CreateDirectoryA(directory.c_str(), nullptr);
    const std::string sample = directory + "\\a rather long sample name.wav";
    CloseHandle(CreateFileA(sample.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::string shortcut = directory + "\\Sample.LNK";
    ASSERT_TRUE(makeShortcut(shortcut, sample));
    char shortSample[MAX_PATH] = {};
    GetShortPathNameA(sample.c_str(), shortSample, MAX_PATH);

    const std::string plain = "C:\\loops\\kick.wav";
    const std::string brokenShortcut = directory + "\\missing.lnk";
    FakeData data;
    data.offer(CF_HDROP, fileList({plain, shortcut, brokenShortcut}));
    drop(data, 0);

    ASSERT_EQ(client.drops.size(), 1U);
    const RecordingClient::Drop& made = client.drops[0];
    EXPECT_EQ(made.type, 0);
    ASSERT_EQ(made.count, 3);
    EXPECT_EQ(made.items[0], plain);
    EXPECT_STRCASEEQ(made.items[1].c_str(), shortSample);
    EXPECT_EQ(made.items[2], brokenShortcut) << "an unresolvable shortcut stays as it was";
    // Files are copied whatever the keys: a move would have the shell delete them.
    EXPECT_EQ(drop(data, 0), static_cast<DWORD>(DROPEFFECT_COPY));

    DeleteFileA(shortcut.c_str());
    DeleteFileA(sample.c_str());
    RemoveDirectoryA(directory.c_str());
}

TEST(DroppedFiles, LongPathsAreCutTo1023Characters) {
    const std::string longPath = "C:\\" + std::string(1500, 'x');
    const std::vector<char> list = fileList({longPath});
    HGLOBAL block = globalCopy(list.data(), list.size());
    const std::vector<std::string> paths = droppedFiles(static_cast<HDROP>(block), nullptr);
    GlobalFree(block);
    ASSERT_EQ(paths.size(), 1U);
    EXPECT_EQ(paths[0], longPath.substr(0, 1023));
}

}  // namespace
}  // namespace tramvek::test
