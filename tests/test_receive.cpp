// SPDX-License-Identifier: GPL-3.0-or-later
// The receive step and the serial link: which characters enter the reply
// buffer, when a reply counts as complete, and that bytes arriving together
// are handled one notification each.
#include "link/receive_step.h"
#include "link/serial_link.h"
#include "tests/support/virtual_instrument.h"

#include <QSerialPort>
#include <QTest>

#include <memory>

static_assert(rxBufferLimit > 100 * 386, "far above a full plate");

class TestReceive : public QObject {
    Q_OBJECT
private slots:
    void acceptsExactlyZeroToZ() {
        for (int code = 0; code < 256; ++code) {
            QByteArray buffer;
            receiveStep(buffer, static_cast<char>(code));
            QCOMPARE(buffer.size(), (code >= 48 && code <= 90) ? 1 : 0);
        }
    }

    void completeWhileTheBufferEndsInOK() {
        QByteArray buffer;
        QList<bool> complete;
        for (char c : QByteArray("0 OK\r\n"))
            complete.append(receiveStep(buffer, c));
        QCOMPARE(buffer, QByteArray("0OK"));
        // The K completes the reply; the CR and LF after it, though dropped,
        // report it complete again.
        QCOMPARE(complete, (QList<bool>{false, false, false, true, true, true}));

        buffer.clear();
        for (char c : QByteArray("0 ok\r\n"))
            QVERIFY(!receiveStep(buffer, c));
        QCOMPARE(buffer, QByteArray("0"));
    }

    void bufferIsBoundedButRealRepliesAreNot() {
        QByteArray buffer;
        for (int i = 0; i < rxBufferLimit + 1000; ++i)
            receiveStep(buffer, 'A');
        QCOMPARE(buffer.size(), rxBufferLimit);
    }

    void bytesArrivingTogetherAreEachTakenInTurn() {
        VirtualInstrument instrument;
        QVERIFY2(instrument.start({QStringLiteral("--silent")}),
                 qPrintable(instrument.lastError()));
        SerialLink link;
        QVERIFY2(link.open(instrument.portName()), qPrintable(link.errorString()));

        QByteArray buffer;
        QByteArray seen;
        QList<bool> complete;
        connect(&link, &SerialLink::received, this, [&](const QByteArray &bytes) {
            for (const char c : bytes) {
                seen.append(c);
                complete.append(receiveStep(buffer, c));
            }
        });
        // One write on the far side: it arrives as one chunk or a few.
        QVERIFY(instrument.control("send 0 OK\\r\\n"));
        QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 6, 5000);
        QCOMPARE(seen, QByteArray("0 OK\r\n"));
        QCOMPARE(complete, (QList<bool>{false, false, false, true, true, true}));

        link.output("E\r\n");
        QVERIFY(instrument.waitForReceived("E\r\n", 5000));
        QCOMPARE(instrument.received(), QByteArray("E\r\n"));
    }

    void aPortInUseOrMissingIsRefused() {
        VirtualInstrument instrument;
        QVERIFY2(instrument.start({QStringLiteral("--silent")}),
                 qPrintable(instrument.lastError()));
        SerialLink first;
        QVERIFY(first.open(instrument.portName()));
        SerialLink second;
        QVERIFY(!second.open(instrument.portName()));
        QVERIFY(!second.isOpen());
        QCOMPARE(second.problem(), PortProblem::Busy);
        second.output("E\r\n"); // nothing is written through a port that is not open

        SerialLink missing;
        QVERIFY(!missing.open(QStringLiteral("/dev/telkaro-no-such-port")));
        QCOMPARE(missing.problem(), PortProblem::NotFound);
        QTest::qWait(200);
        QVERIFY(instrument.received().isEmpty());
    }

    void aVanishingPortIsClosedAndReportedOnce() {
        VirtualInstrument instrument;
        QVERIFY2(instrument.start({QStringLiteral("--silent")}),
                 qPrintable(instrument.lastError()));
        SerialLink link;
        QVERIFY(link.open(instrument.portName()));
        int lost = 0;
        connect(&link, &SerialLink::lost, this, [&] { ++lost; });
        instrument.control("close", 0);
        QVERIFY(instrument.waitForExit(5000));
        QTRY_COMPARE_WITH_TIMEOUT(lost, 1, 5000);
        QVERIFY(!link.isOpen());
        link.output("E\r\n"); // to a dead port: nothing happens
        QTest::qWait(300);
        QCOMPARE(lost, 1);
    }

    // The far end gone but not yet noticed, the link destroyed: the port's
    // last words as it closes reach nothing.
    void aLinkDestroyedAfterItsFarEndWentSaysNothing() {
        VirtualInstrument instrument;
        QVERIFY2(instrument.start({QStringLiteral("--silent")}),
                 qPrintable(instrument.lastError()));
        auto link = std::make_unique<SerialLink>();
        QVERIFY(link->open(instrument.portName()));
        int lost = 0;
        int characters = 0;
        connect(link.get(), &SerialLink::lost, this, [&] { ++lost; });
        connect(link.get(), &SerialLink::received, this,
                [&](const QByteArray &bytes) { characters += int(bytes.size()); });
        instrument.stop(); // waits for the process without turning the event loop
        link.reset();
        QCOMPARE(lost, 0);
        QCOMPARE(characters, 0);
    }
};

QTEST_GUILESS_MAIN(TestReceive)
#include "test_receive.moc"
