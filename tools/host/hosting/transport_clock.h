// The musical time the host reports: a transport that plays from a quarter-note
// position at a fixed tempo and sample rate.
#pragma once

#include "host/vst2.h"

namespace tramvek {

struct Transport {
    double tempo = 120.0;
    double sampleRate = 44100.0;
    double ppqStart = 0.0;
};

// Quarter notes at samplePos: ppqStart + samplePos * tempo / (60 * sampleRate).
double ppqPositionAt(const Transport& transport, double samplePos);

// The record for a playing transport at samplePos.
VstTimeInfo playingTimeInfo(const Transport& transport, double samplePos);

// The record before playback starts: position 0, tempo known, not playing.
VstTimeInfo stoppedTimeInfo(const Transport& transport);

}  // namespace tramvek
