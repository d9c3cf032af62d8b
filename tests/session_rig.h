// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A session wired to stand-ins for the port, the link timer and the clock,
// so every transition can be driven one character at a time, and the
// window's presenter listening to it. What the session tells is logged.
#include "app/session_presenter.h"
#include "core/clock.h"
#include "core/command_port.h"
#include "core/timer_switch.h"
#include "link/session.h"
#include "sample_block.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <memory>

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
    // The stand-ins, owned by the session.
    FakePort *port = nullptr;
    FakeTimer *timer = nullptr;
    FakeClock *clock = nullptr;
    std::unique_ptr<Session> session;
    SessionPresenter presenter;
    // What the session told, in order: "linked", "stripCountSent 12", …
    QStringList told;
    Plate lastPlate;

    // withPresenter: false for a session that nobody shows.
    explicit SessionRig(bool withPresenter = true) {
        auto ownPort = std::make_unique<FakePort>();
        auto ownTimer = std::make_unique<FakeTimer>();
        auto ownClock = std::make_unique<FakeClock>();
        port = ownPort.get();
        timer = ownTimer.get();
        clock = ownClock.get();
        port->clock = &clock->now;
        session =
            std::make_unique<Session>(std::move(ownPort), std::move(ownTimer), std::move(ownClock));
        if (withPresenter)
            presenter.listenTo(*session);
        presenter.ОкноПечати().setMetrics(0.6, [](const QString &s) { return 0.1 * s.size(); });
        Session *s = session.get();
        auto log = [this, s](auto signal, const char *name) {
            QObject::connect(s, signal, s, [this, name] { told << QString::fromLatin1(name); });
        };
        log(&Session::noAnswer, "noAnswer");
        log(&Session::linked, "linked");
        log(&Session::stripCountApplied, "stripCountApplied");
        log(&Session::measurementStarted, "measurementStarted");
        log(&Session::readingPlate, "readingPlate");
        log(&Session::portLost, "portLost");
        log(&Session::portBack, "portBack");
        QObject::connect(s, &Session::stripCountSent, s,
                         [this](int n) { told << QStringLiteral("stripCountSent %1").arg(n); });
        QObject::connect(s, &Session::instrumentError, s, [this](char c) {
            told << QStringLiteral("instrumentError %1").arg(QChar::fromLatin1(c));
        });
        QObject::connect(s, &Session::plateReceived, s, [this](const Plate &plate) {
            told << QStringLiteral("plateReceived %1").arg(plate.strips());
            lastPlate = plate;
        });
    }

    PaneModel &pane() { return presenter.ОкноПечати(); }
    MenuFlags &menus() { return presenter.menus(); }
    void receive(const QByteArray &bytes) { session->receive(bytes); }
    void tick() { session->tick(); }
    // The operator's commands, as the window makes them.
    void measure(int strips = 12) {
        if (session->measure(strips))
            presenter.offerSave();
    }
    void readPlate() {
        if (session->readPlate())
            presenter.offerSave();
    }
    QByteArray lastLine() const {
        return port->lines.isEmpty() ? QByteArray() : port->lines.last();
    }
};
