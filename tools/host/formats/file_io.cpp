#include "formats/file_io.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host_error.h"

namespace tramvek {
namespace {

HostError writeError(const std::string& path) {
    return HostError("cannot write " + path + ": " + std::strerror(errno));
}

}  // namespace

PendingFile::PendingFile(std::string path) : path_(std::move(path)), temporaryPath_(path_ + ".partial") {
    file_ = std::fopen(temporaryPath_.c_str(), "wb");
    if (file_ == nullptr) {
        throw writeError(path_);
    }
}

PendingFile::~PendingFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
        std::remove(temporaryPath_.c_str());
    }
}

void PendingFile::write(std::span<const std::uint8_t> bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        throw writeError(path_);
    }
}

void PendingFile::commit() {
    int closed = std::fclose(file_);
    file_ = nullptr;
    std::error_code error;
    if (closed == 0) {
        std::filesystem::rename(temporaryPath_, path_, error);
    }
    if (closed != 0 || error) {
        std::remove(temporaryPath_.c_str());
        throw HostError("cannot write " + path_ + ": " + (error ? error.message() : std::strerror(errno)));
    }
}

std::vector<std::uint8_t> readWholeFile(const std::string& path, const std::string& what) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw HostError(what + " not found: " + path);
    }
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        throw HostError("cannot read " + what + " " + path);
    }
    return bytes;
}

void writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    PendingFile file(path);
    file.write(bytes);
    file.commit();
}

}  // namespace tramvek
