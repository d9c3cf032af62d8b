// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/module1.h"

class Clock;
class CommandPort;
class MenuFlags;
class PaneModel;
class TimerSwitch;

// The exchange with the instrument: the command senders, the status
// messages in the results pane, and the state machine driven by complete
// replies and by the link timer.
class Session {
public:
    Session(Модуль1 &moduleState, CommandPort &port, PaneModel &ОкноПечати, MenuFlags &menus,
            TimerSwitch &ТаймерСвязи, Clock &clock);

    // One received character: the receive step, and the dispatch when the
    // reply buffer then ends with "OK".
    void MSComm1_OnComm(char c);
    // A tick of the link timer: poll the instrument's status.
    void ТаймерСвязи_Timer();

    // The operator's commands.
    void менюИзмерение_Click();
    void менюФайлЧтениеПлашки_Click();

    // The serial port vanished under the running program.
    void onPortLost();
    // The lost port is open again: start over as after loading, keeping the
    // plate text for Copy.
    void onPortBack();

    // "    Прибор не отвечает" at (4, 3): the first status after loading, and
    // again when a lost port is back.
    void showNoAnswer();

    qint64 FaultTime() const { return m_faultTime; }
    // The first character of the last reply shown as an error (its status
    // code), or '\0' before any.
    char faultStatus() const { return m_faultStatus; }

    static constexpr qint64 pauseBeforeDataMs = 500;
    static constexpr qint64 quietAfterFaultMs = 2000;

private:
    void КомандаИзмерение();
    void КомандаСтрип();
    void СообщениеОшибка();
    void СообщениеСвязь();
    // The reply in the buffer is complete: act on it by the session state.
    void handleReply();
    void send(const QByteArray &text);
    void takeBlock();
    void pause();

    Модуль1 &m_moduleState;
    CommandPort &m_port;
    PaneModel &m_pane;
    MenuFlags &m_menus;
    TimerSwitch &m_timer;
    Clock &m_clock;
    // When the fault wait began or last saw a reply; the half-second pause
    // before the data request also keeps its start here (ms, monotonic).
    qint64 m_faultTime = 0;
    char m_faultStatus = '\0';
};

// The text form of the strip-count command: "J", the count with a blank in
// the sign position ("J 12").
QByteArray stripCommandText(qint16 stripCount);
