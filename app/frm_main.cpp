// SPDX-License-Identifier: GPL-3.0-or-later
#include "frm_main.h"

#include "help.h"
#include "program.h"
#include "settings.h"
#include "status_bar.h"
#include "strip_dialog.h"
#include "text_pane.h"
#include "twips.h"
#include "window_font.h"

#include "core/module1.h"
#include "core/plate_geometry.h"
#include "core/settings_store.h"
#include "link/port_choice.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QToolTip>

namespace {
// Client area of the window and the places of its elements, in twips.
constexpr double clientWidth = 8190;
constexpr double clientHeight = 3285;

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/images/telkaro-%1.png").arg(size), QSize(size, size));
    return icon;
}

TextPane *newPane(const char *name, double left, double top, double width, double height,
                  PaneModel &model, QWidget *parent) {
    auto *pane = new TextPane(model, parent);
    pane->setObjectName(QString::fromUtf8(name));
    pane->setAccessibleName(QString::fromUtf8(name));
    pane->setFont(windowFont());
    pane->setGeometry(twipsRect(left, top, width, height));
    return pane;
}
} // namespace

frmMain::frmMain(Модуль1 &moduleState, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint)
    , m_program(std::make_unique<Program>(moduleState, this))
    , m_help(std::make_unique<Help>(this))
    , m_client(std::make_unique<QWidget>(this))
    , m_rows(newPane("Строки", 0, 330, 345, 2655, m_program->Строки, m_client.get()))
    , m_columns(newPane("Столбцы", 330, 30, 7845, 315, m_program->Столбцы, m_client.get()))
    , m_results(
          newPane("ОкноПечати", 330, 330, 7845, 2655, m_program->ОкноПечати, m_client.get())) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("ТЕЛКАРО"));
    setWindowIcon(programIcon());
    buildPanes();
    buildMenus();
    // A fixed frame: the layout does not follow the window's size.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_program->showTip = [this](const QString &tip) {
        m_results->setToolTip(tip);
        // A tip on the screen would go on saying what is no longer so.
        if (QToolTip::isVisible())
            QToolTip::hideText();
    };
    m_program->plate.setWarning(
        [this](const QString &text) { QMessageBox::warning(this, windowTitle(), text); });
}

frmMain::~frmMain() {
    // The parts outlive the window's widgets by the members' order; what
    // they would call back into the window is cut here.
    m_program->menus.setChangeHandler({});
    m_program->showTip = {};
    m_program->plate.setWarning({});
}

QAction *frmMain::action(Menu item) const {
    return m_actions.at(static_cast<int>(item));
}

StripCountDialog *frmMain::dialog() const {
    return m_dialog;
}

void frmMain::buildPanes() {
    setCentralWidget(m_client.get());
    m_client->setFixedSize(twipsToPixels(clientWidth), twipsToPixels(clientHeight));

    auto *corner = new QFrame(m_client.get());
    corner->setObjectName(QStringLiteral("Рисунок3"));
    corner->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    corner->setBackgroundRole(QPalette::Button);
    corner->setAutoFillBackground(true);
    corner->setGeometry(twipsRect(0, 30, 345, 315));
    // The corner box is drawn first so the heading panes lie over its edges.
    corner->lower();

    m_statusBar = new StatusBar1(m_client.get());
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setGeometry(twipsRect(0, 2970, clientWidth, 315));
    m_statusBar->raise();
}

void frmMain::buildMenus() {
    m_actions.resize(menuCount);
    auto add = [this](Menu item, QAction *action, const char *name) {
        action->setObjectName(QString::fromUtf8(name));
        m_actions[static_cast<int>(item)] = action;
        return action;
    };
    auto separator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QString::fromUtf8(name));
    };

    QMenuBar *bar = menuBar();
    m_fileMenu = bar->addMenu(QStringLiteral(" &Файл"));
    m_fileMenu->setObjectName(QStringLiteral("менюФайл"));
    add(Menu::менюФайл, m_fileMenu->menuAction(), "менюФайл");
    add(Menu::менюФайлЧтениеПлашки, m_fileMenu->addAction(QStringLiteral("&Чтение плашки")),
        "менюФайлЧтениеПлашки");
    separator(m_fileMenu, "Разделитель1");
    add(Menu::менюФайлПросмотр, m_fileMenu->addAction(QStringLiteral("&Просмотр файла")),
        "менюФайлПросмотр");
    separator(m_fileMenu, "Разделитель2");
    add(Menu::менюФайлЗапись, m_fileMenu->addAction(QStringLiteral("&Запись")), "менюФайлЗапись");
    separator(m_fileMenu, "Разделитель3");
    add(Menu::менюФайлClip, m_fileMenu->addAction(QStringLiteral("&Копирование в буфер обмена")),
        "менюФайлClip");
    separator(m_fileMenu, "Разделитель4");
    add(Menu::менюФайлВыход, m_fileMenu->addAction(QStringLiteral("В&ыход")), "менюФайлВыход");
    add(Menu::менюНастройка, bar->addAction(QStringLiteral("&Настройка")), "менюНастройка");
    add(Menu::менюИзмерение, bar->addAction(QStringLiteral("&Измерение")), "менюИзмерение");
    add(Menu::менюПомощь, bar->addAction(QStringLiteral("&Помощь")), "менюПомощь");

    MenuFlags &menus = m_program->menus;
    for (int i = 0; i < menuCount; ++i)
        m_actions[i]->setEnabled(menus.isEnabled(static_cast<Menu>(i)));
    menus.setChangeHandler([this](Menu item, bool enabled) {
        m_actions[static_cast<int>(item)]->setEnabled(enabled);
    });

    auto on = [this](Menu item, auto handler) {
        connect(action(item), &QAction::triggered, this, handler);
    };
    Session &session = m_program->session;
    PlateCommands &plate = m_program->plate;
    on(Menu::менюФайлЧтениеПлашки, [&session] { session.менюФайлЧтениеПлашки_Click(); });
    on(Menu::менюФайлПросмотр, [&plate] { plate.менюФайлПросмотр_Click(); });
    on(Menu::менюФайлЗапись, [&plate] { plate.менюФайлЗапись_Click(); });
    on(Menu::менюФайлClip, [&plate] { plate.менюФайлClip_Click(); });
    on(Menu::менюФайлВыход, [this] { менюФайлВыход_Click(); });
    on(Menu::менюНастройка, [this] { менюНастройка_Click(); });
    on(Menu::менюИзмерение, [&session] { session.менюИзмерение_Click(); });
    on(Menu::менюПомощь, [this] { m_help->менюПомощь_Click(); });
}

void frmMain::Form_Load() {
    SettingsStore store;
    move(twipsToPixels(windowPosition::readPosition(store, QStringLiteral("MainLeft"))),
         twipsToPixels(windowPosition::readPosition(store, QStringLiteral("MainTop"))));
    const PortChoice port = choosePort(store, m_portForThisRun);
    m_program->load(port.name, port.byDefault);
}

void frmMain::менюНастройка_Click() {
    if (!m_dialog) {
        m_dialog = new StripCountDialog(m_program->moduleState, this);
        m_dialog->move(frameGeometry().center() - m_dialog->rect().center());
    }
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void frmMain::менюФайлВыход_Click() {
    // The file commands close their files before they end; nothing is open here.
    close();
}

void frmMain::closeEvent(QCloseEvent *event) {
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload() {
    if (!(windowState() & Qt::WindowMinimized)) {
        SettingsStore store;
        windowPosition::writePosition(store, QStringLiteral("MainLeft"),
                                      static_cast<float>(pixelsToTwips(pos().x())));
        windowPosition::writePosition(store, QStringLiteral("MainTop"),
                                      static_cast<float>(pixelsToTwips(pos().y())));
        store.sync();
    }
    // The program ends here, whatever other windows (the strip count dialog,
    // the guide) are still open.
    QCoreApplication::exit(0);
}

frmMain *Main(Модуль1 &moduleState, const QString &portForThisRun) {
    moduleState.StripCount = plateStrips;
    moduleState.SessionState = StateAwaitLink;
    moduleState.MeasureAfterStrip = false16;
    auto *form = new frmMain(moduleState);
    form->setPortForThisRun(portForThisRun);
    form->Form_Load();
    form->show();
    return form;
}
