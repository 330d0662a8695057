#include "support/engine_state_access.h"

namespace tramvek {

EngineState& engineStateForTests(SlicerEngine& engine) {
    return engine;
}

}  // namespace tramvek
