#include "runtime/qt/x11_events.h"

#include "runtime/qt/window_system.h"

#include <QCoreApplication>

#include <xcb/xcb.h>

namespace jangora {

X11Events::X11Events() {
    if (x11Connection()) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
}

X11Events::~X11Events() {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->removeNativeEventFilter(this);
    }
}

// Every event goes on to Qt: the parts only read them.
bool X11Events::nativeEventFilter(const QByteArray& type, void* message, qintptr* /*result*/) {
    if (type == "xcb_generic_event_t") {
        x11Event(*static_cast<const xcb_generic_event_t*>(message));
    }
    return false;
}

} // namespace jangora
