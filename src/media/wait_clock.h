#pragma once

#include <QElapsedTimer>
#include <algorithm>

// The time a synchronous wait has used, leaving out the stretches in which the process did
// not run. A wait that asked for a few milliseconds and came back seconds later means the
// process was stopped or starved (a loaded machine, a suspended session, a paused virtual
// machine): a wall-clock deadline would then give up on an answer already on its way.
class WaitClock {
  public:
    // How late a wait may come back and still count in full: ordinary scheduling delay.
    static constexpr qint64 kLateMs = 50;

    WaitClock() { clock_.start(); }
    qint64 used() const { return clock_.elapsed() - lost_; }

    // Runs one wait of at most askedMs (wait(askedMs) does it) and counts its time.
    template <typename Wait>
    auto timed(qint64 askedMs, Wait&& wait) {
        const qint64 before = clock_.elapsed();
        auto result = wait(askedMs);
        const qint64 took = clock_.elapsed() - before;
        lost_ += std::max<qint64>(0, took - askedMs - kLateMs);
        return result;
    }

  private:
    QElapsedTimer clock_;
    qint64 lost_ = 0;
};
