// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link_timer.h"
#include "serial_link.h"
#include "session.h"

#include "core/clock.h"
#include "core/menu_flags.h"
#include "core/pane_model.h"
#include "core/plate_geometry.h"

#include <functional>

struct Модуль1;

// The parts that talk to the instrument, owned and wired together in one
// place: the clock, the link timer, the serial link, the menus' flags, the
// results pane's drawing and the session. Timer ticks and received
// characters go to the session; a lost port stops it. The window and the
// headless reader both run on this.
class InstrumentLink {
public:
    explicit InstrumentLink(Модуль1 &state);
    InstrumentLink(const InstrumentLink &) = delete;
    InstrumentLink &operator=(const InstrumentLink &) = delete;

    // Opens the port with the link timer off; false when it cannot be opened,
    // with the reason in MSComm1.problem().
    bool open(const QString &portName);
    // The first link status and the link timer on: the session polls from
    // here.
    void start();
    // Nothing more goes to the session: no ticks, no received characters
    // (the rest of a read already under way included). For a program that
    // has what it needs and ends.
    void stop();

    // After the session has handled a received character.
    std::function<void(char)> afterCharacter;
    // After the session has been told the port is lost.
    std::function<void()> afterPortLost;

    Модуль1 &moduleState;
    MonotonicClock clock;
    LinkTimer ТаймерСвязи;
    SerialLink MSComm1;
    MenuFlags menus;
    // A cell a well.
    PaneModel ОкноПечати{0, 0, plateStrips, plateRows};
    Session session;

private:
    bool m_stopped = false;
};
