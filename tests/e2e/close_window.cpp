// Asks a window to close as a window manager does when its close button is pressed: a
// WM_DELETE_WINDOW message. The tests' X server runs no window manager to do it.
// Usage: close_window WINDOW_ID

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t atomNamed(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: close_window WINDOW_ID\n");
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "close_window: cannot reach the X server\n");
        return 1;
    }
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    message.type = atomNamed(connection, "WM_PROTOCOLS");
    message.data.data32[0] = atomNamed(connection, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    // Checked, so that the server has taken the request before this client hangs up: a server
    // may drop what a client that has gone left unread.
    const xcb_void_cookie_t sent =
        xcb_send_event_checked(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                               reinterpret_cast<const char*>(&message));
    xcb_generic_error_t* error = xcb_request_check(connection, sent);
    const int status = error ? 1 : 0;
    if (error) {
        std::fprintf(stderr, "close_window: the X server refused the request (error %d)\n",
                     error->error_code);
    }
    std::free(error);
    xcb_disconnect(connection);
    return status;
}
