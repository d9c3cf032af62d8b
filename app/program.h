#pragma once

#include "common_dialog.h"
#include "plate_commands.h"

#include "core/clock.h"
#include "core/menu_flags.h"
#include "core/pane_model.h"
#include "link/link_timer.h"
#include "link/serial_link.h"
#include "link/session.h"

class QWidget;
struct Модуль1;

// The program's working parts, owned and wired together in one place: the
// clock, the link timer, the serial link, the menus' flags, the three panes'
// drawings, the file dialog, the session and the plate commands. The main
// window shows them and forwards its widgets' events here.
class Program {
public:
    // owner: the window that the file dialogs belong to.
    explicit Program(Модуль1 &m, QWidget *owner = nullptr);
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // The non-visual part of loading the window: open the port, then draw
    // the headings, show the first link status and start the link timer;
    // when the port cannot be opened, show the busy text instead and leave
    // the timer off. False in that case.
    bool Загрузка(const QString &portName);

    Модуль1 &m;
    MonotonicClock clock;
    LinkTimer ТаймерСвязи;
    SerialLink MSComm1;
    MenuFlags menus;
    PaneModel Строки{1, 0, 3, 8};
    PaneModel Столбцы{0, 1, 24, 5};
    PaneModel ОкноПечати{0, 0, 12, 8};
    CommonDialog1 commonDialog1;
    Session session;
    PlateCommands plate;

private:
    void drawHeadings();
};
