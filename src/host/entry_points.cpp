#include "host/entry_points.h"

#include "host/effect_base.h"

namespace tramvek {

namespace {

VstIntPtr VST_CALLBACK dispatchEntry(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                     void* ptr, float opt) {
    EffectBase* object = effectFromRecord(record);
    if (object == nullptr) {
        return 0;
    }
    if (opcode == effClose) {
        // The host is done with this instance: the record dies with the object.
        object->dispatcher(opcode, index, value, ptr, opt);
        delete object;
        return 1;
    }
    return object->dispatcher(opcode, index, value, ptr, opt);
}

void VST_CALLBACK processEntry(AEffect* record, float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (EffectBase* object = effectFromRecord(record)) {
        object->process(inputs, outputs, sampleFrames);
    }
}

void VST_CALLBACK processReplacingEntry(AEffect* record, float** inputs, float** outputs,
                                        VstInt32 sampleFrames) {
    if (EffectBase* object = effectFromRecord(record)) {
        object->processReplacing(inputs, outputs, sampleFrames);
    }
}

void VST_CALLBACK setParameterEntry(AEffect* record, VstInt32 index, float value) {
    if (EffectBase* object = effectFromRecord(record)) {
        object->setParameter(index, value);
    }
}

float VST_CALLBACK getParameterEntry(AEffect* record, VstInt32 index) {
    EffectBase* object = effectFromRecord(record);
    return object != nullptr ? object->getParameter(index) : 0.0f;
}

}  // namespace

void installEntryPoints(AEffect& record) {
    record.dispatcher = dispatchEntry;
    record.process = processEntry;
    record.processReplacing = processReplacingEntry;
    record.setParameter = setParameterEntry;
    record.getParameter = getParameterEntry;
}

EffectBase* effectFromRecord(AEffect* record) {
    return record != nullptr ? static_cast<EffectBase*>(record->object) : nullptr;
}

}  // namespace tramvek
