// SPDX-License-Identifier: GPL-3.0-or-later
#include "session.h"

#include "core/clock.h"
#include "core/menu_flags.h"
#include "core/pane_model.h"
#include "link_timer.h"
#include "plate/plate_block.h"
#include "receive_step.h"
#include "serial_link.h"

namespace {
const QString linkedText = QStringLiteral("Связь с прибором установлена");
const QString measuringText = QStringLiteral("Измерение");
const QString readingText = QStringLiteral("Чтение плашки");
const QString errorText = QStringLiteral("Ошибка ");
const QString adviceText = QStringLiteral("Выключите прибор и включите через 20-30 сек");
const QString unpluggedText = QStringLiteral("    Порт отключён");
const QString noAnswerText = QStringLiteral("    Прибор не отвечает");
constexpr int adviceIndent = 20;
} // namespace

QByteArray stripCommandText(qint16 stripCount) {
    // A number's text form keeps a blank in the sign position when it is not
    // negative: "J 12", "J 5".
    QByteArray text("J");
    if (stripCount >= 0)
        text += ' ';
    text += QByteArray::number(stripCount);
    return text;
}

Session::Session(Модуль1 &moduleState, CommandPort &port, PaneModel &ОкноПечати, MenuFlags &menus,
                 TimerSwitch &ТаймерСвязи, Clock &clock)
    : m_moduleState(moduleState)
    , m_port(port)
    , m_pane(ОкноПечати)
    , m_menus(menus)
    , m_timer(ТаймерСвязи)
    , m_clock(clock) {}

void Session::send(const QByteArray &text) {
    m_moduleState.LastCommand = text + "\r\n";
    m_moduleState.RxBuffer.clear();
    m_port.output(m_moduleState.LastCommand);
}

void Session::MSComm1_OnComm(char c) {
    if (receiveStep(m_moduleState.RxBuffer, c))
        handleReply();
}

void Session::ТаймерСвязи_Timer() {
    send("E");
}

void Session::handleReply() {
    const char first = m_moduleState.RxBuffer.isEmpty() ? '\0' : m_moduleState.RxBuffer.front();
    switch (m_moduleState.SessionState) {
    case StateAwaitLink:
        if (first == '0')
            СообщениеСвязь();
        else
            СообщениеОшибка();
        break;
    case StateLinked:
        КомандаСтрип();
        break;
    case StateAwaitStripAck:
        if (m_moduleState.MeasureAfterStrip == true16) {
            КомандаИзмерение();
            m_moduleState.MeasureAfterStrip = false16;
        } else {
            m_moduleState.RxBuffer.clear();
            m_moduleState.SessionState = StateDone;
        }
        break;
    case StateAwaitMeasureAck:
        m_moduleState.RxBuffer.clear();
        m_moduleState.SessionState = StateMeasuring;
        break;
    case StateMeasuring:
        m_pane.Cls();
        m_timer.setEnabled(false);
        if (first != '0') {
            СообщениеОшибка();
            break;
        }
        m_pane.PSet(5, 3);
        m_pane.Print(readingText);
        pause();
        send("X 0");
        m_moduleState.SessionState = StateAwaitData;
        break;
    case StateAwaitData:
        takeBlock();
        break;
    case StateFault:
        if (m_clock.nowMs() - m_faultTime >= quietAfterFaultMs) {
            // A reply after a quiet period is judged as while awaiting the link.
            if (first == '0')
                СообщениеСвязь();
            else
                СообщениеОшибка();
        } else {
            m_faultTime = m_clock.nowMs();
        }
        break;
    default: // StateDone: no reply is expected
        break;
    }
}

void Session::takeBlock() {
    showBlock(m_pane, m_moduleState.RxBuffer);
    m_moduleState.PlateText = buildPlateText(m_moduleState.RxBuffer);
    m_menus.setEnabled(Menu::менюИзмерение, true);
    m_menus.setEnabled(Menu::менюФайл, true);
    m_menus.setEnabled(Menu::менюФайлЗапись, true);
    m_menus.setEnabled(Menu::менюФайлПросмотр, true);
    m_moduleState.SessionState = StateDone;
    // The buffer keeps the block: Save writes it from there.
}

void Session::pause() {
    // The instrument needs half a second after its completion status before
    // it takes the data request. The wait blocks the window on purpose and
    // sleeps rather than spins.
    m_faultTime = m_clock.nowMs();
    for (;;) {
        const qint64 elapsed = m_clock.nowMs() - m_faultTime;
        if (elapsed >= pauseBeforeDataMs)
            break;
        m_clock.sleepMs(pauseBeforeDataMs - elapsed);
    }
}

void Session::менюИзмерение_Click() {
    if (!m_port.isOpen())
        return; // no instrument to talk to: the pane keeps the port message
    if (m_moduleState.DeviceStripCount == m_moduleState.StripCount) {
        КомандаИзмерение();
    } else {
        m_moduleState.MeasureAfterStrip = true16;
        КомандаСтрип();
    }
    m_menus.setEnabled(Menu::менюФайлЗапись, true);
}

void Session::менюФайлЧтениеПлашки_Click() {
    if (!m_port.isOpen())
        return; // refused: the pane keeps the port message
    send("X0");
    m_pane.Cls();
    m_pane.PSet(5, 3);
    m_pane.Print(readingText);
    m_moduleState.SessionState = StateAwaitData;
    m_menus.setEnabled(Menu::менюФайлЗапись, true);
}

void Session::КомандаИзмерение() {
    m_menus.setEnabled(Menu::менюФайл, false);
    m_menus.setEnabled(Menu::менюИзмерение, false);
    send("Z");
    m_moduleState.MeasureAfterStrip = true16;
    m_timer.setEnabled(true);
    m_pane.Cls();
    m_pane.PSet(5, 3);
    m_pane.Print(measuringText);
    m_moduleState.SessionState = StateAwaitMeasureAck;
}

void Session::КомандаСтрип() {
    send(stripCommandText(m_moduleState.StripCount));
    m_moduleState.SessionState = StateAwaitStripAck;
    m_moduleState.DeviceStripCount = m_moduleState.StripCount;
}

void Session::СообщениеОшибка() {
    m_faultStatus = m_moduleState.RxBuffer.isEmpty() ? '\0' : m_moduleState.RxBuffer.front();
    const QChar status = m_faultStatus == '\0' ? QChar() : QChar::fromLatin1(m_faultStatus);
    m_pane.Cls();
    m_pane.PSet(5, 3);
    m_pane.Print(errorText + status);
    m_pane.printLine();
    m_pane.Print(QString(adviceIndent, QLatin1Char(' ')) + adviceText);
    m_menus.setEnabled(Menu::менюФайл, true);
    m_menus.setEnabled(Menu::менюИзмерение, true);
    m_moduleState.MeasureAfterStrip = false16;
    m_moduleState.RxBuffer.clear();
    m_moduleState.SessionState = StateFault;
    m_faultTime = m_clock.nowMs();
    m_timer.setEnabled(true);
}

void Session::СообщениеСвязь() {
    m_pane.Cls();
    m_pane.PSet(4, 3);
    m_pane.Print(linkedText);
    m_menus.setEnabled(Menu::менюИзмерение, true);
    m_moduleState.SessionState = StateLinked;
    m_timer.setEnabled(false);
}

void Session::onPortLost() {
    // Nothing can reach the instrument any more: stop polling, say so once,
    // and leave the File menu to the operator (view, copy, exit).
    m_timer.setEnabled(false);
    m_pane.Cls();
    m_pane.PSet(4, 3);
    m_pane.Print(unpluggedText);
    m_menus.setEnabled(Menu::менюФайл, true);
    // What needs the instrument is not offered until the port is back.
    m_menus.setEnabled(Menu::менюИзмерение, false);
    m_menus.setEnabled(Menu::менюФайлЧтениеПлашки, false);
}

void Session::onPortBack() {
    // The instrument may have been switched off, or be another one, behind
    // the same name: nothing of the old exchange is relied on, and the next
    // measurement sends the strip count first.
    m_moduleState.SessionState = StateAwaitLink;
    m_moduleState.MeasureAfterStrip = false16;
    m_moduleState.DeviceStripCount = 0;
    m_moduleState.RxBuffer.clear();
    // The menus as after loading: nothing to save until a new block arrives.
    m_menus.setEnabled(Menu::менюФайл, true);
    m_menus.setEnabled(Menu::менюФайлЧтениеПлашки, true);
    m_menus.setEnabled(Menu::менюФайлПросмотр, true);
    m_menus.setEnabled(Menu::менюФайлЗапись, false);
    m_menus.setEnabled(Menu::менюИзмерение, false);
    m_pane.Cls();
    showNoAnswer();
    m_timer.setEnabled(true);
}

void Session::showNoAnswer() {
    m_pane.PSet(4, 3);
    m_pane.Print(noAnswerText);
}
