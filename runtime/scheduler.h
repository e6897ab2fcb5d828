#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace jangora {

// The parts of what the timers' ticks can read and write, one bit each: a form gives one to each
// of its controls and one to its variables. Every bit set stands for anything at all (the
// effect of a service: a box, a random number). Parts that share a bit only wake a timer more.
using Parts = std::uint64_t;
inline constexpr Parts everyPart = ~Parts{0};
// The form's variables, which every handler is taken to read unless it says which it reads,
// and those of them some timer reads alone (Timer::readsOfTheVariablesOnly), which share a part
// of their own: the controls' parts must not wake that timer.
inline constexpr Parts variablesPart = Parts{1} << 63;
inline constexpr Parts variablesReadAlonePart = Parts{1} << 62;

// What one tick did: the parts it read, those it wrote (whether or not that changed them), and
// of those the ones it changed.
struct TickRecord {
    Parts read = 0;
    Parts written = 0;
    Parts changed = 0;
};

// Runs timers in virtual time, so the same code serves the real clock of the host and the
// stepped clock of the tests. A timer is an interval and a tick to run; the scheduler knows
// nothing else of it.
//
// Enabling a timer schedules its first tick one interval from now. A due timer ticks once,
// and its next tick comes a full interval after the time it ran: late ticks never catch up.
// Timers due at the same time tick in deadline order, ties in the order they were added.
//
// A tick's outcome depends only on what it reads. If nothing it read has changed, its next tick
// writes what this one wrote, which changes nothing any more. Such a timer rests: it is not due
// again until something it read or wrote is changed by someone else, and then resumes on its own
// phase, at the first tick of its every-interval schedule that has not passed yet. A player sees
// the same thing at the same millisecond; the process sleeps meanwhile.
class Scheduler {
  public:
    using Millis = std::int64_t;
    using Tick = std::function<TickRecord()>;
    using Id = std::size_t;

    Id add(Millis interval, Tick tick);
    void start(Id timer);
    void stop(Id timer);

    // Something outside the ticks (input, start-up) changed these parts.
    void noteChange(Parts changed);
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
    [[nodiscard]] std::optional<Millis> nextDeadline() const;
    // Whether the timer is enabled with an interval, resting or not.
    [[nodiscard]] bool isScheduled(Id timer) const { return entries_.at(timer).scheduled; }

    // Sets the clock to `now` and runs every timer that is due by then, each once.
    void runDue(Millis now);
    // Moves the clock on by `duration` as a perfect clock would: every deadline in turn.
    void advanceBy(Millis duration);

  private:
    struct Entry {
        Millis interval = 0;
        Tick tick;
        Millis deadline = 0;
        bool scheduled = false;
        bool resting = false;
        Parts dependsOn = 0; // while it rests: what its last tick read and wrote
    };

    [[nodiscard]] Entry* nextDue();
    // Wakes the resting timers that depend on a changed part: changed between ticks, or, with
    // `ticking`, during that timer's tick.
    void wake(Parts changed, const Entry* ticking = nullptr);

    std::vector<Entry> entries_; // in the order they were added
    Millis now_ = 0;
    bool resting_ = true;
    bool halted_ = false;
    bool paused_ = false;
};

} // namespace jangora
