// A test with a fresh scratch folder, and the file helpers the end-to-end
// tests share.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "audio_file/stereo_audio.h"
#include "run_host.h"

namespace tramvek::e2e {

class ScratchTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return (dir / name).string(); }
    bool exists(const std::string& name) const { return std::filesystem::exists(dir / name); }
    HostRun host(const std::vector<std::string>& arguments, const Environment& environment = {}) const {
        return runHost(arguments, dir, environment);
    }

    std::filesystem::path dir;
};

void writeWav(const std::string& path, const StereoAudio& audio);
StereoAudio readWav(const std::string& path);
std::vector<std::uint8_t> fileBytes(const std::string& path);

// The host failed with exactly one line on standard error containing `reason`.
::testing::AssertionResult failedWithOneLine(const HostRun& run, const std::string& reason);

}  // namespace tramvek::e2e
