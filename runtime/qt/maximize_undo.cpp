#include "runtime/qt/maximize_undo.h"

#include "runtime/qt/window_system.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstring>

namespace jangora {

MaximizeUndo::MaximizeUndo(QWidget& window) : window_(window) {
    window.installEventFilter(this);
}

void MaximizeUndo::framePainted() {
    if (unmaximizing_ && (window_.windowState() & Qt::WindowMaximized)) {
        // Once this frame, which a compositor waits for, has gone to the window system.
        QTimer::singleShot(0, this, [this] {
            window_.setWindowState(window_.windowState() & ~Qt::WindowMaximized);
        });
    }
}

bool MaximizeUndo::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_) { // the window's QWindow: the window system's word on its state
        if (event->type() == QEvent::WindowStateChange && unmaximizing_ &&
            !(window_.windowState() & Qt::WindowMaximized)) {
            unmaximized();
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::Show:
        window_.windowHandle()->installEventFilter(this); // Qt keeps one entry per filter
        break;
    case QEvent::WindowStateChange:
        if (window_.windowState() & Qt::WindowMaximized) {
            maximized();
        }
        break;
    case QEvent::Resize:
        // Some platforms resize before they say the window is maximized: the size to go back
        // to is the last one that stood until the next turn of the event loop.
        if (!unmaximizing_) {
            sizeToKeep_ = window_.size();
            QTimer::singleShot(0, this, [this] {
                if (sizeToKeep_) {
                    restingSize_ = *sizeToKeep_;
                    sizeToKeep_.reset();
                }
            });
        }
        break;
    default:
        break;
    }
    return false;
}

void MaximizeUndo::maximized() {
    unmaximizing_ = true;
    sizeToKeep_.reset();
    window_.update(); // the undoing waits for a frame drawn maximized
}

void MaximizeUndo::unmaximized() {
    unmaximizing_ = false;
    window_.resize(restingSize_);
}

// X11 window managers maximize on one axis too (edge tiling, a middle click on the maximize
// button), which Qt keeps to itself: the window's state is read where it changes.
void MaximizeUndo::x11Event(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7F) != XCB_PROPERTY_NOTIFY || !window_.windowHandle()) {
        return;
    }
    const auto& changed = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    if (changed.window != window_.windowHandle()->winId()) {
        return;
    }
    if (!atoms_) {
        xcb_connection_t* connection = x11Connection();
        const auto intern = [connection](const char* name) {
            return xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)),
                                   name);
        };
        const xcb_intern_atom_cookie_t cookies[] = {intern("_NET_WM_STATE"),
                                                    intern("_NET_WM_STATE_MAXIMIZED_VERT"),
                                                    intern("_NET_WM_STATE_MAXIMIZED_HORZ")};
        std::uint32_t atoms[3] = {};
        for (int i = 0; i < 3; ++i) {
            const auto reply = xReply(xcb_intern_atom_reply(connection, cookies[i], nullptr));
            atoms[i] = reply ? reply->atom : 0;
        }
        atoms_ = Atoms{atoms[0], atoms[1], atoms[2]};
    }
    if (changed.atom == atoms_->state) {
        maximizedAxesChanged(changed.window);
    }
}

void MaximizeUndo::maximizedAxesChanged(std::uint32_t window) {
    xcb_connection_t* connection = x11Connection();
    const auto state = xReply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, atoms_->state, XCB_ATOM_ATOM, 0, 32),
        nullptr));
    if (!state) {
        return;
    }
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(state.get()));
    const int count = xcb_get_property_value_length(state.get()) / 4;
    bool vertical = false;
    bool horizontal = false;
    for (int i = 0; i < count; ++i) {
        vertical = vertical || values[i] == atoms_->vertical;
        horizontal = horizontal || values[i] == atoms_->horizontal;
    }
    if (vertical && horizontal) { // Qt's maximized, seen through its window state
        return;
    }
    if (!vertical && !horizontal) {
        if (unmaximizing_ && !(window_.windowState() & Qt::WindowMaximized)) {
            unmaximized();
        }
        return;
    }
    const auto geometry =
        xReply(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    if (!geometry) {
        return;
    }
    // As EWMH window managers expect: a message to the root window, from a normal
    // application, to remove both states.
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = window;
    request.type = atoms_->state;
    request.data.data32[0] = 0; // remove
    request.data.data32[1] = atoms_->vertical;
    request.data.data32[2] = atoms_->horizontal;
    request.data.data32[3] = 1;
    xcb_send_event(connection, 0, geometry->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(connection);
    // Until the window manager has taken both states off, its sizes are not the player's.
    unmaximizing_ = true;
    sizeToKeep_.reset();
}

} // namespace jangora
