#include "validation/validate_audio.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <sstream>

#include "hosting/transport_clock.h"
#include "validation/validate_runner.h"

namespace tramvek {
namespace {

// A quiet NaN with a payload no plug-in computes by accident.
constexpr std::uint32_t kGuardBits = 0x7FC0DEADu;

float guardValue() {
    float value;
    std::memcpy(&value, &kGuardBits, sizeof value);
    return value;
}

bool isGuard(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits == kGuardBits;
}

constexpr int kMaxChannels = 64;

int channelCount(VstInt32 declared) {
    return std::clamp(static_cast<int>(declared), 0, kMaxChannels);
}

}  // namespace

// --- TestSignal ---

TestSignal::TestSignal(std::uint64_t seed, double sampleRate) : random_(seed), sampleRate_(sampleRate) {}

void TestSignal::startSegment() {
    std::uniform_int_distribution<int> pick(0, 7);
    int choice = pick(random_);
    // Silence three times in eight.
    static constexpr Kind kinds[] = {Kind::kSilence, Kind::kSilence, Kind::kSilence, Kind::kNoise,
                                     Kind::kSine,    Kind::kSquare,  Kind::kClicks,  Kind::kDc};
    kind_ = kinds[choice];
    remaining_ = static_cast<int>(std::uniform_real_distribution<double>(0.05, 0.5)(random_) * sampleRate_);
    double frequency =
        std::exp(std::uniform_real_distribution<double>(std::log(30.0), std::log(15000.0))(random_));
    increment_ = std::min(frequency / sampleRate_, 0.5);
    phase_ = 0.0;
    amplitude_ = std::uniform_real_distribution<float>(0.1f, 1.0f)(random_);
}

float TestSignal::next() {
    if (silent_) {
        return 0.0f;
    }
    if (remaining_ <= 0) {
        startSegment();
    }
    --remaining_;
    phase_ += increment_;
    phase_ -= std::floor(phase_);
    switch (kind_) {
        case Kind::kSilence:
            return 0.0f;
        case Kind::kNoise:
            return amplitude_ * std::uniform_real_distribution<float>(-1.0f, 1.0f)(random_);
        case Kind::kSine:
            return amplitude_ * static_cast<float>(std::sin(2.0 * std::numbers::pi * phase_));
        case Kind::kSquare:
            return phase_ < 0.5 ? amplitude_ : -amplitude_;
        case Kind::kClicks:
            return phase_ < increment_ ? 1.0f : 0.0f;
        case Kind::kDc:
            return 1.0f;
    }
    return 0.0f;
}

void TestSignal::fill(float* left, float* right, int frames) {
    for (int i = 0; i < frames; ++i) {
        left[i] = next();
        // The right channel: the same material, slightly changed, so that a
        // plug-in mixing up its channels still sees both.
        right[i] = kind_ == Kind::kNoise ? next() : -left[i];
    }
}

// --- Timeline ---

VstTimeInfo Timeline::info() const {
    VstTimeInfo time = playingTimeInfo(Transport{tempo, sampleRate, ppq}, 0.0);
    time.samplePos = samplePos;
    time.barStartPos = std::floor(ppq / 4.0) * 4.0;
    time.flags |= kVstBarsValid | kVstTimeSigValid;
    if (!playing) {
        time.flags &= ~kVstTransportPlaying;
    }
    if (looping) {
        time.cycleStartPos = cycleStart;
        time.cycleEndPos = cycleEnd;
        time.flags |= kVstTransportCycleActive | kVstCyclePosValid;
    }
    return time;
}

void Timeline::advance(int frames) {
    if (!playing) {
        return;
    }
    samplePos += frames;
    ppq += frames * tempo / (60.0 * sampleRate);
    if (looping && cycleEnd > cycleStart && ppq >= cycleEnd) {
        ppq = cycleStart + std::fmod(ppq - cycleEnd, cycleEnd - cycleStart);
    }
}

// --- GuardedChannels ---

GuardedChannels::GuardedChannels(int count, int maxFrames) {
    channels_.assign(static_cast<std::size_t>(count),
                     std::vector<float>(static_cast<std::size_t>(maxFrames + 2 * kGuard), 0.0f));
    for (std::vector<float>& channel : channels_) {
        pointers_.push_back(channel.data() + kGuard);
    }
    // Never hand out an empty pointer array.
    pointers_.push_back(nullptr);
    resetGuards(0);
}

void GuardedChannels::resetGuards(int frames) {
    for (std::vector<float>& channel : channels_) {
        std::fill_n(channel.begin(), kGuard, guardValue());
        std::fill(channel.begin() + kGuard + frames, channel.end(), guardValue());
    }
}

std::string GuardedChannels::damagedGuard(int index, int frames) const {
    const std::vector<float>& channel = channels_[static_cast<std::size_t>(index)];
    for (int i = 0; i < kGuard; ++i) {
        if (!isGuard(channel[static_cast<std::size_t>(i)])) {
            return "wrote " + std::to_string(kGuard - i) + " samples before the block";
        }
    }
    // Between the block end and maxFrames the buffer is the host's too: a
    // plug-in has no business there either, so that span is guarded as well.
    for (std::size_t i = static_cast<std::size_t>(kGuard + frames); i < channel.size(); ++i) {
        if (!isGuard(channel[i])) {
            return "wrote sample " + std::to_string(static_cast<long>(i) - kGuard) + " of a " +
                   std::to_string(frames) + "-frame block";
        }
    }
    return "";
}

// --- AudioRun ---

std::string badSampleReason(float value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return "infinite";
    }
    if (std::fpclassify(value) == FP_SUBNORMAL) {
        return "subnormal";
    }
    if (std::fabs(value) > kOutputBound) {
        return "beyond +60 dB";
    }
    return "";
}

AudioRun::AudioRun(OpenPlugin& plugin, std::uint64_t signalSeed)
    : plugin_(plugin),
      signal_(signalSeed, plugin.sampleRate()),
      inputs_(channelCount(plugin.effect().numInputs), plugin.maxBlock()),
      outputs_(channelCount(plugin.effect().numOutputs), plugin.maxBlock()) {
    timeline.sampleRate = plugin.sampleRate();
}

void AudioRun::useAccumulatingEntry(float prefill) {
    accumulating_ = true;
    prefill_ = prefill;
}

void AudioRun::process(int frames) {
    frames = std::clamp(frames, 0, plugin_.maxBlock());
    std::vector<float> right(static_cast<std::size_t>(frames));
    for (int c = 0; c < inputs_.count(); c += 2) {
        float* second = c + 1 < inputs_.count() ? inputs_.channel(c + 1) : right.data();
        signal_.fill(inputs_.channel(c), second, frames);
    }
    for (int c = 0; c < outputs_.count(); ++c) {
        std::fill_n(outputs_.channel(c), frames, accumulating_ ? prefill_ : 0.0f);
    }
    inputs_.resetGuards(frames);
    outputs_.resetGuards(frames);
    plugin_.host().timeInfo = timeline.info();
    AEffect& effect = plugin_.effect();
    bool replacing = !accumulating_ && (effect.flags & effFlagsCanReplacing) != 0 && effect.processReplacing;
    if (replacing) {
        effect.processReplacing(&effect, inputs_.pointers(), outputs_.pointers(), frames);
    } else {
        effect.process(&effect, inputs_.pointers(), outputs_.pointers(), frames);
    }
    inspect(frames);
    timeline.advance(frames);
    ++blocks_;
}

void AudioRun::processFor(double seconds, int frames) {
    auto total = static_cast<std::int64_t>(seconds * plugin_.sampleRate());
    for (std::int64_t done = 0; done < total; done += std::max(frames, 1)) {
        process(frames);
    }
}

void AudioRun::inspect(int frames) {
    for (int c = 0; c < inputs_.count(); ++c) {
        if (std::string damage = inputs_.damagedGuard(c, frames); !damage.empty()) {
            failBlock(frames, "input " + std::to_string(c) + ": " + damage);
        }
    }
    for (int c = 0; c < outputs_.count(); ++c) {
        if (std::string damage = outputs_.damagedGuard(c, frames); !damage.empty()) {
            failBlock(frames, "output " + std::to_string(c) + ": " + damage);
        }
        const float* samples = outputs_.channel(c);
        for (int i = 0; i < frames; ++i) {
            if (std::string reason = badSampleReason(samples[i]); !reason.empty()) {
                std::ostringstream what;
                what << "output " << c << " sample " << i << " is " << reason << " (" << samples[i] << ")";
                failBlock(frames, what.str());
            }
            peak_ = std::max(peak_, std::fabs(samples[i]));
        }
    }
}

void AudioRun::failBlock(int frames, const std::string& what) const {
    std::ostringstream where;
    where << what << "; block " << blocks_ << " of " << frames << " frames at " << timeline.sampleRate
          << " Hz, tempo " << timeline.tempo << ", ppqPos " << timeline.ppq
          << (timeline.playing ? "" : ", stopped");
    failCheck(where.str());
}

}  // namespace tramvek
