// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/plate_geometry.h"
#include "plate/plate.h"

#include <QByteArray>
#include <QObject>

#include <memory>

class Clock;
class CommandPort;
class TimerSwitch;

// Session states of the exchange with the instrument.
enum class SessionState : qint16 {
    StateAwaitLink = 0,
    StateLinked = 1,
    StateAwaitStripAck = 2,
    StateAwaitMeasureAck = 3,
    StateMeasuring = 4,
    StateAwaitData = 5,
    StateFault = 6,
    StateDone = 10,
};

// The exchange with the instrument: the command senders and the state
// machine driven by complete replies and by the link timer. It owns the
// exchange's state and the parts it talks through (the port, the link
// timer's switch, the clock), shows nothing, and tells what happens by its
// signals, to any number of listeners; front ends make their requests by
// calling it.
class Session : public QObject {
    Q_OBJECT
public:
    Session(std::unique_ptr<CommandPort> port, std::unique_ptr<TimerSwitch> ТаймерСвязи,
            std::unique_ptr<Clock> clock, QObject *parent = nullptr);
    ~Session() override;

    // The operator's requests. Refused (false) while the port is not open.
    // Measurement of that many strips (1 to 12): the strip count first when
    // it differs from the one last sent.
    bool measure(int stripCount);
    // Read plate: the block the instrument holds.
    bool readPlate();
    // The strip count the operator chose, for the next strip-count command
    // (also the one the session sends on its own when a further reply comes
    // while the link is idle). 12 until chosen.
    void setStripCount(int stripCount) { m_stripCount = stripCount; }
    int stripCount() const { return m_stripCount; }

    // The first status: the link timer on, polling from here.
    void start();
    // Nothing more is handled: no ticks, no received characters. For a
    // program that has what it needs and ends.
    void stop();

    // Received characters, each handled in turn: the receive step, and the
    // dispatch when the reply buffer then ends with "OK".
    void receive(const QByteArray &bytes);
    void receive(char c);
    // A tick of the link timer: poll the instrument's status.
    void tick();
    // The serial port vanished under the running program, and is open again.
    void handlePortLost();
    void handlePortBack();

    // What the session holds, for whoever needs to look.
    SessionState state() const { return m_state; }
    const QByteArray &RxBuffer() const { return m_rxBuffer; }
    const QByteArray &LastCommand() const { return m_lastCommand; }
    int DeviceStripCount() const { return m_deviceStripCount; }
    bool MeasureAfterStrip() const { return m_measureAfterStrip; }
    // When the fault wait began or last saw a reply; the pause before the
    // data request also keeps its start here (ms, on the session's clock).
    qint64 FaultTime() const { return m_faultTime; }

    static constexpr qint64 pauseBeforeDataMs = 500;
    static constexpr qint64 quietAfterFaultMs = 2000;

signals:
    // The instrument is not answering yet: after the start, and when a lost
    // port is back.
    void noAnswer();
    // The link is established: the instrument answered with status "0".
    void linked();
    // The strip-count command went out, and its reply came without a
    // measurement to follow (the session is idle again).
    void stripCountSent(int stripCount);
    void stripCountApplied();
    // The measure command went out.
    void measurementStarted();
    // The data block is requested: after the measurement, or by readPlate().
    void readingPlate();
    // The instrument reported an error: the first character of its status.
    void instrumentError(char status);
    // A complete reply to the data request: the plate it holds.
    void plateReceived(const Plate &plate);
    // The port went away under the session, and is open again.
    void portLost();
    void portBack();

private:
    void КомандаИзмерение();
    void КомандаСтрип();
    void linkReply(char first);
    void fault();
    void handleReply();
    void send(const QByteArray &text);
    void pause();

    std::unique_ptr<CommandPort> m_port;
    std::unique_ptr<TimerSwitch> m_timer;
    std::unique_ptr<Clock> m_clock;
    SessionState m_state = SessionState::StateAwaitLink;
    QByteArray m_rxBuffer;            // accepted reply characters since the last command
    QByteArray m_lastCommand;         // last command line written, CR LF included
    int m_stripCount = plateStrips;   // the operator's choice
    int m_deviceStripCount = 0;       // strip count last sent to the instrument
    bool m_measureAfterStrip = false; // measure once the strip count is acknowledged
    qint64 m_faultTime = 0;
    bool m_stopped = false;
};

// The text form of the strip-count command: "J", the count with a blank in
// the sign position ("J 12").
QByteArray stripCommandText(int stripCount);
