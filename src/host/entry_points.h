// The five entry points stored in every AEffect record: each reads the record's
// object and calls the virtual operation of the same name on it.
#pragma once

#include "host/vst2.h"

namespace tramvek {

void installEntryPoints(AEffect& record);

}  // namespace tramvek
