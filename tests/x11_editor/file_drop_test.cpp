// A WAV file dragged from a file manager onto the editor's waveform view (the
// XDND protocol on the tests' X server) becomes the frozen pattern: the same
// samples the host's --freeze-audio puts into a bank, and the same sound.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "plugin/frozen_drop.h"
#include "x11_editor/x11_test_host.h"
#include "x11_editor/xdnd_source.h"

namespace tramvek::testing {
namespace {

std::string percentEncoded(const std::string& path) {
    std::string out;
    for (const char c : path) {
        if (c == ' ' || c == '%') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

// The bank chunk inside a bank file: its size at 156, big-endian, then the chunk.
std::vector<std::uint8_t> bankChunkOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 160) {
        return {};
    }
    const std::uint32_t size = std::uint32_t{bytes[156]} << 24 | std::uint32_t{bytes[157]} << 16 |
                               std::uint32_t{bytes[158]} << 8 | bytes[159];
    return {bytes.begin() + 160, bytes.begin() + 160 + std::min<std::size_t>(size, bytes.size() - 160)};
}

TEST(FileDrop, AWavDroppedOnTheWaveformViewPlaysAsTheSameFileFrozenThroughABank) {
    X11TestHost host;
    ASSERT_TRUE(host.ready()) << "needs DISPLAY and the built plug-in";
    const std::string path = ::testing::TempDir() + "/a drop 100%.wav";
    writeToneWav(path);

    // The host freezes the file into a bank; a second instance loads it.
    const std::string bankPath = ::testing::TempDir() + "/frozen_by_host.fxb";
    ASSERT_EQ(std::system((std::string(TRAMVEK_HOST_PATH) + " state " + TRAMVEK_PLUGIN_PATH +
                           " --freeze-audio '" + path + "' --save-bank " + bankPath + " > /dev/null")
                              .c_str()),
              0);
    const std::vector<std::uint8_t> hostBank = bankChunkOf(bankPath);
    LoadedPlugin library;
    AEffect* banked = library.entry("VSTPluginMain")(&FakeHost::callback);
    ASSERT_NE(banked, nullptr);
    banked->dispatcher(banked, effOpen, 0, 0, nullptr, 0.0f);
    const std::unique_ptr<AEffect, void (*)(AEffect*)> closeAtEnd(
        banked, [](AEffect* effect) { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); });

    AEffect* dropped = host.effect();
    startAt44100(dropped);
    startAt44100(banked);
    // The audio runs while the editor is open, as in a host: the first blocks
    // give the pattern its length in samples and the editor its view of it.
    host.startIdling();
    host.openEditor();
    constexpr int kBlocksBeforeDrop = 8;
    for (int block = 0; block < kBlocksBeforeDrop; ++block) {
        renderBlock(dropped, block);
        renderBlock(banked, block);
        host.waitForIdles(1);
    }
    banked->dispatcher(banked, effSetChunk, 0, static_cast<VstIntPtr>(hostBank.size()),
                       const_cast<std::uint8_t*>(hostBank.data()), 0.0f);
    Window root = 0;
    Window parentOfParent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XdndSource source;
    Display* display = XOpenDisplay(nullptr);
    ASSERT_TRUE(XQueryTree(display, host.parent(), &root, &parentOfParent, &children, &count) != 0 &&
                count == 1);
    const Window editor = children[0];
    XFree(children);
    XCloseDisplay(display);
    EXPECT_EQ(source.awareVersion(editor), 5);
    // The drop lands where the pointer is, as when a user lets go of the file.
    ASSERT_TRUE(X11TestHost::xdotool(X11TestHost::at(kWaveformX, kWaveformY)));
    EXPECT_TRUE(source.drop(editor, X11TestHost::kParentX + kWaveformX, X11TestHost::kParentY + kWaveformY,
                            "# from a test\r\nhttp://example.org/skipped.wav\r\nfile://localhost" +
                                percentEncoded(path) + "\r\n"));
    host.waitForIdles(3);

    const std::vector<std::uint8_t> frozen = frozenAudioOf(savedBank(dropped));
    ASSERT_FALSE(frozen.empty()) << "the drop did not freeze the buffer";
    EXPECT_TRUE(frozen == frozenAudioOf(hostBank)) << "the drop froze other samples than the host";

    // Played on: the same sound from both, and not silence (one second of
    // tone, then the rest of the two-second pattern silent).
    float loudest = 0.0f;
    for (int block = kBlocksBeforeDrop; block < 4 * 44100 / kDropBlock; ++block) {
        const std::vector<float> fromDrop = renderBlock(dropped, block);
        ASSERT_EQ(fromDrop, renderBlock(banked, block)) << "block " << block;
        for (const float sample : fromDrop) {
            loudest = std::max(loudest, std::fabs(sample));
        }
    }
    EXPECT_GT(loudest, 0.1f);
    host.stopIdling();
}

}  // namespace
}  // namespace tramvek::testing
