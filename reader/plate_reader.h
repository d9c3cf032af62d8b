// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options.h"
#include "output.h"

#include "link/instrument_link.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>

class Plate;

// Plates for a script: listens to the session and makes its requests, as an
// operator would. The link timer polls until the instrument answers, then
// Measurement (or Read plate) is requested once a plate; each plate goes to
// the output. Ends with one of the exit codes, through finished.
class PlateReader : public QObject {
    Q_OBJECT
public:
    PlateReader(const ReaderOptions &options, std::unique_ptr<RunOutput> output);

    // Opens the port and starts polling; the end comes later, through
    // finished, never from within this call.
    void start(const QString &portName);
    // Ctrl-C: ends the run as it stands, keeping the plates written.
    void interrupt();

signals:
    void finished(int exitCode);
    // Diagnoses, one line each (standard error).
    void told(const QString &line);
    // Progress lines.
    void progressed(const QString &line);
    // The status command's answer (standard output).
    void answered(const QString &text);

private:
    void linked();
    void beginWhenSettled();
    void moved(const QString &phase);
    void beginPlate();
    void plateReceived(const Plate &plate);
    void instrumentError(char status);
    void portLost();
    void timedOut();
    void end(int exitCode);
    QString plateOfRun() const;
    QString timeLeft() const;

    ReaderOptions m_options;
    std::unique_ptr<RunOutput> m_output;
    InstrumentLink m_link;
    QElapsedTimer m_clock;
    QTimer m_timeout;   // the longest wait for the instrument's next step
    QTimer m_nextPlate; // the series' next start
    QString m_phase;
    // No reply is awaited: a request now is taken as its own (after the link,
    // and once a strip count the session sent on its own is acknowledged).
    bool m_settled = false;
    bool m_measuring = false;
    int m_plate = 0; // plates begun
    bool m_plateRunning = false;
    qint64 m_firstStartMs = 0;
    qint64 m_plateStartMs = 0;
    qint64 m_lastPlateMs = 0;
    bool m_ended = false;
};
