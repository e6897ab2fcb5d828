#pragma once

#include "runtime/qt/title_bar.h"
#include "runtime/qt/window_system.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

class QMouseEvent;
class QWidget;

namespace jangora {

// The frame of the game's window. Where the compositor draws no title bar (Wayland without
// server-side decoration: GNOME, weston) the window draws its own, with a border to resize it
// by; everywhere else the window system's title bar is the only one. Either way the window is
// never left maximized: a maximize the window manager or compositor carries out anyway, on
// both axes or on one, is undone at once and the window goes back to its size before it.
class WindowFrame : public QObject, public QAbstractNativeEventFilter {
  public:
    // Frames `window` around a client area of `client` pixels; it watches the window's events.
    WindowFrame(QWidget& window, QSize client, bool drawsTitleBar = titleBarsLeftToWindows());
    ~WindowFrame() override;
    WindowFrame(const WindowFrame&) = delete;
    WindowFrame& operator=(const WindowFrame&) = delete;

    [[nodiscard]] bool drawsTitleBar() const { return drawsTitleBar_; }
    // Adds the window icon's larger renditions, the PNG files of a folder, once the first frame
    // is up: a task bar or a window switcher shows the icon larger than its own 16 pixels, and
    // decoding them would hold the first frame up.
    void addIconRenditions(const QString& folder) { iconRenditions_ = folder; }
    // Where the client area lies in the window, in its pixels.
    [[nodiscard]] QRect clientArea() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

  private:
    // The title bar's share of a mouse event; true when it took the event.
    bool titleBarTakes(const QMouseEvent& event);
    void maximized();
    void unmaximized();
    // The X11 window manager's maximized axes changed: a maximize on one axis only, which Qt
    // does not report, is undone, and the undoing ends once both axes are off.
    void maximizedAxesChanged(std::uint32_t window);

    QWidget& window_;
    const bool drawsTitleBar_;
    TitleBar::Part pressed_ = TitleBar::Part::Client; // where the first button held went down
    QSize restingSize_;                               // the size a maximizing is undone to
    std::optional<QSize> sizeToKeep_; // a new size, until it has stood a turn of the loop
    bool unmaximizing_ = false;
    struct Atoms {
        std::uint32_t state = 0;
        std::uint32_t vertical = 0;
        std::uint32_t horizontal = 0;
    };
    std::optional<Atoms> atoms_; // X11's names of the maximized states, once needed
    QString iconRenditions_;
};

} // namespace jangora
