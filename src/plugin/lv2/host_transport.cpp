#include "plugin/lv2/host_transport.h"

#include <cmath>

#include <lv2/atom/util.h>

namespace tramvek::lv2 {
namespace {

bool readNumber(const LV2_Atom& atom, const Uris& uris, double& out) {
    const void* body = LV2_ATOM_BODY_CONST(&atom);
    double value = 0.0;
    if (atom.type == uris.atomDouble && atom.size >= sizeof(double)) {
        value = *static_cast<const double*>(body);
    } else if (atom.type == uris.atomFloat && atom.size >= sizeof(float)) {
        value = *static_cast<const float*>(body);
    } else if (atom.type == uris.atomLong && atom.size >= sizeof(std::int64_t)) {
        value = static_cast<double>(*static_cast<const std::int64_t*>(body));
    } else if (atom.type == uris.atomInt && atom.size >= sizeof(std::int32_t)) {
        value = *static_cast<const std::int32_t*>(body);
    } else {
        return false;
    }
    if (!std::isfinite(value)) {
        return false;
    }
    out = value;
    return true;
}

}  // namespace

void HostTransport::read(const LV2_Atom_Object& position, const Uris& uris) {
    double beat = NAN;
    double bar = NAN;
    double barBeat = NAN;
    LV2_ATOM_OBJECT_FOREACH(&position, property) {
        const LV2_Atom& value = property->value;
        const LV2_URID key = property->key;
        if (key == uris.timeBeat) {
            readNumber(value, uris, beat);
        } else if (key == uris.timeBar) {
            readNumber(value, uris, bar);
        } else if (key == uris.timeBarBeat) {
            readNumber(value, uris, barBeat);
        } else if (key == uris.timeBeatsPerMinute) {
            readNumber(value, uris, beatsPerMinute_);
        } else if (key == uris.timeBeatsPerBar) {
            readNumber(value, uris, beatsPerBar_);
        } else if (key == uris.timeBeatUnit) {
            readNumber(value, uris, beatUnit_);
        } else if (key == uris.timeSpeed) {
            readNumber(value, uris, speed_);
        }
    }
    // The running beat is the exact one; a bar and a beat in it are the
    // fallback (some hosts round the beat in the bar).
    const double beats = !std::isnan(beat) ? beat : bar * beatsPerBar_ + barBeat;
    if (std::isnan(beats) || beatUnit_ <= 0.0) {
        return;
    }
    anchorQuarters_ = beats * (4.0 / beatUnit_);
    elapsed_ = 0;
    known_ = true;
}

const TransportPosition* HostTransport::position() {
    if (!known_) {
        return nullptr;
    }
    const double tempo = beatsPerMinute_ * (4.0 / beatUnit_);
    // No arithmetic on the anchor itself when no frame has passed: a host that
    // tells the position every block is followed exactly.
    double quarters = anchorQuarters_;
    if (elapsed_ != 0 && sampleRate_ > 0.0) {
        quarters += static_cast<double>(elapsed_) * speed_ * tempo / (60.0 * sampleRate_);
    }
    position_ = TransportPosition{quarters, sampleRate_, tempo, speed_ != 0.0};
    return &position_;
}

}  // namespace tramvek::lv2
