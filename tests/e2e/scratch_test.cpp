#include "scratch_test.h"

#include <fstream>
#include <iterator>

#include "formats/file_io.h"
#include "formats/wav_codec.h"

#ifdef _WIN32
#include <windows.h>
#define tramvek_pid() static_cast<unsigned long>(GetCurrentProcessId())
#else
#include <unistd.h>
#define tramvek_pid() static_cast<unsigned long>(getpid())
#endif

namespace tramvek::e2e {

void ScratchTest::SetUp() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() / ("tramvek-e2e-" + std::to_string(tramvek_pid()) + "-" +
                                                    test->test_suite_name() + "-" + test->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
}

void ScratchTest::TearDown() {
    if (!dir.empty() && !HasFailure()) {
        std::filesystem::remove_all(dir);
    }
}

void writeWav(const std::string& path, const StereoAudio& audio) {
    std::vector<std::uint8_t> bytes =
        floatStereoWavHeader(static_cast<std::uint32_t>(audio.sampleRate), audio.frames());
    appendFloatStereoFrames(bytes, audio.left.data(), audio.right.data(), audio.frames());
    writeWholeFile(path, bytes);
}

StereoAudio readWav(const std::string& path) {
    return decodeWav(readWholeFile(path, "output"));
}

std::vector<std::uint8_t> fileBytes(const std::string& path) {
    return readWholeFile(path, "file");
}

::testing::AssertionResult failedWithOneLine(const HostRun& run, const std::string& reason) {
    if (run.exitCode == 0) {
        return ::testing::AssertionFailure() << "exit code 0; stderr: " << run.err;
    }
    std::vector<std::string> lines = linesOf(run.err);
    if (lines.size() != 1 || lines[0].find(reason) == std::string::npos) {
        return ::testing::AssertionFailure() << "stderr is not one line with '" << reason << "': " << run.err;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace tramvek::e2e
