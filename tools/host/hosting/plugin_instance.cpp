#include "hosting/plugin_instance.h"

#include <array>
#include <cstring>

#include "host_error.h"

namespace tramvek {
namespace {

constexpr std::size_t kTextBufferSize = 1024;

}  // namespace

PluginInstance::PluginInstance(const std::string& path, HostContext& host) : library_(path) {
    PluginEntry entry = library_.entry();
    {
        HostContext::LoadingScope loading(host);
        effect_ = entry(&HostContext::callback);
    }
    if (effect_ == nullptr) {
        throw HostError("plug-in refused to start (its entry returned no effect): " + path);
    }
    if (effect_->magic != kEffectMagic) {
        throw HostError("not a VST 2 plug-in (bad magic in the effect record): " + path);
    }
    host.attach(effect_);
}

PluginInstance::~PluginInstance() {
    suspend();
    dispatch(effClose);
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string PluginInstance::text(VstInt32 opcode, VstInt32 index, VstIntPtr value) {
    std::array<char, kTextBufferSize> buffer{};
    dispatch(opcode, index, value, buffer.data());
    buffer.back() = '\0';
    return std::string(buffer.data());
}

void PluginInstance::resume() {
    if (!resumed_) {
        dispatch(effMainsChanged, 0, 1);
        resumed_ = true;
    }
}

void PluginInstance::suspend() {
    if (resumed_) {
        dispatch(effMainsChanged, 0, 0);
        resumed_ = false;
    }
}

std::string PluginInstance::programName(VstInt32 program) {
    std::array<char, kTextBufferSize> buffer{};
    if (dispatch(effGetProgramNameIndexed, program, -1, buffer.data()) != 0) {
        buffer.back() = '\0';
        return std::string(buffer.data());
    }
    VstIntPtr current = dispatch(effGetProgram);
    dispatch(effSetProgram, 0, program);
    std::string name = text(effGetProgramName);
    dispatch(effSetProgram, 0, current);
    return name;
}

}  // namespace tramvek
