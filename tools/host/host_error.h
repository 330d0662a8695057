// Every failure the host reports ends the command with one line on standard
// error; HostError carries that line.
#pragma once

#include <stdexcept>
#include <string>

namespace tramvek {

class HostError : public std::runtime_error {
  public:
    explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tramvek
