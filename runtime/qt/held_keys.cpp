#include "runtime/qt/held_keys.h"

#include "runtime/qt/window_system.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>
// The XKB header names a member `explicit`, which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace jangora {

namespace {

// A key by its scan code, as the window system and a screen reader's copies of its events
// tell it; a key event made up by a program may have none, and then its Qt key stands for it.
std::uint64_t keyOf(const QKeyEvent& event) {
    return event.nativeScanCode() != 0
               ? event.nativeScanCode()
               : (std::uint64_t{1} << 32 | static_cast<quint32>(event.key()));
}

} // namespace

void HeldKeys::repeatByPressesAlone() {
    if (xcb_connection_t* connection = x11Connection()) {
        // Asked, not waited for: the server takes it before any key it sends after.
        constexpr std::uint32_t detectable = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
        xcb_discard_reply(connection, xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD,
                                                               detectable, detectable, 0, 0, 0)
                                          .sequence);
        xcb_flush(connection);
    }
}

HeldKeys::HeldKeys(const QWidget& window) : window_(window) {
    keyboardTaken();
}

HeldKeys::Stroke HeldKeys::note(const QKeyEvent& event) {
    const std::uint64_t key = keyOf(event);
    if (event.type() == QEvent::KeyRelease) {
        if (!event.isAutoRepeat()) {
            held_.erase(key);
        }
        return event.isAutoRepeat() ? Stroke::Repeat : Stroke::Release;
    }
    const bool fresh = held_.insert(key).second;
    return fresh && !event.isAutoRepeat() ? Stroke::Press : Stroke::Repeat;
}

bool HeldKeys::holds(const QKeyEvent& event) const {
    return held_.contains(keyOf(event));
}

void HeldKeys::keyboardTaken() {
    held_.clear();
    xcb_connection_t* connection = x11Connection();
    if (!connection) {
        return;
    }
    const auto keymap =
        xReply(xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr));
    if (!keymap) {
        return;
    }
    for (int code = 0; code < 256; ++code) {
        if (keymap->keys[code / 8] & (1 << (code % 8))) {
            held_.insert(static_cast<std::uint64_t>(code));
        }
    }
}

// Qt tells a window that took the keyboard only once it has kept it a moment, and not at all
// after a short grab: the X server's own word is taken.
void HeldKeys::x11Event(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7F) != XCB_FOCUS_IN) {
        return;
    }
    const auto& focus = reinterpret_cast<const xcb_focus_in_event_t&>(event);
    const QWindow* window = window_.windowHandle();
    if (window && focus.event == window->winId() && focus.detail != XCB_NOTIFY_DETAIL_POINTER) {
        keyboardTaken();
    }
}

} // namespace jangora
