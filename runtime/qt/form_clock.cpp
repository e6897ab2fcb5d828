#include "runtime/qt/form_clock.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace jangora {

namespace {

constexpr std::int64_t nanosPerMilli = 1'000'000;
constexpr std::int64_t nanosPerSecond = 1'000'000'000;

} // namespace

timespec FormClock::monotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

FormClock::FormClock(Scheduler& scheduler, TimeSource timeSource)
    : scheduler_(scheduler), timeSource_(timeSource),
      timer_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
    if (timer_ >= 0) {
        rings_ = std::make_unique<QSocketNotifier>(timer_, QSocketNotifier::Read);
        connect(rings_.get(), &QSocketNotifier::activated, this, [this] {
            std::uint64_t expirations = 0;
            if (read(timer_, &expirations, sizeof expirations) > 0) {
                ring();
            }
        });
    } else {
        useFallback();
    }
}

// The game's timers must go on: from now on a QTimer keeps them.
void FormClock::useFallback() {
    std::perror("jangora: the game's clock could not be set, keeping time less finely");
    fallback_.setSingleShot(true);
    fallback_.setTimerType(Qt::PreciseTimer);
    connect(&fallback_, &QTimer::timeout, this, [this] { ring(); });
}

void FormClock::ring() {
    scheduler_.runDue(now());
    rearm();
}

void FormClock::rearm() {
    const std::optional<Scheduler::Millis> next = scheduler_.nextDeadline();
    if (next && !scheduler_.paused()) {
        setAlarm(*next);
        return;
    }
    if (timer_ < 0) {
        fallback_.stop();
        return;
    }
    const itimerspec off{};
    timerfd_settime(timer_, 0, &off, nullptr); // cannot fail on a timerfd of ours
}

std::optional<std::chrono::nanoseconds> FormClock::alarm() const {
    if (timer_ < 0) {
        return fallback_.isActive()
                   ? std::optional(std::chrono::milliseconds(fallback_.remainingTime()))
                   : std::nullopt;
    }
    itimerspec alarm{};
    timerfd_gettime(timer_, &alarm);
    const std::int64_t left = alarm.it_value.tv_sec * nanosPerSecond + alarm.it_value.tv_nsec;
    return left > 0 ? std::optional(std::chrono::nanoseconds(left)) : std::nullopt;
}

FormClock::~FormClock() {
    rings_.reset();
    if (timer_ >= 0) {
        close(timer_);
    }
}

void FormClock::start() {
    start_ = timeSource_();
    rearm();
}

Scheduler::Millis FormClock::now() const {
    const timespec now = timeSource_();
    return ((now.tv_sec - start_.tv_sec) * nanosPerSecond + (now.tv_nsec - start_.tv_nsec)) /
           nanosPerMilli;
}

// Armed for the time left until the deadline, as read from the clock that tells the time: an
// absolute deadline would be read by the kernel on its own clock, which this program may see
// shifted (as under faketime), and then ring a year late or never.
void FormClock::setAlarm(Scheduler::Millis deadline) {
    if (timer_ < 0) {
        fallback_.start(static_cast<int>(std::max<Scheduler::Millis>(0, deadline - now())));
        return;
    }
    const timespec now = timeSource_();
    const std::int64_t left = std::max<std::int64_t>(
        1, (start_.tv_sec - now.tv_sec) * nanosPerSecond + (start_.tv_nsec - now.tv_nsec) +
               deadline * nanosPerMilli); // at least a nanosecond: zero would disarm it
    itimerspec alarm{};
    alarm.it_value.tv_sec = left / nanosPerSecond;
    alarm.it_value.tv_nsec = left % nanosPerSecond;
    if (timerfd_settime(timer_, 0, &alarm, nullptr) != 0) {
        rings_.reset();
        close(timer_);
        timer_ = -1;
        useFallback();
        setAlarm(deadline);
    }
}

} // namespace jangora
