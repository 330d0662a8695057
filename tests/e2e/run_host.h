// Running the built tramvek-host as a separate process, the way a user or a
// script does, and collecting its exit code and output.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tramvek::e2e {

struct HostRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs the host with `arguments`, with `environment` added to this process's.
// Standard output and error go through files in `scratch`.
HostRun runHost(const std::vector<std::string>& arguments, const std::filesystem::path& scratch,
                const Environment& environment = {});

// Lines of a text, without their line ends.
std::vector<std::string> linesOf(const std::string& text);

}  // namespace tramvek::e2e
