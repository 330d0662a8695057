#include "plugin/lv2/lv2_slicer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include <lv2/atom/util.h>
#include <lv2/urid/urid.h>

#include "plugin/lv2/host_features.h"
#include "plugin/lv2/lv2_messages.h"
#include "plugin/lv2/port_values.h"

namespace tramvek::lv2 {
namespace {

// MIDI events are handed to the engine in batches of this many, from the stack.
constexpr std::int32_t kMidiBatch = 64;
// An open editor sees the engine at most this old.
constexpr double kViewIntervalSeconds = 0.03;

}  // namespace

std::unique_ptr<Lv2Slicer> Lv2Slicer::create(double sampleRate, const LV2_Feature* const* features) {
    const auto* map = static_cast<const LV2_URID_Map*>(findFeature(features, LV2_URID__map));
    if (map == nullptr) {
        return nullptr;
    }
    auto* log = static_cast<LV2_Log_Log*>(findFeature(features, LV2_LOG__log));
    std::unique_ptr<Lv2Slicer> plugin(new (std::nothrow) Lv2Slicer(sampleRate, *map, log));
    if (plugin == nullptr || plugin->engine_ == nullptr || !plugin->engine_->allocationsSucceeded()) {
        return nullptr;
    }
    return plugin;
}

Lv2Slicer::Lv2Slicer(double sampleRate, const LV2_URID_Map& map, LV2_Log_Log* log)
    : engine_(new (std::nothrow) SlicerEngine()),
      uris_(mapUris(map)),
      sampleRate_(sampleRate),
      transport_(sampleRate),
      viewInterval_(static_cast<std::uint32_t>(std::max(1.0, sampleRate * kViewIntervalSeconds))),
      framesSinceView_(viewInterval_) {
    lv2_atom_forge_init(&forge_, const_cast<LV2_URID_Map*>(&map));
    lv2_log_logger_init(&logger_, const_cast<LV2_URID_Map*>(&map), log);
    if (engine_ == nullptr) {
        return;
    }
    engine_->setSampleRate(sampleRate);
    for (std::int32_t i = 0; i < kParameterCount; ++i) {
        appliedControls_[i] = portValueFor(i, engine_->parameter(i));
    }
}

void Lv2Slicer::connect(std::uint32_t port, void* data) {
    if (port < kPortFirstControl) {
        audio_[port] = static_cast<float*>(data);
    } else if (port < kPortFirstControl + kParameterCount) {
        controls_[port - kPortFirstControl] = static_cast<const float*>(data);
    } else if (port == kPortMidi) {
        midiPort_ = static_cast<const LV2_Atom_Sequence*>(data);
    } else if (port == kPortTime) {
        timePort_ = static_cast<const LV2_Atom_Sequence*>(data);
    } else if (port == kPortCommands) {
        commandPort_ = static_cast<const LV2_Atom_Sequence*>(data);
    } else if (port == kPortNotify) {
        notifyPort_ = static_cast<LV2_Atom_Sequence*>(data);
    } else if (port == kPortProgram) {
        programPort_ = static_cast<const float*>(data);
    }
}

void Lv2Slicer::activate() {
    engine_->activate();
    transport_ = HostTransport(sampleRate_);
}

// As a VST 2 host's suspend: waiting starts are dropped, the clock takes the
// host's position afresh.
void Lv2Slicer::deactivate() {
    engine_->suspend();
}

void Lv2Slicer::applyControlPorts() {
    for (std::int32_t i = 0; i < kParameterCount; ++i) {
        if (controls_[i] == nullptr) {
            continue;
        }
        const float port = *controls_[i];
        if (port != appliedControls_[i] && std::isfinite(port)) {
            appliedControls_[i] = port;
            engine_->setParameter(i, engineValueFor(i, port));
            editedSinceView_ = true;
        }
    }
}

void Lv2Slicer::applyProgramPort() {
    if (programPort_ == nullptr) {
        return;
    }
    const float port = *programPort_;
    if (port == appliedProgram_ || !std::isfinite(port)) {
        return;
    }
    appliedProgram_ = port;
    const auto program = static_cast<std::int32_t>(std::clamp(std::lround(port), 1L, 16L)) - 1;
    engine_->apply({EngineCommand::Kind::kSelectProgram, program});
    editedSinceView_ = true;
}

// Parameters are the control ports' alone: a host records and automates those.
void Lv2Slicer::applyCommands() {
    if (commandPort_ == nullptr) {
        return;
    }
    LV2_ATOM_SEQUENCE_FOREACH(commandPort_, event) {
        if (isViewRequest(event->body, uris_)) {
            viewRequested_ = true;
        } else if (const auto command = readCommand(event->body, uris_);
                   command && command->kind != EngineCommand::Kind::kSetParameter) {
            engine_->apply(*command);
            editedSinceView_ = true;
        }
    }
}

void Lv2Slicer::writeView(std::uint32_t frames) {
    framesSinceView_ = std::min(framesSinceView_ + frames, viewInterval_);
    if (notifyPort_ == nullptr) {
        return;
    }
    // The host gives the room it has as the port's size.
    lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<std::uint8_t*>(notifyPort_), notifyPort_->atom.size);
    LV2_Atom_Forge_Frame sequence;
    if (lv2_atom_forge_sequence_head(&forge_, &sequence, 0) == 0) {
        return;
    }
    // One view per request, so that a busy editor is never flooded; an edit is
    // answered at once, so the editor sees it even with no audio running.
    const bool due = viewRequested_ && (editedSinceView_ || framesSinceView_ >= viewInterval_);
    if (due && forge_.size - forge_.offset >= sizeof(LV2_Atom_Event) + kViewMessageBytes) {
        engine_->fillView(view_);
        lv2_atom_forge_frame_time(&forge_, 0);
        forgeView(forge_, uris_, view_);
        viewRequested_ = false;
        editedSinceView_ = false;
        framesSinceView_ = 0;
    }
    lv2_atom_forge_pop(&forge_, &sequence);
}

void Lv2Slicer::run(std::uint32_t frames) {
    applyCommands();
    applyProgramPort();
    applyControlPorts();
    nextMidi_ = midiPort_ != nullptr ? lv2_atom_sequence_begin(&midiPort_->body) : nullptr;
    std::uint32_t begin = 0;
    if (timePort_ != nullptr) {
        LV2_ATOM_SEQUENCE_FOREACH(timePort_, event) {
            const LV2_Atom& atom = event->body;
            if (atom.type != uris_.atomObject && atom.type != uris_.atomBlank) {
                continue;
            }
            const auto& object = reinterpret_cast<const LV2_Atom_Object&>(atom);
            if (object.body.otype != uris_.timePosition) {
                continue;
            }
            // A position inside the block starts a new segment there.
            const auto at =
                static_cast<std::uint32_t>(std::clamp<std::int64_t>(event->time.frames, begin, frames));
            runSegment(begin, at, false);
            begin = at;
            transport_.read(object, uris_);
        }
    }
    runSegment(begin, frames, true);
    writeView(frames);
}

void Lv2Slicer::runSegment(std::uint32_t begin, std::uint32_t end, bool last) {
    if (begin == end && !last) {
        return;
    }
    MidiMessage batch[kMidiBatch];
    std::int32_t filled = 0;
    for (; nextMidi_ != nullptr &&
           !lv2_atom_sequence_is_end(&midiPort_->body, midiPort_->atom.size, nextMidi_) &&
           (last || nextMidi_->time.frames < end);
         nextMidi_ = lv2_atom_sequence_next(nextMidi_)) {
        const LV2_Atom& body = nextMidi_->body;
        if (body.type != uris_.midiEvent || body.size == 0) {
            continue;
        }
        const auto* bytes = static_cast<const std::uint8_t*>(LV2_ATOM_BODY_CONST(&body));
        const auto delta =
            static_cast<std::int32_t>(nextMidi_->time.frames - static_cast<std::int64_t>(begin));
        batch[filled++] = MidiMessage{delta, bytes[0], body.size > 1 ? bytes[1] : std::uint8_t{0},
                                      body.size > 2 ? bytes[2] : std::uint8_t{0}};
        if (filled == kMidiBatch) {
            engine_->receiveMidi(batch, filled);
            filled = 0;
        }
    }
    if (filled > 0) {
        engine_->receiveMidi(batch, filled);
    }
    if (begin == end) {
        return;
    }
    float* inputs[2] = {audio_[kPortInputLeft] + begin, audio_[kPortInputRight] + begin};
    float* outputs[2] = {audio_[kPortOutputLeft] + begin, audio_[kPortOutputRight] + begin};
    engine_->processReplacing(inputs, outputs, static_cast<std::int32_t>(end - begin), transport_.position());
    transport_.advance(end - begin);
}

}  // namespace tramvek::lv2
