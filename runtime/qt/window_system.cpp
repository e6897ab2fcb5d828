#include "runtime/qt/window_system.h"

#include <qpa/qplatformnativeinterface.h>
#include <wayland-client.h>

#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace jangora {

namespace {

// What Qt says while it connects: held back, since it is the reason if no window can be opened,
// and passed on once one can.
struct Connecting {
    struct Message {
        QtMsgType type;
        std::string category;
        QString text;
    };
    QtMessageHandler passOn = nullptr;
    std::vector<Message> said;
};

Connecting& connecting() {
    static Connecting state;
    return state;
}

void holdBackOrRefuse(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    Connecting& state = connecting();
    if (type != QtFatalMsg) {
        state.said.push_back({type, context.category ? context.category : "", text});
        return;
    }
    // No platform could be started. Its own messages say why; the list of plugins tried does not.
    QString why;
    for (const Connecting::Message& message : state.said) {
        if (message.category != "qt.qpa.plugin") {
            why += (why.isEmpty() ? "" : "; ") + message.text.trimmed();
        }
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_SOCKET")) {
        why = QStringLiteral("no display is set (DISPLAY and WAYLAND_DISPLAY are empty)");
    }
    std::fprintf(stderr, "jangora: cannot open the game's window: %s.\n",
                 why.isEmpty() ? "no window system answered" : qUtf8Printable(why));
    std::fflush(stderr);
    _exit(2); // Qt aborts once this handler returns
}

// A Wayland connection handed over in WAYLAND_SOCKET must be a connected Unix stream socket;
// anything else is forgotten, and Qt looks for the compositor where it otherwise would.
void forgetBrokenWaylandSocket() {
    const QByteArray handed = qgetenv("WAYLAND_SOCKET");
    if (handed.isEmpty()) {
        return;
    }
    bool number = false;
    const int fd = handed.toInt(&number);
    int type = 0;
    socklen_t size = sizeof type;
    char peek = 0;
    const bool connection =
        number && getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &size) == 0 && type == SOCK_STREAM &&
        recv(fd, &peek, 1, MSG_PEEK | MSG_DONTWAIT) != 0; // 0: the other end hung up
    if (!connection) {
        qunsetenv("WAYLAND_SOCKET");
    }
}

// Whether the Wayland compositor offers server-side decoration: asked of its registry on a queue
// of our own, so Qt's events stay Qt's.
bool compositorDecorates() {
    auto* display = static_cast<wl_display*>(
        QGuiApplication::platformNativeInterface()->nativeResourceForIntegration("wl_display"));
    if (!display) {
        return false;
    }
    wl_event_queue* queue = wl_display_create_queue(display);
    auto* ours = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(ours), queue);
    wl_registry* registry = wl_display_get_registry(ours);
    bool decorates = false;
    static const wl_registry_listener listener{
        [](void* found, wl_registry*, std::uint32_t, const char* interface, std::uint32_t) {
            if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0) {
                *static_cast<bool*>(found) = true;
            }
        },
        [](void*, wl_registry*, std::uint32_t) {}};
    wl_registry_add_listener(registry, &listener, &decorates);
    wl_display_roundtrip_queue(display, queue);
    wl_registry_destroy(registry);
    wl_proxy_wrapper_destroy(ours);
    wl_event_queue_destroy(queue);
    return decorates;
}

} // namespace

bool titleBarsLeftToWindows() {
    static const bool leftToWindows =
        QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
        !compositorDecorates();
    return leftToWindows;
}

xcb_connection_t* x11Connection() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

std::unique_ptr<QApplication> openWindowSystem(int& argc, char** argv) {
    forgetBrokenWaylandSocket();
    connecting().passOn = qInstallMessageHandler(holdBackOrRefuse);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(connecting().passOn);
    for (const Connecting::Message& message : connecting().said) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        qt_message_output(message.type, context, message.text);
    }
    connecting().said.clear();
    return application;
}

} // namespace jangora
