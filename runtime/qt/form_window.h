#pragma once

#include "runtime/qt/form_clock.h"
#include "runtime/qt/form_input.h"
#include "runtime/qt/form_painter.h"
#include "runtime/qt/maximize_undo.h"
#include "runtime/qt/title_bar.h"
#include "runtime/qt/window_system.h"

#include <QWidget>

#include <functional>
#include <optional>

namespace jangora {

class Control;
class Form;
class Image;
struct Rect;

// The top-level window of a form. Its client area is painted by its painter (FormPainter) from
// what the form holds; its input (FormInput) hands the form the mouse and the keyboard, and its
// clock (FormClock) drives the form's timers. Where the desktop leaves it the job, it draws its
// own title bar (TitleBar) around the client area. It cannot be maximized (MaximizeUndo).
class FormWindow : public QWidget {
  public:
    explicit FormWindow(Form& form, bool drawsTitleBar = titleBarsLeftToWindows());

    [[nodiscard]] Form& form() const { return form_; }
    [[nodiscard]] FormClock& clock() { return clock_; }

    // Whether the window draws its own title bar (the desktop draws none) around its client area.
    [[nodiscard]] bool drawsTitleBar() const { return titleBar_.has_value(); }
    // The form's client area in the window, and a box of it in the window's pixels.
    [[nodiscard]] QRect clientArea() const;
    [[nodiscard]] QRect onScreen(const Rect& twips) const;

    // A press and release at the control's centre: a screen reader's action on it.
    void activate(const Image& control) { input_.activate(control); }

    // Opens the labels' fonts and lays out their captions, while the display server maps the
    // window: that work comes off the first frame.
    void prepareFonts() { painter_.prepare(devicePixelRatio()); }

    // What assistive technology watches of the window: a control that shows something new, and
    // the window's taking the keyboard. One watcher, for as long as the window lives.
    struct Watcher {
        std::function<void(const Control&)> redisplayed;
        std::function<void()> keyboardTaken;
    };
    void setWatcher(Watcher watcher) { watcher_ = std::move(watcher); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override { mouse(*event); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { mouse(*event); }
    void mouseReleaseEvent(QMouseEvent* event) override { mouse(*event); }
    void mouseMoveEvent(QMouseEvent* event) override { mouse(*event); }
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
    // To the title bar, where the window draws one and the mouse is on it, else to the form.
    void mouse(const QMouseEvent& event);
    void keepSizeOnNewScreen();
    // Whether a watcher is there to tell, made first if a screen reader listens.
    [[nodiscard]] bool reachWatcher();

    Form& form_;
    std::optional<TitleBar> titleBar_;
    MaximizeUndo maximizeUndo_{*this};
    QString iconRenditions_; // a folder of the window icon's larger renditions, until added
    FormPainter painter_{form_};
    FormClock clock_;
    FormInput input_{*this, form_, clock_, [this] { return clientArea(); }};
    Watcher watcher_;
};

} // namespace jangora
