#pragma once

#include <QWidget>

class QDialog;

namespace jangora {

// A box shown inside its window rather than as a window of its own, where the window draws its
// own frame (Wayland without server-side decoration: GNOME, weston): such a compositor draws
// no frame for the box either, and puts it wherever it likes. Inside, the box sits over the
// middle of the window, in a frame of the window's own look with the box's title, and the
// keyboard's focus goes round its buttons alone.
class BoxFrame : public QWidget {
  public:
    // Whether boxes of `window` are shown inside it.
    [[nodiscard]] static bool holdsBoxes(const QWidget* window);

    // Shows `box`, a box of `window`, inside it; the frame goes when it does.
    BoxFrame(QWidget& window, QDialog& box);
    ~BoxFrame() override;
    BoxFrame(const BoxFrame&) = delete;
    BoxFrame& operator=(const BoxFrame&) = delete;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void place();
    void takeFocus();

    QWidget& window_;
    QDialog& box_;
};

} // namespace jangora
