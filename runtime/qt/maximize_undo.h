#pragma once

#include "runtime/qt/x11_events.h"

#include <QObject>
#include <QSize>

#include <cstdint>
#include <optional>

class QWidget;

namespace jangora {

// Keeps a window that has no maximize button from staying maximized: a maximize the window
// manager or compositor carries out anyway (openbox maximizes any resizable window; X11 window
// managers maximize on one axis too, for edge tiling or a middle click, which Qt keeps to
// itself) is undone at once, and the window goes back to its size before it.
class MaximizeUndo : public QObject, public X11Events {
  public:
    explicit MaximizeUndo(QWidget& window);

    // The window painted a frame: a compositor takes the undoing only once it has a frame
    // drawn maximized.
    void framePainted();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void x11Event(const xcb_generic_event_t& event) override;

  private:
    void maximized();
    void unmaximized();
    // The X11 window manager's maximized axes changed: a maximize on one axis only is undone,
    // and the undoing ends once both axes are off.
    void maximizedAxesChanged(std::uint32_t window);

    QWidget& window_;
    QSize restingSize_;               // the size a maximizing is undone to
    std::optional<QSize> sizeToKeep_; // a new size, until it has stood a turn of the loop
    bool unmaximizing_ = false;
    struct Atoms {
        std::uint32_t state = 0;
        std::uint32_t vertical = 0;
        std::uint32_t horizontal = 0;
    };
    std::optional<Atoms> atoms_; // X11's names of the maximized states, once needed
};

} // namespace jangora
