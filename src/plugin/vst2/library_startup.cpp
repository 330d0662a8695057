// Stores the library's module handle when the library is loaded.
#include "host/module_instance.h"

#if defined(_WIN32)
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    tramvek::setModuleInstance(instance);
    return TRUE;
}

#else
#include <dlfcn.h>

namespace {

const char addressInsideLibrary = 0;

// The shared object's load address serves as its handle: unique per loaded
// library, and no reference to release.
__attribute__((constructor)) void storeModuleInstance() {
    Dl_info info{};
    if (dladdr(&addressInsideLibrary, &info) != 0) {
        tramvek::setModuleInstance(info.dli_fbase);
    }
}

}  // namespace
#endif
