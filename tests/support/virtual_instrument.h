// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs telkaro-instrument (a virtual photometer on a pseudo-terminal) for a test and reads back
// what it saw on the line. Waiting keeps the Qt event loop turning, so a serial link living in
// the test's thread goes on working while the test waits.

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace instrument {
class WireLogReader;
}

class VirtualInstrument {
public:
    // One line of the instrument's log: bytes it received (rx) or wrote (tx), with the time in
    // milliseconds since the instrument started (see clockMs()).
    struct Event {
        bool rx = false;
        double ms = 0;
        QByteArray bytes;
    };

    VirtualInstrument();
    ~VirtualInstrument();
    VirtualInstrument(const VirtualInstrument &) = delete;
    VirtualInstrument &operator=(const VirtualInstrument &) = delete;

    // Starts the instrument with extra options (e.g. {"--pace", "--measure-ms", "300"}) and
    // waits until its port exists. On false, lastError() says why.
    bool start(const QStringList &extraArgs = {});
    void stop();
    bool isRunning() const;

    QString portName() const { return m_portName; }
    QString lastError() const { return m_lastError; }
    QString logPath() const;
    static QString executablePath();

    // Sends one control line on the instrument's stdin ("lower on", "stall 3", "close", ...)
    // and waits until the instrument has applied it. False if it was refused or not answered.
    bool control(const QByteArray &line, int timeoutMs = 5000);

    // Read from the log. An RX line is written before the instrument acts on the bytes; a TX
    // line right after the bytes went out, so it may trail their arrival by a moment.
    QByteArray received() const;    // every byte the program sent to the instrument
    QByteArray transmitted() const; // every byte the instrument wrote to the program
    QList<Event> events() const;

    // The instrument's clock now, on the same time base as Event::ms.
    double clockMs() const;

    bool waitForReceived(const QByteArray &needle, int timeoutMs);
    bool waitFor(const std::function<bool()> &pred, int timeoutMs);
    // Waits until the process has ended (after "close" or "quit").
    bool waitForExit(int timeoutMs);

private:
    void readLog() const;

    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_portName;
    QString m_lastError;
    QByteArray m_stdout;

    mutable std::unique_ptr<instrument::WireLogReader> m_log;
    mutable QList<Event> m_events;
    mutable QByteArray m_received;
    mutable QByteArray m_transmitted;
};
