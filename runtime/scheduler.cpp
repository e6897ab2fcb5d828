#include "runtime/scheduler.h"

#include <algorithm>

namespace jangora {

Scheduler::Id Scheduler::add(Millis interval, Tick tick) {
    entries_.push_back({.interval = interval, .tick = std::move(tick), .dependsOn = {}});
    return entries_.size() - 1;
}

void Scheduler::start(Id timer) {
    Entry& entry = entries_.at(timer);
    entry.scheduled = !halted_ && entry.interval > 0;
    entry.resting = false;
    entry.deadline = now_ + entry.interval;
}

void Scheduler::stop(Id timer) {
    Entry& entry = entries_.at(timer);
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

void Scheduler::noteChange(Parts changed) {
    wake(changed);
}

std::optional<Scheduler::Millis> Scheduler::nextDeadline() const {
    std::optional<Millis> next;
    for (const Entry& entry : entries_) {
        if (entry.scheduled && !entry.resting && (!next || entry.deadline < *next)) {
            next = entry.deadline;
        }
    }
    return next;
}

Scheduler::Entry* Scheduler::nextDue() {
    Entry* next = nullptr;
    for (Entry& entry : entries_) {
        // Strictly earlier only: among equal deadlines the first added wins.
        if (entry.scheduled && !entry.resting && entry.deadline <= now_ &&
            (!next || entry.deadline < next->deadline)) {
            next = &entry;
        }
    }
    return next;
}

void Scheduler::wake(Parts changed, const Entry* ticking) {
    if (changed == 0) {
        return;
    }
    for (Entry& entry : entries_) {
        if (!entry.resting || &entry == ticking || (entry.dependsOn & changed) == 0) {
            continue;
        }
        entry.resting = false;
        // Every-interval ticks up to now have passed while it rested; so has one due now if
        // it would have ticked before this change: between ticks always, during a tick if it
        // was added before the timer ticking.
        if (entry.deadline < now_) {
            entry.deadline +=
                (now_ - entry.deadline + entry.interval - 1) / entry.interval * entry.interval;
        }
        if (entry.deadline == now_ && (!ticking || &entry < ticking)) {
            entry.deadline += entry.interval;
        }
    }
}

void Scheduler::runDue(Millis now) {
    setNow(now);
    // A tick may stop or start any timer, so the next due one is looked up afresh each time; a
    // timer that has ticked is rescheduled past `now` first, so none ticks twice.
    while (!paused_) {
        Entry* due = nextDue();
        if (!due) {
            break;
        }
        due->deadline = now_ + due->interval;
        const TickRecord record = due->tick();
        if (resting_ && due->scheduled && (record.changed & record.read) == 0) {
            due->resting = true;
            due->dependsOn = record.read | record.written;
        }
        wake(record.changed, due);
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
