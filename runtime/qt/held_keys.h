#pragma once

#include "runtime/qt/x11_events.h"

#include <cstdint>
#include <set>

class QKeyEvent;
class QWidget;

namespace jangora {

// The keys held down while a window of the game has the keyboard, so that a key held plays
// once: a press of a key already held is a repeat of it, whatever Qt says of it.
//
// An X server repeats a held key as a release and a press of the same time, which Qt takes for
// a new press whenever the two reach it apart; asked (XKB's detectable auto-repeat), it repeats
// by presses alone. A key may also go down or come up while another window, or a program that
// grabbed the keyboard, has it: each time the window takes the keyboard, the X server is asked
// which keys are held then. On Wayland a key that went down elsewhere is not repeated into the
// window, so none is held when it takes the keyboard.
class HeldKeys : public X11Events {
  public:
    // Asks the X server, if the program runs on one, to repeat held keys by presses alone.
    static void repeatByPressesAlone();

    // The keys held in `window`, from now on.
    explicit HeldKeys(const QWidget& window);

    enum class Stroke { Press, Repeat, Release };
    // Notes a key press or release that reached the window, and says what it is: a press of a
    // key that was not held, a repeat (a press of a key held, or an event Qt calls a repeat),
    // or a release.
    Stroke note(const QKeyEvent& event);
    // Whether the key of an event is held now.
    [[nodiscard]] bool holds(const QKeyEvent& event) const;
    // The window took the keyboard: the keys held are read anew.
    void keyboardTaken();

  protected:
    void x11Event(const xcb_generic_event_t& event) override;

  private:
    const QWidget& window_;
    std::set<std::uint64_t> held_;
};

} // namespace jangora
