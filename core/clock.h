// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

// Elapsed time for the session's waits, on a monotonic clock, so that
// midnight or a change of the system clock cannot stretch or cut them.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() const = 0;
    // Blocks the calling thread for about ms milliseconds without using the CPU.
    virtual void sleepMs(qint64 ms) = 0;
};

class MonotonicClock : public Clock {
public:
    MonotonicClock() { m_start.start(); }
    qint64 nowMs() const override { return m_start.elapsed(); }
    void sleepMs(qint64 ms) override;

private:
    QElapsedTimer m_start;
};
