#pragma once

#include "common_dialog.h"
#include "core/clock.h"
#include "core/menu_flags.h"
#include "help.h"
#include "link/link_timer.h"
#include "link/serial_link.h"
#include "link/session.h"
#include "plate_commands.h"
#include "strip_dialog.h"

#include <QMainWindow>
#include <QPointer>

#include <array>

class QAction;
class QMenu;
class StatusBar1;
class TextPane;
struct Модуль1;

// The main window: the plate grid with its row letters and strip numbers,
// the status bar and the menus. It wires the session, the plate commands
// and the port to its widgets; the work is done there.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(Модуль1 &m, QWidget *parent = nullptr);
    ~frmMain() override;

    // Loading: restore the position, open the port, draw the headings, show
    // the first link status and start the link timer.
    void Form_Load();

    // The menu commands.
    void менюНастройка_Click();
    void менюФайлВыход_Click();

    QAction *action(Меню item) const { return m_actions[static_cast<int>(item)]; }
    QMenu *менюФайл() const { return m_fileMenu; }
    TextPane *Строки() const { return m_rows; }
    TextPane *Столбцы() const { return m_columns; }
    TextPane *ОкноПечати() const { return m_results; }
    StatusBar1 *statusBar1() const { return m_statusBar; }
    StripCountDialog *dialog() const { return m_dialog; }

    Session &session() { return m_session; }
    SerialLink &MSComm1() { return m_link; }
    LinkTimer &ТаймерСвязи() { return m_timer; }
    MenuFlags &menus() { return m_menus; }
    CommonDialog1 &commonDialog1() { return m_commonDialog; }
    Help &help() { return m_help; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildPanes();
    void buildMenus();
    void Form_Unload();
    void drawHeadings();
    void showPortBusy();

    Модуль1 &m;
    // Created in this order, before the session that draws on them.
    QWidget *m_client;
    TextPane *m_rows;
    TextPane *m_columns;
    TextPane *m_results;
    StatusBar1 *m_statusBar = nullptr;
    QMenu *m_fileMenu = nullptr;
    std::array<QAction *, ЧислоМеню> m_actions{};
    QPointer<StripCountDialog> m_dialog;

    MonotonicClock m_clock;
    LinkTimer m_timer;
    SerialLink m_link;
    MenuFlags m_menus;
    CommonDialog1 m_commonDialog;
    Session m_session;
    PlateCommands m_plate;
    Help m_help;
};

// The program's start: the session defaults, then the main window, loaded
// and shown.
frmMain *Main(Модуль1 &m);
