#include "runtime/qt/libcups.h"

#include <dlfcn.h>

#include <optional>

namespace jangora {

const Cups* libcups() {
    static const std::optional<Cups> loaded = []() -> std::optional<Cups> {
        void* library = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            return std::nullopt;
        }
        Cups cups;
        bool complete = true;
#define JANGORA_RESOLVE(name)                                                                      \
    cups.name = reinterpret_cast<decltype(cups.name)>(dlsym(library, #name));                      \
    complete = complete && cups.name;
        JANGORA_CUPS_FUNCTIONS(JANGORA_RESOLVE)
#undef JANGORA_RESOLVE
        return complete ? std::optional(cups) : std::nullopt;
    }();
    return loaded ? &*loaded : nullptr;
}

} // namespace jangora
