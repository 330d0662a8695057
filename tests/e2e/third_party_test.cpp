// The host on other people's VST 2 plug-ins, where the system has them (the
// Debian packages dpf-plugins-vst and lsp-plugins-vst): the proof that our
// interface declarations match the real ABI.
#include <cmath>

#include "formats/fx_file.h"
#include "scratch_test.h"

namespace tramvek::e2e {
namespace {

struct ThirdParty {
    const char* path;
    const char* vendorLine;
    bool chunks;
};

const ThirdParty kPlugins[] = {
    {"/usr/lib/vst/MVerb-vst.so", "product:        MVerb", false},
    {"/usr/lib/vst/lsp-plugins/compressor-stereo.so", "vendor:         LSP VST", true},
};

// Their own leaks are not ours to report when the host runs sanitized.
const Environment kQuietLeaks = {{"ASAN_OPTIONS", "detect_leaks=0"}};

class ThirdPartyPlugin : public ScratchTest, public ::testing::WithParamInterface<ThirdParty> {
  protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "Linux plug-ins";
#endif
        if (!std::filesystem::exists(GetParam().path)) {
            GTEST_SKIP() << GetParam().path << " is not installed";
        }
        ScratchTest::SetUp();
    }
};

TEST_P(ThirdPartyPlugin, InfoReadsTheRecordTextsAndParameters) {
    HostRun run = host({"info", GetParam().path}, kQuietLeaks);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("magic:          0x56737450 'VstP'"), std::string::npos);
    EXPECT_NE(run.out.find(GetParam().vendorLine), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("VST version:    2400"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  0: name \""), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("  0: name \"\""), std::string::npos) << run.out;
}

TEST_P(ThirdPartyPlugin, RenderProducesSoundOfTheInputsLengthPlusTail) {
    HostRun run =
        host({"render", GetParam().path, "-o", path("out.wav"), "--tail", "0.5", "--block", "256,1000"},
             kQuietLeaks);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    StereoAudio out = readWav(path("out.wav"));
    // The demo loop: four bars at 120 BPM and 44.1 kHz, then half a second.
    EXPECT_EQ(out.frames(), 352800u + 22050u);
    double energy = 0.0;
    for (std::size_t i = 0; i < out.frames(); ++i) {
        ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << i;
        energy += out.left[i] * out.left[i] + out.right[i] * out.right[i];
    }
    EXPECT_GT(energy, 100.0);
}

TEST_P(ThirdPartyPlugin, BankSavedAndReloadedIsTheSameFile) {
    ASSERT_EQ(host({"state", GetParam().path, "--param", "0=0.3", "--save-bank", path("a.fxb")}, kQuietLeaks)
                  .exitCode,
              0);
    FxBank bank = parseBankFile(fileBytes(path("a.fxb")));
    EXPECT_EQ(bank.opaque, GetParam().chunks);
    HostRun again =
        host({"state", GetParam().path, "--bank", path("a.fxb"), "--save-bank", path("b.fxb")}, kQuietLeaks);
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(fileBytes(path("b.fxb")), fileBytes(path("a.fxb")));
}

INSTANTIATE_TEST_SUITE_P(Debian, ThirdPartyPlugin, ::testing::ValuesIn(kPlugins));

}  // namespace
}  // namespace tramvek::e2e
