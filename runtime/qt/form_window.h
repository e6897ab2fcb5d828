#pragma once

#include "runtime/qt/form_clock.h"
#include "runtime/qt/picture_cache.h"
#include "runtime/qt/window_frame.h"

#include <QKeyEvent>
#include <QWidget>

#include <optional>

namespace jangora {

class Form;
class FormAccessible;
class Image;
struct Rect;

// A box of the client area, from twips to logical pixels.
[[nodiscard]] QRectF toPixels(const Rect& twips);

// The top-level window of a form: paints what the form holds, hands it the mouse and the
// keyboard, and drives its timers from the real clock with one alarm set for the earliest
// deadline. Its frame (WindowFrame) lies around the client area.
class FormWindow : public QWidget {
  public:
    explicit FormWindow(Form& form);

    [[nodiscard]] Form& form() const { return form_; }

    // The form's client area in the window, and a box of it in the window's pixels.
    [[nodiscard]] QRect clientArea() const;
    [[nodiscard]] QRect onScreen(const Rect& twips) const;

    // A press and release at the control's centre: a screen reader's action on it.
    void activate(const Image& control);

    void startClock();
    // Sets the alarm for the form's next deadline (none while a modal box is open, or while
    // every timer rests).
    void scheduleNextTick();

    // Draws every label's text once off screen, so that Qt has found and opened the fonts; done
    // while the display server maps the window, it takes that work off the first frame.
    void prepareFonts() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override { keyEvent(*event); }
    void keyReleaseEvent(QKeyEvent* event) override { keyEvent(*event); }
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // What assistive technology sees of the window, while one looks.
    [[nodiscard]] FormAccessible* accessible();
    void runDueTimers();
    // Runs a delivery of input to the form at the present time, then sets the timer anew.
    template <class Delivery> void deliver(const Delivery& delivery);
    void afterEvent();
    void releaseEveryButton();
    void keyEvent(QKeyEvent& event);

    Form& form_;
    WindowFrame frame_;
    PictureCache pictures_;
    FormClock clock_{[this] { runDueTimers(); }};
};

} // namespace jangora
