#include <gtest/gtest.h>

#include <memory>

#include "host/test_effect.h"

namespace tramvek::testing {
namespace {

VstIntPtr dispatch(TestEffect& fx, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                   void* ptr = nullptr, float opt = 0.0f) {
    return fx.effect.dispatcher(&fx.effect, opcode, index, value, ptr, opt);
}

// Gives `fx` a new test editor and answers it.
TestEditor& attachEditor(TestEffect& fx, bool* destroyed = nullptr) {
    auto editor = std::make_unique<TestEditor>(&fx, destroyed);
    TestEditor& attached = *editor;
    fx.setEditor(std::move(editor));
    return attached;
}

TEST(EditorBase, EffectOwnsItsEditorAndSaysSoInTheFlags) {
    TestEffect fx;
    fx.setFlagHasVu(true);
    bool replacedDestroyed = false;
    TestEditor& replaced = attachEditor(fx, &replacedDestroyed);
    EXPECT_EQ(fx.getEditor(), &replaced);
    EXPECT_EQ(fx.effect.flags, effFlagsHasEditor | effFlagsHasVu);

    TestEditor& editor = attachEditor(fx);
    EXPECT_TRUE(replacedDestroyed);
    EXPECT_EQ(fx.getEditor(), &editor);

    fx.setEditor(nullptr);
    EXPECT_EQ(fx.getEditor(), nullptr);
    EXPECT_EQ(fx.effect.flags, effFlagsHasVu);
    EXPECT_EQ(dispatch(fx, effEditOpen), 0);
}

TEST(EditorBase, EffectDestroysItsEditor) {
    bool editorDestroyed = false;
    bool effectDestroyed = false;
    {
        TestEffect fx(nullptr, &effectDestroyed);
        attachEditor(fx, &editorDestroyed);
    }
    EXPECT_TRUE(effectDestroyed);
    EXPECT_TRUE(editorDestroyed);
}

TEST(EditorBase, DefaultAnswers) {
    TestEffect fx;
    EditorBase editor(&fx);
    ERect* rect = reinterpret_cast<ERect*>(&fx);
    EXPECT_EQ(editor.getRect(&rect), 0);
    EXPECT_EQ(rect, nullptr);
    int window = 0;
    EXPECT_EQ(editor.open(&window), 0);
    EXPECT_EQ(editor.parentWindow, &window);
    VstKeyCode key{};
    EXPECT_EQ(editor.keyDown(key), -1);
    EXPECT_EQ(editor.keyUp(key), -1);
    EXPECT_EQ(editor.setKnobMode(2), 0);
    EXPECT_FALSE(editor.wheel(1.0f));
}

TEST(EditorBase, IdleRunsOnePostedUpdate) {
    TestEffect fx;
    TestEditor* editor = &attachEditor(fx);
    editor->idle();
    EXPECT_EQ(editor->updateCount, 0);
    editor->postUpdate();
    EXPECT_TRUE(editor->updatePending);
    dispatch(fx, effEditIdle);
    EXPECT_EQ(editor->updateCount, 1);
    EXPECT_FALSE(editor->updatePending);
    dispatch(fx, effEditIdle);
    EXPECT_EQ(editor->updateCount, 1);
}

TEST(EditorDispatch, RectOpenCloseAndKnobModeReachTheEditor) {
    TestEffect fx;
    TestEditor* editor = &attachEditor(fx);
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(fx, effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->bottom, 331);
    EXPECT_EQ(rect->right, 590);
    int window = 0;
    EXPECT_EQ(dispatch(fx, effEditOpen, 0, 0, &window), 1);
    EXPECT_EQ(editor->parentWindow, &window);
    EXPECT_EQ(dispatch(fx, effEditClose), 0);
    EXPECT_EQ(editor->closeCount, 1);
    EXPECT_EQ(dispatch(fx, effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(editor->lastKnobMode, 2);
    EXPECT_EQ(dispatch(fx, effEditGetRect, 0, 0, nullptr), 0);
}

TEST(EditorDispatch, KeyCodesAreBuiltFromTheRequest) {
    TestEffect fx;
    TestEditor* editor = &attachEditor(fx);
    EXPECT_EQ(dispatch(fx, effEditKeyDown, 'q', 0x1234, nullptr, 3.9f), 7);
    EXPECT_EQ(editor->lastKey.character, 'q');
    EXPECT_EQ(editor->lastKey.virt, 0x34);   // cut to 8 bits
    EXPECT_EQ(editor->lastKey.modifier, 3);  // truncated
    EXPECT_EQ(dispatch(fx, effEditKeyUp, -5, 0, nullptr, 258.0f), 8);
    EXPECT_EQ(editor->lastKey.character, -5);
    EXPECT_EQ(editor->lastKey.modifier, 2);
    // A modifier no integer can hold must not be undefined behaviour.
    EXPECT_EQ(dispatch(fx, effEditKeyUp, 0, 0, nullptr, 1e30f), 8);
    EXPECT_EQ(dispatch(fx, effEditKeyUp, 0, 0, nullptr, std::numeric_limits<float>::quiet_NaN()), 8);
    EXPECT_EQ(editor->lastKey.modifier, 0);
}

}  // namespace
}  // namespace tramvek::testing
