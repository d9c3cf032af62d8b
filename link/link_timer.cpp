// SPDX-License-Identifier: GPL-3.0-or-later
#include "link_timer.h"

LinkTimer::LinkTimer(QObject *parent)
    : QObject(parent) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &LinkTimer::tick);
}

void LinkTimer::setEnabled(bool enabled) {
    if (enabled == m_timer.isActive())
        return;
    if (enabled)
        m_timer.start();
    else
        m_timer.stop();
}
