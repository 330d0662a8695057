// The saved state: the engine's bank chunk (programs, patterns, MIDI tables
// and the recorded audio). Where the host can make files (state:makePath)
// the audio goes into a float WAV file beside the session and the rest into
// one property; elsewhere the whole chunk is one property.
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>

#include "params/chunk_layout.h"
#include "params/little_endian.h"
#include "plugin/lv2/float_wav.h"
#include "plugin/lv2/host_features.h"
#include "plugin/lv2/lv2_slicer.h"

namespace tramvek::lv2 {
namespace {

namespace layout = chunk_layout;

constexpr char kAudioFile[] = "recorded.wav";

// Paths the host made are the host's to free, with its own function if it has one.
void freePath(const LV2_Feature* const* features, char* path) {
    const auto* free = static_cast<const LV2_State_Free_Path*>(findFeature(features, LV2_STATE__freePath));
    if (free != nullptr) {
        free->free_path(free->handle, path);
    } else {
        std::free(path);
    }
}

std::int32_t patternSamples(const std::uint8_t* bank) {
    return readLeI32(bank, layout::kBankPatternSamples);
}

// The chunk without its audio: the fixed part, then the trailer and every
// group after it.
std::vector<std::uint8_t> settingsOf(const std::uint8_t* bank, std::size_t size) {
    const std::uint8_t* trailer =
        bank + layout::extensionOffset(static_cast<std::size_t>(patternSamples(bank)));
    std::vector<std::uint8_t> settings(bank, bank + layout::kBankAudio);
    settings.insert(settings.end(), trailer, bank + size);
    return settings;
}

bool settingsValid(const std::uint8_t* settings, std::size_t size) {
    return size >= layout::kBankBytesWithoutAudio && patternSamples(settings) >= 0;
}

bool audioFits(const std::uint8_t* settings, const std::vector<std::uint8_t>& left,
               const std::vector<std::uint8_t>& right) {
    return left.size() == 4 * static_cast<std::size_t>(patternSamples(settings)) &&
           right.size() == left.size();
}

// The chunk again from valid settings and audio that fits them.
std::vector<std::uint8_t> bankFrom(const std::uint8_t* settings, std::size_t size,
                                   const std::vector<std::uint8_t>& left,
                                   const std::vector<std::uint8_t>& right) {
    std::vector<std::uint8_t> bank(settings, settings + layout::kBankAudio);
    bank.insert(bank.end(), left.begin(), left.end());
    bank.insert(bank.end(), right.begin(), right.end());
    bank.insert(bank.end(), settings + layout::kBankAudio, settings + size);
    return bank;
}

}  // namespace

LV2_State_Status Lv2Slicer::save(LV2_State_Store_Function store, LV2_State_Handle handle,
                                 const LV2_Feature* const* features) {
    const SlicerEngine::SavedBytes saved = engine_->saveState(false);
    if (saved.data == nullptr || saved.size <= 0) {
        return LV2_STATE_ERR_UNKNOWN;
    }
    const auto* makePath =
        static_cast<const LV2_State_Make_Path*>(findFeature(features, LV2_STATE__makePath));
    const auto* mapPath = static_cast<const LV2_State_Map_Path*>(findFeature(features, LV2_STATE__mapPath));
    if (makePath == nullptr || mapPath == nullptr) {
        return store(handle, uris_.bankState, saved.data, static_cast<std::size_t>(saved.size),
                     uris_.atomChunk, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    }
    try {
        const auto frames = static_cast<std::size_t>(patternSamples(saved.data));
        const std::uint8_t* left = saved.data + layout::kBankAudio;
        char* path = makePath->path(makePath->handle, kAudioFile);
        const bool written = path != nullptr &&
                             writeFloatWav(path, left, left + 4 * frames, static_cast<std::uint32_t>(frames),
                                           static_cast<std::uint32_t>(sampleRate_));
        char* abstract = written ? mapPath->abstract_path(mapPath->handle, path) : nullptr;
        freePath(features, path);
        if (abstract == nullptr) {
            return LV2_STATE_ERR_UNKNOWN;
        }
        const std::vector<std::uint8_t> settings =
            settingsOf(saved.data, static_cast<std::size_t>(saved.size));
        LV2_State_Status status = store(handle, uris_.settingsState, settings.data(), settings.size(),
                                        uris_.atomChunk, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
        if (status == LV2_STATE_SUCCESS) {
            status = store(handle, uris_.audioState, abstract, std::strlen(abstract) + 1, uris_.atomPath,
                           LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
        }
        freePath(features, abstract);
        return status;
    } catch (const std::bad_alloc&) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status Lv2Slicer::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                                    const LV2_Feature* const* features) {
    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    // A damaged state is refused whole; the instance keeps what it had.
    if (const void* bank = retrieve(handle, uris_.bankState, &size, &type, &flags)) {
        return type == uris_.atomChunk &&
                       engine_->loadState(static_cast<const std::uint8_t*>(bank), size, false)
                   ? LV2_STATE_SUCCESS
                   : LV2_STATE_ERR_BAD_TYPE;
    }
    std::size_t settingsSize = 0;
    const auto* settings =
        static_cast<const std::uint8_t*>(retrieve(handle, uris_.settingsState, &settingsSize, &type, &flags));
    if (settings == nullptr || type != uris_.atomChunk) {
        return LV2_STATE_ERR_NO_PROPERTY;
    }
    if (!settingsValid(settings, settingsSize)) {
        return LV2_STATE_ERR_BAD_TYPE;
    }
    try {
        std::vector<std::uint8_t> left;
        std::vector<std::uint8_t> right;
        const std::string audioFile = readRecordedAudio(retrieve, handle, features, left, right);
        // Lost audio costs the recording only: the rest comes back over silence.
        if (!audioFits(settings, left, right)) {
            lv2_log_error(&logger_,
                          "tramvek: the recorded audio %s could not be read; restoring the rest with a "
                          "silent recording\n",
                          audioFile.c_str());
            left.assign(4 * static_cast<std::size_t>(patternSamples(settings)), 0);
            right = left;
        }
        const std::vector<std::uint8_t> bank = bankFrom(settings, settingsSize, left, right);
        return engine_->loadState(bank.data(), bank.size(), false) ? LV2_STATE_SUCCESS
                                                                   : LV2_STATE_ERR_UNKNOWN;
    } catch (const std::bad_alloc&) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

// The recorded audio the state names, read into `left` and `right` (left
// empty when there is none or it is not audio); returns the file's name for messages.
std::string Lv2Slicer::readRecordedAudio(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                                         const LV2_Feature* const* features, std::vector<std::uint8_t>& left,
                                         std::vector<std::uint8_t>& right) {
    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    const void* audio = retrieve(handle, uris_.audioState, &size, &type, &flags);
    const auto* mapPath = static_cast<const LV2_State_Map_Path*>(findFeature(features, LV2_STATE__mapPath));
    if (audio == nullptr || type != uris_.atomPath || mapPath == nullptr) {
        return kAudioFile;
    }
    char* path = mapPath->absolute_path(mapPath->handle, static_cast<const char*>(audio));
    const std::string name = path != nullptr ? path : kAudioFile;
    if (path == nullptr || !readFloatWav(path, left, right)) {
        left.clear();
    }
    freePath(features, path);
    return name;
}

}  // namespace tramvek::lv2
