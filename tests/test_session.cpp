// SPDX-License-Identifier: GPL-3.0-or-later
// The session state machine and the instrument commands, one character at
// a time against stand-ins for the port, timer and clock.
#include "session_rig.h"

#include "link/link_timer.h"
#include "timing.h"

#include <QTest>

#include <type_traits>

// The session state is a 16-bit value of its own type, with the values the
// instrument's session has always had.
static_assert(std::is_same_v<std::underlying_type_t<SessionState>, qint16>);
static_assert(!std::is_convertible_v<SessionState, int>);
static_assert(qint16(SessionState::StateAwaitLink) == 0 && qint16(SessionState::StateLinked) == 1 &&
              qint16(SessionState::StateAwaitStripAck) == 2 &&
              qint16(SessionState::StateAwaitMeasureAck) == 3 &&
              qint16(SessionState::StateMeasuring) == 4 &&
              qint16(SessionState::StateAwaitData) == 5 && qint16(SessionState::StateFault) == 6 &&
              qint16(SessionState::StateDone) == 10);

namespace {
const QString advice =
    QString(20, ' ') + QStringLiteral("Выключите прибор и включите через 20-30 сек");

// Linked, the strip count sent and acknowledged, "Z" acknowledged: the
// session waits for the completion status.
void measuring(SessionRig &rig) {
    rig.receive("0OK");
    rig.measure();
    rig.receive("OK");
    rig.receive("OK");
    rig.port->lines.clear();
    rig.port->writtenAt.clear();
    rig.timer->switches.clear();
    rig.told.clear();
}
} // namespace

class TestSession : public QObject {
    Q_OBJECT
    using enum SessionState;

private slots:
    void theWorkedSequenceToAFullPlate() {
        SessionRig rig;
        rig.tick();
        QCOMPARE(rig.lastLine(), QByteArray("E\r\n"));
        rig.receive("0OK");
        QCOMPARE(rig.session->state(), StateLinked);
        QCOMPARE(rig.pane().textAt(4, 3), QStringLiteral("Связь с прибором установлена"));
        QVERIFY(rig.menus().isEnabled(Menu::менюИзмерение));
        QVERIFY(!rig.timer->enabled);
        QCOMPARE(rig.session->RxBuffer(), QByteArray("0OK")); // kept

        rig.measure();
        QCOMPARE(rig.lastLine(), QByteArray("J 12\r\n"));
        QCOMPARE(rig.session->state(), StateAwaitStripAck);
        QCOMPARE(rig.session->MeasureAfterStrip(), true);
        QCOMPARE(rig.session->DeviceStripCount(), 12);
        QVERIFY(rig.menus().isEnabled(Menu::менюФайлЗапись));

        rig.receive("OK");
        QCOMPARE(rig.lastLine(), QByteArray("Z\r\n"));
        QCOMPARE(rig.session->state(), StateAwaitMeasureAck);
        QCOMPARE(rig.session->MeasureAfterStrip(), false);
        QVERIFY(rig.timer->enabled);
        QVERIFY(!rig.menus().isEnabled(Menu::менюФайл));
        QVERIFY(!rig.menus().isEnabled(Menu::менюИзмерение));
        QCOMPARE(rig.pane().readingOrder(), QStringList{"Измерение"});
        QCOMPARE(rig.pane().textAt(5, 3), QStringLiteral("Измерение"));

        rig.tick();
        rig.receive("OK"); // the acknowledgement, or the answer to a poll
        QCOMPARE(rig.session->state(), StateMeasuring);
        QVERIFY(rig.session->RxBuffer().isEmpty());

        rig.tick();
        const qint64 before = rig.clock->now;
        rig.receive("0OK");
        QCOMPARE(rig.pane().textAt(5, 3), QStringLiteral("Чтение плашки"));
        QVERIFY(!rig.timer->enabled);
        QVERIFY(rig.clock->now - before >= 500); // the pause comes before the request
        QCOMPARE(rig.lastLine(), QByteArray("X 0\r\n"));
        QCOMPARE(rig.session->state(), StateAwaitData);

        const QByteArray block = plateBlock(12);
        rig.receive(block);
        QCOMPARE(rig.session->state(), StateDone);
        QCOMPARE(rig.pane().readingOrder().size(), 96);
        QCOMPARE(rig.pane().textAt(0, 0), QStringLiteral("1,000"));
        QCOMPARE(rig.pane().textAt(11, 7), QStringLiteral("2,107"));
        QCOMPARE(rig.presenter.PlateText().size(), 592);
        QCOMPARE(rig.session->RxBuffer(), block);
        for (Menu item :
             {Menu::менюИзмерение, Menu::менюФайл, Menu::менюФайлЗапись, Menu::менюФайлПросмотр})
            QVERIFY(rig.menus().isEnabled(item));

        // Nothing happens in the done state, however often it is told.
        const qsizetype sent = rig.port->lines.size();
        rig.receive("\r\n0OK");
        QCOMPARE(rig.port->lines.size(), sent);
        QCOMPARE(rig.pane().readingOrder().size(), 96);

        // The count is unchanged, so the next measurement starts at once.
        rig.measure();
        QCOMPARE(rig.lastLine(), QByteArray("Z\r\n"));
        QCOMPARE(rig.session->state(), StateAwaitMeasureAck);

        // What the session told, in order; the plate came as a value.
        QCOMPARE(rig.told, (QStringList{"linked", "stripCountSent 12", "measurementStarted",
                                        "readingPlate", "plateReceived 12", "measurementStarted"}));
        QCOMPARE(rig.lastPlate.reply(), block);
        QCOMPARE(rig.lastPlate.field(11, 7), QByteArray("2107"));
        QVERIFY(rig.lastPlate.isComplete());
    }

    // The completion status: half a second passes on the clock, then "X 0"
    // is written. What follows the status's "K" in the same chunk, and what
    // the line delivers while the program pauses (held until the dispatch
    // returns, as the event loop is blocked), is the data reply.
    void thePauseComesBeforeTheDataRequestAndNothingIsLost() {
        SessionRig rig;
        measuring(rig);
        QCOMPARE(rig.session->state(), StateMeasuring);
        const QByteArray block = plateBlock(12);
        QByteArray heldByTheLine;
        rig.clock->whileAsleep = [&] { heldByTheLine = block.mid(100); };
        const qint64 statusAt = rig.clock->now;
        rig.receive("0OK\r\n" + block.left(100));
        QCOMPARE(rig.port->lines, QList<QByteArray>{"X 0\r\n"});
        QVERIFY(rig.port->writtenAt.front() - statusAt >= 500);
        QCOMPARE(rig.clock->slept, qint64(500));
        QCOMPARE(rig.session->state(), StateAwaitData);
        QCOMPARE(heldByTheLine.size(), 286);
        rig.receive(heldByTheLine);
        QCOMPARE(rig.session->state(), StateDone);
        QCOMPARE(rig.pane().readingOrder().size(), 96);
        QCOMPARE(rig.pane().textAt(0, 0), QStringLiteral("1,000"));
        QCOMPARE(rig.pane().textAt(11, 7), QStringLiteral("2,107"));
        QCOMPARE(rig.session->RxBuffer(), block);
    }

    void aLineEndAfterTheLinkSendsTheStripCount() {
        SessionRig rig;
        rig.tick();
        rig.receive("0 OK\r");
        // The CR after "OK" dispatches again, now in the linked state.
        QCOMPARE(rig.lastLine(), QByteArray("J 12\r\n"));
        QCOMPARE(rig.session->state(), StateAwaitStripAck);
        rig.receive("\n");
        QCOMPARE(rig.port->lines.size(), 2);
        rig.receive("OK\r\n");
        QCOMPARE(rig.session->state(), StateDone);
        QVERIFY(rig.session->RxBuffer().isEmpty());
        QCOMPARE(rig.port->lines.size(), 2);

        rig.measure();
        QCOMPARE(rig.lastLine(), QByteArray("Z\r\n"));
        QCOMPARE(rig.told, (QStringList{"linked", "stripCountSent 12", "stripCountApplied",
                                        "measurementStarted"}));
    }

    void stripCountLines() {
        QCOMPARE(stripCommandText(12), QByteArray("J 12"));
        QCOMPARE(stripCommandText(9), QByteArray("J 9"));
        SessionRig rig;
        rig.receive("0OK");
        rig.measure(5);
        QCOMPARE(rig.lastLine(), QByteArray("J 5\r\n"));
        // Chosen again while the reply is awaited: the count was sent, so "Z" goes at once.
        rig.measure(5);
        QCOMPARE(rig.lastLine(), QByteArray("Z\r\n"));
    }

    void anErrorStatusAndTheQuietPeriod() {
        SessionRig rig;
        rig.tick();
        rig.receive("1 OK");
        QCOMPARE(rig.session->state(), StateFault);
        QCOMPARE(rig.pane().textAt(5, 3), QStringLiteral("Ошибка 1"));
        QCOMPARE(rig.pane().readingOrder(), (QStringList{"Ошибка 1", advice.trimmed()}));
        QCOMPARE(rig.pane().items().last().text, advice); // two lines below, at the left edge
        QCOMPARE(rig.pane().items().last().x, 0.0);
        QVERIFY(qAbs(rig.pane().items().last().y - (3 + 2 * 0.6)) < 1e-9);
        QVERIFY(rig.menus().isEnabled(Menu::менюФайл) &&
                rig.menus().isEnabled(Menu::менюИзмерение));
        QVERIFY(rig.timer->enabled);
        QVERIFY(rig.session->RxBuffer().isEmpty());
        QCOMPARE(rig.session->FaultTime(), rig.clock->now);

        // Replies every half second keep the fault, whatever they say.
        for (int i = 0; i < 6; ++i) {
            rig.clock->now += 500;
            rig.tick();
            rig.receive("0OK");
            QCOMPARE(rig.session->state(), StateFault);
            QCOMPARE(rig.session->FaultTime(), rig.clock->now);
        }
        // A reply 1,999 ms after the last one still keeps the fault.
        rig.clock->now += 1999;
        rig.tick();
        rig.receive("0OK");
        QCOMPARE(rig.session->state(), StateFault);
        QCOMPARE(rig.session->FaultTime(), rig.clock->now);
        QCOMPARE(rig.pane().textAt(5, 3), QStringLiteral("Ошибка 1"));
        // Exactly 2 s of silence is enough; a bad status starts the wait again.
        rig.clock->now += 2000;
        rig.tick();
        rig.receive("3OK");
        QCOMPARE(rig.session->state(), StateFault);
        QCOMPARE(rig.pane().textAt(5, 3), QStringLiteral("Ошибка 3"));
        rig.clock->now += 2000;
        rig.tick();
        rig.receive("0OK");
        QCOMPARE(rig.session->state(), StateLinked);
        QVERIFY(!rig.timer->enabled);
        QCOMPARE(rig.told, (QStringList{"instrumentError 1", "instrumentError 3", "linked"}));
    }

    void anErrorWhileMeasuring() {
        SessionRig rig;
        measuring(rig);
        QCOMPARE(rig.session->state(), StateMeasuring);
        rig.receive("2OK");
        QCOMPARE(rig.timer->switches, (QList<bool>{false, true}));
        QCOMPARE(rig.session->state(), StateFault);
        QCOMPARE(rig.pane().textAt(5, 3), QStringLiteral("Ошибка 2"));
        QCOMPARE(rig.session->MeasureAfterStrip(), false);
        QVERIFY(rig.menus().isEnabled(Menu::менюФайл));
        QCOMPARE(rig.clock->slept, 0);
        QCOMPARE(rig.told, QStringList{"instrumentError 2"});
    }

    void aTickBetweenTheCharactersOfAReply() {
        SessionRig rig;
        rig.receive("0");
        rig.tick(); // empties the buffer
        rig.receive("OK");
        QCOMPARE(rig.session->state(), StateFault);
        QCOMPARE(rig.pane().textAt(5, 3), QStringLiteral("Ошибка O"));
    }

    void readPlateWhileTheTimerPolls() {
        SessionRig rig; // awaiting the link, the timer running
        rig.readPlate();
        QCOMPARE(rig.lastLine(), QByteArray("X0\r\n"));
        QCOMPARE(rig.pane().readingOrder(), QStringList{"Чтение плашки"});
        QCOMPARE(rig.session->state(), StateAwaitData);
        QVERIFY(rig.menus().isEnabled(Menu::менюФайлЗапись));
        QVERIFY(rig.timer->enabled);

        rig.receive(plateBlock(3).left(40));
        rig.tick(); // the poll throws away what came so far
        rig.receive("0OK");
        // Whatever completes first is the block: here, no strip at all.
        QCOMPARE(rig.session->state(), StateDone);
        QVERIFY(rig.pane().items().isEmpty());
        QCOMPARE(rig.presenter.PlateText(), QString("\r\n").repeated(8));
        QVERIFY(rig.timer->enabled);
        QCOMPARE(rig.told, (QStringList{"readingPlate", "plateReceived 0"}));
        QCOMPARE(rig.lastPlate.reply(), QByteArray("0OK"));
    }

    void withoutAPortCommandsAreRefused() {
        SessionRig rig;
        rig.receive("0OK");
        rig.menus().setEnabled(Menu::менюФайлЗапись, true);
        rig.session->handlePortLost();
        QVERIFY(!rig.timer->enabled);
        // Nothing that needs the instrument is offered; the rest stays.
        QVERIFY(!rig.menus().isAvailable(Menu::менюИзмерение));
        QVERIFY(!rig.menus().isAvailable(Menu::менюФайлЧтениеПлашки));
        for (Menu item : {Menu::менюФайлПросмотр, Menu::менюФайлЗапись, Menu::менюФайлClip,
                          Menu::менюНастройка, Menu::менюФайлВыход})
            QVERIFY(rig.menus().isAvailable(item));
        QCOMPARE(rig.pane().readingOrder(), QStringList{"Порт отключён"});
        rig.port->open = false;
        const qsizetype sent = rig.port->lines.size();
        rig.measure();
        rig.readPlate();
        QCOMPARE(rig.port->lines.size(), sent);
        QCOMPARE(rig.session->state(), StateLinked);
        QCOMPARE(rig.pane().readingOrder(), QStringList{"Порт отключён"});
        QCOMPARE(rig.told, (QStringList{"linked", "portLost"}));
    }

    // A listener that goes while the session runs (a window closed during a
    // measurement) leaves nothing behind that the session would reach.
    void aListenerThatGoesMidRun() {
        SessionRig rig;
        {
            SessionPresenter window;
            window.listenTo(*rig.session);
            rig.receive("0OK");
            rig.measure(2);
            QCOMPARE(window.ОкноПечати().readingOrder(),
                     QStringList{"Связь с прибором установлена"});
        }
        rig.receive("OK");
        rig.receive("OK");
        rig.receive("0OK");
        rig.receive(plateBlock(2));
        QCOMPARE(rig.session->state(), StateDone);
        QCOMPARE(rig.presenter.PlateText().size(), 2 * 48 + 16);
    }

    void aPortThatComesBackStartsOver() {
        SessionRig rig;
        rig.readPlate();
        rig.receive(plateBlock(1));
        rig.receive("0OK");
        rig.measure();
        QCOMPARE(rig.lastLine(), QByteArray("J 12\r\n"));
        rig.receive("0O");
        rig.session->handlePortLost();
        rig.port->open = false;
        const QString plateText = rig.presenter.PlateText();
        QCOMPARE(plateText.size(), 64);

        rig.port->open = true;
        rig.told.clear();
        rig.session->handlePortBack();
        QCOMPARE(rig.told, (QStringList{"portBack", "noAnswer"}));
        QCOMPARE(rig.session->state(), StateAwaitLink);
        QCOMPARE(rig.session->MeasureAfterStrip(), false);
        QVERIFY(rig.session->RxBuffer().isEmpty());
        QVERIFY(rig.timer->enabled);
        QCOMPARE(rig.pane().textAt(4, 3), QStringLiteral("    Прибор не отвечает"));
        QCOMPARE(rig.pane().readingOrder(), QStringList{"Прибор не отвечает"});
        QCOMPARE(rig.presenter.PlateText(), plateText); // still there to copy
        // Exactly the menus of a new start.
        const MenuFlags fresh;
        for (int i = 0; i < menuCount; ++i)
            QCOMPARE(rig.menus().isEnabled(Menu(i)), fresh.isEnabled(Menu(i)));
        QVERIFY(rig.menus().isEnabled(Menu::менюФайлЧтениеПлашки));
        QVERIFY(!rig.menus().isEnabled(Menu::менюФайлЗапись));
        QVERIFY(!rig.menus().isEnabled(Menu::менюИзмерение));

        // The instrument behind the port may be a fresh one: linked again,
        // a measurement sends the strip count before Z.
        rig.tick();
        QCOMPARE(rig.lastLine(), QByteArray("E\r\n"));
        rig.receive("0OK");
        QCOMPARE(rig.session->state(), StateLinked);
        QVERIFY(rig.menus().isEnabled(Menu::менюИзмерение));
        rig.measure();
        QCOMPARE(rig.lastLine(), QByteArray("J 12\r\n"));
    }

    void theLinkTimerKeepsItsPhase() {
        LinkTimer timer;
        QElapsedTimer clock;
        QList<qint64> ticks;
        connect(&timer, &LinkTimer::tick, this, [&] { ticks.append(clock.elapsed()); });
        clock.start();
        timer.setEnabled(true);
        QTest::qWait(250);
        timer.setEnabled(true); // already running: no restart
        QTRY_VERIFY_WITH_TIMEOUT(ticks.size() >= 2, 3000);
        if (timingChecked()) // not restarted by the second switch: the first tick at 500 ms
            QVERIFY2(ticks.first() < 700, qPrintable(QString::number(ticks.first())));
        timer.setEnabled(false);
        QVERIFY(!timer.isEnabled());
        const qsizetype count = ticks.size();
        QTest::qWait(700);
        QCOMPARE(ticks.size(), count);
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
