#pragma once

#include <QWidget>

class QDialog;

namespace jangora {

class FormWindow;

// A box shown inside its window rather than as a window of its own, where the window draws its
// own title bar (Wayland without server-side decoration: GNOME, weston): such a compositor
// draws no frame for the box either, and puts it wherever it likes. Inside, the box sits over the
// middle of the window, in a frame of the window's own look with the box's title, and the
// keyboard's focus goes round its buttons alone.
class BoxFrame : public QWidget {
  public:
    // The game's window that shows `box` inside it, if it does.
    [[nodiscard]] static FormWindow* holding(const QDialog& box);

    // Shows `box`, a box of `window`, inside it; the frame goes when it does.
    BoxFrame(FormWindow& window, QDialog& box);
    ~BoxFrame() override;
    BoxFrame(const BoxFrame&) = delete;
    BoxFrame& operator=(const BoxFrame&) = delete;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void place();
    void takeFocus();

    FormWindow& window_;
    QDialog& box_;
};

} // namespace jangora
