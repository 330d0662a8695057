// The saved state: the engine's bank chunk (programs, patterns and the
// recorded audio) as one property.
#include <lv2/atom/atom.h>

#include "plugin/lv2/lv2_slicer.h"

namespace tramvek::lv2 {

LV2_State_Status Lv2Slicer::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    const SlicerEngine::SavedBytes saved = engine_->saveState(false);
    if (saved.data == nullptr || saved.size <= 0) {
        return LV2_STATE_ERR_UNKNOWN;
    }
    return store(handle, uris_.bankState, saved.data, static_cast<std::size_t>(saved.size), uris_.atomChunk,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Slicer::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    const void* data = retrieve(handle, uris_.bankState, &size, &type, &flags);
    if (data == nullptr) {
        return LV2_STATE_ERR_NO_PROPERTY;
    }
    if (type != uris_.atomChunk) {
        return LV2_STATE_ERR_BAD_TYPE;
    }
    // A damaged state is refused whole; the instance keeps what it had.
    return engine_->loadState(static_cast<const std::uint8_t*>(data), size, false) ? LV2_STATE_SUCCESS
                                                                                   : LV2_STATE_ERR_UNKNOWN;
}

}  // namespace tramvek::lv2
