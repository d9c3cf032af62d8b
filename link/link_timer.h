// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/timer_switch.h"

#include <QObject>
#include <QTimer>

#include <functional>

// The link timer: a steady 500 ms tick while it is enabled. Enabling a timer
// that already runs leaves its phase alone; enabling a stopped one starts a
// full interval.
class LinkTimer : public QObject, public TimerSwitch {
    Q_OBJECT
public:
    static constexpr int intervalMs = 500;

    explicit LinkTimer(QObject *parent = nullptr);

    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return m_timer.isActive(); }

signals:
    void tick();

private:
    QTimer m_timer;
};
