#include "frm_main.h"

#include "core/module1.h"
#include "settings.h"
#include "status_bar.h"
#include "strip_dialog.h"
#include "text_pane.h"
#include "twips.h"
#include "window_font.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>

namespace {
const QString ТекстНеОтвечает = QStringLiteral("    Прибор не отвечает");
const QString ТекстПортЗанят = QStringLiteral("    Порт COM2 занят");

// Client area of the window and the places of its elements, in twips.
constexpr double ШиринаОкна = 8190;
constexpr double ВысотаОкна = 3285;

QIcon значокПрограммы() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/images/telkaro-%1.png").arg(size), QSize(size, size));
    return icon;
}

TextPane *новаяПанель(const char *name, double left, double top, double width, double height,
                      QRectF scale, QWidget *parent) {
    auto *pane = new TextPane(scale.left(), scale.top(), scale.width(), scale.height(), parent);
    pane->setObjectName(QString::fromUtf8(name));
    pane->setAccessibleName(QString::fromUtf8(name));
    pane->setFont(шрифтОкна());
    pane->setGeometry(twipsRect(left, top, width, height));
    return pane;
}
} // namespace

frmMain::frmMain(Модуль1 &module, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint)
    , m(module)
    , m_client(new QWidget(this))
    , m_rows(новаяПанель("Строки", 0, 330, 345, 2655, QRectF(1, 0, 3, 8), m_client))
    , m_columns(новаяПанель("Столбцы", 330, 30, 7845, 315, QRectF(0, 1, 24, 5), m_client))
    , m_results(новаяПанель("ОкноПечати", 330, 330, 7845, 2655, QRectF(0, 0, 12, 8), m_client))
    , m_commonDialog(this)
    , m_session(m, m_link, m_results->model(), m_menus, m_timer, m_clock)
    , m_plate(m, m_results->model(), m_menus, m_commonDialog)
    , m_help(this) {
    setObjectName(QStringLiteral("frmMain"));
    m_timer.setObjectName(QStringLiteral("ТаймерСвязи"));
    m_link.setObjectName(QStringLiteral("MSComm1"));
    setWindowTitle(QStringLiteral("ТЕЛКАРО"));
    setWindowIcon(значокПрограммы());
    buildPanes();
    buildMenus();
    // A fixed frame: the layout does not follow the window's size.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The link timer runs in the window's design state; loading switches it.
    m_timer.setEnabled(true);
    connect(&m_timer, &LinkTimer::tick, this, [this] { m_session.ТаймерСвязи_Timer(); });
    m_link.setCharacterHandler([this](char c) { m_session.MSComm1_OnComm(c); });
    connect(&m_link, &SerialLink::lost, this, [this] { m_session.ПортПотерян(); });
    m_plate.setWarning(
        [this](const QString &text) { QMessageBox::warning(this, windowTitle(), text); });
}

frmMain::~frmMain() = default;

void frmMain::buildPanes() {
    setCentralWidget(m_client);
    m_client->setFixedSize(twipsToPixels(ШиринаОкна), twipsToPixels(ВысотаОкна));

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
    m_statusBar->setGeometry(twipsRect(0, 2970, ШиринаОкна, 315));
    m_statusBar->raise();
}

void frmMain::buildMenus() {
    auto add = [this](Меню item, QAction *action, const char *name) {
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
    add(Меню::менюФайл, m_fileMenu->menuAction(), "менюФайл");
    add(Меню::менюФайлЧтениеПлашки, m_fileMenu->addAction(QStringLiteral("&Чтение плашки")),
        "менюФайлЧтениеПлашки");
    separator(m_fileMenu, "Разделитель1");
    add(Меню::менюФайлПросмотр, m_fileMenu->addAction(QStringLiteral("&Просмотр файла")),
        "менюФайлПросмотр");
    separator(m_fileMenu, "Разделитель2");
    add(Меню::менюФайлЗапись, m_fileMenu->addAction(QStringLiteral("&Запись")), "менюФайлЗапись");
    separator(m_fileMenu, "Разделитель3");
    add(Меню::менюФайлClip, m_fileMenu->addAction(QStringLiteral("&Копирование в буфер обмена")),
        "менюФайлClip");
    separator(m_fileMenu, "Разделитель4");
    add(Меню::менюФайлВыход, m_fileMenu->addAction(QStringLiteral("В&ыход")), "менюФайлВыход");
    add(Меню::менюНастройка, bar->addAction(QStringLiteral("&Настройка")), "менюНастройка");
    add(Меню::менюИзмерение, bar->addAction(QStringLiteral("&Измерение")), "менюИзмерение");
    add(Меню::менюПомощь, bar->addAction(QStringLiteral("&Помощь")), "менюПомощь");

    for (int i = 0; i < ЧислоМеню; ++i)
        m_actions[i]->setEnabled(m_menus.isEnabled(static_cast<Меню>(i)));
    m_menus.setChangeHandler([this](Меню item, bool enabled) {
        m_actions[static_cast<int>(item)]->setEnabled(enabled);
    });

    auto on = [this](Меню item, auto handler) {
        connect(action(item), &QAction::triggered, this, handler);
    };
    on(Меню::менюФайлЧтениеПлашки, [this] { m_session.менюФайлЧтениеПлашки_Click(); });
    on(Меню::менюФайлПросмотр, [this] { m_plate.менюФайлПросмотр_Click(); });
    on(Меню::менюФайлЗапись, [this] { m_plate.менюФайлЗапись_Click(); });
    on(Меню::менюФайлClip, [this] { m_plate.менюФайлClip_Click(); });
    on(Меню::менюФайлВыход, [this] { менюФайлВыход_Click(); });
    on(Меню::менюНастройка, [this] { менюНастройка_Click(); });
    on(Меню::менюИзмерение, [this] { m_session.менюИзмерение_Click(); });
    on(Меню::менюПомощь, [this] { m_help.менюПомощь_Click(); });
}

void frmMain::Form_Load() {
    QSettings store(Настройки::организация(), Настройки::приложение());
    move(twipsToPixels(Настройки::ПрочитатьПозицию(store, QStringLiteral("MainLeft"))),
         twipsToPixels(Настройки::ПрочитатьПозицию(store, QStringLiteral("MainTop"))));
    m_timer.setEnabled(false);

    if (!m_link.open(Настройки::ВыбратьПорт(store))) {
        showPortBusy();
        return;
    }
    drawHeadings();
    PaneModel &pane = m_results->model();
    pane.PSet(4, 3);
    pane.Print(ТекстНеОтвечает);
    m_timer.setEnabled(true);
}

void frmMain::showPortBusy() {
    PaneModel &pane = m_results->model();
    pane.PSet(4, 3);
    pane.Print(ТекстПортЗанят);
}

void frmMain::drawHeadings() {
    PaneModel &rows = m_rows->model();
    for (int r = 0; r < 8; ++r) {
        rows.PSet(2, r);
        rows.Print(QString(QChar(u'A' + r)));
    }
    PaneModel &columns = m_columns->model();
    for (int s = 0; s < 12; ++s) {
        columns.PSet(2 * s, 2);
        // A number prints with a blank in its sign position: four blanks in all.
        columns.Print(QStringLiteral("    %1").arg(s + 1));
    }
}

void frmMain::менюНастройка_Click() {
    if (!m_dialog) {
        m_dialog = new StripCountDialog(m, this);
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
        QSettings store(Настройки::организация(), Настройки::приложение());
        Настройки::ЗаписатьПозицию(store, QStringLiteral("MainLeft"),
                                   static_cast<float>(pixelsToTwips(pos().x())));
        Настройки::ЗаписатьПозицию(store, QStringLiteral("MainTop"),
                                   static_cast<float>(pixelsToTwips(pos().y())));
        store.sync();
    }
    // The program ends here, whatever other windows (the strip count dialog,
    // the guide) are still open.
    QCoreApplication::exit(0);
}

frmMain *Main(Модуль1 &m) {
    m.StripCount = 12;
    m.SessionState = StateAwaitLink;
    m.MeasureAfterStrip = Ложь;
    auto *form = new frmMain(m);
    form->Form_Load();
    form->show();
    return form;
}
