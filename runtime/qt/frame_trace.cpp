#include "runtime/qt/frame_trace.h"

#include <QPaintEvent>

#include <chrono>
#include <cstdio>
#include <string>

namespace jangora {

namespace {

void stamp(const char* what, const QRegion& region = {}) {
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    std::string line = what + (" " + std::to_string(now.count()));
    for (const QRect& rect : region) {
        line += " " + std::to_string(rect.x()) + "," + std::to_string(rect.y()) + "," +
                std::to_string(rect.width()) + "," + std::to_string(rect.height());
    }
    line += '\n';
    std::fputs(line.c_str(), stderr);
}

} // namespace

void FrameTrace::watchIfAsked(QObject& window) {
    if (qEnvironmentVariableIsSet("JANGORA_TRACE")) {
        watch(window);
    }
}

void FrameTrace::watch(QObject& window) {
    window.installEventFilter(new FrameTrace(&window)); // goes with the window
}

bool FrameTrace::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        stamp("press");
    } else if (const auto* paint = dynamic_cast<const QPaintEvent*>(event)) {
        // The frame is painted, and handed to the window system, before the event loop turns.
        QMetaObject::invokeMethod(
            this, [region = paint->region()] { stamp("paint", region); }, Qt::QueuedConnection);
    }
    return false;
}

} // namespace jangora
