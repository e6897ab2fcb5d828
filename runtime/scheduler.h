#pragma once

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
class Scheduler {
  public:
    using Millis = std::int64_t;

    void add(Timer& timer);
    void start(const Timer& timer);
    void stop(const Timer& timer);

    // No timer ticks again: the program has ended.
    void halt();
    // While paused (a modal box is open) due timers wait; they tick once when it resumes.
    void setPaused(bool paused) { paused_ = paused; }
    [[nodiscard]] bool paused() const { return paused_; }

    [[nodiscard]] Millis now() const { return now_; }
    // Moves the clock on without running anything (the host, before it delivers an event).
    void setNow(Millis now);

    [[nodiscard]] std::optional<Millis> nextDeadline() const;
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
    };

    [[nodiscard]] Entry& entryOf(const Timer& timer);
    [[nodiscard]] Entry* nextDue(Millis now);

    std::vector<Entry> entries_; // in creation order
    Millis now_ = 0;
    bool halted_ = false;
    bool paused_ = false;
};

} // namespace jangora
