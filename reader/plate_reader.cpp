// SPDX-License-Identifier: GPL-3.0-or-later
#include "plate_reader.h"

#include "output.h"
#include "reader_text.h"

#include "link/port_problem.h"
#include "link/serial_link.h"
#include "link/session.h"
#include "plate/plate.h"

#include <QDateTime>

namespace {
QString seconds(qint64 ms) {
    const qint64 s = (ms + 999) / 1000;
    if (s < 60)
        return ReaderText::tr("%1 s").arg(s);
    return ReaderText::tr("%1 min %2 s").arg(s / 60).arg(s % 60);
}
} // namespace

PlateReader::PlateReader(const ReaderOptions &options, std::unique_ptr<RunOutput> output)
    : m_options(options)
    , m_output(std::move(output)) {
    m_clock.start();
    Session &session = m_link.session();
    // The strip count is the operator's: also the one the session sends on
    // its own after the link.
    session.setStripCount(options.strips);
    connect(&session, &Session::linked, this, &PlateReader::linked);
    connect(&session, &Session::stripCountSent, this, [this] {
        m_settled = false;
        moved(m_phase);
    });
    connect(&session, &Session::stripCountApplied, this, [this] {
        m_settled = true;
        moved(m_phase);
        if (m_plate == 0) // the strip count the session sent is taken
            QTimer::singleShot(0, this, &PlateReader::beginWhenSettled);
    });
    connect(&session, &Session::measurementStarted, this, [this] {
        m_settled = false;
        m_measuring = true;
        moved(ReaderText::tr("measuring"));
        emit progressed(plateOfRun() + m_phase);
    });
    connect(&session, &Session::readingPlate, this, [this] {
        m_settled = false;
        moved(ReaderText::tr("reading the block"));
        if (m_measuring) // a Read plate request says so itself
            emit progressed(plateOfRun() + m_phase);
        m_measuring = false;
    });
    connect(&session, &Session::instrumentError, this, &PlateReader::instrumentError);
    connect(&session, &Session::plateReceived, this, &PlateReader::plateReceived);
    connect(&session, &Session::portLost, this, &PlateReader::portLost);
    m_timeout.setSingleShot(true);
    m_timeout.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5 % early
    connect(&m_timeout, &QTimer::timeout, this, &PlateReader::timedOut);
    m_nextPlate.setSingleShot(true);
    connect(&m_nextPlate, &QTimer::timeout, this, &PlateReader::beginPlate);
}

void PlateReader::start(const QString &portName) {
    if (!m_link.open(portName)) {
        emit told(ReaderText::tr("telkaro-read: cannot open port %1: %2")
                      .arg(shownPortName(portName), portProblemText(m_link.MSComm1().problem())));
        QTimer::singleShot(0, this, [this] { end(exitCode::portNotOpened); });
        return;
    }
    m_phase = ReaderText::tr("waiting for the link");
    emit progressed(ReaderText::tr("telkaro-read: port %1: waiting for the instrument")
                        .arg(shownPortName(portName)));
    m_link.session().start();
    m_timeout.start(m_options.timeoutMs);
}

// The instrument moved on: the wait for its next step starts again.
void PlateReader::moved(const QString &phase) {
    if (m_ended)
        return;
    m_phase = phase;
    m_timeout.start(m_options.timeoutMs);
}

void PlateReader::linked() {
    if (m_ended || m_plate > 0)
        return;
    m_settled = true;
    moved(m_phase);
    if (m_options.command == ReaderCommand::Status) {
        emit answered(QStringLiteral("ready"));
        end(exitCode::done);
        return;
    }
    // The operator's choice comes as an event of its own, after this one.
    QTimer::singleShot(0, this, &PlateReader::beginWhenSettled);
}

void PlateReader::instrumentError(char status) {
    if (m_ended)
        return;
    const QString code = QString(QChar::fromLatin1(status));
    emit told(ReaderText::tr("telkaro-read: the instrument reports error %1").arg(code));
    if (m_options.command == ReaderCommand::Status)
        emit answered(QStringLiteral("error %1").arg(code));
    end(exitCode::instrumentError);
}

void PlateReader::portLost() {
    emit told(ReaderText::tr("telkaro-read: port %1 was lost: %2")
                  .arg(shownPortName(m_link.MSComm1().portName()),
                       portProblemText(PortProblem::Unplugged)));
    end(exitCode::portLost);
}

QString PlateReader::plateOfRun() const {
    if (m_options.repeat == 1)
        return QStringLiteral("telkaro-read: ");
    return ReaderText::tr("telkaro-read: plate %1 of %2: ").arg(m_plate).arg(m_options.repeat);
}

QString PlateReader::timeLeft() const {
    const qint64 now = m_clock.elapsed();
    const int left = m_options.repeat - m_plate;
    const qint64 ms =
        m_options.intervalMs > 0
            ? m_firstStartMs + (m_options.repeat - 1) * m_options.intervalMs + m_lastPlateMs - now
            : left * m_lastPlateMs;
    return seconds(std::max<qint64>(ms, 0));
}

void PlateReader::beginWhenSettled() {
    // A further complete reply after the link (the line end after its OK,
    // when it came in the same read) makes the session send the strip count
    // on its own. A request made before that is acknowledged would take the
    // acknowledgement for its own, so it waits for it.
    if (!m_ended && m_plate == 0 && m_settled)
        beginPlate();
}

void PlateReader::beginPlate() {
    if (m_ended)
        return;
    ++m_plate;
    m_plateStartMs = m_clock.elapsed();
    if (m_plate == 1)
        m_firstStartMs = m_plateStartMs;
    m_plateRunning = true;
    m_timeout.start(m_options.timeoutMs);
    Session &session = m_link.session();
    if (m_options.command == ReaderCommand::Measure) {
        m_phase = ReaderText::tr("starting the measurement");
        session.measure(m_options.strips);
    } else {
        emit progressed(plateOfRun() + ReaderText::tr("reading the block"));
        session.readPlate();
    }
}

void PlateReader::plateReceived(const Plate &plate) {
    if (m_ended || !m_plateRunning)
        return;
    m_plateRunning = false;
    m_timeout.stop();
    if (plate.strips() == 0 || !plate.isComplete()) {
        emit told(ReaderText::tr("telkaro-read: the instrument's data block is not a plate (%1 "
                                 "characters)")
                      .arg(plate.reply().size()));
        end(exitCode::instrumentError);
        return;
    }
    const QString failure = m_output->add(plate);
    if (!failure.isEmpty()) {
        emit told(QStringLiteral("telkaro-read: ") + failure);
        end(m_output->failureCode());
        return;
    }
    const qint64 now = m_clock.elapsed();
    m_lastPlateMs = now - m_plateStartMs;
    if (m_plate >= m_options.repeat) {
        if (m_options.repeat > 1)
            emit progressed(ReaderText::tr("telkaro-read: plate %1 of %2 written")
                                .arg(m_plate)
                                .arg(m_options.repeat));
        end(exitCode::done);
        return;
    }
    emit progressed(ReaderText::tr("telkaro-read: plate %1 of %2 written; %3 left")
                        .arg(m_plate)
                        .arg(m_options.repeat)
                        .arg(timeLeft()));
    const qint64 wait = m_firstStartMs + m_plate * m_options.intervalMs - now;
    if (wait > 0) {
        m_nextPlate.start(static_cast<int>(std::min<qint64>(wait, INT_MAX)));
        return;
    }
    if (m_options.intervalMs > 0)
        emit told(ReaderText::tr("telkaro-read: plate %1 starts late: plate %2 took %3, longer "
                                 "than the interval")
                      .arg(m_plate + 1)
                      .arg(m_plate)
                      .arg(seconds(m_lastPlateMs)));
    m_nextPlate.start(0);
}

void PlateReader::timedOut() {
    emit told(
        ReaderText::tr("telkaro-read: the instrument on port %1 did not answer within %2 (%3)")
            .arg(shownPortName(m_link.MSComm1().portName()), seconds(m_options.timeoutMs),
                 m_phase));
    end(exitCode::noAnswer);
}

void PlateReader::interrupt() {
    emit told(ReaderText::tr("telkaro-read: interrupted"));
    end(exitCode::interrupted);
}

void PlateReader::end(int code) {
    if (m_ended)
        return;
    m_ended = true;
    m_timeout.stop();
    m_nextPlate.stop();
    m_link.session().stop(); // the session answers nothing more: the line stays idle
    const QString failure = m_output->finish();
    if (!failure.isEmpty()) {
        emit told(QStringLiteral("telkaro-read: ") + failure);
        if (code == exitCode::done)
            code = exitCode::outputFailed;
    }
    if (code == exitCode::done && m_output->anyInvalid()) {
        emit told(ReaderText::tr("telkaro-read: the run is invalid by the kit's rules"));
        code = exitCode::runInvalid;
    }
    emit finished(code);
}
