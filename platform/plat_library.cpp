// Host layer, shared libraries, over the dynamic loader.
#include "platform/plat_library.h"

#include <dlfcn.h>

#include <atomic>

namespace {
std::atomic<void* (*)(const char*)> s_Resolver{nullptr};
// What Plat_LibraryOpen hands out while a resolver stands in for the loader.
char s_StandInHandle;

PlatLibrary* StandInHandle() { return reinterpret_cast<PlatLibrary*>(&s_StandInHandle); }
}  // namespace

PlatLibrary* Plat_LibraryOpen(const char* path) {
    if (s_Resolver.load(std::memory_order_acquire) != nullptr) return StandInHandle();
    if (path == nullptr || path[0] == '\0') return nullptr;
    // Bind everything now so a broken library fails here, not at its first call; keep its
    // symbols to itself so it never binds to names of the program.
    return reinterpret_cast<PlatLibrary*>(dlopen(path, RTLD_NOW | RTLD_LOCAL));
}

void* Plat_LibraryFind(PlatLibrary* library, const char* name) {
    if (library == nullptr || name == nullptr) return nullptr;
    if (library == StandInHandle()) {
        void* (*resolver)(const char*) = s_Resolver.load(std::memory_order_acquire);
        return resolver ? resolver(name) : nullptr;
    }
    return dlsym(reinterpret_cast<void*>(library), name);
}

void Plat_LibraryClose(PlatLibrary* library) {
    if (library == nullptr || library == StandInHandle()) return;
    dlclose(reinterpret_cast<void*>(library));
}

void Plat_SetLibraryStandIn(void* (*resolver)(const char* name)) {
    s_Resolver.store(resolver, std::memory_order_release);
}
