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
const QString ТекстСвязь = QStringLiteral("Связь с прибором установлена");
const QString ТекстИзмерение = QStringLiteral("Измерение");
const QString ТекстЧтение = QStringLiteral("Чтение плашки");
const QString ТекстОшибка = QStringLiteral("Ошибка ");
const QString ТекстСовет = QStringLiteral("Выключите прибор и включите через 20-30 сек");
const QString ТекстПортОтключён = QStringLiteral("    Порт отключён");
const QString ТекстНеОтвечает = QStringLiteral("    Прибор не отвечает");
constexpr int ОтступСовета = 20;
} // namespace

QByteArray ТекстКомандыСтрип(qint16 stripCount) {
    // A number's text form keeps a blank in the sign position when it is not
    // negative: "J 12", "J 5".
    QByteArray text("J");
    if (stripCount >= 0)
        text += ' ';
    text += QByteArray::number(stripCount);
    return text;
}

Session::Session(Модуль1 &module, CommandPort &port, PaneModel &ОкноПечати, MenuFlags &menus,
                 TimerSwitch &ТаймерСвязи, Clock &clock)
    : m(module)
    , m_port(port)
    , m_pane(ОкноПечати)
    , m_menus(menus)
    , m_timer(ТаймерСвязи)
    , m_clock(clock) {}

void Session::Отправить(const QByteArray &text) {
    m.LastCommand = text + "\r\n";
    m.RxBuffer.clear();
    m_port.Output(m.LastCommand);
}

void Session::MSComm1_OnComm(char c) {
    if (ПриёмныйШаг(m.RxBuffer, c))
        ПриёмОтвета();
}

void Session::ТаймерСвязи_Timer() {
    Отправить("E");
}

void Session::ПриёмОтвета() {
    const char first = m.RxBuffer.isEmpty() ? '\0' : m.RxBuffer.front();
    switch (m.SessionState) {
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
        if (m.MeasureAfterStrip == Истина) {
            КомандаИзмерение();
            m.MeasureAfterStrip = Ложь;
        } else {
            m.RxBuffer.clear();
            m.SessionState = StateDone;
        }
        break;
    case StateAwaitMeasureAck:
        m.RxBuffer.clear();
        m.SessionState = StateMeasuring;
        break;
    case StateMeasuring:
        m_pane.Cls();
        m_timer.setEnabled(false);
        if (first != '0') {
            СообщениеОшибка();
            break;
        }
        m_pane.PSet(5, 3);
        m_pane.Print(ТекстЧтение);
        Пауза();
        Отправить("X 0");
        m.SessionState = StateAwaitData;
        break;
    case StateAwaitData:
        ПриёмБлока();
        break;
    case StateFault:
        if (m_clock.nowMs() - m_faultTime >= ТишинаПослеОшибкиMs) {
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

void Session::ПриёмБлока() {
    ПоказатьБлок(m_pane, m.RxBuffer);
    m.PlateText = ПостроитьPlateText(m.RxBuffer);
    m_menus.setEnabled(Меню::менюИзмерение, true);
    m_menus.setEnabled(Меню::менюФайл, true);
    m_menus.setEnabled(Меню::менюФайлЗапись, true);
    m_menus.setEnabled(Меню::менюФайлПросмотр, true);
    m.SessionState = StateDone;
    // The buffer keeps the block: Save writes it from there.
}

void Session::Пауза() {
    // The instrument needs half a second after its completion status before
    // it takes the data request. The wait blocks the window on purpose and
    // sleeps rather than spins.
    m_faultTime = m_clock.nowMs();
    for (;;) {
        const qint64 elapsed = m_clock.nowMs() - m_faultTime;
        if (elapsed >= ПаузаПередЧтениемMs)
            break;
        m_clock.sleepMs(ПаузаПередЧтениемMs - elapsed);
    }
}

void Session::менюИзмерение_Click() {
    if (!m_port.isOpen())
        return; // no instrument to talk to: the pane keeps the port message
    if (m.DeviceStripCount == m.StripCount) {
        КомандаИзмерение();
    } else {
        m.MeasureAfterStrip = Истина;
        КомандаСтрип();
    }
    m_menus.setEnabled(Меню::менюФайлЗапись, true);
}

void Session::менюФайлЧтениеПлашки_Click() {
    if (!m_port.isOpen())
        return; // refused: the pane keeps the port message
    Отправить("X0");
    m_pane.Cls();
    m_pane.PSet(5, 3);
    m_pane.Print(ТекстЧтение);
    m.SessionState = StateAwaitData;
    m_menus.setEnabled(Меню::менюФайлЗапись, true);
}

void Session::КомандаИзмерение() {
    m_menus.setEnabled(Меню::менюФайл, false);
    m_menus.setEnabled(Меню::менюИзмерение, false);
    Отправить("Z");
    m.MeasureAfterStrip = Истина;
    m_timer.setEnabled(true);
    m_pane.Cls();
    m_pane.PSet(5, 3);
    m_pane.Print(ТекстИзмерение);
    m.SessionState = StateAwaitMeasureAck;
}

void Session::КомандаСтрип() {
    Отправить(ТекстКомандыСтрип(m.StripCount));
    m.SessionState = StateAwaitStripAck;
    m.DeviceStripCount = m.StripCount;
}

void Session::СообщениеОшибка() {
    const QChar status = m.RxBuffer.isEmpty() ? QChar() : QChar::fromLatin1(m.RxBuffer.front());
    m_pane.Cls();
    m_pane.PSet(5, 3);
    m_pane.Print(ТекстОшибка + status);
    m_pane.PrintLine();
    m_pane.Print(QString(ОтступСовета, QLatin1Char(' ')) + ТекстСовет);
    m_menus.setEnabled(Меню::менюФайл, true);
    m_menus.setEnabled(Меню::менюИзмерение, true);
    m.MeasureAfterStrip = Ложь;
    m.RxBuffer.clear();
    m.SessionState = StateFault;
    m_faultTime = m_clock.nowMs();
    m_timer.setEnabled(true);
}

void Session::СообщениеСвязь() {
    m_pane.Cls();
    m_pane.PSet(4, 3);
    m_pane.Print(ТекстСвязь);
    m_menus.setEnabled(Меню::менюИзмерение, true);
    m.SessionState = StateLinked;
    m_timer.setEnabled(false);
}

void Session::ПортПотерян() {
    // Nothing can reach the instrument any more: stop polling, say so once,
    // and leave the File menu to the operator (view, copy, exit).
    m_timer.setEnabled(false);
    m_pane.Cls();
    m_pane.PSet(4, 3);
    m_pane.Print(ТекстПортОтключён);
    m_menus.setEnabled(Меню::менюФайл, true);
    // What needs the instrument is not offered until the port is back.
    m_menus.setEnabled(Меню::менюИзмерение, false);
    m_menus.setEnabled(Меню::менюФайлЧтениеПлашки, false);
}

void Session::ПортВернулся() {
    // The instrument may have been switched off, or be another one, behind
    // the same name: nothing of the old exchange is relied on, and the next
    // measurement sends the strip count first.
    m.SessionState = StateAwaitLink;
    m.MeasureAfterStrip = Ложь;
    m.DeviceStripCount = 0;
    m.RxBuffer.clear();
    // The menus as after loading: nothing to save until a new block arrives.
    m_menus.setEnabled(Меню::менюФайл, true);
    m_menus.setEnabled(Меню::менюФайлЧтениеПлашки, true);
    m_menus.setEnabled(Меню::менюФайлПросмотр, true);
    m_menus.setEnabled(Меню::менюФайлЗапись, false);
    m_menus.setEnabled(Меню::менюИзмерение, false);
    m_pane.Cls();
    СообщениеНеОтвечает();
    m_timer.setEnabled(true);
}

void Session::СообщениеНеОтвечает() {
    m_pane.PSet(4, 3);
    m_pane.Print(ТекстНеОтвечает);
}
