// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "kit_library.h"

#include "assay/analysis.h"
#include "assay/results.h"
#include "link/instrument_link.h"
#include "link/port_problem.h"
#include "link/port_watch.h"
#include "plate/plate.h"

#include <QObject>
#include <QString>
#include <QTimer>

// One analysed plate: the kit it was analysed by, the plate, the answer and
// what a result says of the run.
struct AssayResult {
    Kit kit;
    Plate plate;
    Analysis analysis;
    AnalysisRun run;
    bool measured = false; // by the instrument now, not read from a file
};

// The assay window's working part: the session over the serial line, the
// kit chosen, and the plate's analysis when it arrives or is opened from a
// file. No widgets: it tells what happens by its signals.
class AssayRunner : public QObject {
    Q_OBJECT
public:
    enum class Tone { Neutral, Good, Busy, Problem };

    explicit AssayRunner(QObject *parent = nullptr);
    ~AssayRunner() override;

    // Opens the port and starts polling; false when it cannot be opened
    // (said by status()). A port held by another program, or not there, is
    // looked for again once a second and opened when it can be.
    bool open(const QString &portName, bool chosenByDefault = false);

    // The kit measured by, and analysed by; refused (false) while a
    // measurement runs. A kit file that is wrong cannot be chosen for
    // measuring: canMeasure() stays false.
    bool setKit(const KitEntry &entry);
    const KitEntry &kit() const { return m_kit; }

    // How long the line stays quiet after the link's last exchange before a
    // measurement is offered: no reply of the session's own exchange is
    // then on its way, to be taken for the answer to a measurement.
    static constexpr int settleMs = 300;
    bool isMeasuring() const { return m_measuring; }
    // Linked and settled, idle, and a kit that can be used.
    bool canMeasure() const;
    // Measures the strips the kit uses.
    bool measure();

    // A plate file (.dat, or telkaro-read's JSON) analysed by the kit chosen:
    // an empty string, or why not.
    QString openPlate(const QString &path);

    InstrumentLink &link() { return m_link; }
    QString portName() const;

signals:
    // What the status line says, and how it looks.
    void status(const QString &text, AssayRunner::Tone tone);
    // Whether a measurement can be started or is running changed.
    void stateChanged();
    // A plate was analysed (measured, or read from a file).
    void analysed(const AssayResult &result);
    // The measurement ended without a plate: the port lost, an instrument
    // error. Nothing of it is a result.
    void measurementFailed(const QString &why);

private:
    void linked();
    void unsettle();
    void noAnswer();
    void instrumentError(char status);
    void plateReceived(const Plate &plate);
    void portLost();
    void portPresent();
    void openFailed(PortProblem problem);
    void endMeasurement(const QString &why);
    AssayResult analyse(const Plate &plate, const QString &source, bool measured) const;
    void say(const QString &text, Tone tone);

    InstrumentLink m_link;
    PortWatch m_watch;
    QTimer m_settle;
    KitEntry m_kit;
    PortProblem m_toldProblem = PortProblem::None;
    bool m_chosenByDefault = false;
    bool m_linked = false;
    bool m_settled = false;
    bool m_measuring = false;
    bool m_started = false; // the session polls, or did before the port was lost
};

// The status texts for a port that cannot be used, in the window's words.
QString portProblemStatus(const QString &portName, PortProblem problem);
