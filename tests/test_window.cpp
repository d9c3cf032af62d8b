// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the operator meets it: start-up with and without a
// port, the headings and first status at their places, the menus, the
// layout in twips, drawing that survives repaints, and the stored position.
#include "app/frm_main.h"
#include "app/menu_flags.h"
#include "app/program.h"
#include "app/status_bar.h"
#include "app/text_pane.h"
#include "app/twips.h"
#include "app/window_position.h"
#include "core/settings_store.h"
#include "link/link_timer.h"
#include "link/serial_link.h"
#include "link/session.h"
#include "tests/support/virtual_instrument.h"
#include "timing.h"

#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSettings>
#include <QTest>

#include <memory>

namespace {
SettingsStore store() {
    return SettingsStore();
}

int inkPixels(const QImage &image, const QRect &area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += qGray(image.pixel(x, y)) < 100;
    return count;
}
// Names the widgets that get a paint event or are asked to lay out their
// children again, in order.
class PaintRecorder : public QObject {
    Q_OBJECT
public:
    QStringList names;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            names << watched->objectName();
        else if (event->type() == QEvent::LayoutRequest)
            names << QStringLiteral("layout of ") + watched->objectName();
        return false;
    }
};
} // namespace

class TestWindow : public QObject {
    Q_OBJECT
    using enum SessionState;

private slots:
    void init() {
        store().clear();
        qputenv("TELKARO_PORT", "/dev/telkaro-no-such-port");
    }

    void aPortInUseShowsTheBusyTextAndNeverPolls() {
        VirtualInstrument instrument;
        QVERIFY2(instrument.start({QStringLiteral("--silent")}),
                 qPrintable(instrument.lastError()));
        SerialLink otherProgram;
        QVERIFY(otherProgram.open(instrument.portName()));
        qputenv("TELKARO_PORT", instrument.portName().toLocal8Bit());

        std::unique_ptr<frmMain> w = Main();
        QCOMPARE(w->StripCount(), 12);
        QCOMPARE(w->program().link.session().state(), SessionState::StateAwaitLink);
        QCOMPARE(w->ОкноПечати()->model().textAt(4, 3), QStringLiteral("    Порт COM2 занят"));
        QVERIFY(w->Строки()->model().items().isEmpty());
        QVERIFY(w->Столбцы()->model().items().isEmpty());
        QVERIFY(!w->program().link.ТаймерСвязи().isEnabled());
        QVERIFY2(w->ОкноПечати()->toolTip().contains(QStringLiteral("занят другой программой")),
                 qPrintable(w->ОкноПечати()->toolTip()));

        // Read plate is still in the menu; with no port it is refused.
        w->action(Menu::менюФайлЧтениеПлашки)->trigger();
        QCOMPARE(w->ОкноПечати()->model().readingOrder(), QStringList{"Порт COM2 занят"});
        QTest::qWait(1300);
        QVERIFY(instrument.received().isEmpty());
    }

    // The window goes while its port is open (its far end just gone,
    // unnoticed), and again after the port was lost: the parts its panes
    // show outlive its widgets, and nothing reaches a destroyed object.
    void theWindowGoesWhileThePortIsOpenOrLost() {
        for (const bool lostFirst : {false, true}) {
            VirtualInstrument instrument;
            QVERIFY2(instrument.start(), qPrintable(instrument.lastError()));
            qputenv("TELKARO_PORT", instrument.portName().toLocal8Bit());
            std::unique_ptr<frmMain> w = Main();
            QVERIFY(w->program().link.MSComm1().isOpen());
            QVERIFY(instrument.waitFor(
                [&] { return w->program().link.session().state() == SessionState::StateDone; },
                5000));
            QVERIFY(w->action(Menu::менюИзмерение)->isEnabled());
            if (lostFirst) {
                instrument.control("close", 0);
                QVERIFY(instrument.waitForExit(5000));
                QTRY_COMPARE_WITH_TIMEOUT(w->ОкноПечати()->model().readingOrder(),
                                          QStringList{"Порт отключён"}, 5000);
                QVERIFY(!w->action(Menu::менюИзмерение)->isEnabled());
            } else {
                instrument.stop(); // without turning the event loop
            }
            QPointer<QWidget> pane = w->ОкноПечати();
            w.reset();
            QVERIFY(pane.isNull());
            QTest::qWait(1200); // past the watch's and the timer's periods
        }
    }

    void aMissingPortSaysWhyAndWhatToDo() {
        std::unique_ptr<frmMain> w = Main();
        QCOMPARE(w->ОкноПечати()->model().readingOrder(), QStringList{"Порт COM2 занят"});
        const QString tip = w->ОкноПечати()->toolTip();
        QVERIFY2(tip.contains(QStringLiteral("\"/dev/telkaro-no-such-port\"")), qPrintable(tip));
        QVERIFY(tip.contains(QStringLiteral("Такого порта нет")));
        QVERIFY(tip.contains(QStringLiteral("telkaro --choose-port")));
        // The port given for this run comes before the environment's.
        std::unique_ptr<frmMain> other = Main(QStringLiteral("/dev/telkaro-other-port"));
        QVERIFY(other->ОкноПечати()->toolTip().contains(QStringLiteral("telkaro-other-port")));
    }

    void theStatusBarIsAStatusBarToScreenReaders() {
        std::unique_ptr<frmMain> w = Main();
        StatusBar1 *bar = w->statusBar1();
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(bar);
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::StatusBar);
        QVERIFY(!face->text(QAccessible::Name).isEmpty());
        QCOMPARE(face->childCount(), 4);
        QStringList descriptions;
        for (int i = 0; i < face->childCount(); ++i) {
            QAccessibleInterface *panel = face->child(i);
            QVERIFY(!panel->text(QAccessible::Name).isEmpty());
            descriptions << panel->text(QAccessible::Description);
        }
        // The date and the time are read as they are shown.
        QAccessibleInterface *date = QAccessible::queryAccessibleInterface(bar->panel(2));
        QAccessibleInterface *time = QAccessible::queryAccessibleInterface(bar->panel(3));
        QCOMPARE(date->text(QAccessible::Name), bar->panel(2)->text());
        QCOMPARE(time->text(QAccessible::Name), bar->panel(3)->text());
        QVERIFY(!bar->panel(3)->text().isEmpty());
        QVERIFY(descriptions.contains(QStringLiteral("Дата")));
        QVERIFY(descriptions.contains(QStringLiteral("Время")));
    }

    // The working parts need no window: on their own they link with the
    // instrument and measure.
    void theProgramWorksWithoutItsWindow() {
        VirtualInstrument instrument;
        QVERIFY2(instrument.start({QStringLiteral("--measure-ms"), QStringLiteral("300")}),
                 qPrintable(instrument.lastError()));
        Program program;
        program.link.session().setStripCount(2);
        const Session &session = program.link.session();
        QVERIFY(program.load(instrument.portName()));
        QCOMPARE(program.Строки.textAt(2, 7), QStringLiteral("H"));
        QCOMPARE(program.Столбцы.textAt(22, 2), QStringLiteral("    12"));
        // Linked, the line end after "OK" sends the strip count at once.
        QVERIFY(instrument.waitForReceived("J 2\r\n", 5000));
        QVERIFY(
            instrument.waitFor([&] { return session.state() == SessionState::StateDone; }, 5000));
        QCOMPARE(program.presenter.ОкноПечати().readingOrder(),
                 QStringList{"Связь с прибором установлена"});
        program.measure(2);
        QVERIFY(instrument.waitForReceived("Z\r\n", 5000));
        QVERIFY(instrument.waitForReceived("X 0\r\n", 10000));
        QVERIFY(
            instrument.waitFor([&] { return session.state() == SessionState::StateDone; }, 5000));
        QCOMPARE(instrument.received().right(5), QByteArray("X 0\r\n"));
        QCOMPARE(program.presenter.ОкноПечати().readingOrder().size(), 16);
        QCOMPARE(program.presenter.PlateText().count(QLatin1Char('\t')), 16);
    }

    // A silent instrument on a port that nothing named: after a while the
    // tool tip says which port is tried and how to choose another; the pane
    // keeps its text; an answer takes the hint back. A named port gets none.
    void aSilentDefaultPortIsNamedInTheToolTip() {
        VirtualInstrument instrument;
        QVERIFY2(instrument.start({QStringLiteral("--silent")}),
                 qPrintable(instrument.lastError()));
        QString tip;
        QStringList lines;
        for (const bool byDefault : {false, true}) {
            Program program;
            connect(&program, &Program::tipChanged, this, [&](const QString &text) { tip = text; });
            connect(&program, &Program::said, this, [&](const QString &line) { lines << line; });
            program.defaultPortHintMs = 300;
            QVERIFY(program.load(instrument.portName(), byDefault));
            if (!byDefault) {
                QTest::qWait(900);
                QVERIFY(tip.isEmpty() && lines.isEmpty());
                continue;
            }
            QTRY_VERIFY_WITH_TIMEOUT(!tip.isEmpty(), 5000);
            QVERIFY2(tip.contains(instrument.portName()), qPrintable(tip));
            QVERIFY(tip.contains(QStringLiteral("выбран по умолчанию")));
            QVERIFY(tip.contains(QStringLiteral("telkaro --choose-port")));
            QCOMPARE(lines.size(), 1);
            QVERIFY2(lines[0].contains(QStringLiteral("chosen by default")), qPrintable(lines[0]));
            QCOMPARE(program.presenter.ОкноПечати().textAt(4, 3),
                     QStringLiteral("    Прибор не отвечает"));
            QVERIFY(instrument.control("silent off"));
            QTRY_VERIFY_WITH_TIMEOUT(program.link.session().state() != SessionState::StateAwaitLink,
                                     5000);
            QVERIFY(tip.isEmpty());
        }
    }

    void startupDrawsHeadingsAndPollsEveryHalfSecond() {
        VirtualInstrument instrument;
        QVERIFY2(instrument.start({QStringLiteral("--silent")}),
                 qPrintable(instrument.lastError()));
        qputenv("TELKARO_PORT", instrument.portName().toLocal8Bit());

        std::unique_ptr<frmMain> w = Main();
        for (int r = 0; r < 8; ++r)
            QCOMPARE(w->Строки()->model().textAt(2, r), QString(QChar(u'A' + r)));
        for (int s = 0; s < 12; ++s)
            QCOMPARE(w->Столбцы()->model().textAt(2 * s, 2), QStringLiteral("    %1").arg(s + 1));
        QCOMPARE(w->ОкноПечати()->model().textAt(4, 3), QStringLiteral("    Прибор не отвечает"));
        QVERIFY(w->program().link.ТаймерСвязи().isEnabled());

        // What a screen reader gets.
        QTRY_COMPARE(w->ОкноПечати()->accessibleDescription(),
                     QStringLiteral("Прибор не отвечает"));
        QCOMPARE(w->ОкноПечати()->accessibleName(), QStringLiteral("ОкноПечати"));
        QCOMPARE(w->Строки()->accessibleDescription(), QStringLiteral("A\nB\nC\nD\nE\nF\nG\nH"));
        QCOMPARE(w->Столбцы()->accessibleDescription().split('\n').size(), 12);

        QVERIFY(
            instrument.waitFor([&] { return instrument.received().count("E\r\n") >= 5; }, 8000));
        QCOMPARE(instrument.received(),
                 QByteArray("E\r\n").repeated(instrument.received().size() / 3));
        QList<double> times;
        for (const auto &event : instrument.events())
            if (event.rx)
                times.append(event.ms);
        const double mean = (times.last() - times.first()) / (times.size() - 1);
        QVERIFY2(mean > 400, qPrintable(QString::number(mean))); // never faster than the timer
        if (timingChecked())
            QVERIFY2(mean < 900, qPrintable(QString::number(mean)));
        QCOMPARE(w->program().link.session().LastCommand(), QByteArray("E\r\n"));
        QVERIFY(w->program().link.session().RxBuffer().isEmpty());
    }

    void layoutInTwipsAndMenus() {
        std::unique_ptr<frmMain> w = Main();
        QCOMPARE(w->windowTitle(), QStringLiteral("ТЕЛКАРО"));
        QCOMPARE(w->centralWidget()->size(), QSize(twipsToPixels(8190), twipsToPixels(3285)));
        QCOMPARE(w->minimumSize(), w->maximumSize()); // a fixed frame
        QCOMPARE(w->ОкноПечати()->geometry(), twipsRect(330, 330, 7845, 2655));
        QCOMPARE(w->Строки()->geometry(), twipsRect(0, 330, 345, 2655));
        QCOMPARE(w->Столбцы()->geometry(), twipsRect(330, 30, 7845, 315));
        QCOMPARE(w->findChild<QWidget *>("Рисунок3")->geometry(), twipsRect(0, 30, 345, 315));
        QCOMPARE(w->statusBar1()->geometry(), twipsRect(0, 2970, 8190, 315));
        QVERIFY(w->ОкноПечати()->font().bold());
        QCOMPARE(w->ОкноПечати()->font().pointSizeF(), 8.25);
        QVERIFY(!w->statusBar1()->panel(0)->pixmap().isNull());
        QVERIFY(!w->statusBar1()->panel(1)->pixmap().isNull());
        QVERIFY(!w->statusBar1()->panel(3)->text().isEmpty());
        // Each part is found by its class and carries the system's name.
        QCOMPARE(qobject_cast<StatusBar1 *>(w->findChild<QWidget *>("StatusBar1")),
                 w->statusBar1());
        QCOMPARE(qobject_cast<TextPane *>(w->findChild<QWidget *>("ОкноПечати")), w->ОкноПечати());
        QCOMPARE(w->findChildren<TextPane *>().size(), 3);
        QCOMPARE(QString::fromLatin1(w->ОкноПечати()->metaObject()->className()),
                 QStringLiteral("TextPane"));
        // Four sunken panels from the left edge, at 96 dpi: 490, 4000, 1800
        // and 1800 twips wide inside a 1 px margin (2 px on top), 2 px apart
        // where they fit; the last two gaps close up in the 8190 twips.
        const QRect panels[4] = {
            {1, 2, 33, 18}, {36, 2, 267, 18}, {303, 2, 120, 18}, {425, 2, 120, 18}};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(w->statusBar1()->panel(i)->geometry(), panels[i]);

        // Strip 12, row H starts 11 x 648.75 and 7 x 324.375 twips into the drawing area.
        const QRect area = w->ОкноПечати()->contentsRect();
        const QPointF last = w->ОкноПечати()->toPixels(11, 7);
        QCOMPARE(last.x() - area.left(), 11 * 648.75 * area.width() / 7785);
        QCOMPARE(last.y() - area.top(), 7 * 324.375 * area.height() / 2595);

        QStringList top;
        for (QAction *a : w->menuBar()->actions())
            top << a->text() + (a->isEnabled() ? "" : " (off)");
        QCOMPARE(top, (QStringList{" &Файл", "&Настройка", "&Измерение (off)", "&Помощь"}));
        QStringList file;
        for (QAction *a : w->менюФайл()->actions())
            file << (a->isSeparator() ? QStringLiteral("-") : a->text()) +
                        (a->isEnabled() ? "" : " (off)");
        QCOMPARE(file, (QStringList{"&Чтение плашки", "-", "&Просмотр файла", "-", "&Запись (off)",
                                    "-", "&Копирование в буфер обмена", "-", "В&ыход"}));
        for (const char *name :
             {"менюФайлЧтениеПлашки", "Разделитель1", "менюФайлПросмотр", "Разделитель4",
              "менюФайлClip", "менюФайлВыход", "менюНастройка", "менюИзмерение", "менюПомощь"})
            QVERIFY2(w->findChild<QAction *>(QString::fromUtf8(name)), name);
        for (QAction *a : w->findChildren<QAction *>())
            QVERIFY(a->shortcut().isEmpty() && !a->isCheckable());

        // The flags the session switches reach the menus; a disabled File
        // menu takes Exit with it.
        w->program().presenter.menus().setEnabled(Menu::менюФайл, false);
        QVERIFY(!w->менюФайл()->menuAction()->isEnabled());
        QVERIFY(!w->program().presenter.menus().isAvailable(Menu::менюФайлВыход));
        w->program().presenter.menus().setEnabled(Menu::менюИзмерение, true);
        QVERIFY(w->action(Menu::менюИзмерение)->isEnabled());
    }

    void drawingSurvivesCoverAndRepaint() {
        std::unique_ptr<frmMain> w = Main();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        TextPane *pane = w->ОкноПечати();
        const QRect status(pane->toPixels(4, 3).toPoint(), QSize(200, 16));
        const QImage before = pane->grab().toImage();
        QVERIFY(inkPixels(before, status) > 20);
        w->hide();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        pane->repaint();
        QCOMPARE(pane->grab().toImage(), before);

        pane->model().Cls();
        QCOMPARE(inkPixels(pane->grab().toImage(), status), 0);
        QTRY_COMPARE(pane->accessibleDescription(), QString());
    }

    // The time changes once a second in the C locale: that change must cost
    // a repaint of the time panel and nothing else: not a repaint of the
    // window and status bar behind it, nor laying out the panels again.
    void theClockRepaintsOnlyItsPanel() {
        std::unique_ptr<frmMain> w = Main();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QLabel *time = w->statusBar1()->panel(3);
        QVERIFY(QLocale().timeFormat(QLocale::ShortFormat).contains(QLatin1Char('s')));
        PaintRecorder painted;
        qApp->installEventFilter(&painted);
        // Settle what the first show left pending, then watch two changes.
        QTest::qWait(50);
        painted.names.clear();
        const QString shown = time->text();
        QTRY_VERIFY_WITH_TIMEOUT(time->text() != shown, 3000);
        const QString second = time->text();
        QTRY_VERIFY_WITH_TIMEOUT(time->text() != second, 3000);
        QTest::qWait(50);
        qApp->removeEventFilter(&painted);
        painted.names.removeDuplicates();
        QCOMPARE(painted.names.join(QLatin1Char(',')), time->objectName());
    }

    void positionStoredOnUnload_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("stored");
        QTest::newRow("normal") << int(Qt::WindowNoState) << true;
        QTest::newRow("maximised") << int(Qt::WindowMaximized) << true;
        QTest::newRow("minimised") << int(Qt::WindowMinimized) << false;
    }

    void positionStoredOnUnload() {
        QFETCH(int, state);
        QFETCH(bool, stored);
        {
            SettingsStore s;
            s.setValue("Settings/MainLeft", "1111");
            s.setValue("Settings/MainTop", "2222");
        }
        std::unique_ptr<frmMain> w = Main();
        QCOMPARE(w->pos(), QPoint(twipsToPixels(1111), twipsToPixels(2222)));
        w->move(120, 80);
        w->setWindowState(Qt::WindowStates(state));
        const QPoint at = w->pos();
        w->close();

        SettingsStore s;
        if (stored) {
            // 15 twips a pixel at 96 dpi, written as a whole number.
            QCOMPARE(s.value("Settings/MainLeft").toString(), QString::number(at.x() * 15));
            QCOMPARE(s.value("Settings/MainTop").toString(), QString::number(at.y() * 15));
            // The next start puts the window, in its normal state, there.
            std::unique_ptr<frmMain> next = Main();
            QCOMPARE(next->pos(), at);
            QVERIFY(!(next->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)));
        } else {
            QCOMPARE(s.value("Settings/MainLeft").toString(), QStringLiteral("1111"));
            QCOMPARE(s.value("Settings/MainTop").toString(), QStringLiteral("2222"));
        }
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
