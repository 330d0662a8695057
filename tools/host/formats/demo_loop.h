// The built-in demo drum loop: four bars of kick, snare and sixteenth-note
// hats at a tempo, so that `render` works with nothing else on disk. It is
// made with additions, multiplications and divisions only, never the maths
// library, so every build produces the same samples bit for bit.
#pragma once

#include "audio_file/stereo_audio.h"

namespace tramvek {

constexpr int kDemoLoopBars = 4;

StereoAudio synthesizeDemoLoop(double tempo, double sampleRate);

}  // namespace tramvek
