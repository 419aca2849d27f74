// Finds the program's embedded resources through the finder the program exports, so the same
// call works from the program and from a library it has loaded.
#include "platform/plat_resources.h"

#include <dlfcn.h>

const uint8_t* Plat_FindResource(const char* type, uint32_t id, uint32_t* size) {
    if (size != nullptr) *size = 0;
    if (type == nullptr || size == nullptr) return nullptr;
    // The executable's dynamic symbols come first in the global scope, whoever asks.
    void* symbol = dlsym(RTLD_DEFAULT, kResourceExportName);
    if (symbol == nullptr) return nullptr;
    ResourceFinder finder = reinterpret_cast<ResourceFinder>(symbol);
    const uint8_t* bytes = finder(type, id, size);
    if (bytes == nullptr) *size = 0;
    return bytes;
}
