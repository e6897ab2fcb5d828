#pragma once

#include <QObject>

namespace jangora {

// For the benchmarks: with JANGORA_TRACE set, each press on a window and each frame painted in
// it goes to stderr with its wall-clock time in microseconds ("press T", "paint T x,y,w,h ..."),
// the frame once it has been painted and handed to the window system. It only watches: every
// event goes on as it would untraced.
class FrameTrace : public QObject {
  public:
    using QObject::QObject;

    // Watches the window if JANGORA_TRACE is set.
    static void watchIfAsked(QObject& window);
    // Watches the window.
    static void watch(QObject& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace jangora
