#include "runtime/qt/display_check.h"

#include <QDir>
#include <QLibraryInfo>

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace jangora {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Opens and closes one connection through libxcb, the library of Qt's own X11 support.
std::optional<std::string> x11Problem() {
    const std::string display = environment("DISPLAY");
    if (display.empty()) {
        return "no display is set (DISPLAY is empty)";
    }
    // Asked for the screen number, libxcb also refuses one the display does not have.
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(display.c_str(), &screen);
    const bool connected = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (!connected) {
        return "cannot connect to the display " + display;
    }
    return std::nullopt;
}

bool waylandInstalled() {
    return !QDir(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"))
                .entryList({QStringLiteral("libqwayland-*.so")})
                .isEmpty();
}

// Connects to the compositor's socket where libwayland looks for it, and hangs up.
std::optional<std::string> waylandProblem() {
    if (!waylandInstalled()) {
        return "Qt's Wayland support is not installed";
    }
    if (!environment("WAYLAND_SOCKET").empty()) {
        return std::nullopt; // a connection the compositor handed over: Qt's to use, not ours
    }
    std::string path = environment("WAYLAND_DISPLAY");
    if (path.empty()) {
        path = "wayland-0";
    }
    if (path.front() != '/') {
        const std::string runtimeFolder = environment("XDG_RUNTIME_DIR");
        if (runtimeFolder.empty()) {
            return "no Wayland display is set (XDG_RUNTIME_DIR is empty)";
        }
        path = runtimeFolder + "/" + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return "the Wayland socket's name is too long: " + path;
    }
    path.copy(address.sun_path, path.size());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool connected =
        socket >= 0 &&
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (socket >= 0) {
        ::close(socket);
    }
    if (!connected) {
        return "cannot connect to the Wayland display " + path;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> displayProblem() {
    // The platforms Qt will try, in its order: the user's choice, else its own default.
    std::vector<std::string> platforms;
    const std::string chosen = environment("QT_QPA_PLATFORM");
    const std::string_view byDefault = waylandInstalled() ? "wayland;xcb" : "xcb";
    for (std::string_view rest = chosen.empty() ? byDefault : chosen; !rest.empty();) {
        const std::string_view entry = rest.substr(0, rest.find(';'));
        rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
        platforms.emplace_back(entry.substr(0, entry.find(':')));
    }
    std::string problems;
    for (const std::string& platform : platforms) {
        std::optional<std::string> problem;
        if (platform == "xcb") {
            problem = x11Problem();
        } else if (platform.starts_with("wayland")) {
            problem = waylandProblem();
        }
        if (!problem) {
            return std::nullopt; // Qt can open its window there, or will report what it cannot
        }
        problems += (problems.empty() ? "" : "; ") + *problem;
    }
    return problems;
}

} // namespace jangora
