#pragma once

#include "runtime/scheduler.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <ctime>
#include <functional>
#include <memory>

namespace jangora {

// The real clock of a form, in milliseconds from its start, and one alarm set for the form's
// earliest deadline. The alarm rings on the deadline's own millisecond, to the microsecond: a
// QTimer counts whole milliseconds from when it is set, and rings up to one late. Without a
// timerfd, or once one cannot be set, it falls back to such a QTimer.
class FormClock : public QObject {
  public:
    explicit FormClock(std::function<void()> ring);
    ~FormClock() override;
    FormClock(const FormClock&) = delete;
    FormClock& operator=(const FormClock&) = delete;

    void start();
    [[nodiscard]] Scheduler::Millis now() const;
    void setAlarm(Scheduler::Millis deadline);
    void clearAlarm();

  private:
    void useFallback();

    std::function<void()> ring_;
    timespec start_{};
    int timer_ = -1; // a timerfd
    std::unique_ptr<QSocketNotifier> rings_;
    QTimer fallback_;
};

} // namespace jangora
