#pragma once

#include <QAbstractNativeEventFilter>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace jangora {

// The X server's events as the platform plugin receives them, for a part of the window that
// must read some itself: handed to `x11Event` while the program runs on X11, from its making to
// its end. On Wayland nothing comes.
class X11Events : public QAbstractNativeEventFilter {
  public:
    X11Events();
    ~X11Events() override;
    X11Events(const X11Events&) = delete;
    X11Events& operator=(const X11Events&) = delete;

  protected:
    virtual void x11Event(const xcb_generic_event_t& event) = 0;

  private:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;
};

// A reply of the X server, freed as libxcb asks.
template <class Reply> using XReply = std::unique_ptr<Reply, decltype(&std::free)>;
template <class Reply> [[nodiscard]] XReply<Reply> xReply(Reply* reply) {
    return {reply, &std::free};
}

} // namespace jangora
