// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A session wired to stand-ins for the port, the link timer and the clock,
// so every transition can be driven one character at a time.
#include "core/clock.h"
#include "core/command_port.h"
#include "core/menu_flags.h"
#include "core/module1.h"
#include "core/pane_model.h"
#include "core/timer_switch.h"
#include "link/session.h"
#include "sample_block.h"

#include <QList>

#include <functional>

struct FakePort : CommandPort {
    bool open = true;
    QList<QByteArray> lines;
    QList<qint64> writtenAt; // the stand-in clock's time of each line
    const qint64 *clock = nullptr;
    bool isOpen() const override { return open; }
    void output(const QByteArray &line) override {
        if (!open)
            return;
        lines.append(line);
        writtenAt.append(clock ? *clock : -1);
    }
};

struct FakeTimer : TimerSwitch {
    bool enabled = true;
    QList<bool> switches;
    void setEnabled(bool on) override {
        enabled = on;
        switches.append(on);
    }
    bool isEnabled() const override { return enabled; }
};

struct FakeClock : Clock {
    qint64 now = 1000;
    qint64 slept = 0;
    std::function<void()> whileAsleep; // what else happens during a sleep
    qint64 nowMs() const override { return now; }
    void sleepMs(qint64 ms) override {
        now += ms;
        slept += ms;
        if (whileAsleep)
            whileAsleep();
    }
};

struct SessionRig {
    Модуль1 moduleState;
    FakePort port;
    PaneModel pane{0, 0, 12, 8};
    MenuFlags menus;
    FakeTimer timer;
    FakeClock clock;
    Session session{moduleState, port, pane, menus, timer, clock};

    SessionRig() {
        moduleState.StripCount = 12;
        moduleState.SessionState = StateAwaitLink;
        port.clock = &clock.now;
        pane.setMetrics(0.6, [](const QString &s) { return 0.1 * s.size(); });
    }

    void receive(const QByteArray &bytes) {
        for (char c : bytes)
            session.MSComm1_OnComm(c);
    }
    void tick() { session.ТаймерСвязи_Timer(); }
    QByteArray lastLine() const { return port.lines.isEmpty() ? QByteArray() : port.lines.last(); }
};
