// SPDX-License-Identifier: GPL-3.0-or-later
#include "assay_runner.h"

#include "link/serial_link.h"
#include "link/session.h"
#include "plate/plate_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

AssayRunner::AssayRunner(QObject *parent)
    : QObject(parent) {
    Session &session = m_link.session();
    connect(&session, &Session::linked, this, &AssayRunner::linked);
    connect(&session, &Session::noAnswer, this, &AssayRunner::noAnswer);
    connect(&session, &Session::measurementStarted, this,
            [this] { say(tr("Measuring"), Tone::Busy); });
    connect(&session, &Session::readingPlate, this,
            [this] { say(tr("Reading the plate"), Tone::Busy); });
    connect(&session, &Session::instrumentError, this, &AssayRunner::instrumentError);
    connect(&session, &Session::plateReceived, this, &AssayRunner::plateReceived);
    connect(&session, &Session::portLost, this, &AssayRunner::portLost);
    connect(&m_watch, &PortWatch::present, this, &AssayRunner::portPresent);
    // The session answers a further reply of the idle link with a strip
    // count of its own: until that exchange is over and the line quiet, a
    // measurement would take its replies for its own.
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_settle, &QTimer::timeout, this, [this] {
        m_settled = true;
        emit stateChanged();
    });
    connect(&session, &Session::stripCountSent, this, &AssayRunner::unsettle);
    connect(&session, &Session::stripCountApplied, this, &AssayRunner::unsettle);
    connect(&m_link.MSComm1(), &SerialLink::received, this, [this] {
        if (m_linked && !m_measuring)
            unsettle();
    });
}

void AssayRunner::unsettle() {
    if (m_measuring)
        return;
    const bool was = m_settled;
    m_settled = false;
    m_settle.start();
    if (was)
        emit stateChanged();
}

AssayRunner::~AssayRunner() = default;

QString AssayRunner::portName() const {
    return m_link.MSComm1().portName();
}

bool AssayRunner::open(const QString &portName, bool chosenByDefault) {
    m_chosenByDefault = chosenByDefault;
    if (!m_link.open(portName)) {
        openFailed(m_link.MSComm1().problem());
        m_watch.start(portName);
        return false;
    }
    m_link.session().start();
    m_started = true;
    return true;
}

void AssayRunner::openFailed(PortProblem problem) {
    m_toldProblem = problem;
    say(portProblemStatus(portName(), problem), Tone::Problem);
}

bool AssayRunner::setKit(const KitEntry &entry) {
    if (m_measuring)
        return false;
    m_kit = entry;
    emit stateChanged();
    return true;
}

bool AssayRunner::canMeasure() const {
    return m_linked && m_settled && !m_measuring && m_kit.kit && m_kit.kit->stripsUsed() > 0;
}

bool AssayRunner::measure() {
    if (!canMeasure() || !m_link.session().measure(m_kit.kit->stripsUsed()))
        return false;
    m_measuring = true;
    emit stateChanged();
    return true;
}

void AssayRunner::linked() {
    m_linked = true;
    if (!m_measuring)
        say(tr("Linked to the instrument"), Tone::Good);
    unsettle();
}

void AssayRunner::noAnswer() {
    m_linked = false;
    m_settled = false;
    QString text = tr("The instrument does not answer on port %1").arg(shownPortName(portName()));
    if (m_chosenByDefault)
        text += QLatin1Char('\n') +
                tr("No port was chosen: this is the system's likeliest port. Choose the "
                   "instrument's port with «telkaro --choose-port».");
    say(text, Tone::Problem);
    emit stateChanged();
}

void AssayRunner::instrumentError(char status) {
    const QString code = status == '\0' ? QString() : QString(QChar::fromLatin1(status));
    const QString text =
        tr("Instrument error %1. Switch the instrument off and on again after 20–30 s.").arg(code);
    endMeasurement(text);
    say(text, Tone::Problem);
}

void AssayRunner::plateReceived(const Plate &plate) {
    if (!m_measuring)
        return; // a further reply of the idle link: not this window's plate
    m_measuring = false;
    unsettle();
    say(tr("Linked to the instrument"), Tone::Good);
    if (!m_kit.kit)
        return;
    if (const QString lacking = layoutFits(*m_kit.kit, plate); !lacking.isEmpty()) {
        emit measurementFailed(lacking);
        return;
    }
    emit analysed(analyse(plate, portName(), true));
}

void AssayRunner::portLost() {
    m_linked = false;
    m_settled = false;
    m_toldProblem = PortProblem::Unplugged;
    const QString text = portProblemStatus(portName(), PortProblem::Unplugged);
    endMeasurement(text);
    say(text, Tone::Problem);
    emit stateChanged();
    m_watch.start(portName());
}

void AssayRunner::portPresent() {
    const QString name = m_watch.portName();
    if (!m_link.MSComm1().open(name)) {
        // There, but held by another program or not usable yet: said once,
        // tried again at the next look.
        if (m_link.MSComm1().problem() != m_toldProblem)
            openFailed(m_link.MSComm1().problem());
        return;
    }
    m_watch.stop();
    m_toldProblem = PortProblem::None;
    if (m_started) {
        m_link.session().handlePortBack();
    } else {
        m_link.session().start();
        m_started = true;
    }
}

void AssayRunner::endMeasurement(const QString &why) {
    if (!m_measuring)
        return;
    m_measuring = false;
    m_settled = false;
    emit stateChanged();
    emit measurementFailed(why);
}

QString AssayRunner::openPlate(const QString &path) {
    if (m_measuring)
        return tr("A measurement is running.");
    if (!m_kit.kit)
        return m_kit.error.isEmpty() ? tr("Choose a kit first.") : m_kit.error;
    QString why;
    const Plate plate = readPlateFile(path, 1, &why);
    if (plate.isNull())
        return tr("%1: %2").arg(QDir::toNativeSeparators(path), why);
    if (const QString lacking = layoutFits(*m_kit.kit, plate); !lacking.isEmpty())
        return tr("%1: %2").arg(QDir::toNativeSeparators(path), lacking);
    emit analysed(analyse(plate, QDir::toNativeSeparators(path), false));
    return QString();
}

AssayResult AssayRunner::analyse(const Plate &plate, const QString &source, bool measured) const {
    AssayResult result;
    result.measured = measured;
    result.kit = *m_kit.kit;
    result.plate = plate;
    result.analysis = ::analyse(result.kit, plate);
    result.run.program = QStringLiteral("telkaro-assay");
    result.run.version = QCoreApplication::applicationVersion();
    result.run.source = source;
    result.run.kitFile = QFileInfo(m_kit.path).fileName();
    result.run.kitSha256 = m_kit.sha256;
    result.run.time = QDateTime::currentDateTimeUtc();
    return result;
}

void AssayRunner::say(const QString &text, Tone tone) {
    emit status(text, tone);
}

QString portProblemStatus(const QString &portName, PortProblem problem) {
    const QString name = shownPortName(portName);
    const QString reason = portProblemText(problem);
    switch (problem) {
    case PortProblem::Unplugged:
        return AssayRunner::tr("Port %1 unplugged: %2. Plug the instrument in again: the port "
                               "is opened again as soon as it is there.")
            .arg(name, reason);
    case PortProblem::Busy:
        return AssayRunner::tr("Port %1 cannot be opened: %2. Close the other program that works "
                               "with the instrument (the classic window, a terminal): the port is "
                               "opened as soon as it is free. A plate file can still be opened.")
            .arg(name, reason);
    default:
        return AssayRunner::tr("Port %1 cannot be opened: %2. Choose the instrument's port with "
                               "«telkaro --choose-port». A plate file can still be opened.")
            .arg(name, reason);
    }
}
