#include "editor_test_support.h"

#include "host/editor_base.h"

namespace tramvek::test {

std::vector<uint32_t> HostRecorder::idleTimes;
std::function<void()> HostRecorder::onIdle;

VstIntPtr VST_CALLBACK HostRecorder::callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) {
        return 2400;
    }
    if (opcode == audioMasterIdle) {
        idleTimes.push_back(platform().tickCount());
        if (onIdle) {
            onIdle();
        }
    }
    return 0;
}

void EditorTest::SetUp() {
    RasterTest::SetUp();
    HostRecorder::idleTimes.clear();
    HostRecorder::onIdle = nullptr;
    engine = std::make_unique<SlicerPlugin>(&HostRecorder::callback);
    ASSERT_TRUE(engine->ready());
    host = std::make_unique<RecordingHost>(engine->engine());
}

void EditorTest::TearDown() {
    destroyEditor();
    host.reset();
    engine.reset();
    HostRecorder::onIdle = nullptr;
    RasterTest::TearDown();
}

void EditorTest::destroyEditor() {
    if (engine != nullptr) {
        engine->setEditor(nullptr);
    }
}

void EditorTest::script(std::initializer_list<ScriptedInput::Step> steps) {
    for (const ScriptedInput::Step& step : steps) {
        input().push(step);
    }
}

}  // namespace tramvek::test
