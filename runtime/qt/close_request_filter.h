#pragma once

#include <QAbstractNativeEventFilter>

#include <cstdint>

class QWidget;

namespace jangora {

// Qt drops a request to close a window that a box blocks. A player who closes the game's
// window with a box open still means to end the game, so on X11 such a request is handed to
// the window itself. Elsewhere nothing is installed.
class CloseRequestFilter : public QAbstractNativeEventFilter {
  public:
    explicit CloseRequestFilter(QWidget& window);
    ~CloseRequestFilter() override;
    CloseRequestFilter(const CloseRequestFilter&) = delete;
    CloseRequestFilter& operator=(const CloseRequestFilter&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    QWidget& window_;
    bool installed_ = false;
    std::uint32_t protocols_ = 0;    // the atom WM_PROTOCOLS
    std::uint32_t deleteWindow_ = 0; // the atom WM_DELETE_WINDOW
};

} // namespace jangora
