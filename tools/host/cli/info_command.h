// `info`: load a plug-in, print what it declares, close it.
#pragma once

#include <ostream>
#include <string>

namespace tramvek {

struct InfoOptions {
    std::string plugin;
    bool json = false;
};

void runInfo(const InfoOptions& options, std::ostream& out);

}  // namespace tramvek
