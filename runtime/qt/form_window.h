#pragma once

#include "runtime/qt/picture_cache.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace jangora {

class Form;

// The top-level window of a form: paints what the form holds, hands it the mouse, and drives
// its timers from the real clock with one precise timer set for the earliest deadline.
class FormWindow : public QWidget {
  public:
    explicit FormWindow(Form& form);

    [[nodiscard]] Form& form() const { return form_; }

    // Milliseconds since the window's clock started.
    [[nodiscard]] qint64 clock() const { return clock_.elapsed(); }
    void startClock();
    // Sets the precise timer for the form's next deadline (none while a modal box is open).
    void scheduleNextTick();

    // Draws every label's text once off screen, so that Qt has found and opened the fonts; done
    // while the display server maps the window, it takes that work off the first frame.
    void prepareFonts() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void runDueTimers();
    void afterEvent();

    Form& form_;
    PictureCache pictures_;
    QElapsedTimer clock_;
    QTimer ticker_;
};

} // namespace jangora
