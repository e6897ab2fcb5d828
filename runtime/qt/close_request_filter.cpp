#include "runtime/qt/close_request_filter.h"

#include <QApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace jangora {

namespace {

std::uint32_t atomNamed(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : std::uint32_t{XCB_ATOM_NONE};
}

} // namespace

CloseRequestFilter::CloseRequestFilter(QWidget& window) : window_(window) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) {
        return;
    }
    protocols_ = atomNamed(x11->connection(), "WM_PROTOCOLS");
    deleteWindow_ = atomNamed(x11->connection(), "WM_DELETE_WINDOW");
    QCoreApplication::instance()->installNativeEventFilter(this);
    installed_ = true;
}

CloseRequestFilter::~CloseRequestFilter() {
    if (installed_) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool CloseRequestFilter::nativeEventFilter(const QByteArray& eventType, void* message,
                                           qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t" ||
        (static_cast<const xcb_generic_event_t*>(message)->response_type & 0x7F) !=
            XCB_CLIENT_MESSAGE) {
        return false;
    }
    const auto* request = static_cast<const xcb_client_message_event_t*>(message);
    if (request->format != 32 || request->type != protocols_ ||
        request->data.data32[0] != deleteWindow_ || request->window != window_.winId() ||
        !QApplication::activeModalWidget()) {
        return false; // not ours, or one Qt handles itself
    }
    window_.close();
    return true;
}

} // namespace jangora
