// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

class LinkTimer;
class SerialLink;
class Session;

// The session over the serial line, made and wired in one place: the
// session owns the serial link, the link timer and the clock; timer ticks
// and received characters go to it, and a lost port stops it. The window,
// telkaro-read and the assay window all run on this.
class InstrumentLink {
public:
    InstrumentLink();
    ~InstrumentLink();
    InstrumentLink(const InstrumentLink &) = delete;
    InstrumentLink &operator=(const InstrumentLink &) = delete;

    // Opens the port with the link timer off; false when it cannot be opened,
    // with the reason in MSComm1().problem().
    bool open(const QString &portName);

    Session &session() const { return *m_session; }
    SerialLink &MSComm1() const { return *m_line; }
    LinkTimer &ТаймерСвязи() const { return *m_timer; }

private:
    std::unique_ptr<Session> m_session;
    // Owned by the session, which lives as long as this.
    SerialLink *m_line = nullptr;
    LinkTimer *m_timer = nullptr;
};
