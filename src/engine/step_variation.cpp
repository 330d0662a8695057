// The playing step's repeated hits and the seed Chance draws from.
#include "engine/step_variation.h"

#include <limits>

#include "engine/slicer_engine.h"

namespace tramvek {

// Hit 0 is the step's own start at `at`; the rest wait for their samples.
void SlicerEngine::armRepeatHits(std::int32_t at) {
    const std::int32_t hits = hitCount;
    if (stepSilenced || hits < 2) {
        return;
    }
    repeatHits = {at, stepGrid.samplesPerMinute / stepGrid.stepsPerMinute, 1, hits};
}

std::int64_t SlicerEngine::nextHitSample() const {
    if (repeatHits.next >= repeatHits.count) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return repeatHits.start + hitOffset(repeatHits.next, repeatHits.count, repeatHits.stepLength);
}

// Each hit restarts the step's slice from its start, the recording running on.
void SlicerEngine::startDueHits(std::int32_t at) {
    if (nextHitSample() > at) {
        return;
    }
    while (nextHitSample() <= at) {
        ++repeatHits.next;
    }
    startVoice();
}

void SlicerEngine::newVariation() {
    setVariationSeed(static_cast<std::uint32_t>(mixBits(variationSeed.load() + 0x9E3779B97F4A7C15ull)));
}

void SlicerEngine::setVariationSeed(std::uint32_t seed) {
    variationSeed = seed;
}

}  // namespace tramvek
