// The plug-in's own editor: one instance that cannot make it fails alone.
#include <gtest/gtest.h>

#include <cstddef>
#include <new>

#include "editor/editor_test_support.h"
#include "plugin/vst2/slicer_plugin.h"
#include "plugin/vst2/vst2_editor.h"

namespace {

// The size of the next nothrow allocation to refuse; 0 refuses none.
std::size_t refusedSize = 0;

}  // namespace

// Every nothrow allocation of this program comes here, so a test can refuse one.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (refusedSize != 0 && size == refusedSize) {
        refusedSize = 0;
        return nullptr;
    }
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

namespace tramvek::test {
namespace {

TEST_F(EditorTest, PluginWithoutItsEditorFailsAloneAndTheNextInstanceHasOne) {
    refusedSize = sizeof(Vst2Editor);
    SlicerPlugin failed(&HostRecorder::callback);
    ASSERT_EQ(refusedSize, 0u);  // the editor's allocation was the one refused
    EXPECT_FALSE(failed.ready());
    EXPECT_EQ(failed.editor.get(), nullptr);
    EXPECT_EQ(failed.effect.flags & effFlagsHasEditor, 0);

    SlicerPlugin next(&HostRecorder::callback);
    EXPECT_TRUE(next.ready());
    EXPECT_NE(next.editor.get(), nullptr);
    EXPECT_NE(next.effect.flags & effFlagsHasEditor, 0);
}

}  // namespace
}  // namespace tramvek::test
