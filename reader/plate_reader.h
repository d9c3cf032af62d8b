// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options.h"

#include "core/module1.h"
#include "link/instrument_link.h"

#include <QTimer>

#include <functional>

class PlateOutput;

// Drives the window's session through its own events, as an operator would:
// the link timer polls until the instrument answers, then Measurement (or
// Read plate) is chosen once a plate; each complete plate goes to the output.
// Ends with one of the exit codes, through finished.
class PlateReader {
public:
    PlateReader(const ReaderOptions &options, PlateOutput &output);
    PlateReader(const PlateReader &) = delete;
    PlateReader &operator=(const PlateReader &) = delete;

    // Opens the port and starts polling; the end comes later, through
    // finished, never from within this call.
    void start(const QString &portName);
    // Ctrl-C: ends the run as it stands, keeping the plates written.
    void interrupt();

    std::function<void(int exitCode)> finished;
    // Diagnoses, one line each (standard error).
    std::function<void(const QString &)> tell;
    // Progress lines; none when empty.
    std::function<void(const QString &)> progress;
    // The status command's answer (standard output).
    std::function<void(const QString &)> answer;

private:
    void afterCharacter();
    void beginWhenSettled();
    void stateChanged(::SessionState from);
    void beginPlate();
    void plateDone();
    void timedOut();
    void end(int exitCode);
    void say(const QString &line) const;
    QString plateOfRun() const;
    QString timeLeft() const;

    ReaderOptions m_options;
    PlateOutput &m_output;
    Модуль1 m_state;
    InstrumentLink m_link;
    QTimer m_timeout;   // the longest wait for the instrument's next step
    QTimer m_nextPlate; // the series' next start
    ::SessionState m_seen = StateAwaitLink;
    QString m_phase;
    int m_plate = 0; // plates begun
    bool m_plateRunning = false;
    qint64 m_firstStartMs = 0;
    qint64 m_plateStartMs = 0;
    qint64 m_lastPlateMs = 0;
    bool m_ended = false;
};
