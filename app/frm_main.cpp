// SPDX-License-Identifier: GPL-3.0-or-later
#include "frm_main.h"

#include "help.h"
#include "program.h"
#include "status_bar.h"
#include "strip_dialog.h"
#include "text_pane.h"
#include "twips.h"
#include "window_font.h"
#include "window_position.h"

#include "core/plate_geometry.h"
#include "core/settings_store.h"
#include "link/port_choice.h"
#include "link/session.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QToolTip>

#include <cstdio>

namespace {
// Client area of the window and the places of its elements, in twips.
constexpr double clientWidth = 8190;
constexpr double clientHeight = 3285;

// The sizes a title bar and a task bar show (16 to 48 px, 48 at 150 %):
// each is decoded when the window is shown, so larger ones only cost time.
QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48})
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

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint)
    , m_program(std::make_unique<Program>(this))
    , m_help(std::make_unique<Help>(this)) {
    m_client = new QWidget(this);
    m_rows = newPane("Строки", 0, 330, 345, 2655, m_program->Строки, m_client);
    m_columns = newPane("Столбцы", 330, 30, 7845, 315, m_program->Столбцы, m_client);
    m_results =
        newPane("ОкноПечати", 330, 330, 7845, 2655, m_program->presenter.ОкноПечати(), m_client);
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("ТЕЛКАРО"));
    setWindowIcon(programIcon());
    buildPanes();
    buildMenus();
    // A fixed frame: the layout does not follow the window's size.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_program.get(), &Program::tipChanged, this, [this](const QString &tip) {
        m_results->setToolTip(tip);
        // A tip on the screen would go on saying what is no longer so.
        if (QToolTip::isVisible())
            QToolTip::hideText();
    });
    connect(m_program.get(), &Program::said, this, [](const QString &line) {
        std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stderr);
        std::fflush(stderr);
    });
    connect(m_program.get(), &Program::warning, this,
            [this](const QString &text) { QMessageBox::warning(this, windowTitle(), text); });
}

frmMain::~frmMain() = default;

QAction *frmMain::action(Menu item) const {
    return m_actions.at(static_cast<int>(item));
}

StripCountDialog *frmMain::dialog() const {
    return m_dialog;
}

void frmMain::buildPanes() {
    setCentralWidget(m_client);
    m_client->setFixedSize(twipsToPixels(clientWidth), twipsToPixels(clientHeight));

    auto *corner = new QFrame(m_client);
    corner->setObjectName(QStringLiteral("Рисунок3"));
    corner->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    corner->setBackgroundRole(QPalette::Button);
    corner->setAutoFillBackground(true);
    corner->setGeometry(twipsRect(0, 30, 345, 315));
    // The corner box is drawn first so the heading panes lie over its edges.
    corner->lower();

    m_statusBar = new StatusBar1(m_client);
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

    const MenuFlags &menus = m_program->presenter.menus();
    for (int i = 0; i < menuCount; ++i)
        m_actions[i]->setEnabled(menus.isEnabled(static_cast<Menu>(i)));
    connect(&menus, &MenuFlags::changed, this, [this](Menu item, bool enabled) {
        m_actions[static_cast<int>(item)]->setEnabled(enabled);
    });

    auto on = [this](Menu item, auto handler) {
        connect(action(item), &QAction::triggered, this, handler);
    };
    Program *program = m_program.get();
    on(Menu::менюФайлЧтениеПлашки, [program] { program->менюФайлЧтениеПлашки_Click(); });
    on(Menu::менюФайлПросмотр, [program] { program->менюФайлПросмотр_Click(); });
    on(Menu::менюФайлЗапись, [program] { program->менюФайлЗапись_Click(); });
    on(Menu::менюФайлClip, [program] { program->менюФайлClip_Click(); });
    on(Menu::менюФайлВыход, [this] { менюФайлВыход_Click(); });
    on(Menu::менюНастройка, [this] { менюНастройка_Click(); });
    on(Menu::менюИзмерение, [this] { менюИзмерение_Click(); });
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
        m_dialog = new StripCountDialog(StripCount(), this);
        connect(m_dialog, &StripCountDialog::stripCountChosen, this,
                [this](int count) { m_program->link.session().setStripCount(count); });
        m_dialog->move(frameGeometry().center() - m_dialog->rect().center());
    }
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

int frmMain::StripCount() const {
    return m_program->link.session().stripCount();
}

void frmMain::менюИзмерение_Click() {
    m_program->measure(StripCount());
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

std::unique_ptr<frmMain> Main(const QString &portForThisRun) {
    auto form = std::make_unique<frmMain>();
    form->setPortForThisRun(portForThisRun);
    form->Form_Load();
    form->show();
    return form;
}
