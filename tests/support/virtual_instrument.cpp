// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual_instrument.h"

#include "tools/wire_log.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>

VirtualInstrument::VirtualInstrument() = default;

VirtualInstrument::~VirtualInstrument() {
    stop();
}

QString VirtualInstrument::executablePath() {
    return QStringLiteral(TELKARO_INSTRUMENT_PATH);
}

QString VirtualInstrument::logPath() const {
    return m_dir ? m_dir->filePath(QStringLiteral("instrument.log")) : QString();
}

bool VirtualInstrument::start(const QStringList &extraArgs) {
    stop();
    m_portName.clear();
    m_lastError.clear();
    m_stdout.clear();
    m_log.reset();
    m_events.clear();
    m_received.clear();
    m_transmitted.clear();

    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid()) {
        m_lastError = QStringLiteral("no temporary folder: ") + m_dir->errorString();
        return false;
    }
    m_log = std::make_unique<instrument::WireLogReader>(QFile::encodeName(logPath()).toStdString());
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(executablePath());
    m_process->setArguments(
        QStringList{QStringLiteral("--log"), logPath(), QStringLiteral("--exit-with-parent")} +
        extraArgs);
    m_process->start();
    if (!m_process->waitForStarted(10000)) {
        m_lastError =
            QStringLiteral("cannot start %1: %2").arg(executablePath(), m_process->errorString());
        return false;
    }
    const bool up = waitFor(
        [this] { return m_process->canReadLine() || m_process->state() == QProcess::NotRunning; },
        10000);
    if (!up || !m_process->canReadLine()) {
        m_lastError = QStringLiteral("instrument did not come up: ") +
                      QString::fromLocal8Bit(m_process->readAllStandardError());
        stop();
        return false;
    }
    m_portName = QString::fromLocal8Bit(m_process->readLine().trimmed());
    readLog();
    return true;
}

void VirtualInstrument::stop() {
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->write("quit\n");
        if (!m_process->waitForFinished(3000)) {
            m_process->terminate();
            if (!m_process->waitForFinished(3000)) {
                m_process->kill();
                m_process->waitForFinished(3000);
            }
        }
    }
    readLog();
    m_process.reset();
}

bool VirtualInstrument::isRunning() const {
    return m_process && m_process->state() != QProcess::NotRunning;
}

bool VirtualInstrument::control(const QByteArray &line, int timeoutMs) {
    if (!isRunning()) {
        m_lastError = QStringLiteral("instrument not running");
        return false;
    }
    m_process->write(line + '\n');
    if (!waitFor([this] { return m_process->canReadLine(); }, timeoutMs)) {
        m_lastError = QStringLiteral("no answer to control line ") + QString::fromLatin1(line);
        return false;
    }
    const QByteArray answer = m_process->readLine().trimmed();
    if (!answer.startsWith("ok ")) {
        m_lastError = QString::fromLocal8Bit(answer);
        return false;
    }
    return true;
}

void VirtualInstrument::readLog() const {
    if (!m_log)
        return;
    for (const instrument::WireRecord &record : m_log->readNew()) {
        Event event;
        event.rx = record.direction == instrument::Direction::Received;
        event.ms = record.ms;
        event.bytes = QByteArray::fromStdString(record.bytes);
        (event.rx ? m_received : m_transmitted) += event.bytes;
        m_events.append(event);
    }
}

QByteArray VirtualInstrument::received() const {
    readLog();
    return m_received;
}

QByteArray VirtualInstrument::transmitted() const {
    readLog();
    return m_transmitted;
}

QList<VirtualInstrument::Event> VirtualInstrument::events() const {
    readLog();
    return m_events;
}

double VirtualInstrument::clockMs() const {
    readLog();
    return instrument::monotonicMs() - (m_log ? m_log->startMs().value_or(0) : 0);
}

bool VirtualInstrument::waitFor(const std::function<bool()> &pred, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired())
            return pred();
        QTest::qWait(2);
    }
    return true;
}

bool VirtualInstrument::waitForReceived(const QByteArray &needle, int timeoutMs) {
    return waitFor([&] { return received().contains(needle); }, timeoutMs);
}

bool VirtualInstrument::waitForExit(int timeoutMs) {
    return waitFor([this] { return !isRunning(); }, timeoutMs);
}
