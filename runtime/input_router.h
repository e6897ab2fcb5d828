#pragma once

#include "runtime/controls.h"

#include <memory>
#include <optional>
#include <vector>

namespace jangora {

class Form;

// Routes the mouse and the keyboard to a form's controls.
//
// A press goes to the topmost shown and enabled control under the pointer that takes the mouse,
// which captures every button until all are up: a release goes to it even if its own press
// handler has hidden or disabled it by then, and the left button's release over it, with no
// other button held, is also a click. Each release is matched to its press; one the window
// system lost is delivered late, never as a click.
//
// The keys are one more way in to the same routing: Space or Return on the focused control is
// the left button going down at its centre while the key goes down, and coming up while it
// comes up, so a hidden or disabled control behaves exactly as under the mouse. Tab and
// Shift+Tab move the focus among the controls that take it.
//
// While a box is open, or once the program has ended, nothing reaches a handler.
class InputRouter {
  public:
    explicit InputRouter(Form& form) : form_(form) {}
    // The controls that take the focus, in the keyboard's order; the first has it.
    void setTabOrder(const std::vector<std::unique_ptr<Control>>& controls);

    // Mouse positions are in twips. A press of a button still held first delivers the release
    // that button lost.
    void mouseDown(const MouseEvent& event);
    void mouseUp(const MouseEvent& event);
    // The window system says only `stillDown` are down (or, with none, that the window lost
    // the pointer): every other button held lost its release, delivered now as if it came up
    // at (x, y).
    void releaseLostButtons(MouseButtons stillDown, float x, float y);

    // Another key while one holds the button does nothing; the same key again lost its release
    // on the way, which it first delivers.
    enum class Key { Space, Return, Tab, BackTab };
    void keyDown(Key key);
    void keyUp(Key key);
    // The window lost the keyboard: a key that holds the button came up elsewhere.
    void releaseLostKey();
    [[nodiscard]] const Image* focused() const { return focused_; }
    // The focus is shown once a key has been used: a mouse player sees no mark of it.
    [[nodiscard]] bool showsFocus() const { return showsFocus_; }

    // A press and release of the left button at the control's centre, as a screen reader's
    // action on it.
    void pressAndRelease(const Image& control);
    // The program has ended: nothing is held any more.
    void letGo();

  private:
    [[nodiscard]] Image* imageAt(int x, int y) const;
    void release(const MouseEvent& event, bool seen);
    void moveFocus(bool forward);

    Form& form_;
    Image* captured_ = nullptr; // the control that took the press, until every button is up
    MouseButtons held_ = 0;
    std::vector<Image*> tabOrder_;
    Image* focused_ = nullptr;
    bool showsFocus_ = false;
    std::optional<Key> keyHeld_; // the key whose press holds the left button
    MouseEvent keyPress_;
};

} // namespace jangora
