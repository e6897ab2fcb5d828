#pragma once

#include "runtime/qt/held_keys.h"

#include <QPoint>
#include <QRect>

#include <functional>

class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class QWidget;

namespace jangora {

class Form;
class FormClock;
class Image;

// Turns what Qt tells a form's window of the mouse and the keyboard into the form's input, each
// delivered at the present time of the form's clock: positions in twips of the client area,
// Qt's button bits as they are (left, right and middle first, then back, forward and the extra
// buttons, one bit each, as the form numbers them), Space, Return, Tab and Shift+Tab as the
// form's keys and their repeats as nothing (HeldKeys). With every mouse event Qt says which buttons
// are down, and a button the form believes held that is not among them lost its release on the
// way; so has a button held when the pointer leaves or the window is unmapped, and a key held
// when the window loses the keyboard.
class FormInput {
  public:
    // `clientArea` says where the form's client area lies in the window.
    FormInput(QWidget& window, Form& form, FormClock& clock, std::function<QRect()> clientArea);

    void mouse(const QMouseEvent& event);
    // Whether the key is the form's: other keys are left to the window system.
    bool key(const QKeyEvent& event);
    void keyboardLost();
    void keyboardTaken() { heldKeys_.keyboardTaken(); }
    void pointerLost();
    // A press and release at the control's centre, as a screen reader's action on it: queued,
    // since the reader waits for the action's answer, and a box the action opens would keep
    // it waiting until the box is closed.
    void activate(const Image& control);

  private:
    [[nodiscard]] QPointF inTwips(QPointF windowPoint) const;

    QWidget& window_;
    Form& form_;
    FormClock& clock_;
    std::function<QRect()> clientArea_;
    HeldKeys heldKeys_{window_};
};

} // namespace jangora
