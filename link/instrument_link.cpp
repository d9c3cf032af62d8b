// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument_link.h"

InstrumentLink::InstrumentLink(Модуль1 &state)
    : moduleState(state)
    , session(moduleState, MSComm1, ОкноПечати, menus, ТаймерСвязи, clock) {
    ТаймерСвязи.setObjectName(QStringLiteral("ТаймерСвязи"));
    MSComm1.setObjectName(QStringLiteral("MSComm1"));
    // The link timer runs in the window's design state; opening switches it.
    ТаймерСвязи.setEnabled(true);
    QObject::connect(&ТаймерСвязи, &LinkTimer::tick, &ТаймерСвязи, [this] {
        if (!m_stopped)
            session.ТаймерСвязи_Timer();
    });
    MSComm1.setCharacterHandler([this](char c) {
        if (m_stopped)
            return;
        session.MSComm1_OnComm(c);
        if (afterCharacter)
            afterCharacter(c);
    });
    QObject::connect(&MSComm1, &SerialLink::lost, &MSComm1, [this] {
        session.onPortLost();
        if (afterPortLost)
            afterPortLost();
    });
}

bool InstrumentLink::open(const QString &portName) {
    ТаймерСвязи.setEnabled(false);
    return MSComm1.open(portName);
}

void InstrumentLink::start() {
    session.showNoAnswer();
    ТаймерСвязи.setEnabled(true);
}

void InstrumentLink::stop() {
    m_stopped = true;
    ТаймерСвязи.setEnabled(false);
}
