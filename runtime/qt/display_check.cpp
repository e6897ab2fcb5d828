#include "runtime/qt/display_check.h"

#include <cstdlib>
#include <dlfcn.h>
#include <string_view>

namespace jangora {

namespace {

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Opens and closes one X connection through libxcb, the library Qt's own X11 support uses.
std::optional<std::string> x11Problem() {
    const std::string display(environment("DISPLAY"));
    if (display.empty()) {
        return "no display is set (DISPLAY is empty)";
    }
    void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!xcb) {
        return "the X11 client library libxcb.so.1 is not installed";
    }
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    std::optional<std::string> problem;
    if (!connect || !hasError || !disconnect) {
        problem = "the X11 client library libxcb.so.1 is not usable";
    } else {
        void* connection = connect(display.c_str(), nullptr);
        if (hasError(connection) != 0) {
            problem = "cannot connect to the display " + display;
        }
        disconnect(connection);
    }
    dlclose(xcb);
    return problem;
}

} // namespace

std::optional<std::string> displayProblem() {
    const std::string_view platform = environment("QT_QPA_PLATFORM");
    if (!platform.empty() && !platform.starts_with("xcb")) {
        return std::nullopt; // another platform plugin reports its own problems
    }
    return x11Problem();
}

} // namespace jangora
