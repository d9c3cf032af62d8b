// SPDX-License-Identifier: GPL-3.0-or-later
// Faults on the line and on disk, end to end against the virtual instrument:
// replies cut off, in lower case, full of garbage, error statuses in every
// state, floods, and settings that are not what the program wrote.
#include "app/twips.h"
#include "core/settings_store.h"
#include "link/receive_step.h"
#include "live_program.h"
#include "timing.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>

#include <ctime>

namespace {
double cpuSeconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}
} // namespace

class TestFaults : public QObject {
    Q_OBJECT
    using enum SessionState;

private slots:
    void aReplyCutShort() {
        LiveProgram live;
        QVERIFY(live.startInstrument({"--bare-ok"}));
        QVERIFY(live.instrument.control("stall 2")); // the first status reply stops after "0 "
        QVERIFY(live.startProgram());
        // The next poll throws the piece away and the one after links.
        QVERIFY(live.waitForState(StateLinked));
        QVERIFY(live.lines().size() >= 2);

        // A data block cut off waits, as it always has, for the operator.
        QVERIFY(live.instrument.control("stall 100"));
        live.choose(Menu::менюФайлЧтениеПлашки);
        QTest::qWait(1500);
        QCOMPARE(live.state(), StateAwaitData);
        QCOMPARE(live.pane().readingOrder(), QStringList{"Чтение плашки"});
        live.choose(Menu::менюФайлЧтениеПлашки);
        QVERIFY(live.waitForState(StateDone));
        QCOMPARE(live.pane().readingOrder().size(), 96);
    }

    void lowerCaseIsNoReply() {
        LiveProgram live;
        QVERIFY(live.startInstrument({"--bare-ok"}));
        QVERIFY(live.instrument.control("lower on"));
        QVERIFY(live.startProgram());
        QVERIFY(live.instrument.waitFor([&] { return live.lines().size() >= 3; }, 5000));
        QCOMPARE(live.state(), StateAwaitLink);
        QCOMPARE(live.pane().readingOrder(), QStringList{"Прибор не отвечает"});
        QVERIFY(live.instrument.control("lower off"));
        QVERIFY(live.waitForState(StateLinked));
    }

    void garbageInsideEveryReply() {
        LiveProgram live;
        QVERIFY(live.startInstrument({"--bare-ok", "--measure-ms", "300"}));
        QVERIFY(live.instrument.control("garbage on"));
        QVERIFY(live.startProgram());
        QVERIFY(live.waitForState(StateLinked));
        live.choose(Menu::менюИзмерение);
        QVERIFY(live.waitForState(StateDone, 15000));
        QCOMPARE(live.session().RxBuffer(), live.lastBlock());
        QCOMPARE(live.session().RxBuffer().size(), 386);
        QCOMPARE(live.pane().readingOrder().size(), 96);
        for (const QString &value : live.pane().readingOrder())
            QVERIFY2(QRegularExpression("^[0-9],[0-9]{3}$").match(value).hasMatch(),
                     qPrintable(value));
    }

    void anErrorStatusInEachState() {
        LiveProgram live;
        QVERIFY(live.start({"--bare-ok", "--measure-ms", "2000"}));
        QVERIFY(live.waitForState(StateLinked));

        // Linked: any reply sends the strip count, whatever it says.
        QVERIFY(live.instrument.control("send 1 OK"));
        QVERIFY(live.waitForState(StateDone, 5000));
        QVERIFY(live.instrument.received().endsWith("J 12\r\n"));

        // Done: nothing at all.
        const qsizetype sent = live.lines().size();
        QVERIFY(live.instrument.control("send 1 OK"));
        QTest::qWait(300);
        QCOMPARE(live.lines().size(), sent);
        QCOMPARE(live.state(), StateDone);

        // Measuring: the status ends the measurement with the error.
        live.choose(Menu::менюИзмерение);
        QVERIFY(live.waitForState(StateMeasuring, 5000));
        QVERIFY(live.instrument.control("status 7"));
        QVERIFY(live.waitForState(StateFault, 8000));
        QCOMPARE(live.pane().readingOrder().first(), QStringLiteral("Ошибка 7"));
        QVERIFY(live.window->менюФайл()->menuAction()->isEnabled());
        QVERIFY(live.window->action(Menu::менюИзмерение)->isEnabled());
        QVERIFY(live.window->program().link.ТаймерСвязи().isEnabled());

        // Awaiting data: an error status is taken as a block without strips.
        QVERIFY(live.instrument.control("silent on"));
        live.choose(Menu::менюФайлЧтениеПлашки);
        QCOMPARE(live.state(), StateAwaitData);
        QVERIFY(live.instrument.control("send 7 OK"));
        QVERIFY(live.waitForState(StateDone, 5000));
        QVERIFY2(live.pane().readingOrder().isEmpty(),
                 qPrintable(live.pane().readingOrder().join('|')));
        QCOMPARE(live.presenter().PlateText(), QString("\r\n").repeated(8));
    }

    void aFloodWithoutOK() {
        LiveProgram live;
        QVERIFY(live.start({}));
        QVERIFY(live.waitForState(StateDone)); // linked, strip count sent
        QVERIFY(live.instrument.control("silent on"));
        live.choose(Menu::менюФайлЧтениеПлашки);
        const qint64 before = residentKiB();
        QVERIFY(live.instrument.control("flood on"));
        QVERIFY(live.instrument.waitFor(
            [&] { return live.session().RxBuffer().size() >= rxBufferLimit; }, 20000));
        QTest::qWait(2000); // and then some
        QVERIFY(live.instrument.control("flood off"));
        QCOMPARE(live.session().RxBuffer().size(), rxBufferLimit);
        QCOMPARE(live.state(), StateAwaitData);
        const qint64 grown = residentKiB() - before;
        qInfo(
            "flood of %lld bytes and more: reply buffer %lld characters, resident memory %+lld KiB",
            static_cast<long long>(rxBufferLimit),
            static_cast<long long>(live.session().RxBuffer().size()),
            static_cast<long long>(grown));
        if (memoryIsMeasurable)
            QVERIFY2(grown < 20 * 1024, qPrintable(QString::number(grown) + " KiB"));
    }

    void aFloodAtLineSpeedCostsLittle() {
        LiveProgram live;
        QVERIFY(live.start({"--pace"}));
        QVERIFY(live.waitForState(StateDone));
        QVERIFY(live.instrument.control("silent on"));
        live.choose(Menu::менюФайлЧтениеПлашки);
        QVERIFY(live.instrument.control("flood on"));
        QTest::qWait(300);
        const double cpu = cpuSeconds();
        QTest::qWait(3000);
        const double used = cpuSeconds() - cpu;
        QVERIFY(live.instrument.control("flood off"));
        qInfo("3 s of flood at 9600 baud: %.3f s of CPU", used);
        if (timingChecked()) // under two fifths of a core; a character at a time costs more
            QVERIFY2(used < 1.2, qPrintable(QString::number(used)));
        QVERIFY(live.session().RxBuffer().size() > 1000);

        // The line quiet again, the operator reads the plate.
        QVERIFY(live.instrument.control("silent off"));
        QTest::qWait(500);
        live.choose(Menu::менюФайлЧтениеПлашки);
        QVERIFY(live.waitForState(StateDone, 5000));
        QCOMPARE(live.pane().readingOrder().size(), 96);
    }

    void corruptSettingsFallBackToDefaults() {
        {
            SettingsStore store;
            store.clear();
            store.sync();
            QDir().mkpath(QFileInfo(store.fileName()).path());
            // Every byte, the NUL and what follows it included.
            static const char bytes[] = "[Settings]\nMainLeft=\xff\xfe\x00garbage\nMainTop=9e99\n"
                                        "[\x01\x02\nPort=";
            const QByteArray content(bytes, sizeof bytes - 1);
            QFile file(store.fileName());
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(content), qint64(content.size()));
            file.close();
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), content);
        }
        qputenv("TELKARO_PORT", "/dev/telkaro-no-such-port");
        std::unique_ptr<frmMain> w = Main();
        QCOMPARE(w->pos(), QPoint(67, 67)); // 1000 twips at 96 dpi, 15 twips a pixel
        QCOMPARE(w->ОкноПечати()->model().readingOrder(), QStringList{"Порт COM2 занят"});
        w->close(); // and what is stored now is a position again
        SettingsStore store;
        QCOMPARE(windowPosition::readPosition(store, "MainTop"), 1005.0f); // 67 pixels
    }
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
