#include "runtime/qt/form_clock.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>

namespace jangora {

namespace {

constexpr std::int64_t nanosPerMilli = 1'000'000;
constexpr std::int64_t nanosPerSecond = 1'000'000'000;

timespec monotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

} // namespace

FormClock::FormClock(std::function<void()> ring)
    : ring_(std::move(ring)), timer_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
    if (timer_ >= 0) {
        rings_ = std::make_unique<QSocketNotifier>(timer_, QSocketNotifier::Read);
        connect(rings_.get(), &QSocketNotifier::activated, this, [this] {
            std::uint64_t expirations = 0;
            if (read(timer_, &expirations, sizeof expirations) > 0) {
                ring_();
            }
        });
    } else {
        fallback_.setSingleShot(true);
        fallback_.setTimerType(Qt::PreciseTimer);
        connect(&fallback_, &QTimer::timeout, this, [this] { ring_(); });
    }
}

FormClock::~FormClock() {
    rings_.reset();
    if (timer_ >= 0) {
        close(timer_);
    }
}

void FormClock::start() {
    start_ = monotonicNow();
}

Scheduler::Millis FormClock::now() const {
    const timespec now = monotonicNow();
    return ((now.tv_sec - start_.tv_sec) * nanosPerSecond + (now.tv_nsec - start_.tv_nsec)) /
           nanosPerMilli;
}

void FormClock::setAlarm(Scheduler::Millis deadline) {
    if (timer_ < 0) {
        fallback_.start(static_cast<int>(std::max<Scheduler::Millis>(0, deadline - now())));
        return;
    }
    const std::int64_t nanos = start_.tv_nsec + (deadline % 1000) * nanosPerMilli;
    itimerspec alarm{};
    alarm.it_value.tv_sec = start_.tv_sec + deadline / 1000 + nanos / nanosPerSecond;
    alarm.it_value.tv_nsec = nanos % nanosPerSecond;
    timerfd_settime(timer_, TFD_TIMER_ABSTIME, &alarm, nullptr);
}

void FormClock::clearAlarm() {
    if (timer_ < 0) {
        fallback_.stop();
        return;
    }
    const itimerspec off{};
    timerfd_settime(timer_, TFD_TIMER_ABSTIME, &off, nullptr);
}

} // namespace jangora
