#pragma once

#include "runtime/qt/form_clock.h"
#include "runtime/qt/form_input.h"
#include "runtime/qt/form_painter.h"
#include "runtime/qt/window_frame.h"

#include <QWidget>

namespace jangora {

class Form;
class FormAccessible;
class Image;
struct Rect;

// The top-level window of a form. Its frame (WindowFrame) lies around the client area, which
// its painter (FormPainter) paints from what the form holds; its input (FormInput) hands the
// form the mouse and the keyboard, and its clock (FormClock) drives the form's timers.
class FormWindow : public QWidget {
  public:
    explicit FormWindow(Form& form);

    [[nodiscard]] Form& form() const { return form_; }
    [[nodiscard]] FormClock& clock() { return clock_; }

    // The form's client area in the window, and a box of it in the window's pixels.
    [[nodiscard]] QRect clientArea() const { return frame_.clientArea(); }
    [[nodiscard]] QRect onScreen(const Rect& twips) const;

    // A press and release at the control's centre: a screen reader's action on it.
    void activate(const Image& control) { input_.activate(control); }

    // Opens the labels' fonts and lays out their captions, while the display server maps the
    // window: that work comes off the first frame.
    void prepareFonts() { painter_.prepare(devicePixelRatio()); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override { input_.mouse(*event); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { input_.mouse(*event); }
    void mouseReleaseEvent(QMouseEvent* event) override { input_.mouse(*event); }
    void mouseMoveEvent(QMouseEvent* event) override { input_.mouse(*event); }
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
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

    Form& form_;
    WindowFrame frame_;
    FormPainter painter_{form_};
    FormClock clock_;
    FormInput input_{*this, form_, clock_, [this] { return clientArea(); }};
};

} // namespace jangora
