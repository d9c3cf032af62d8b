// SPDX-License-Identifier: GPL-3.0-or-later
#include "clock.h"

#include <QThread>

void MonotonicClock::sleepMs(qint64 ms) {
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}
