// Reading the audio a render streams through a plug-in.
#pragma once

#include <string>

#include "audio_file/stereo_audio.h"

namespace tramvek {

// Any format the platform's reader knows (libsndfile on Linux, WAV on
// Windows); throws HostError with a one-line reason.
StereoAudio readAudioFile(const std::string& path);

}  // namespace tramvek
