#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace jangora {

class Timer;

// Runs the form's timers in virtual time, so the same code serves the real clock of the host
// and the stepped clock of the tests.
//
// Enabling a timer schedules its first tick one interval from now. A due timer ticks once,
// and its next tick comes a full interval after the time it ran: late ticks never catch up.
// Timers due at the same time tick in deadline order, ties in creation order.
//
// A tick that changed nothing (no property, no form variable, no effect of a service) would
// change nothing at the next tick either, as long as nothing else changes. Such a timer
// rests: it is not due again until something changes, and then resumes on its own phase, at
// the first tick of its every-interval schedule that has not passed yet. A player sees the
// same thing at the same millisecond; the process sleeps meanwhile.
class Scheduler {
  public:
    using Millis = std::int64_t;

    void add(Timer& timer);
    void start(const Timer& timer);
    void stop(const Timer& timer);

    // Something a tick could read, or a service with an effect, has changed.
    void noteChange() { changed_ = true; }
    // Off, every due timer ticks, as if no tick could be known to change nothing.
    void setResting(bool resting) { resting_ = resting; }

    // No timer ticks again: the program has ended.
    void halt();
    // While paused (a modal box is open) due timers wait; they tick once when it resumes.
    void setPaused(bool paused) { paused_ = paused; }
    [[nodiscard]] bool paused() const { return paused_; }

    [[nodiscard]] Millis now() const { return now_; }
    // Moves the clock on without running anything (the host, before it delivers an event).
    void setNow(Millis now);

    // The next time a timer is due; none while every enabled timer rests.
    [[nodiscard]] std::optional<Millis> nextDeadline();
    // Whether the timer is enabled with an interval, resting or not.
    [[nodiscard]] bool isScheduled(const Timer& timer) const;

    // Sets the clock to `now` and runs every timer that is due by then, each once.
    void runDue(Millis now);
    // Moves the clock on by `duration` as a perfect clock would: every deadline in turn.
    void advanceBy(Millis duration);

  private:
    struct Entry {
        Timer* timer = nullptr;
        Millis deadline = 0;
        bool scheduled = false;
        bool resting = false;
    };

    [[nodiscard]] Entry& entryOf(const Timer& timer);
    [[nodiscard]] Entry* nextDue(Millis now);
    // Wakes the resting timers if anything changed, during the tick of `ticking` or, with
    // none, between ticks.
    void wakeOnChange(const Entry* ticking = nullptr);

    std::vector<Entry> entries_; // in creation order
    Millis now_ = 0;
    bool resting_ = true;
    bool changed_ = false;
    bool halted_ = false;
    bool paused_ = false;
};

} // namespace jangora
