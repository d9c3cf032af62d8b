// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program against the virtual instrument on a pseudo-terminal:
// the operator's commands through the menus, and every byte on the wire.
#include "live_program.h"

#include "link/port_watch.h"
#include "timing.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <memory>

namespace {
using Live = LiveProgram;

bool matches(const QList<QByteArray> &lines, const char *pattern) {
    QByteArray joined;
    for (const QByteArray &line : lines) {
        if (!line.endsWith('\r'))
            return false; // every command line ends with CR LF
        joined += line.chopped(1) + ';';
    }
    const bool ok = QRegularExpression(QStringLiteral("^(%1)$").arg(QLatin1String(pattern)))
                        .match(QString::fromLatin1(joined))
                        .hasMatch();
    if (!ok)
        qWarning() << "wire:" << joined;
    return ok;
}

// A plate file for the instrument to measure: every well 0,100 but A1 1,234
// and H12 2,345.
QByteArray servedPlate() {
    QByteArray text;
    for (int r = 0; r < 8; ++r) {
        for (int s = 0; s < 12; ++s)
            text += r == 0 && s == 0 ? "1,234\t" : r == 7 && s == 11 ? "2,345\t" : "0,100\t";
        text += "\r\n";
    }
    return text;
}
} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
    using enum SessionState;

private slots:
    void aMeasurementFromStartToAFullPlate() {
        QTemporaryDir dir;
        QFile plateFile(dir.filePath("served.dat"));
        QVERIFY(plateFile.open(QIODevice::WriteOnly) && plateFile.write(servedPlate()) == 592);
        plateFile.close();
        Live live;
        QVERIFY(live.start({"--bare-ok", "--measure-ms", "1500", "--plate", plateFile.fileName()}));
        QVERIFY(live.waitForState(StateLinked));
        QVERIFY(live.window->action(Menu::менюИзмерение)->isEnabled());

        live.choose(Menu::менюИзмерение);
        QVERIFY(live.waitForState(StateMeasuring));
        QVERIFY(!live.window->менюФайл()->menuAction()->isEnabled());
        QCOMPARE(live.pane().readingOrder(), QStringList{"Измерение"});
        QVERIFY(live.waitForState(StateDone, 15000));

        // E polls, the strip count, Z, polls while it measures, the data request.
        QVERIFY(matches(live.lines(), "(E;)+J 12;Z;(E;)+X 0;"));
        // The request left half a second after the completion status.
        const auto events = live.instrument.events();
        double status = 0, request = 0;
        for (const auto &event : events) {
            if (event.rx && event.bytes.startsWith("X 0"))
                request = event.ms;
            else if (!event.rx && request == 0)
                status = event.ms;
        }
        QVERIFY2(request - status >= 480, qPrintable(QString::number(request - status)));

        const QByteArray block = live.lastBlock();
        QCOMPARE(block.size(), 12 * 32 + 2);
        QCOMPARE(live.session().RxBuffer(), block);
        QCOMPARE(live.pane().readingOrder().size(), 96);
        QCOMPARE(live.pane().textAt(0, 0), QStringLiteral("1,234"));
        QCOMPARE(live.pane().textAt(11, 6), QStringLiteral("0,100"));
        QCOMPARE(live.pane().textAt(11, 7), QStringLiteral("2,345"));
        QCOMPARE(live.presenter().PlateText(), QString::fromLatin1(servedPlate()));
        for (Menu item :
             {Menu::менюИзмерение, Menu::менюФайл, Menu::менюФайлЗапись, Menu::менюФайлПросмотр})
            QVERIFY(live.window->action(item)->isEnabled());
        QVERIFY(!live.window->program().link.ТаймерСвязи().isEnabled());

        // Saved from the menu, the file is the plate the instrument measured.
        const QString path = dir.filePath("plate.dat");
        live.window->program().commonDialog1.setPresenter(
            [&](QWidget *, const FileDialogRequest &) { return path; });
        live.choose(Menu::менюФайлЗапись);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), servedPlate());

        // Same strip count: the second measurement sends "Z" at once.
        const qsizetype before = live.lines().size();
        live.choose(Menu::менюИзмерение);
        QVERIFY(live.instrument.waitFor([&] { return live.lines().size() > before; }, 5000));
        QCOMPARE(live.lines().at(before), QByteArray("Z\r"));
    }

    void aChosenStripCountIsSentFirst() {
        Live live;
        QVERIFY(live.start({"--bare-ok", "--measure-ms", "300"}));
        QVERIFY(live.waitForState(StateLinked));
        live.chooseStripCount(5);
        live.choose(Menu::менюИзмерение);
        QVERIFY(live.waitForState(StateDone, 15000));
        QVERIFY(matches(live.lines(), "(E;)+J 5;Z;(E;)+X 0;"));
        QCOMPARE(live.pane().readingOrder().size(), 40);
        QCOMPARE(live.presenter().PlateText().size(), 5 * 48 + 16);
    }

    void anErrorStatusWaitsForTwoQuietSeconds() {
        Live live;
        QVERIFY(live.start({"--bare-ok", "--status", "1"}));
        QVERIFY(live.waitForState(StateFault));
        QCOMPARE(live.pane().readingOrder(),
                 (QStringList{"Ошибка 1", "Выключите прибор и включите через 20-30 сек"}));
        QVERIFY(live.window->action(Menu::менюИзмерение)->isEnabled());

        // Good replies every half second do not end the fault...
        QVERIFY(live.instrument.control("status 0"));
        const qsizetype polls = live.lines().size();
        QTest::qWait(1600);
        QVERIFY(live.lines().size() >= polls + 2); // still polling
        QCOMPARE(live.state(), StateFault);
        // ...the first one after two seconds of silence does.
        QVERIFY(live.instrument.control("silent on"));
        QTest::qWait(2300);
        QCOMPARE(live.state(), StateFault);
        QVERIFY(live.instrument.control("silent off"));
        QVERIFY(live.waitForState(StateLinked, 3000));
        QCOMPARE(live.pane().readingOrder(), QStringList{"Связь с прибором установлена"});
        QVERIFY(!live.window->program().link.ТаймерСвязи().isEnabled());
    }

    void lineEndsAfterOKAndReadPlate() {
        Live live;
        QVERIFY(live.start({}));
        // The CR after the first "0 OK" sends the strip count unasked.
        QVERIFY(live.waitForState(StateDone));
        QVERIFY(matches(live.lines(), "(E;)+J 12;"));
        QCOMPARE(live.pane().readingOrder(), QStringList{"Связь с прибором установлена"});

        live.choose(Menu::менюФайлЧтениеПлашки);
        QCOMPARE(live.pane().readingOrder(), QStringList{"Чтение плашки"});
        QCOMPARE(live.state(), StateAwaitData);
        QVERIFY(
            live.instrument.waitFor([&] { return live.pane().readingOrder().size() == 96; }, 5000));
        QCOMPARE(live.state(), StateDone);
        QVERIFY(matches(live.lines(), "(E;)+J 12;X0;"));

        // A measurement now sends "Z" directly: the count went out already.
        live.choose(Menu::менюИзмерение);
        QVERIFY(live.instrument.waitForReceived("Z\r\n", 5000));
        QVERIFY(matches(live.lines(), "(E;)+J 12;X0;Z;"));
    }

    void theLineVanishingUnderTheProgram() {
        Live live;
        QVERIFY(live.start({"--bare-ok"}));
        QVERIFY(live.waitForState(StateLinked));
        live.choose(Menu::менюИзмерение); // polling again, measuring
        QVERIFY(live.instrument.waitForReceived("Z\r\n", 5000));
        live.instrument.control("close", 0);
        QVERIFY(live.instrument.waitForExit(5000));
        QVERIFY(live.instrument.waitFor(
            [&] { return live.pane().readingOrder() == QStringList{"Порт отключён"}; }, 5000));
        QVERIFY(!live.window->program().link.MSComm1().isOpen());
        QVERIFY(!live.window->program().link.ТаймерСвязи().isEnabled());
        QVERIFY(live.window->action(Menu::менюФайл)->isEnabled()); // view, copy and exit remain

        // Left running, it neither spins nor tells again.
        const std::clock_t cpu = std::clock();
        QTest::qWait(1500);
        const double seconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
        if (timingChecked()) // a spinning loop would take the whole 1.5 s
            QVERIFY2(seconds < 0.75, qPrintable(QString::number(seconds)));
        QCOMPARE(live.pane().readingOrder(), QStringList{"Порт отключён"});
        live.choose(Menu::менюФайлЧтениеПлашки);
        QCOMPARE(live.pane().readingOrder(), QStringList{"Порт отключён"});
    }

    void theInstrumentPulledOutAndPluggedBackIn() {
        // The adapter's name stays while the device behind it comes and goes,
        // as a /dev/serial/by-id link does.
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ttyTELKARO"));
        const QStringList options{"--bare-ok", "--measure-ms", "300", "--link", link};
        Live live;
        QVERIFY(live.startInstrument(options));
        qputenv("TELKARO_PORT", link.toLocal8Bit());
        QVERIFY(live.startProgram());
        Program &program = live.window->program();
        int looks = 0;
        QStringList lookedFor;
        program.watch.setProbe([&](const QString &name) {
            ++looks;
            lookedFor.append(name);
            return portIsThere(name);
        });
        QVERIFY(live.waitForState(StateLinked));
        live.choose(Menu::менюФайлЧтениеПлашки);
        QVERIFY(live.waitForState(StateDone));
        const QString plate = live.presenter().PlateText();
        QCOMPARE(plate.size(), 592);

        // Pulled out: the pseudo-terminal closes and the link goes.
        live.instrument.control("close", 0);
        QVERIFY(live.instrument.waitForExit(5000));
        QVERIFY(!QFileInfo::exists(link));
        QVERIFY(live.instrument.waitFor(
            [&] { return live.pane().readingOrder() == QStringList{"Порт отключён"}; }, 5000));
        QVERIFY(live.window->ОкноПечати()->toolTip().contains(QStringLiteral("отключён")));
        QVERIFY(program.watch.isWatching());

        // While it is out: a look a second, the timer off, and no spinning.
        const int looksBefore = looks;
        const std::clock_t cpu = std::clock();
        QTest::qWait(3000);
        const double seconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
        if (timingChecked()) // a spinning loop would take the whole 3 s
            QVERIFY2(seconds < 1.5, qPrintable(QString::number(seconds)));
        QVERIFY2(looks - looksBefore >= 1 && looks - looksBefore <= 6,
                 qPrintable(QString::number(looks - looksBefore)));
        QVERIFY(!program.link.ТаймерСвязи().isEnabled());
        QVERIFY(!program.link.MSComm1().isOpen());

        // What the operator sees the moment the port is open again.
        QStringList seenOnReturn;
        bool timerOnReturn = false;
        SessionState stateOnReturn = StateFault;
        QObject::connect(&program.watch, &PortWatch::present, &program.watch, [&] {
            if (program.link.MSComm1().isOpen() && seenOnReturn.isEmpty()) {
                seenOnReturn = live.pane().readingOrder();
                timerOnReturn = program.link.ТаймерСвязи().isEnabled();
                stateOnReturn = live.state();
            }
        });

        // Plugged back in behind the same name.
        VirtualInstrument again;
        QVERIFY2(again.start(options), qPrintable(again.lastError()));
        QVERIFY(again.waitFor([&] { return live.state() == StateLinked; }, 10000));
        QCOMPARE(seenOnReturn, QStringList{"Прибор не отвечает"});
        QVERIFY(timerOnReturn);
        QCOMPARE(stateOnReturn, StateAwaitLink);
        QVERIFY(!program.watch.isWatching());
        QCOMPARE(lookedFor.count(link), lookedFor.size()); // the same port, never another
        QVERIFY(live.window->ОкноПечати()->toolTip().isEmpty());

        // The last plate is still there to copy.
        QCOMPARE(live.presenter().PlateText(), plate);
        live.choose(Menu::менюФайлClip);
        QCOMPARE(QGuiApplication::clipboard()->text(), plate);

        // And a measurement works on the new line, strip count first.
        live.choose(Menu::менюИзмерение);
        QVERIFY(again.waitFor(
            [&] { return live.state() == StateDone && live.pane().readingOrder().size() == 96; },
            15000));
        QByteArray joined;
        for (const QByteArray &line : again.received().split('\n'))
            joined += line.trimmed() + ';';
        QVERIFY2(QRegularExpression(QStringLiteral("^(E;)+J 12;Z;(E;)+X 0;;$"))
                     .match(QString::fromLatin1(joined))
                     .hasMatch(),
                 joined.constData());
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_e2e.moc"
