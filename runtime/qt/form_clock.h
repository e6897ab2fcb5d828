#pragma once

#include "runtime/scheduler.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <ctime>
#include <memory>
#include <optional>

namespace jangora {

// Drives a form's scheduler from the real clock, in milliseconds from the start, with one alarm
// set for the earliest deadline: none while every timer rests or a box is open. The alarm rings
// on the deadline's own millisecond, to the microsecond: a QTimer counts whole milliseconds from
// when it is set, and rings up to one late. Without a timerfd, or once one cannot be set, it
// falls back to such a QTimer.
class FormClock : public QObject {
  public:
    using TimeSource = timespec (*)();
    // The time is read from `timeSource`, the monotonic clock unless a test gives its own.
    explicit FormClock(Scheduler& scheduler, TimeSource timeSource = monotonicNow);
    ~FormClock() override;
    FormClock(const FormClock&) = delete;
    FormClock& operator=(const FormClock&) = delete;

    // Time starts now; the alarm is set for the first deadline.
    void start();
    [[nodiscard]] Scheduler::Millis now() const;
    // Runs `delivery` (input for the form) at the present time, then sets the alarm anew.
    template <class Delivery> void deliver(const Delivery& delivery) {
        scheduler_.setNow(now());
        delivery();
        rearm();
    }
    // Sets the alarm for the scheduler's next deadline, or none.
    void rearm();
    // How long until the alarm rings, by the clock it rings on; nothing when it is not set.
    [[nodiscard]] std::optional<std::chrono::nanoseconds> alarm() const;

    static timespec monotonicNow();

  private:
    void ring();
    void setAlarm(Scheduler::Millis deadline);
    void useFallback();

    Scheduler& scheduler_;
    TimeSource timeSource_;
    timespec start_{};
    int timer_ = -1; // a timerfd
    std::unique_ptr<QSocketNotifier> rings_;
    QTimer fallback_;
};

} // namespace jangora
