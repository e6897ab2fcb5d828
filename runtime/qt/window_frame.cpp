#include "runtime/qt/window_frame.h"

#include "runtime/qt/window_system.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace jangora {

namespace {

Qt::CursorShape cursorFor(TitleBar::Part part, Qt::Edges edges) {
    if (part != TitleBar::Part::Resize) {
        return Qt::ArrowCursor;
    }
    if (edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge)) {
        return Qt::SizeFDiagCursor;
    }
    if (edges == (Qt::TopEdge | Qt::RightEdge) || edges == (Qt::BottomEdge | Qt::LeftEdge)) {
        return Qt::SizeBDiagCursor;
    }
    return edges & (Qt::LeftEdge | Qt::RightEdge) ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

template <class Reply> using XReply = std::unique_ptr<Reply, decltype(&std::free)>;

} // namespace

WindowFrame::WindowFrame(QWidget& window, QSize client, bool drawsTitleBar)
    : window_(window), drawsTitleBar_(drawsTitleBar) {
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint |
                          (drawsTitleBar_ ? Qt::FramelessWindowHint : Qt::Widget));
    window.setMouseTracking(drawsTitleBar_); // the border's cursors
    restingSize_ = drawsTitleBar_ ? client.grownBy(TitleBar::margins) : client;
    window.resize(restingSize_);
    window.installEventFilter(this);
    if (x11Connection()) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
}

WindowFrame::~WindowFrame() {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->removeNativeEventFilter(this);
    }
}

QRect WindowFrame::clientArea() const {
    return drawsTitleBar_ ? window_.rect().marginsRemoved(TitleBar::margins) : window_.rect();
}

bool WindowFrame::eventFilter(QObject* watched, QEvent* event) {
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
        return false;
    case QEvent::Paint:
        if (drawsTitleBar_) {
            QPainter painter(&window_);
            painter.setClipRegion(dynamic_cast<const QPaintEvent&>(*event).region());
            TitleBar::paint(painter, window_);
        }
        if (!iconRenditions_.isEmpty()) {
            QTimer::singleShot(0, this, [this, folder = std::exchange(iconRenditions_, {})] {
                QIcon icon = window_.windowIcon();
                for (const QString& file : QDir(folder).entryList(QDir::Files)) {
                    icon.addFile(folder + QLatin1Char('/') + file);
                }
                window_.setWindowIcon(icon);
            });
        }
        if (unmaximizing_ && (window_.windowState() & Qt::WindowMaximized)) {
            // Once this frame, which a compositor waits for, has gone to the window system.
            QTimer::singleShot(0, this, [this] {
                window_.setWindowState(window_.windowState() & ~Qt::WindowMaximized);
            });
        }
        return false;
    case QEvent::WindowStateChange:
        if (window_.windowState() & Qt::WindowMaximized) {
            maximized();
        }
        return false;
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
        return false;
    default: {
        const auto* mouse = dynamic_cast<const QMouseEvent*>(event);
        return mouse && drawsTitleBar_ && titleBarTakes(*mouse);
    }
    }
}

void WindowFrame::maximized() {
    unmaximizing_ = true;
    sizeToKeep_.reset();
    window_.update(); // the undoing waits for a frame drawn maximized
}

void WindowFrame::unmaximized() {
    unmaximizing_ = false;
    window_.resize(restingSize_);
}

// The first button to go down says where every button goes until all are up: to the form, or
// to the title bar, whose bar moves the window, its border resizes it, and its two buttons
// minimize and close it when clicked. A double click on it is a press like any other.
bool WindowFrame::titleBarTakes(const QMouseEvent& event) {
    Qt::Edges edges;
    const TitleBar::Part part =
        TitleBar::partAt(window_.size(), event.position().toPoint(), &edges);
    const bool firstDown = event.type() != QEvent::MouseButtonRelease &&
                           event.type() != QEvent::MouseMove && event.buttons() == event.button();
    if (firstDown) {
        pressed_ = part;
        if (part == TitleBar::Part::Move && event.button() == Qt::LeftButton) {
            window_.windowHandle()->startSystemMove();
        } else if (part == TitleBar::Part::Resize && event.button() == Qt::LeftButton) {
            window_.windowHandle()->startSystemResize(edges);
        }
    }
    if (event.buttons() == Qt::NoButton) {
        window_.setCursor(cursorFor(part, edges));
    }
    const TitleBar::Part held = pressed_;
    if (event.type() == QEvent::MouseButtonRelease && event.buttons() == Qt::NoButton) {
        pressed_ = TitleBar::Part::Client;
        if (event.button() == Qt::LeftButton && part == held) {
            if (part == TitleBar::Part::Minimize) {
                window_.showMinimized();
            } else if (part == TitleBar::Part::Close) {
                window_.close();
            }
        }
    }
    return held != TitleBar::Part::Client ||
           (event.type() == QEvent::MouseMove && event.buttons() == Qt::NoButton &&
            part != TitleBar::Part::Client);
}

// X11 window managers maximize on one axis too (edge tiling, a middle click on the maximize
// button), which Qt keeps to itself: the window's state is read where it changes.
bool WindowFrame::nativeEventFilter(const QByteArray& type, void* message, qintptr* /*result*/) {
    if (type != "xcb_generic_event_t" || !window_.windowHandle()) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) {
        return false;
    }
    const auto* changed = static_cast<const xcb_property_notify_event_t*>(message);
    if (changed->window != window_.windowHandle()->winId()) {
        return false;
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
            const XReply<xcb_intern_atom_reply_t> reply(
                xcb_intern_atom_reply(connection, cookies[i], nullptr), &std::free);
            atoms[i] = reply ? reply->atom : 0;
        }
        atoms_ = Atoms{atoms[0], atoms[1], atoms[2]};
    }
    if (changed->atom == atoms_->state) {
        maximizedAxesChanged(changed->window);
    }
    return false;
}

void WindowFrame::maximizedAxesChanged(std::uint32_t window) {
    xcb_connection_t* connection = x11Connection();
    const XReply<xcb_get_property_reply_t> state(
        xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, window, atoms_->state, XCB_ATOM_ATOM, 0, 32), nullptr),
        &std::free);
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
    const XReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr),
        &std::free);
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
