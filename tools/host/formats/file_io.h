// Whole files in and out. Output files appear whole or not at all.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace tramvek {

// Written under a temporary name beside its target and renamed into place by
// commit(). If the command fails first, the destructor removes the temporary.
class PendingFile {
  public:
    explicit PendingFile(std::string path);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    void write(std::span<const std::uint8_t> bytes);
    void commit();

  private:
    std::string path_;
    std::string temporaryPath_;
    std::FILE* file_ = nullptr;
};

// Throws HostError naming `what` ("input", "preset" ...) when it cannot.
std::vector<std::uint8_t> readWholeFile(const std::string& path, const std::string& what);

void writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace tramvek
