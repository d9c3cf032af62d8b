// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument_link.h"

#include "link_timer.h"
#include "serial_link.h"
#include "session.h"

#include "core/clock.h"

InstrumentLink::InstrumentLink() {
    auto line = std::make_unique<SerialLink>();
    auto timer = std::make_unique<LinkTimer>();
    m_line = line.get();
    m_timer = timer.get();
    m_line->setObjectName(QStringLiteral("MSComm1"));
    m_timer->setObjectName(QStringLiteral("ТаймерСвязи"));
    // The link timer runs in the window's design state; opening switches it.
    m_timer->setEnabled(true);
    m_session = std::make_unique<Session>(std::move(line), std::move(timer),
                                          std::make_unique<MonotonicClock>());
    Session *session = m_session.get();
    QObject::connect(m_timer, &LinkTimer::tick, session, &Session::tick);
    QObject::connect(m_line, &SerialLink::received, session,
                     qOverload<const QByteArray &>(&Session::receive));
    QObject::connect(m_line, &SerialLink::lost, session, &Session::handlePortLost);
}

InstrumentLink::~InstrumentLink() = default;

bool InstrumentLink::open(const QString &portName) {
    m_timer->setEnabled(false);
    return m_line->open(portName);
}
