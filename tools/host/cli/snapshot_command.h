// `snapshot`: open a plug-in's editor in a window as a host does, optionally
// after loading a state and playing some of the demo loop through it (so that
// views showing recorded audio have something to show), and save a picture.
#pragma once

#include <string>

namespace tramvek {

struct SnapshotOptions {
    std::string plugin;
    std::string output;  // PNG file
    std::string state;   // .fxb bank or .fxp preset (an LV2 state directory), or empty
    double renderFirstSeconds = 0.0;
    // LV2: the editor stays open this much longer before the picture, for a
    // script's input, and what it tells the host goes to standard output.
    int holdMilliseconds = 0;
};

// The demo the editor sees, the same for both formats.
inline constexpr double kSnapshotSampleRate = 44100.0;
inline constexpr double kSnapshotTempo = 120.0;
inline constexpr int kSnapshotBlockSize = 512;
// Long enough for the editor to be painted and idled a few times.
inline constexpr int kSnapshotSettleMilliseconds = 600;

void runSnapshot(const SnapshotOptions& options);

}  // namespace tramvek
