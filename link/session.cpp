// SPDX-License-Identifier: GPL-3.0-or-later
#include "session.h"

#include "receive_step.h"

#include "core/clock.h"
#include "core/command_port.h"
#include "core/timer_switch.h"

#include <QDateTime>

QByteArray stripCommandText(int stripCount) {
    // A number's text form keeps a blank in the sign position when it is not
    // negative: "J 12", "J 5".
    QByteArray text("J");
    if (stripCount >= 0)
        text += ' ';
    text += QByteArray::number(stripCount);
    return text;
}

Session::Session(std::unique_ptr<CommandPort> port, std::unique_ptr<TimerSwitch> ТаймерСвязи,
                 std::unique_ptr<Clock> clock, QObject *parent)
    : QObject(parent)
    , m_port(std::move(port))
    , m_timer(std::move(ТаймерСвязи))
    , m_clock(std::move(clock)) {}

Session::~Session() = default;

void Session::send(const QByteArray &text) {
    m_lastCommand = text + "\r\n";
    m_rxBuffer.clear();
    m_port->output(m_lastCommand);
}

void Session::start() {
    m_stopped = false;
    emit noAnswer();
    m_timer->setEnabled(true);
}

void Session::stop() {
    m_stopped = true;
    m_timer->setEnabled(false);
}

void Session::receive(const QByteArray &bytes) {
    // One character at a time: a reply may send a command, which empties
    // the reply buffer, before the next character is looked at.
    for (const char c : bytes)
        receive(c);
}

void Session::receive(char c) {
    if (m_stopped)
        return;
    if (receiveStep(m_rxBuffer, c))
        handleReply();
}

void Session::tick() {
    if (!m_stopped)
        send("E");
}

// The reply in the buffer is complete: act on it by the session state.
void Session::handleReply() {
    using enum SessionState;
    const char first = m_rxBuffer.isEmpty() ? '\0' : m_rxBuffer.front();
    switch (m_state) {
    case StateAwaitLink:
        linkReply(first);
        break;
    case StateLinked:
        КомандаСтрип();
        break;
    case StateAwaitStripAck:
        if (m_measureAfterStrip) {
            КомандаИзмерение();
            m_measureAfterStrip = false;
        } else {
            m_rxBuffer.clear();
            m_state = StateDone;
            emit stripCountApplied();
        }
        break;
    case StateAwaitMeasureAck:
        m_rxBuffer.clear();
        m_state = StateMeasuring;
        break;
    case StateMeasuring:
        m_timer->setEnabled(false);
        if (first != '0') {
            fault();
            break;
        }
        emit readingPlate();
        pause();
        send("X 0");
        m_state = StateAwaitData;
        break;
    case StateAwaitData:
        // The buffer keeps the block until the next command.
        m_state = StateDone;
        emit plateReceived(Plate(m_rxBuffer, QDateTime::currentDateTimeUtc()));
        break;
    case StateFault:
        // A reply after a quiet period is judged as while awaiting the link.
        if (m_clock->nowMs() - m_faultTime >= quietAfterFaultMs)
            linkReply(first);
        else
            m_faultTime = m_clock->nowMs();
        break;
    default: // StateDone: no reply is expected
        break;
    }
}

void Session::linkReply(char first) {
    using enum SessionState;
    if (first != '0') {
        fault();
        return;
    }
    // СообщениеСвязь: no status poll while the link is idle; the buffer
    // keeps the status reply.
    m_state = StateLinked;
    m_timer->setEnabled(false);
    emit linked();
}

void Session::pause() {
    // The instrument needs half a second after its completion status before
    // it takes the data request. The wait blocks on purpose and sleeps
    // rather than spins.
    m_faultTime = m_clock->nowMs();
    for (;;) {
        const qint64 elapsed = m_clock->nowMs() - m_faultTime;
        if (elapsed >= pauseBeforeDataMs)
            break;
        m_clock->sleepMs(pauseBeforeDataMs - elapsed);
    }
}

bool Session::measure(int stripCount) {
    if (!m_port->isOpen())
        return false; // no instrument to talk to
    m_stripCount = stripCount;
    if (m_deviceStripCount == m_stripCount) {
        КомандаИзмерение();
    } else {
        m_measureAfterStrip = true;
        КомандаСтрип();
    }
    return true;
}

bool Session::readPlate() {
    using enum SessionState;
    if (!m_port->isOpen())
        return false;
    send("X0");
    m_state = StateAwaitData;
    emit readingPlate();
    return true;
}

void Session::КомандаИзмерение() {
    using enum SessionState;
    send("Z");
    m_measureAfterStrip = true;
    m_timer->setEnabled(true);
    m_state = StateAwaitMeasureAck;
    emit measurementStarted();
}

void Session::КомандаСтрип() {
    using enum SessionState;
    send(stripCommandText(m_stripCount));
    m_state = StateAwaitStripAck;
    m_deviceStripCount = m_stripCount;
    emit stripCountSent(m_stripCount);
}

// СообщениеОшибка's part in the exchange: the fault wait begins, polling.
void Session::fault() {
    using enum SessionState;
    const char status = m_rxBuffer.isEmpty() ? '\0' : m_rxBuffer.front();
    m_measureAfterStrip = false;
    m_rxBuffer.clear();
    m_state = StateFault;
    m_faultTime = m_clock->nowMs();
    m_timer->setEnabled(true);
    emit instrumentError(status);
}

void Session::handlePortLost() {
    // Nothing can reach the instrument any more: stop polling.
    m_timer->setEnabled(false);
    emit portLost();
}

void Session::handlePortBack() {
    using enum SessionState;
    // The instrument may have been switched off, or be another one, behind
    // the same name: nothing of the old exchange is relied on, and the next
    // measurement sends the strip count first.
    m_state = StateAwaitLink;
    m_measureAfterStrip = false;
    m_deviceStripCount = 0;
    m_rxBuffer.clear();
    emit portBack();
    emit noAnswer();
    m_timer->setEnabled(true);
}
