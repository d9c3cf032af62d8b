// SPDX-License-Identifier: GPL-3.0-or-later
// Why a port cannot be used, what the operator is told, and the watch for a
// lost port to come back.
#include "app/port_messages.h"
#include "link/port_problem.h"
#include "link/port_watch.h"
#include "link/serial_link.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestPortProblems : public QObject {
    Q_OBJECT
private slots:
    void namesThatCannotBeAPort_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<PortProblem>("problem");
        static QTemporaryDir dir;
        QFile plain(dir.filePath(QStringLiteral("plate.dat")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("1,234\t");
        plain.close();
        QTest::newRow("empty") << QString() << PortProblem::NoName;
        QTest::newRow("blanks") << QStringLiteral("   ") << PortProblem::NoName;
        QTest::newRow("missing") << QStringLiteral("/dev/telkaro-no-such-port")
                                 << PortProblem::NotFound;
        QTest::newRow("missing short name")
            << QStringLiteral("ttyTELKARO99") << PortProblem::NotFound;
        QTest::newRow("folder") << dir.path() << PortProblem::Directory;
        QTest::newRow("ordinary file") << plain.fileName() << PortProblem::RegularFile;
        QTest::newRow("not a terminal") << QStringLiteral("/dev/null") << PortProblem::NotSerial;
        QTest::newRow("10,000 characters")
            << QString(10'000, QLatin1Char('x')) << PortProblem::NameTooLong;
        QTest::newRow("long path")
            << QStringLiteral("/dev/") + QString(3000, QLatin1Char('y')) << PortProblem::NotFound;
    }
    void namesThatCannotBeAPort() {
        QFETCH(QString, name);
        QFETCH(PortProblem, problem);
        SerialLink link;
        QVERIFY(!link.open(name));
        QVERIFY(!link.isOpen());
        QCOMPARE(link.problem(), problem);
        QCOMPARE(link.portName(), name);
        link.output("E\r\n"); // nothing to write to, and no harm done
    }

    void permissionAndBusyTellApart() {
        // CI runs as root, who may open anything: the file system's facts
        // come in here as the operator's would.
        PortFacts denied;
        denied.known = denied.exists = true;
        denied.readable = true;
        QCOMPARE(checkPortName(QStringLiteral("/dev/ttyUSB0"), denied),
                 PortProblem::PermissionDenied);
        QCOMPARE(openFailureReason(QSerialPort::PermissionError, denied),
                 PortProblem::PermissionDenied);
        PortFacts allowed = denied;
        allowed.writable = true;
        QCOMPARE(checkPortName(QStringLiteral("/dev/ttyUSB0"), allowed), PortProblem::None);
        QCOMPARE(openFailureReason(QSerialPort::PermissionError, allowed), PortProblem::Busy);
        // Where ports are not files (COM3), Qt's error alone decides.
        const PortFacts unknown;
        QCOMPARE(checkPortName(QStringLiteral("COM3"), unknown), PortProblem::None);
        QCOMPARE(openFailureReason(QSerialPort::PermissionError, unknown), PortProblem::Busy);
        QCOMPARE(openFailureReason(QSerialPort::DeviceNotFoundError, unknown),
                 PortProblem::NotFound);
        QCOMPARE(openFailureReason(QSerialPort::UnknownError, unknown), PortProblem::Other);
    }

    void whatTheOperatorIsTold() {
        const QString port = QStringLiteral("/dev/ttyUSB0");
        QCOMPARE(diagnosisLine(port, PortProblem::NotFound, PortEvent::OpenFailed),
                 QStringLiteral("telkaro: cannot open port \"/dev/ttyUSB0\": no such port"));
        QCOMPARE(diagnosisLine(port, PortProblem::Busy, PortEvent::OpenFailed),
                 QStringLiteral("telkaro: cannot open port \"/dev/ttyUSB0\": in use by another "
                                "program"));
        QCOMPARE(diagnosisLine(port, PortProblem::PermissionDenied, PortEvent::OpenFailed),
                 QStringLiteral("telkaro: cannot open port \"/dev/ttyUSB0\": permission denied"));
        QVERIFY(diagnosisLine(port, PortProblem::Unplugged, PortEvent::Lost)
                    .startsWith(QStringLiteral("telkaro: port \"/dev/ttyUSB0\" was lost: ")));

        const QString missing = diagnosisTip(port, PortProblem::NotFound, PortEvent::OpenFailed);
        QVERIFY(missing.contains(QStringLiteral("Такого порта нет")));
        QVERIFY(missing.contains(QStringLiteral("telkaro --choose-port")));
        const QString denied =
            diagnosisTip(port, PortProblem::PermissionDenied, PortEvent::OpenFailed);
        QVERIFY(denied.contains(QStringLiteral("Нет прав")));
#ifdef Q_OS_LINUX
        QVERIFY(denied.contains(QStringLiteral("dialout")));
#endif
        QVERIFY(diagnosisTip(port, PortProblem::Busy, PortEvent::OpenFailed)
                    .contains(QStringLiteral("занят другой программой")));
        const QString lost = diagnosisTip(port, PortProblem::Unplugged, PortEvent::Lost);
        QVERIFY(lost.startsWith(QStringLiteral("Порт \"/dev/ttyUSB0\" отключён.")));

        // Every reason reads differently, in both languages.
        QStringList lines, tips;
        for (PortProblem p :
             {PortProblem::NoName, PortProblem::NameTooLong, PortProblem::NotFound,
              PortProblem::Directory, PortProblem::RegularFile, PortProblem::NotSerial,
              PortProblem::Busy, PortProblem::PermissionDenied, PortProblem::Other}) {
            lines << diagnosisLine(port, p, PortEvent::OpenFailed);
            tips << diagnosisTip(port, p, PortEvent::OpenFailed);
        }
        lines.removeDuplicates();
        tips.removeDuplicates();
        QCOMPARE(lines.size(), 9);
        QCOMPARE(tips.size(), 9);
    }

    void aNameIsShownSafely() {
        const QString shown = shownPortName(QString(10'000, QLatin1Char('x')));
        QVERIFY(shown.size() < 100);
        QVERIFY(shown.endsWith(QStringLiteral("…\"")));
        QCOMPARE(shownPortName(QStringLiteral("COM3\n")), QStringLiteral("\"COM3\\u000a\""));
        QVERIFY(!diagnosisLine(QStringLiteral("a\nb"), PortProblem::NotFound, PortEvent::OpenFailed)
                     .contains(QLatin1Char('\n')));
    }

    void theWatchLooksForItsPortOnly() {
        PortWatch watch;
        QStringList looked;
        bool there = false;
        watch.setProbe([&](const QString &name) {
            looked << name;
            return there;
        });
        QSignalSpy present(&watch, &PortWatch::present);
        watch.start(QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(watch.isWatching());
        QTRY_VERIFY_WITH_TIMEOUT(looked.size() >= 2, 10000);
        QCOMPARE(present.count(), 0);
        QCOMPARE(looked.count(QStringLiteral("/dev/ttyUSB0")), looked.size());
        there = true;
        QTRY_VERIFY_WITH_TIMEOUT(present.count() >= 1, 10000);
        watch.stop();
        QVERIFY(!watch.isWatching());
        const qsizetype afterStop = looked.size();
        QTest::qWait(1500);
        QCOMPARE(looked.size(), afterStop);
    }

    void aPortIsThereWhenItsPathIs() {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ttyTELKARO"));
        QVERIFY(!portIsThere(link));
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), link));
        QVERIFY(portIsThere(link));
        QVERIFY(QFile::remove(link));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), link)); // dangling
        QVERIFY(!portIsThere(link));
        QVERIFY(!portIsThere(QString()));
        QVERIFY(!portIsThere(QString(10'000, QLatin1Char('x'))));
    }
};

QTEST_GUILESS_MAIN(TestPortProblems)
#include "test_port_problems.moc"
