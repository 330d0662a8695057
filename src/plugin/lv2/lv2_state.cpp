// The saved state: the engine's bank chunk (programs, patterns, MIDI tables
// and the recorded audio). Where the host can make files (state:makePath)
// the audio goes into a float WAV file beside the session and the rest into
// one property; elsewhere the whole chunk is one property.
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include <lv2/atom/atom.h>

#include "params/chunk_layout.h"
#include "params/little_endian.h"
#include "plugin/lv2/float_wav.h"
#include "plugin/lv2/lv2_slicer.h"

namespace tramvek::lv2 {
namespace {

namespace layout = chunk_layout;

constexpr char kAudioFile[] = "recorded.wav";

const void* findFeature(const LV2_Feature* const* features, const char* uri) {
    for (std::size_t i = 0; features != nullptr && features[i] != nullptr; ++i) {
        if (std::strcmp(features[i]->URI, uri) == 0) {
            return features[i]->data;
        }
    }
    return nullptr;
}

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

// The chunk without its audio: the fixed part, then the trailer.
std::vector<std::uint8_t> settingsOf(const std::uint8_t* bank) {
    const std::uint8_t* trailer =
        bank + layout::extensionOffset(static_cast<std::size_t>(patternSamples(bank)));
    std::vector<std::uint8_t> settings(bank, bank + layout::kBankAudio);
    settings.insert(settings.end(), trailer, trailer + layout::kBankTrailerBytes);
    return settings;
}

// The chunk again from its settings and its audio; empty when they disagree.
std::vector<std::uint8_t> bankFrom(const std::uint8_t* settings, std::size_t size,
                                   const std::vector<std::uint8_t>& left,
                                   const std::vector<std::uint8_t>& right) {
    if (size != layout::kBankBytesWithoutAudio || patternSamples(settings) < 0 ||
        left.size() != 4 * static_cast<std::size_t>(patternSamples(settings)) ||
        right.size() != left.size()) {
        return {};
    }
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
        const std::vector<std::uint8_t> settings = settingsOf(saved.data);
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
    const void* settings = retrieve(handle, uris_.settingsState, &settingsSize, &type, &flags);
    if (settings == nullptr || type != uris_.atomChunk) {
        return LV2_STATE_ERR_NO_PROPERTY;
    }
    const void* audio = retrieve(handle, uris_.audioState, &size, &type, &flags);
    const auto* mapPath = static_cast<const LV2_State_Map_Path*>(findFeature(features, LV2_STATE__mapPath));
    if (audio == nullptr || type != uris_.atomPath || mapPath == nullptr) {
        return LV2_STATE_ERR_NO_PROPERTY;
    }
    try {
        char* path = mapPath->absolute_path(mapPath->handle, static_cast<const char*>(audio));
        std::vector<std::uint8_t> left;
        std::vector<std::uint8_t> right;
        const bool read = path != nullptr && readFloatWav(path, left, right);
        freePath(features, path);
        const std::vector<std::uint8_t> bank =
            read ? bankFrom(static_cast<const std::uint8_t*>(settings), settingsSize, left, right)
                 : std::vector<std::uint8_t>{};
        return !bank.empty() && engine_->loadState(bank.data(), bank.size(), false) ? LV2_STATE_SUCCESS
                                                                                    : LV2_STATE_ERR_UNKNOWN;
    } catch (const std::bad_alloc&) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

}  // namespace tramvek::lv2
