#include "hosting/transport_clock.h"

namespace tramvek {
namespace {

VstTimeInfo baseTimeInfo(const Transport& transport) {
    VstTimeInfo info{};
    info.sampleRate = transport.sampleRate;
    info.tempo = transport.tempo;
    info.ppqPos = transport.ppqStart;
    info.timeSigNumerator = 4;
    info.timeSigDenominator = 4;
    return info;
}

}  // namespace

double ppqPositionAt(const Transport& transport, double samplePos) {
    return transport.ppqStart + samplePos * transport.tempo / (60.0 * transport.sampleRate);
}

VstTimeInfo playingTimeInfo(const Transport& transport, double samplePos) {
    VstTimeInfo info = baseTimeInfo(transport);
    info.samplePos = samplePos;
    info.ppqPos = ppqPositionAt(transport, samplePos);
    info.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid;
    return info;
}

VstTimeInfo stoppedTimeInfo(const Transport& transport) {
    VstTimeInfo info = baseTimeInfo(transport);
    info.flags = kVstTempoValid | kVstPpqPosValid;
    return info;
}

}  // namespace tramvek
