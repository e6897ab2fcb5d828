#include "runtime/scheduler.h"

#include "runtime/controls.h"

#include <algorithm>
#include <stdexcept>

namespace jangora {

void Scheduler::add(Timer& timer) {
    entries_.push_back({&timer, 0, false});
    if (timer.enabled()) {
        start(timer);
    }
}

Scheduler::Entry& Scheduler::entryOf(const Timer& timer) {
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [&](const Entry& entry) { return entry.timer == &timer; });
    if (found == entries_.end()) {
        throw std::logic_error("timer not added to its scheduler");
    }
    return *found;
}

void Scheduler::start(const Timer& timer) {
    Entry& entry = entryOf(timer);
    entry.scheduled = !halted_ && timer.interval() > 0;
    entry.resting = false;
    entry.deadline = now_ + timer.interval();
}

void Scheduler::stop(const Timer& timer) {
    Entry& entry = entryOf(timer);
    entry.scheduled = false;
    entry.resting = false;
}

void Scheduler::halt() {
    halted_ = true;
    for (Entry& entry : entries_) {
        entry.scheduled = false;
        entry.resting = false;
    }
}

void Scheduler::setNow(Millis now) {
    now_ = std::max(now_, now);
}

std::optional<Scheduler::Millis> Scheduler::nextDeadline() {
    wakeOnChange();
    std::optional<Millis> next;
    for (const Entry& entry : entries_) {
        if (entry.scheduled && !entry.resting && (!next || entry.deadline < *next)) {
            next = entry.deadline;
        }
    }
    return next;
}

bool Scheduler::isScheduled(const Timer& timer) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return entry.timer == &timer && entry.scheduled;
    });
}

Scheduler::Entry* Scheduler::nextDue(Millis now) {
    Entry* next = nullptr;
    for (Entry& entry : entries_) {
        // Strictly earlier only: among equal deadlines the first created wins.
        if (entry.scheduled && !entry.resting && entry.deadline <= now &&
            (!next || entry.deadline < next->deadline)) {
            next = &entry;
        }
    }
    return next;
}

void Scheduler::wakeOnChange(const Entry* ticking) {
    if (!changed_) {
        return;
    }
    changed_ = false;
    for (Entry& entry : entries_) {
        if (!entry.resting) {
            continue;
        }
        entry.resting = false;
        // Every-interval ticks up to now have passed while it rested; so has one due now if
        // it would have ticked before this change: between ticks always, during a tick if it
        // was created before the timer ticking.
        const Millis interval = entry.timer->interval();
        if (entry.deadline < now_) {
            entry.deadline += (now_ - entry.deadline + interval - 1) / interval * interval;
        }
        if (entry.deadline == now_ && (!ticking || &entry < ticking)) {
            entry.deadline += interval;
        }
    }
}

void Scheduler::runDue(Millis now) {
    setNow(now);
    if (paused_) {
        return;
    }
    wakeOnChange();
    // A handler may stop or restart any timer, so the next due one is looked up afresh each
    // time; a timer that has ticked is rescheduled past `now` first, so none ticks twice.
    while (Entry* due = nextDue(now_)) {
        due->deadline = now_ + due->timer->interval();
        due->timer->tick();
        if (resting_ && !changed_) {
            due->resting = true;
        }
        wakeOnChange(due);
        if (paused_) {
            return;
        }
    }
}

void Scheduler::advanceBy(Millis duration) {
    const Millis target = now_ + duration;
    while (!paused_) {
        const std::optional<Millis> next = nextDeadline();
        if (!next || *next > target) {
            break;
        }
        runDue(std::max(*next, now_));
    }
    setNow(target);
}

} // namespace jangora
