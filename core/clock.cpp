#include "clock.h"

#include <QThread>

void MonotonicClock::sleepMs(qint64 ms) {
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}
