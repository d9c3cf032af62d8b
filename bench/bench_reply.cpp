// SPDX-License-Identifier: GPL-3.0-or-later
// What handling the instrument's replies costs the program: the receive step
// per character, a 12-strip data block from its last character to the grid
// drawn and the plate text built, the pane's repaint, and the pane's deferred
// description. Run by bench/run.sh with QT_QPA_PLATFORM=offscreen.
//
// The cheap steps are timed with QBENCHMARK. Where every repetition needs an
// untimed preparation (the window back in the state it has before a block
// arrives), each repetition is timed on its own with a steady clock and the
// median is reported through QTest::setBenchmarkResult.
#include "app/frm_main.h"
#include "app/menu_flags.h"
#include "app/program.h"
#include "app/text_pane.h"
#include "app/twips.h"
#include "app/window_font.h"
#include "link/link_timer.h"
#include "link/receive_step.h"
#include "plate/plate.h"
#include "tests/session_rig.h"

#include <QAccessible>
#include <QApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QStaticText>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace {

// A data block as it comes down the line: 12 strips of 8 values of 4 digits,
// a blank between values, CR LF after each strip, then the final OK.
QByteArray wireBlock(int seed) {
    QByteArray wire;
    for (int s = 0; s < 12; ++s) {
        for (int r = 0; r < 8; ++r) {
            if (r)
                wire += ' ';
            wire += QByteArray::number(1000 + (seed * 977 + s * 131 + r * 17) % 3500).right(4);
        }
        wire += "\r\n";
    }
    return wire + "OK";
}

// The same block as the reply buffer holds it: what the receive step keeps.
QByteArray keptBlock(const QByteArray &wire) {
    QByteArray kept;
    for (char c : wire)
        receiveStep(kept, c);
    return kept;
}

// Times work() alone, with prepare() run untimed before each time, and
// reports the median in nanoseconds. TELKARO_BENCH_REPETITIONS (default 2001)
// says how many times; fewer suit a run under valgrind.
void medianOf(const std::function<void()> &prepare, const std::function<void()> &work) {
    const int repetitions = qEnvironmentVariableIntValue("TELKARO_BENCH_REPETITIONS") > 0
                                ? qEnvironmentVariableIntValue("TELKARO_BENCH_REPETITIONS")
                                : 2001;
    std::vector<double> ns;
    ns.reserve(static_cast<std::size_t>(repetitions));
    for (int i = 0; i < repetitions; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        ns.push_back(std::chrono::duration<double, std::nano>(end - start).count());
    }
    std::sort(ns.begin(), ns.end());
    QTest::setBenchmarkResult(ns[ns.size() / 2], QTest::WalltimeNanoseconds);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class BenchReply : public QObject {
    Q_OBJECT

    std::unique_ptr<frmMain> m_window;
    // A session on stand-ins for the port, timer and clock, which the
    // window's presenter listens to as it does to its own.
    SessionRig m_rig{false};
    QByteArray m_wire[2];
    QByteArray m_kept[2];
    int m_next = 0;

    TextPane *pane() { return m_window->ОкноПечати(); }

    // The window as it is while a block is on its way: the menus that a
    // measurement disables are off, the pane says it is reading, the session
    // awaits the data, the buffer holds all but the final "K", and the event
    // loop has had its turn (pane painted, description up to date).
    void beforeLastCharacter() {
        m_next ^= 1;
        MenuFlags &menus = m_window->program().presenter.menus();
        menus.setEnabled(Menu::менюФайл, false);
        menus.setEnabled(Menu::менюИзмерение, false);
        m_rig.session->readPlate();
        m_rig.receive(m_kept[m_next].chopped(1));
        QCoreApplication::processEvents();
    }
    void lastCharacter() { m_rig.session->receive('K'); }

private slots:
    void initTestCase() {
        for (int i : {0, 1}) {
            m_wire[i] = wireBlock(i + 1);
            m_kept[i] = keptBlock(m_wire[i]);
            QCOMPARE(m_kept[i].size(), 12 * 32 + 2);
        }
        m_window = std::make_unique<frmMain>();
        // No port and no polls of its own.
        m_window->program().link.ТаймерСвязи().setEnabled(false);
        m_window->program().presenter.listenTo(*m_rig.session);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        qInfo("accessibility active: %s", QAccessible::isActive() ? "yes" : "no");
    }

    void cleanupTestCase() { m_window.reset(); }

    // The receive step alone, over a whole block as it comes down the line
    // (494 characters: digits, blanks, CR LF, OK), from an empty buffer.
    void receiveStep_494chars() {
        const QByteArray bytes = m_wire[0];
        QByteArray buffer;
        bool complete = false;
        QBENCHMARK {
            buffer.clear();
            for (char c : bytes)
                complete = receiveStep(buffer, c);
        }
        QVERIFY(complete);
        QCOMPARE(buffer, m_kept[0]);
    }

    // Every character of a block but the last through the session's receive
    // handler (stand-ins for the port, timer and clock), as while a block
    // arrives, after the data request.
    void sessionCharacters_493chars() {
        SessionRig rig(false);
        const QByteArray bytes = m_wire[0].chopped(1);
        QBENCHMARK {
            rig.session->readPlate();
            rig.receive(bytes);
        }
        QCOMPARE(rig.session->state(), SessionState::StateAwaitData);
    }

    // The last character of a block with the session on stand-ins and a bare
    // presenter: the plate made, the grid drawn into the model and the plate
    // text built.
    void blockStandIns() {
        SessionRig rig;
        const QByteArray prefix = m_kept[0].chopped(1);
        medianOf(
            [&] {
                rig.session->readPlate();
                rig.receive(prefix);
            },
            [&] { rig.session->receive('K'); });
        QCOMPARE(rig.session->state(), SessionState::StateDone);
        QCOMPARE(rig.presenter.PlateText().size(), 592);
    }

    // The two parts of that on their own: the presenter showing a plate, and
    // the plate text.
    void blockDrawGrid() {
        SessionPresenter presenter;
        presenter.ОкноПечати().setMetrics(0.6, [](const QString &s) { return 0.1 * s.size(); });
        const Plate plate(m_kept[0], {});
        QBENCHMARK {
            presenter.showPlate(plate);
        }
        QCOMPARE(presenter.ОкноПечати().items().size(), 192);
    }
    void blockPlateText() {
        const Plate plate(m_kept[0], {});
        QString text;
        QBENCHMARK {
            text = plate.text();
        }
        QCOMPARE(text.size(), 592);
    }

    // The last character of a block in the real window (offscreen): the
    // session draws into the results pane, whose every change asks the widget
    // for an update and the first schedules the description; the menus are
    // switched back on.
    void blockWindow() {
        medianOf([this] { beforeLastCharacter(); }, [this] { lastCharacter(); });
        QCOMPARE(m_rig.session->state(), SessionState::StateDone);
        QCOMPARE(pane()->model().items().size(), 192);
        QVERIFY(m_window->action(Menu::менюИзмерение)->isEnabled());
    }

    // The results pane repainted with a full grid (96 values), synchronously,
    // into the window's backing store; and, for comparison, with one line.
    void paneRepaintFullGrid() {
        beforeLastCharacter();
        lastCharacter();
        QCoreApplication::processEvents();
        PaintCounter counter;
        pane()->installEventFilter(&counter);
        QBENCHMARK {
            pane()->repaint();
        }
        pane()->removeEventFilter(&counter);
        QVERIFY(counter.paints > 0);
        QCOMPARE(pane()->model().items().size(), 192);
    }
    void paneRepaintOneLine() {
        beforeLastCharacter();
        QBENCHMARK {
            pane()->repaint();
        }
    }
    // The same full pane rendered into a new pixmap.
    void paneGrabFullGrid() {
        beforeLastCharacter();
        lastCharacter();
        QCoreApplication::processEvents();
        QPixmap pixmap;
        QBENCHMARK {
            pixmap = pane()->grab();
        }
        QVERIFY(!pixmap.isNull());
    }

    // The deferred description update after a block: the call queued by the
    // pane's first change, run when control returns to the event loop. The
    // blocks alternate, so the description changes every time.
    void paneDescriptionAfterBlock() {
        medianOf(
            [this] {
                beforeLastCharacter();
                lastCharacter();
            },
            [this] { QCoreApplication::sendPostedEvents(pane(), QEvent::MetaCall); });
        const QString description = pane()->accessibleDescription();
        QCOMPARE(description.count(QLatin1Char('\n')), 95);
        QVERIFY(description.startsWith(QString::fromLatin1(m_kept[m_next].left(1) + ',')));
    }

    // The whole of it: the last character, then one pass of the event loop,
    // in which the pane is painted and its description brought up to date.
    void blockThroughEventLoopPass() {
        PaintCounter counter;
        pane()->installEventFilter(&counter);
        int paintsBefore = 0;
        int passesWithoutPaint = 0;
        medianOf(
            [&] {
                beforeLastCharacter();
                paintsBefore = counter.paints;
            },
            [&] {
                lastCharacter();
                QCoreApplication::processEvents();
                if (counter.paints == paintsBefore)
                    ++passesWithoutPaint;
            });
        pane()->removeEventFilter(&counter);
        QCOMPARE(passesWithoutPaint, 0);
        QCOMPARE(pane()->accessibleDescription().count(QLatin1Char('\n')), 95);
    }
};

QTEST_MAIN(BenchReply)
#include "bench_reply.moc"
