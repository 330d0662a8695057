// The loaded library's module handle, stored when the library is loaded: the
// HINSTANCE on Windows, the load address of the shared object elsewhere.
// The toolkit names its window class and loads its pictures from it.
#pragma once

namespace tramvek {

void* moduleInstance();
void setModuleInstance(void* handle);

}  // namespace tramvek
