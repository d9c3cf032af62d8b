// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common_dialog.h"
#include "plate_commands.h"
#include "port_messages.h"

#include "core/pane_model.h"
#include "core/plate_geometry.h"
#include "link/instrument_link.h"
#include "link/port_watch.h"

#include <QTimer>

#include <functional>

class QWidget;
struct Модуль1;

// The program's working parts, owned and wired together in one place: the
// instrument link (clock, link timer, serial link, menus' flags, results
// pane, session), the headings' drawings, the file dialog, the plate
// commands and the watch for a lost port. The main window shows them and
// forwards its widgets' events here.
class Program {
public:
    // owner: the window that the file dialogs belong to.
    explicit Program(Модуль1 &state, QWidget *owner = nullptr);
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // The non-visual part of loading the window: open the port, then draw
    // the headings, show the first link status and start the link timer;
    // when the port cannot be opened, show the busy text instead and leave
    // the timer off. False in that case.
    // Each failure also goes to standard error with the port's name and the
    // reason, and the pane's tool tip says the same with what to do.
    // chosenByDefault: nothing named the port; when the instrument stays
    // silent there for defaultPortHintMs, the tool tip says so and how to
    // choose another.
    bool load(const QString &portName, bool chosenByDefault = false);
    int defaultPortHintMs = 10000;

    // Where the diagnoses go: the results pane's tool tip (empty: none), and
    // one line for the terminal (standard error unless replaced).
    std::function<void(const QString &)> showTip;
    std::function<void(const QString &)> writeLine;

    Модуль1 &moduleState;
    InstrumentLink link;
    // The link's parts, by the names the window knows them by.
    MonotonicClock &clock = link.clock;
    LinkTimer &ТаймерСвязи = link.ТаймерСвязи;
    SerialLink &MSComm1 = link.MSComm1;
    MenuFlags &menus = link.menus;
    PaneModel &ОкноПечати = link.ОкноПечати;
    Session &session = link.session;
    // User scales: a unit a row, two a strip in the headings.
    PaneModel Строки{1, 0, 3, plateRows};
    PaneModel Столбцы{0, 1, 2 * plateStrips, 5};
    CommonDialog1 commonDialog1;
    PlateCommands plate;
    // After the port is lost: looks once a second for the same name.
    PortWatch watch;

private:
    void drawHeadings();
    void portLost();
    void portPresent();
    void defaultPortSilent();
    // A diagnosis of the port, to both places.
    void tell(const QString &portName, PortProblem problem, PortEvent event);
    void tell(const QString &line, const QString &tip);

    // What was last said about the lost port, so a port that stays refused
    // is reported once, not every second.
    PortProblem m_toldProblem = PortProblem::None;
    QTimer m_defaultPortHint;
    bool m_defaultPortHintShown = false;
};
