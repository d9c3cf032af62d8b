// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>

class Help;
class Program;
class QAction;
class QMenu;
class StatusBar1;
class StripCountDialog;
class TextPane;
enum class Menu;

// The main window: the plate grid with its row letters and strip numbers,
// the status bar and the menus. It shows the program's parts (Program) and
// forwards its widgets' events to them; the work is done there.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Loading: restore the position, open the port, draw the headings, show
    // the first link status and start the link timer.
    void Form_Load();
    // A port for this run only (the command line's, or the one just chosen),
    // before every other source of the port's name. Set before loading.
    void setPortForThisRun(const QString &portName) { m_portForThisRun = portName; }

    // The menu commands.
    void менюНастройка_Click();
    void менюИзмерение_Click();
    void менюФайлВыход_Click();

    // The strip count the operator chose in the dialog (12 until then): what
    // the next measurement covers. The session keeps it, for its strip-count
    // command.
    int StripCount() const;

    Program &program() { return *m_program; }
    Help &help() { return *m_help; }
    QAction *action(Menu item) const;
    QMenu *менюФайл() const { return m_fileMenu; }
    TextPane *Строки() const { return m_rows; }
    TextPane *Столбцы() const { return m_columns; }
    TextPane *ОкноПечати() const { return m_results; }
    StatusBar1 *statusBar1() const { return m_statusBar; }
    StripCountDialog *dialog() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildPanes();
    void buildMenus();
    void Form_Unload();

    std::unique_ptr<Program> m_program;
    std::unique_ptr<Help> m_help;
    // The window's children, which Qt owns.
    QWidget *m_client = nullptr;
    TextPane *m_rows = nullptr;
    TextPane *m_columns = nullptr;
    TextPane *m_results = nullptr;
    StatusBar1 *m_statusBar = nullptr;
    QMenu *m_fileMenu = nullptr;
    QList<QAction *> m_actions;
    QPointer<StripCountDialog> m_dialog;
    QString m_portForThisRun;
};

// The program's start: the main window, loaded and shown.
// portForThisRun: see frmMain::setPortForThisRun.
std::unique_ptr<frmMain> Main(const QString &portForThisRun = QString());
