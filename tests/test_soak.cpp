// SPDX-License-Identifier: GPL-3.0-or-later
// The port vanishes under the running program, which is then left alone
// for minutes (TELKARO_SOAK_SECONDS, 120 by default): it must keep running,
// tell the operator once, use next to no CPU and not grow.
#include "live_program.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <ctime>

class TestSoak : public QObject {
    Q_OBJECT
    using enum SessionState;

private slots:
    void leftRunningWithoutItsPort() {
        const int seconds = qEnvironmentVariableIsSet("TELKARO_SOAK_SECONDS")
                                ? qEnvironmentVariableIntValue("TELKARO_SOAK_SECONDS")
                                : 120;
        LiveProgram live;
        QVERIFY(live.start({"--measure-ms", "600000"}));
        QVERIFY(live.waitForState(StateDone));
        live.choose(Menu::менюИзмерение); // measuring: the timer polls
        QVERIFY(live.waitForState(StateMeasuring, 5000));
        live.instrument.control("close", 0);
        QVERIFY(live.instrument.waitForExit(5000));
        QVERIFY(live.instrument.waitFor(
            [&] { return live.pane().readingOrder() == QStringList{"Порт отключён"}; }, 5000));

        QTest::qWait(1000);
        const qint64 memory = residentKiB();
        const std::clock_t cpu = std::clock();
        // Waited for in an event loop of its own: QTest::qWait would wake
        // a hundred times a second itself.
        QEventLoop idle;
        QTimer::singleShot(seconds * 1000, &idle, &QEventLoop::quit);
        idle.exec();
        const double used = double(std::clock() - cpu) / CLOCKS_PER_SEC;
        const qint64 grown = residentKiB() - memory;
        qInfo("%d s without a port: %.3f s of CPU (%.3f %% of a core), resident memory %+lld KiB",
              seconds, used, 100 * used / seconds, grown);
        QVERIFY(used < 0.01 * seconds); // under 1 % of a core
        QVERIFY(grown < 2048 || !memoryIsMeasurable);
        QCOMPARE(live.pane().readingOrder(), QStringList{"Порт отключён"});
        QVERIFY(!live.window->program().link.ТаймерСвязи().isEnabled());
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
