// SPDX-License-Identifier: GPL-3.0-or-later
// Plates for other programs: the CSV and JSON exports, and the safe reading
// of a .dat file that View file and telkaro-read convert share.
#include "plate/dat_file.h"
#include "plate/plate.h"
#include "plate/plate_export.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
const QDateTime received = QDateTime::fromString("2026-01-02T03:04:05.006Z", Qt::ISODateWithMs);

// One strip: A 1234, B 12AB (not a number), C 0056, D to H 0000.
Plate oneStrip() {
    return Plate("123412AB0056" + QByteArray("0000").repeated(5) + "OK", received);
}
} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void csv() {
        QCOMPARE(csvHeader(), QByteArray("plate,time,well,row,strip,value,text\r\n"));
        const QList<QByteArray> lines = csvLines(oneStrip(), 3).split('\n');
        QCOMPARE(lines.size(), 9); // 8 lines, each ended by CR LF
        QCOMPARE(lines[0], QByteArray("3,2026-01-02T03:04:05.006Z,A1,A,1,1.234,\"1,234\"\r"));
        // Not four digits: no number, the text as it stands.
        QCOMPARE(lines[1], QByteArray("3,2026-01-02T03:04:05.006Z,B1,B,1,,\"1,2AB\"\r"));
        QCOMPARE(lines[2], QByteArray("3,2026-01-02T03:04:05.006Z,C1,C,1,0.056,\"0,056\"\r"));
        QCOMPARE(lines[7], QByteArray("3,2026-01-02T03:04:05.006Z,H1,H,1,0.000,\"0,000\"\r"));
        // Well names run A1 … H12, strip by strip.
        QCOMPARE(wellName(11, 7), QStringLiteral("H12"));
    }

    void json() {
        RunFacts run{QStringLiteral("telkaro-read"), QStringLiteral("1.0"),
                     QStringLiteral("COM\"5\\\x01"), 1, received};
        const QByteArray text = jsonDocument(run, {oneStrip(), oneStrip()});
        QVERIFY2(text.contains("\"port\": \"COM\\\"5\\\\\\u0001\""), text.constData());
        QJsonParseError error;
        const QJsonObject document = QJsonDocument::fromJson(text, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(document["port"].toString(), QStringLiteral("COM\"5\\\x01"));
        QCOMPARE(document["started"].toString(), QStringLiteral("2026-01-02T03:04:05.006Z"));
        const QJsonArray plates = document["plates"].toArray();
        QCOMPARE(plates.size(), 2);
        QCOMPARE(plates[1].toObject()["plate"].toInt(), 2);
        const QJsonObject values = plates[0].toObject()["values"].toObject();
        QCOMPARE(values.keys().size(), 8);
        QCOMPARE(values["A1"].toDouble(), 1.234);
        QVERIFY(values["B1"].isNull());
        QCOMPARE(values["C1"].toDouble(), 0.056);
        QCOMPARE(plates[0].toObject()["text"].toObject()["B1"].toString(), QStringLiteral("1,2AB"));
        // SHA-256 of the 32 characters of the block, without "OK" (sha256sum).
        QCOMPARE(
            plates[0].toObject()["block_sha256"].toString(),
            QStringLiteral("45536ac2a03add23c3fec811354f29702b7113edfff35612ce8d2fa5eaa2eaf8"));
        QCOMPARE(jsonDocument(run, {}).count("\"plates\": []"), 1);
    }

    // A data file is read only when it is an ordinary file no larger than a
    // plate file can be; everything else is refused, each for its reason,
    // without being opened.
    void theSafeDatReader_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("problem");
        using P = DatFileLoad::Problem;
        QTest::newRow("a plate file") << "plate.dat" << int(P::None);
        QTest::newRow("missing") << "missing.dat" << int(P::Missing);
        QTest::newRow("a folder") << "folder" << int(P::NotOrdinary);
        QTest::newRow("too large") << "big.dat" << int(P::TooLarge);
#ifdef Q_OS_UNIX
        QTest::newRow("a FIFO without a writer") << "fifo.dat" << int(P::NotOrdinary);
        QTest::newRow("a device") << "/dev/zero" << int(P::NotOrdinary);
        QTest::newRow("unreadable") << "locked.dat" << int(P::Unreadable);
#endif
    }

    void theSafeDatReader() {
        QFETCH(QString, name);
        QFETCH(int, problem);
        QTemporaryDir dir;
        const QByteArray plate = QByteArray("1,234\t\r\n").repeated(8);
        QFile file(dir.filePath("plate.dat"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(plate) == plate.size());
        file.close();
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        QFile big(dir.filePath("big.dat"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(maxDatFileSize + 1));
        big.close();
#ifdef Q_OS_UNIX
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("fifo.dat")).constData(), 0600), 0);
        QVERIFY(QFile::copy(dir.filePath("plate.dat"), dir.filePath("locked.dat")));
        QCOMPARE(::chmod(QFile::encodeName(dir.filePath("locked.dat")).constData(), 0), 0);
        if (name == "locked.dat" && ::geteuid() == 0)
            QSKIP("root reads a file whatever its mode");
#endif
        const DatFileLoad load = loadDatFile(name.startsWith('/') ? name : dir.filePath(name));
        QCOMPARE(int(load.problem), problem);
        QCOMPARE(load.content, problem == int(DatFileLoad::Problem::None) ? plate : QByteArray());
        if (problem == int(DatFileLoad::Problem::Unreadable))
            QVERIFY(!load.reason.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "test_export.moc"
