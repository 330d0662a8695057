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

#include "params/chunk_layout.h"
#include "params/little_endian.h"
#include "x11_editor/x11_test_host.h"
#include "x11_editor/xdnd_source.h"

namespace tramvek::testing {
namespace {

constexpr int kBlock = 512;
// Inside the waveform view, in window coordinates.
constexpr int kWaveformX = 200;
constexpr int kWaveformY = 290;

void put16(std::vector<std::uint8_t>& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, static_cast<int>(v & 0xffff));
    put16(out, static_cast<int>(v >> 16));
}

// One second of a 16-bit stereo file at 48 kHz: a tone on each channel.
void writeToneWav(const std::string& path) {
    constexpr std::uint32_t kRate = 48000;
    std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    put32(out, 16);
    put16(out, 1);
    put16(out, 2);
    put32(out, kRate);
    put32(out, kRate * 4);
    put16(out, 4);
    put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, kRate * 4);
    for (std::uint32_t i = 0; i < kRate; ++i) {
        put16(out, static_cast<int>(std::lround(16000.0 * std::sin(i * 0.0577))));
        put16(out, static_cast<int>(std::lround(9000.0 * std::sin(i * 0.0131))));
    }
    writeLeU32(out.data(), 4, static_cast<std::uint32_t>(out.size() - 8));
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
}

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

std::vector<std::uint8_t> savedBank(AEffect* effect) {
    void* data = nullptr;
    const auto size = effect->dispatcher(effect, effGetChunk, 0, 0, &data, 0.0f);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return bytes != nullptr ? std::vector<std::uint8_t>(bytes, bytes + size) : std::vector<std::uint8_t>{};
}

// N, then the frozen audio of a bank chunk (empty unless frozen).
std::vector<std::uint8_t> frozenAudioOf(const std::vector<std::uint8_t>& chunk) {
    namespace layout = chunk_layout;
    if (chunk.size() < layout::kBankAudio || chunk[layout::kBankFreeze] == 0) {
        return {};
    }
    const auto samples = static_cast<std::size_t>(readLeI32(chunk.data(), layout::kBankPatternSamples));
    const auto at = chunk.begin() + layout::kBankPatternSamples;
    std::vector<std::uint8_t> frozen(at, at + 4);
    const std::size_t end = std::min(layout::kBankAudio + 8 * samples, chunk.size());
    frozen.insert(frozen.end(), chunk.begin() + layout::kBankAudio, chunk.begin() + end);
    return frozen;
}

void start(AEffect* effect) {
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
}

// Block `index` of a silent input on a playing song at 120 beats per minute.
std::vector<float> renderBlock(AEffect* effect, int index) {
    FakeHost::time = {};
    FakeHost::time.sampleRate = 44100.0;
    FakeHost::time.tempo = 120.0;
    FakeHost::time.samplePos = static_cast<double>(index) * kBlock;
    FakeHost::time.ppqPos = FakeHost::time.samplePos / 44100.0 * 2.0;
    FakeHost::time.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid;
    std::vector<float> in(kBlock, 0.0f);
    std::vector<float> left(kBlock);
    std::vector<float> right(kBlock);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {left.data(), right.data()};
    effect->processReplacing(effect, inputs, outputs, kBlock);
    left.insert(left.end(), right.begin(), right.end());
    return left;
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
    start(dropped);
    start(banked);
    // The first blocks give the pattern its length in samples, and the editor its view.
    constexpr int kBlocksBeforeDrop = 8;
    for (int block = 0; block < kBlocksBeforeDrop; ++block) {
        renderBlock(dropped, block);
        renderBlock(banked, block);
    }
    banked->dispatcher(banked, effSetChunk, 0, static_cast<VstIntPtr>(hostBank.size()),
                       const_cast<std::uint8_t*>(hostBank.data()), 0.0f);

    host.startIdling();
    host.openEditor();
    host.waitForIdles(5);
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
    for (int block = kBlocksBeforeDrop; block < 4 * 44100 / kBlock; ++block) {
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
