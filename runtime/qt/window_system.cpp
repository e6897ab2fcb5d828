#include "runtime/qt/window_system.h"

#include <qpa/qplatformnativeinterface.h>
#include <wayland-client.h>

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace jangora {

namespace {

constexpr auto displayAnswerLimit = std::chrono::seconds(10);

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

[[noreturn]] void refuse(const QString& why) {
    std::fprintf(stderr, "jangora: cannot open the game's window: %s.\n", qUtf8Printable(why));
    std::fflush(stderr);
    _exit(2); // from wherever it is found: Qt aborts once a fatal message's handler returns
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
    refuse(why.isEmpty() ? QStringLiteral("no window system answered") : why);
}

// Qt ends the program when the display goes away (its server stopped, the connection broke),
// saying so in its own words: the player hears it in the game's too.
void passOnAndWatchTheDisplay(QtMsgType type, const QMessageLogContext& context,
                              const QString& text) {
    connecting().passOn(type, context, text);
    if (text.startsWith(QLatin1String("The X11 connection broke")) ||
        text.startsWith(QLatin1String("The Wayland connection"))) {
        std::fputs("jangora: the game's display went away: the game ends.\n", stderr);
    }
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
        if (!qEnvironmentVariableIsEmpty("DISPLAY") ||
            !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) { // else the refusal says it
            std::fprintf(stderr,
                         "jangora: WAYLAND_SOCKET (%s) is no connection to a Wayland compositor: "
                         "the game looks for the display where it otherwise would\n",
                         handed.constData());
        }
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
    std::unique_ptr<QApplication> application;
    {
        // A display that takes the connection and never answers would hold the start for ever,
        // with no window and no word.
        const std::jthread watch([](std::stop_token connected) {
            std::mutex mutex;
            std::unique_lock lock(mutex);
            std::condition_variable_any().wait_for(lock, connected, displayAnswerLimit,
                                                   [] { return false; });
            if (!connected.stop_requested()) {
                refuse(QStringLiteral("the display did not answer within %1 seconds")
                           .arg(displayAnswerLimit.count()));
            }
        });
        application = std::make_unique<QApplication>(argc, argv);
    }
    qInstallMessageHandler(passOnAndWatchTheDisplay);
    for (const Connecting::Message& message : connecting().said) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        qt_message_output(message.type, context, message.text);
    }
    connecting().said.clear();
    return application;
}

} // namespace jangora
