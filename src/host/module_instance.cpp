#include "host/module_instance.h"

#include <atomic>

namespace tramvek {

namespace {

std::atomic<void*> storedModuleInstance{nullptr};

}  // namespace

void* moduleInstance() {
    return storedModuleInstance.load();
}
void setModuleInstance(void* handle) {
    storedModuleInstance.store(handle);
}

}  // namespace tramvek
