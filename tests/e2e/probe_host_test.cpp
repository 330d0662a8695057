// The host seen from a plug-in: a probe plug-in records every call, and the
// tests check the order of the calls, the time line the host reports, the MIDI
// it delivers, the files it reads and writes, and how it fails.
#include <cmath>
#include <cstdio>
#include <sstream>

#include "fx_file.h"
#include "scratch_test.h"

namespace tramvek::e2e {
namespace {

constexpr VstInt32 kProbeId = fourCharCode('P', 'r', 'B', 'e');

class ProbeHost : public ScratchTest {
  protected:
    Environment probeEnvironment(bool chunks = false) const {
        return {{"TRAMVEK_PROBE_LOG", path("probe.log")}, {"TRAMVEK_PROBE_CHUNKS", chunks ? "1" : "0"}};
    }
    // Runs the host on the probe; the log starts empty for every run.
    HostRun probe(std::vector<std::string> arguments, bool chunks = false) const {
        std::filesystem::remove(dir / "probe.log");
        arguments.insert(arguments.begin() + 1, TRAMVEK_PROBE_PATH);
        return host(arguments, probeEnvironment(chunks));
    }
    std::vector<std::string> log() const {
        std::vector<std::uint8_t> bytes = fileBytes(path("probe.log"));
        return linesOf(std::string(bytes.begin(), bytes.end()));
    }
    std::vector<std::string> callsWithout(const std::string& prefix) const {
        std::vector<std::string> calls;
        for (const std::string& line : log()) {
            if (line.rfind(prefix, 0) != 0) {
                calls.push_back(line);
            }
        }
        return calls;
    }
};

StereoAudio rampInput(std::size_t frames, double sampleRate) {
    StereoAudio audio;
    audio.sampleRate = sampleRate;
    for (std::size_t i = 0; i < frames; ++i) {
        audio.left.push_back(static_cast<float>(i) / static_cast<float>(frames));
        audio.right.push_back(-0.5f * audio.left.back());
    }
    return audio;
}

struct Block {
    int frames = 0;
    double samplePos = 0.0;
    double sampleRate = 0.0;
    double ppqPos = 0.0;
    double tempo = 0.0;
    int flags = 0;
};

std::vector<Block> blocksIn(const std::vector<std::string>& lines) {
    std::vector<Block> blocks;
    for (const std::string& line : lines) {
        Block b;
        if (std::sscanf(line.c_str(), "process %d %lf %lf %lf %lf %d", &b.frames, &b.samplePos, &b.sampleRate,
                        &b.ppqPos, &b.tempo, &b.flags) == 6) {
            blocks.push_back(b);
        }
    }
    return blocks;
}

TEST_F(ProbeHost, RenderSetsUpPlaysAndClosesInTheHostOrderOnTheTransportTimeLine) {
    StereoAudio mono = rampInput(1000, 48000.0);
    mono.right = mono.left;
    writeWav(path("in.wav"), mono);
    HostRun run = probe({"render", "-i", path("in.wav"), "-o", path("out.wav"), "--tempo", "90",
                         "--ppq-start", "4", "--block", "100,37", "--program", "2", "--param", "1=0.5",
                         "--param", "0=0.25", "--tail", "0.01"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> expectedCalls = {
        "version 2400",      "dispatch 0 0 0 0",   "dispatch 10 0 0 48000", "dispatch 11 0 100 0",
        "dispatch 2 0 2 0",  "setParameter 1 0.5", "setParameter 0 0.25",   "dispatch 12 0 1 0",
        "dispatch 12 0 0 0", "dispatch 1 0 0 0"};
    EXPECT_EQ(callsWithout("process"), expectedCalls);

    std::vector<Block> blocks = blocksIn(log());
    ASSERT_EQ(blocks.size(), 22u);  // 1480 frames in 100 + 37 pairs, the last block cut short
    double position = 0.0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const Block& b = blocks[i];
        int expectedFrames = i + 1 == blocks.size() ? 1480 - 10 * 137 - 100 : (i % 2 == 0 ? 100 : 37);
        EXPECT_EQ(b.frames, expectedFrames) << "block " << i;
        EXPECT_EQ(b.samplePos, position) << "block " << i;
        EXPECT_EQ(b.sampleRate, 48000.0);
        EXPECT_EQ(b.tempo, 90.0);
        EXPECT_EQ(b.ppqPos, 4.0 + position * 90.0 / (60.0 * 48000.0)) << "block " << i;
        EXPECT_EQ(b.flags & (kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid),
                  kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid);
        position += b.frames;
    }

    // The probe passes audio through: the input, both channels, then the tail's silence.
    StereoAudio out = readWav(path("out.wav"));
    EXPECT_EQ(out.sampleRate, 48000.0);
    ASSERT_EQ(out.frames(), 1480u);
    for (std::size_t i = 0; i < out.frames(); ++i) {
        float expected = i < 1000 ? mono.left[i] : 0.0f;
        ASSERT_EQ(out.left[i], expected) << i;
        ASSERT_EQ(out.right[i], expected) << i;
    }
    EXPECT_FALSE(exists("out.wav.partial"));
}

// A type 1 file: a conductor track at 100 BPM that turns to 150 BPM after
// two quarters, and a note track (96 ticks per quarter).
std::vector<std::uint8_t> tempoMapMidiFile() {
    std::vector<std::uint8_t> conductor = {0x00, 0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0,  // 600000 us
                                           0x81, 0x40, 0xFF, 0x51, 0x03, 0x06, 0x1A,
                                           0x80,  // 400000 us at tick 192
                                           0x00, 0xFF, 0x2F, 0x00};
    std::vector<std::uint8_t> notes = {0x00, 0x90, 60,   100,  0x50, 0x80, 60,  0,  // ticks 0 and 80
                                       0x81, 0x00, 0x90, 62,   100,                 // tick 208
                                       0x30, 62,   0,    0x00, 0xFF, 0x2F, 0x00};  // tick 256, running status
    std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96};
    for (const auto* track : {&conductor, &notes}) {
        file.insert(file.end(), {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<std::uint8_t>(track->size())});
        file.insert(file.end(), track->begin(), track->end());
    }
    return file;
}

TEST_F(ProbeHost, MidiReachesTheBlockOfItsFlooredFrameBeforeThatBlockIsProcessed) {
    std::vector<std::uint8_t> midi = tempoMapMidiFile();
    {
        std::FILE* file = std::fopen(path("song.mid").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(midi.data(), 1, midi.size(), file);
        std::fclose(file);
    }
    writeWav(path("in.wav"), rampInput(2 * 44100, 44100.0));
    HostRun run = probe({"render", "-i", path("in.wav"), "-o", path("out.wav"), "--midi", path("song.mid"),
                         "--block", "1000,333"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // Ticks 0 and 80 at 100 BPM; 208 and 256 after the change to 150 BPM at tick 192.
    std::vector<double> seconds = {0.0, 0.5, 1.2 + 16.0 / 96.0 * 0.4, 1.2 + 64.0 / 96.0 * 0.4};
    std::vector<double> expectedFrames;
    for (double s : seconds) {
        expectedFrames.push_back(std::floor(s * 44100.0));
    }
    std::vector<double> frames;
    std::vector<std::string> data;
    double nextBlockStart = 0.0;
    for (const std::string& line : log()) {
        int delta = 0;
        int b0 = 0;
        int b1 = 0;
        int b2 = 0;
        Block block;
        if (std::sscanf(line.c_str(), "event %d %d %d %d", &delta, &b0, &b1, &b2) == 4) {
            // Events come before the block they belong to.
            EXPECT_GE(delta, 0);
            frames.push_back(nextBlockStart + delta);
            data.push_back(std::to_string(b0) + " " + std::to_string(b1) + " " + std::to_string(b2));
        } else if (std::sscanf(line.c_str(), "process %d %lf", &block.frames, &block.samplePos) == 2) {
            EXPECT_EQ(block.samplePos, nextBlockStart);
            nextBlockStart = block.samplePos + block.frames;
        }
    }
    EXPECT_EQ(frames, expectedFrames);
    EXPECT_EQ(data, (std::vector<std::string>{"144 60 100", "128 60 0", "144 62 100", "144 62 0"}));
}

TEST_F(ProbeHost, PresetsAndBanksRoundTripInParameterAndChunkForms) {
    for (bool chunks : {false, true}) {
        SCOPED_TRACE(chunks ? "chunks" : "parameters");
        ASSERT_EQ(probe({"state", "--program", "1", "--param", "0=0.75", "--param", "2=0.125", "--save-bank",
                         path("a.fxb"), "--save-preset", path("a.fxp")},
                        chunks)
                      .exitCode,
                  0);
        std::vector<std::uint8_t> bank = fileBytes(path("a.fxb"));
        FxBank parsed = parseBankFile(bank);
        EXPECT_EQ(parsed.opaque, chunks);
        EXPECT_EQ(parsed.pluginId, kProbeId);
        EXPECT_EQ(parsed.currentProgram, 1);

        HostRun again =
            probe({"state", "--bank", path("a.fxb"), "--program", "1", "--save-bank", path("b.fxb")}, chunks);
        ASSERT_EQ(again.exitCode, 0) << again.err;
        EXPECT_EQ(fileBytes(path("b.fxb")), bank);
        EXPECT_NE(again.out.find("program 1 \"Probe 1\""), std::string::npos) << again.out;
        EXPECT_NE(again.out.find("p0 = 0.75"), std::string::npos) << again.out;

        // A preset lands in whichever program is selected.
        HostRun preset = probe(
            {"state", "--program", "3", "--preset", path("a.fxp"), "--save-preset", path("b.fxp")}, chunks);
        ASSERT_EQ(preset.exitCode, 0) << preset.err;
        EXPECT_EQ(fileBytes(path("b.fxp")), fileBytes(path("a.fxp")));
        EXPECT_NE(preset.out.find("program 3 \"Probe 1\""), std::string::npos) << preset.out;
    }
}

TEST_F(ProbeHost, ABankKeepsItsOwnProgramUnlessOneIsAskedFor) {
    // A chunk restores the whole state, the current program included: selecting
    // one after it would re-apply that program's stored values over it.
    ASSERT_EQ(probe({"state", "--save-bank", path("a.fxb")}, true).exitCode, 0);
    const std::vector<std::string> common = {"version 2400", "dispatch 0 0 0 0", "dispatch 10 0 0 44100",
                                             "dispatch 11 0 4096 0", "dispatch 24 0 144 0"};
    const std::vector<std::string> end = {"dispatch 12 0 1 0", "dispatch 12 0 0 0", "dispatch 1 0 0 0"};
    for (bool askForProgram : {false, true}) {
        std::vector<std::string> args = {"render",      "-o",      path("out.wav"), "--bank",
                                         path("a.fxb"), "--block", "4096"};
        if (askForProgram) {
            args.insert(args.end(), {"--program", "2"});
        }
        ASSERT_EQ(probe(args, true).exitCode, 0);
        std::vector<std::string> expected = common;
        if (askForProgram) {
            expected.push_back("dispatch 2 0 2 0");
        }
        expected.insert(expected.end(), end.begin(), end.end());
        EXPECT_EQ(callsWithout("process"), expected);
    }

    // A bank of parameters says which program was current.
    ASSERT_EQ(probe({"state", "--program", "3", "--save-bank", path("p.fxb")}, false).exitCode, 0);
    HostRun again = probe({"state", "--bank", path("p.fxb")}, false);
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(again.out.find("program 3 \"Probe 3\""), std::string::npos) << again.out;
}

TEST_F(ProbeHost, FilesThatDoNotFitAreRefusedAndLeaveNoOutputBehind) {
    FxBank foreign;
    foreign.pluginId = fourCharCode('Q', 'X', 'T', 'V');
    foreign.opaque = true;
    foreign.chunk = {1, 2, 3};
    std::vector<std::uint8_t> bytes = serializeBank(foreign);
    auto write = [&](const std::string& name, const std::vector<std::uint8_t>& content) {
        std::FILE* file = std::fopen(path(name).c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    };
    write("foreign.fxb", bytes);
    EXPECT_TRUE(failedWithOneLine(
        probe({"render", "-o", path("out.wav"), "--bank", path("foreign.fxb")}, true), "not for this one"));
    foreign.pluginId = kProbeId;
    write("chunk.fxb", serializeBank(foreign));
    EXPECT_TRUE(
        failedWithOneLine(probe({"render", "-o", path("out.wav"), "--bank", path("chunk.fxb")}, false),
                          "does not take chunks"));
    bytes = serializeBank(foreign);
    write("cut.fxb", std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1));
    EXPECT_TRUE(failedWithOneLine(probe({"render", "-o", path("out.wav"), "--bank", path("cut.fxb")}, true),
                                  "truncated"));
    EXPECT_TRUE(failedWithOneLine(
        probe({"render", "-o", path("out.wav"), "--preset", path("chunk.fxb")}, true), "mislabelled"));
    EXPECT_TRUE(failedWithOneLine(probe({"render", "-o", path("out.wav"), "--bank", path("none.fxb")}, true),
                                  "not found"));
    EXPECT_FALSE(exists("out.wav"));
    EXPECT_FALSE(exists("out.wav.partial"));
}

TEST_F(ProbeHost, BadCommandsFailWithOneLineAndNoOutput) {
    writeWav(path("in.wav"), rampInput(100, 44100.0));
    {
        std::FILE* file = std::fopen(path("text.wav").c_str(), "wb");
        std::fputs("not audio at all", file);
        std::fclose(file);
    }
    EXPECT_TRUE(failedWithOneLine(host({"render", path("missing.so"), "-o", path("out.wav")}), "not found"));
    EXPECT_TRUE(
        failedWithOneLine(host({"render", path("in.wav"), "-o", path("out.wav")}), "cannot load plug-in"));
    EXPECT_TRUE(failedWithOneLine(probe({"render", "-o", path("out.wav"), "--block", "0"}), "--block"));
    EXPECT_TRUE(failedWithOneLine(probe({"render", "-o", path("out.wav"), "--tempo", "-1"}), "--tempo"));
    EXPECT_TRUE(
        failedWithOneLine(probe({"render", "-o", path("out.wav"), "--param", "3=0.5"}), "out of range"));
    EXPECT_TRUE(failedWithOneLine(probe({"render", "-o", path("out.wav"), "--param", "x"}), "INDEX=VALUE"));
    EXPECT_TRUE(
        failedWithOneLine(probe({"render", "-o", path("out.wav"), "--program", "4"}), "out of range"));
    EXPECT_TRUE(failedWithOneLine(probe({"render", "-o", path("out.wav"), "--frobnicate"}), "frobnicate"));
    EXPECT_TRUE(
        failedWithOneLine(probe({"render", "-i", path("gone.wav"), "-o", path("out.wav")}), "not found"));
    EXPECT_TRUE(
        failedWithOneLine(probe({"render", "-i", path("text.wav"), "-o", path("out.wav")}), "cannot read"));
    EXPECT_TRUE(failedWithOneLine(
        probe({"render", "-i", path("in.wav"), "-o", path("out.wav"), "--sample-rate", "48000"}),
        "resample"));
    EXPECT_TRUE(failedWithOneLine(probe({"render", "-o", path("no/such/dir/out.wav")}), "cannot write"));
    EXPECT_TRUE(failedWithOneLine(probe({"render"}), "required"));
    EXPECT_FALSE(exists("out.wav"));
    EXPECT_FALSE(exists("out.wav.partial"));
}

TEST_F(ProbeHost, PathsStartingWithASlashAreArgumentsNotWindowsOptions) {
    // Under Wine, users pass Unix paths; the Windows build must not read them as "/option".
    std::string unixPath = TRAMVEK_PROBE_PATH;
    if (unixPath.rfind("Z:", 0) == 0) {
        unixPath.erase(0, 2);
    }
    ASSERT_EQ(unixPath.front(), '/');
    HostRun run = host({"info", unixPath}, probeEnvironment());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("'PrBe'"), std::string::npos) << run.out;
}

TEST_F(ProbeHost, InfoPrintsTheRecordTheAnswersAndTheNamesThenCloses) {
    HostRun run = probe({"info"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const char* expected :
         {"uniqueID:       0x50724265 'PrBe'", "version:        5", "numPrograms:    4", "numParams:      3",
          "flags:          0x00000010 canReplacing", "vendor:         tramvek tests", "product:        probe",
          "VST version:    2400", "  receiveVstMidiEvent: 1", "  sendVstEvents: -1",
          "  2: name \"p2\" label \"\" display \"0.200\" value 0.2", "  3: \"Probe 3\""}) {
        EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
    }
    EXPECT_EQ(log().back(), "dispatch 1 0 0 0");

    HostRun json = probe({"info", "--json"}, true);
    ASSERT_EQ(json.exitCode, 0) << json.err;
    for (const char* expected : {"\"uniqueIDText\": \"PrBe\"", "\"flags\": 48", "\"programChunks\"",
                                 "\"receiveVstMidiEvent\": 1", "\"Probe 2\""}) {
        EXPECT_NE(json.out.find(expected), std::string::npos) << expected << "\n" << json.out;
    }
}

}  // namespace
}  // namespace tramvek::e2e
