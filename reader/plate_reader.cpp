// SPDX-License-Identifier: GPL-3.0-or-later
#include "plate_reader.h"

#include "output.h"
#include "reader_text.h"

#include "link/port_problem.h"
#include "plate/plate_block.h"

#include <QDateTime>

namespace {
QString seconds(qint64 ms) {
    const qint64 s = (ms + 999) / 1000;
    if (s < 60)
        return ReaderText::tr("%1 s").arg(s);
    return ReaderText::tr("%1 min %2 s").arg(s / 60).arg(s % 60);
}
} // namespace

PlateReader::PlateReader(const ReaderOptions &options, PlateOutput &output)
    : m_options(options)
    , m_output(output)
    , m_link(m_state) {
    // As Main sets the module's defaults; the strip count is the operator's.
    m_state.StripCount = static_cast<qint16>(options.strips);
    m_state.SessionState = StateAwaitLink;
    m_state.MeasureAfterStrip = false16;
    m_link.afterCharacter = [this](char) { afterCharacter(); };
    m_link.afterPortLost = [this] {
        say(ReaderText::tr("telkaro-read: port %1 was lost: %2")
                .arg(shownPortName(m_link.MSComm1.portName()),
                     portProblemText(PortProblem::Unplugged)));
        end(exitCode::portLost);
    };
    m_timeout.setSingleShot(true);
    m_timeout.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5 % early
    QObject::connect(&m_timeout, &QTimer::timeout, &m_timeout, [this] { timedOut(); });
    m_nextPlate.setSingleShot(true);
    QObject::connect(&m_nextPlate, &QTimer::timeout, &m_nextPlate, [this] { beginPlate(); });
}

void PlateReader::say(const QString &line) const {
    if (tell)
        tell(line);
}

void PlateReader::start(const QString &portName) {
    if (!m_link.open(portName)) {
        say(ReaderText::tr("telkaro-read: cannot open port %1: %2")
                .arg(shownPortName(portName), portProblemText(m_link.MSComm1.problem())));
        QTimer::singleShot(0, &m_timeout, [this] { end(exitCode::portNotOpened); });
        return;
    }
    m_phase = ReaderText::tr("waiting for the link");
    if (progress)
        progress(ReaderText::tr("telkaro-read: port %1: waiting for the instrument")
                     .arg(shownPortName(portName)));
    m_link.start();
    m_timeout.start(m_options.timeoutMs);
}

void PlateReader::afterCharacter() {
    if (m_ended || m_state.SessionState == m_seen)
        return;
    const ::SessionState from = m_seen;
    m_seen = m_state.SessionState;
    stateChanged(from);
}

void PlateReader::stateChanged(::SessionState from) {
    m_timeout.start(m_options.timeoutMs); // the instrument moved on
    switch (m_state.SessionState) {
    case StateFault: {
        const QString code = QString(QChar::fromLatin1(m_link.session.faultStatus()));
        say(ReaderText::tr("telkaro-read: the instrument reports error %1").arg(code));
        if (m_options.command == ReaderCommand::Status && answer)
            answer(QStringLiteral("error %1").arg(code));
        end(exitCode::instrumentError);
        return;
    }
    case StateLinked:
        if (m_plate > 0)
            return;
        if (m_options.command == ReaderCommand::Status) {
            if (answer)
                answer(QStringLiteral("ready"));
            end(exitCode::done);
            return;
        }
        // The operator's choice comes as an event of its own, after this one.
        QTimer::singleShot(0, &m_nextPlate, [this] { beginWhenSettled(); });
        return;
    case StateMeasuring:
        m_phase = ReaderText::tr("measuring");
        if (progress)
            progress(plateOfRun() + m_phase);
        return;
    case StateAwaitData:
        if (from == StateMeasuring) {
            m_phase = ReaderText::tr("reading the block");
            if (progress)
                progress(plateOfRun() + m_phase);
        }
        return;
    case StateDone:
        if (m_plateRunning && from == StateAwaitData)
            plateDone();
        else if (m_plate == 0) // the strip count the session sent is taken
            QTimer::singleShot(0, &m_nextPlate, [this] { beginWhenSettled(); });
        return;
    default:
        return;
    }
}

QString PlateReader::plateOfRun() const {
    if (m_options.repeat == 1)
        return QStringLiteral("telkaro-read: ");
    return ReaderText::tr("telkaro-read: plate %1 of %2: ").arg(m_plate).arg(m_options.repeat);
}

QString PlateReader::timeLeft() const {
    const qint64 now = m_link.clock.nowMs();
    const int left = m_options.repeat - m_plate;
    const qint64 ms =
        m_options.intervalMs > 0
            ? m_firstStartMs + (m_options.repeat - 1) * m_options.intervalMs + m_lastPlateMs - now
            : left * m_lastPlateMs;
    return seconds(std::max<qint64>(ms, 0));
}

void PlateReader::beginWhenSettled() {
    if (m_ended || m_plate > 0)
        return;
    // A further complete reply after the link (the line end after its OK,
    // when it came in the same read) makes the session send the strip count
    // on its own. A command chosen before that is acknowledged would take
    // the acknowledgement for its own, so it waits for StateDone.
    if (m_state.SessionState == StateLinked || m_state.SessionState == StateDone)
        beginPlate();
}

void PlateReader::beginPlate() {
    if (m_ended)
        return;
    ++m_plate;
    m_plateStartMs = m_link.clock.nowMs();
    if (m_plate == 1)
        m_firstStartMs = m_plateStartMs;
    m_plateRunning = true;
    m_timeout.start(m_options.timeoutMs);
    if (m_options.command == ReaderCommand::Measure) {
        m_phase = ReaderText::tr("starting the measurement");
        m_link.session.менюИзмерение_Click();
    } else {
        m_phase = ReaderText::tr("reading the block");
        if (progress)
            progress(plateOfRun() + m_phase);
        m_link.session.менюФайлЧтениеПлашки_Click();
    }
    m_seen = m_state.SessionState;
}

void PlateReader::plateDone() {
    m_plateRunning = false;
    m_timeout.stop();
    const int strips = stripsToSave(m_state.RxBuffer);
    if (strips <= 0) {
        say(ReaderText::tr("telkaro-read: the instrument's data block is not a plate (%1 "
                           "characters)")
                .arg(m_state.RxBuffer.size()));
        end(exitCode::instrumentError);
        return;
    }
    const PlateRecord plate{m_plate, QDateTime::currentDateTimeUtc(),
                            m_state.RxBuffer.left(stripBlockSize * strips)};
    const QString failure = m_output.add(plate);
    if (!failure.isEmpty()) {
        say(QStringLiteral("telkaro-read: ") + failure);
        end(exitCode::outputFailed);
        return;
    }
    const qint64 now = m_link.clock.nowMs();
    m_lastPlateMs = now - m_plateStartMs;
    if (m_plate >= m_options.repeat) {
        if (progress && m_options.repeat > 1)
            progress(ReaderText::tr("telkaro-read: plate %1 of %2 written")
                         .arg(m_plate)
                         .arg(m_options.repeat));
        end(exitCode::done);
        return;
    }
    if (progress)
        progress(ReaderText::tr("telkaro-read: plate %1 of %2 written; %3 left")
                     .arg(m_plate)
                     .arg(m_options.repeat)
                     .arg(timeLeft()));
    const qint64 wait = m_firstStartMs + m_plate * m_options.intervalMs - now;
    if (wait > 0) {
        m_nextPlate.start(static_cast<int>(std::min<qint64>(wait, INT_MAX)));
        return;
    }
    if (m_options.intervalMs > 0)
        say(ReaderText::tr("telkaro-read: plate %1 starts late: plate %2 took %3, longer than "
                           "the interval")
                .arg(m_plate + 1)
                .arg(m_plate)
                .arg(seconds(m_lastPlateMs)));
    m_nextPlate.start(0);
}

void PlateReader::timedOut() {
    say(ReaderText::tr("telkaro-read: the instrument on port %1 did not answer within %2 (%3)")
            .arg(shownPortName(m_link.MSComm1.portName()), seconds(m_options.timeoutMs), m_phase));
    end(exitCode::noAnswer);
}

void PlateReader::interrupt() {
    say(ReaderText::tr("telkaro-read: interrupted"));
    end(exitCode::interrupted);
}

void PlateReader::end(int code) {
    if (m_ended)
        return;
    m_ended = true;
    m_timeout.stop();
    m_nextPlate.stop();
    m_link.stop(); // the session answers nothing more: the line stays idle
    const QString failure = m_output.finish();
    if (!failure.isEmpty()) {
        say(QStringLiteral("telkaro-read: ") + failure);
        if (code == exitCode::done)
            code = exitCode::outputFailed;
    }
    if (finished)
        finished(code);
}
