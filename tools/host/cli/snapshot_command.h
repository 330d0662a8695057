// `snapshot`: open a plug-in's editor in a window as a host does, optionally
// after loading a state and playing some of the demo loop through it (so that
// views showing recorded audio have something to show), and save a picture.
#pragma once

#include <string>

namespace tramvek {

struct SnapshotOptions {
    std::string plugin;
    std::string output;  // PNG file
    std::string state;   // .fxb bank or .fxp preset, or empty
    double renderFirstSeconds = 0.0;
};

void runSnapshot(const SnapshotOptions& options);

}  // namespace tramvek
