// Windows: a WAV file let go over the editor's waveform view (a file list
// handed to the window's OLE drop target, as Explorer's is) becomes the
// frozen pattern.
#if defined(_WIN32)
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "params/little_endian.h"
#include "plugin/frozen_drop.h"
#include "plugin/loaded_plugin.h"
#include "support/fake_data_object.h"

namespace tramvek::testing {
namespace {

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
}

TEST(FileDropOnWindows, AWavDroppedOnTheWaveformViewThroughOleFreezesIt) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "tramvek dropped tone.wav";
    writeToneWav(path);

    LoadedPlugin library;
    ASSERT_TRUE(library.loaded());
    AEffect* effect = library.entry("main")(&FakeHost::callback);  // the one export on Windows
    ASSERT_NE(effect, nullptr);
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    startAt44100(effect);
    HWND parent = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 100, 600, 340,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    effect->dispatcher(effect, effEditOpen, 0, 0, parent, 0.0f);
    // The audio runs while the editor is open, as in a host: the pattern gets
    // its length in samples and the editor its view of it.
    for (int block = 0; block < 8; ++block) {
        renderBlock(effect, block);
        effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
        pumpMessages();
    }
    HWND editor = GetWindow(parent, GW_CHILD);
    ASSERT_NE(editor, nullptr);
    POINT where{kWaveformX, kWaveformY};
    ClientToScreen(editor, &where);
    SetCursorPos(where.x, where.y);

    // The target the editor registered with OLE, driven as OLE drives it when Explorer's list is let go.
    auto* target = static_cast<IDropTarget*>(GetPropA(editor, "OleDropTargetInterface"));
    ASSERT_NE(target, nullptr) << "the editor window has no OLE drop target";
    test::FakeData data;
    data.offer(CF_HDROP, test::fileList({path}));
    const POINTL at{where.x, where.y};
    DWORD dropEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(&data, MK_LBUTTON, at, &dropEffect), S_OK);
    dropEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(&data, 0, at, &dropEffect), S_OK);
    EXPECT_EQ(dropEffect, static_cast<DWORD>(DROPEFFECT_COPY))
        << "a move would have the shell delete the file";
    effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);

    // The tone's second fills the first half of the two-second pattern; the rest is silent.
    const std::vector<std::uint8_t> frozen = frozenAudioOf(savedBank(effect));
    ASSERT_GT(frozen.size(), 4u) << "the drop did not freeze the buffer";
    const auto samples = static_cast<std::size_t>(readLeI32(frozen.data(), 0));
    ASSERT_EQ(frozen.size(), 4 + 8 * samples);
    float tone = 0.0f;
    float afterTheFile = 0.0f;
    for (std::size_t i = 0; i < samples; ++i) {
        float& loudest = i < 44100 ? tone : afterTheFile;
        loudest = std::max(loudest, std::fabs(readLeF32(frozen.data(), 4 + 4 * i)));
    }
    EXPECT_GT(tone, 0.3f);
    EXPECT_EQ(afterTheFile, 0.0f);
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    DestroyWindow(parent);
    OleUninitialize();
}

}  // namespace
}  // namespace tramvek::testing
#endif
