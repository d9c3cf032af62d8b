#include "virtual_instrument.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>

#include <chrono>

namespace {

double steadyMs() {
    // CLOCK_MONOTONIC, the clock the instrument stamps its log with.
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(now).count();
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The log writes printable ASCII as is, and \r \n \t \\ \xHH for everything else.
QByteArray unescape(QByteArrayView text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const char e = text[++i];
        if (e == 'r') {
            out += '\r';
        } else if (e == 'n') {
            out += '\n';
        } else if (e == 't') {
            out += '\t';
        } else if (e == 'x' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
                   hexDigit(text[i + 2]) >= 0) {
            out += char(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += e;
        }
    }
    return out;
}

} // namespace

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
    m_logOffset = 0;
    m_events.clear();
    m_received.clear();
    m_transmitted.clear();
    m_startMonotonicMs = 0;

    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid()) {
        m_lastError = QStringLiteral("no temporary folder: ") + m_dir->errorString();
        return false;
    }
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
    QFile file(logPath());
    if (!m_dir || !file.open(QIODevice::ReadOnly) || !file.seek(m_logOffset))
        return;
    QByteArray data = file.readAll();
    data.truncate(data.lastIndexOf('\n') + 1); // a line still being written waits
    m_logOffset += data.size();
    for (const QByteArray &line : data.split('\n')) {
        if (line.startsWith("# start ")) {
            m_startMonotonicMs = line.mid(8).toDouble();
            continue;
        }
        const qsizetype timeEnd = line.indexOf(' ', 3);
        if (!(line.startsWith("RX ") || line.startsWith("TX ")) || timeEnd < 0)
            continue;
        Event event;
        event.rx = line.startsWith("RX");
        event.ms = line.mid(3, timeEnd - 3).toDouble();
        event.bytes = unescape(QByteArrayView(line).sliced(timeEnd + 1));
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
    return steadyMs() - m_startMonotonicMs;
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
