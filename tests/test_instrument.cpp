// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the virtual instrument itself: what it answers on the line, and its faults; then its
// pieces without a pseudo-terminal: the photometer's replies, the fault modes, the wire log.

#include "tests/support/virtual_instrument.h"

#include "tools/faults.h"
#include "tools/photometer.h"
#include "tools/wire_log.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <cmath>
#include <optional>
#include <string>

namespace {

constexpr int replyMs = 5000; // generous: an answer normally takes a millisecond
constexpr int quietMs = 300;  // how long "no answer" is watched for
constexpr double byteMs = 10.0 * 1000.0 / 9600.0;

// The slave side of the instrument's pty, set up as the program sets up the real line.
class Line {
public:
    explicit Line(VirtualInstrument &vi)
        : m_vi(vi) {
        m_port.setPortName(vi.portName());
        m_port.setBaudRate(QSerialPort::Baud9600);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::OneStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        if (!m_port.open(QIODevice::ReadWrite))
            qWarning("cannot open %s: %s", qPrintable(vi.portName()),
                     qPrintable(m_port.errorString()));
    }

    QSerialPort &port() { return m_port; }
    QByteArray &buffer() { return m_buffer; }

    void send(const QByteArray &command) { m_port.write(command + "\r\n"); }

    // Everything read so far is kept in buffer(); reading happens while waiting.
    bool readUntil(const std::function<bool(const QByteArray &)> &done, int timeoutMs = replyMs) {
        return m_vi.waitFor(
            [&] {
                if (m_port.isOpen())
                    m_buffer += m_port.readAll();
                return done(m_buffer);
            },
            timeoutMs);
    }

    // Sends a command and returns what came back up to the end of the reply.
    QByteArray ask(const QByteArray &command, const QByteArray &end = "OK\r\n",
                   int timeoutMs = replyMs) {
        m_buffer.clear();
        send(command);
        readUntil([&](const QByteArray &b) { return b.endsWith(end); }, timeoutMs);
        return m_buffer;
    }

    // Collects whatever arrives within quietMs.
    QByteArray listen() {
        m_buffer.clear();
        readUntil([](const QByteArray &) { return false; }, quietMs);
        return m_buffer;
    }

private:
    VirtualInstrument &m_vi;
    QSerialPort m_port;
    QByteArray m_buffer;
};

QByteArray onlyDigitsAndCapitals(const QByteArray &bytes) {
    QByteArray out;
    for (const char c : bytes) {
        if (c >= '0' && c <= 'Z')
            out += c;
    }
    return out;
}

// n strips of eight 4-digit values, CR LF after each strip, then the final OK.
bool isDataBlock(const QByteArray &bytes, int strips, const QByteArray &end = "OK\r\n") {
    static const QRegularExpression strip(QStringLiteral("^\\d{4}( \\d{4}){7}\\r\\n"));
    QString rest = QString::fromLatin1(bytes);
    for (int i = 0; i < strips; ++i) {
        const auto match = strip.match(rest);
        if (!match.hasMatch())
            return false;
        for (const QString &value : match.captured().trimmed().split(QLatin1Char(' '))) {
            if (value.toInt() < 40 || value.toInt() > 3500)
                return false;
        }
        rest = rest.mid(match.capturedLength());
    }
    return rest == QString::fromLatin1(end);
}

constexpr qsizetype blockSize(int strips) {
    return strips * (8 * 4 + 7 + 2) + 4;
}

// When the instrument received the last chunk that contains `needle`.
double receivedAt(const VirtualInstrument &vi, const QByteArray &needle) {
    double ms = -1;
    for (const auto &event : vi.events()) {
        if (event.rx && event.bytes.contains(needle))
            ms = event.ms;
    }
    return ms;
}

// Bytes of a literal that may hold NULs.
template <std::size_t N> QByteArray raw(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

const QByteArray noAnswer = "(no answer)";

QByteArray shown(const std::optional<std::string> &reply) {
    return reply ? QByteArray::fromStdString(*reply) : noAnswer;
}

// The data blocks of --seed 1 and --seed 7, before any measurement and after the first.
const QByteArray seedOneStrips = "1138 0062 1789 3249 0727 0680 1219 1077\r\n"
                                 "0560 2328 0180 1815 0807 0608 2817 0722\r\n";
const QByteArray seedOneMeasured = "0410 0348 0723 0049 0045 1622 1362 0914\r\n"
                                   "0195 0207 0833 1956 2832 0807 0063 1412\r\n";
const QByteArray seedSevenStrip = "0067 0724 0172 0096 0778 0051 0573 0222\r\n";

} // namespace

class TestInstrument : public QObject {
    Q_OBJECT

private:
    // Each test gets its own instrument.
    VirtualInstrument m_vi;

    bool started(const QStringList &args = {}) {
        if (m_vi.start(args))
            return true;
        qWarning("%s", qPrintable(m_vi.lastError()));
        return false;
    }

private slots:
    void cleanup() { m_vi.stop(); }

    void startsOnAPtyAndLinksIt() {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ttyPHOTOMETER"));
        QVERIFY(started({QStringLiteral("--link"), link}));
        QVERIFY(m_vi.portName().startsWith(QStringLiteral("/dev/")));
        QCOMPARE(QFileInfo(link).symLinkTarget(), m_vi.portName());
        m_vi.stop();
        QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());

        QVERIFY(!m_vi.start({QStringLiteral("--no-such-option")}));
        QVERIFY(!m_vi.lastError().isEmpty());
    }

    void answersStatusPolls() {
        QVERIFY(started());
        Line line(m_vi);
        QVERIFY(line.port().isOpen());
        QCOMPARE(line.ask("E"), QByteArray("0 OK\r\n"));

        QCOMPARE(m_vi.received(), QByteArray("E\r\n"));
        // The log line of a reply may trail the reply itself by a moment.
        QVERIFY(m_vi.waitFor([this] { return m_vi.events().size() == 2; }, replyMs));
        const auto events = m_vi.events();
        QCOMPARE(events.size(), 2);
        QVERIFY(events[0].rx && !events[1].rx);
        QCOMPARE(events[1].bytes, QByteArray("0 OK\r\n"));
        QVERIFY(events[0].ms <= events[1].ms && events[1].ms <= m_vi.clockMs());

        // Blank lines and surrounding spaces do not matter; unknown commands get no answer.
        QCOMPARE(line.ask("\r\n\n  E  "), QByteArray("0 OK\r\n"));
        line.send("Q");
        line.send("e");
        QCOMPARE(line.listen(), QByteArray());
        QCOMPARE(line.ask("E"), QByteArray("0 OK\r\n"));
    }

    void sendsDataBlocks_data() {
        QTest::addColumn<QByteArray>("strips");
        QTest::addColumn<QByteArray>("read");
        QTest::addColumn<int>("count");
        QTest::newRow("J 5, X 0") << QByteArray("J 5") << QByteArray("X 0") << 5;
        QTest::newRow("J5, X0") << QByteArray("J5") << QByteArray("X0") << 5;
        QTest::newRow("one strip") << QByteArray("J 1") << QByteArray("X 0") << 1;
        QTest::newRow("full plate") << QByteArray("J 12") << QByteArray("X0") << 12;
        QTest::newRow("out of range keeps 12") << QByteArray("J 13") << QByteArray("X 0") << 12;
        QTest::newRow("zero keeps 12") << QByteArray("J 0") << QByteArray("X 0") << 12;
    }

    void sendsDataBlocks() {
        QFETCH(QByteArray, strips);
        QFETCH(QByteArray, read);
        QFETCH(int, count);
        QVERIFY(started());
        Line line(m_vi);
        QCOMPARE(line.ask(strips), QByteArray("OK\r\n"));
        const QByteArray block = line.ask(read);
        QCOMPARE(block.size(), blockSize(count));
        QVERIFY2(isDataBlock(block, count), block.constData());
    }

    void valuesFollowSeedAndMeasurement() {
        auto plate = [](const QStringList &args, bool measureFirst) {
            VirtualInstrument vi;
            if (!vi.start(args + QStringList{QStringLiteral("--measure-ms"), QStringLiteral("0")}))
                return QByteArray();
            Line line(vi);
            if (measureFirst)
                line.ask("Z");
            return line.ask("X 0");
        };
        const QStringList seven{QStringLiteral("--seed"), QStringLiteral("7")};
        const QByteArray first = plate(seven, false);
        QVERIFY(isDataBlock(first, 12));
        QCOMPARE(plate(seven, false), first);
        QVERIFY(plate({QStringLiteral("--seed"), QStringLiteral("8")}, false) != first);
        const QByteArray measured = plate(seven, true);
        QVERIFY(isDataBlock(measured, 12));
        QVERIFY(measured != first);
        QCOMPARE(plate(seven, true), measured);
    }

    void staysQuietWhileMeasuring() {
        QVERIFY(started({QStringLiteral("--measure-ms"), QStringLiteral("300")}));
        Line line(m_vi);
        const QByteArray before = line.ask("X 0");
        QCOMPARE(line.ask("Z"), QByteArray("OK\r\n"));
        const double measureStart = receivedAt(m_vi, "Z");

        line.send("E");
        QVERIFY(m_vi.waitForReceived("Z\r\nE\r\n", replyMs));
        const double polled = receivedAt(m_vi, "E");
        const QByteArray quiet = line.listen();
        if (polled - measureStart < 300)
            QCOMPARE(quiet, QByteArray());

        // Keep polling until the instrument answers again, as the program does.
        QByteArray answer;
        QElapsedTimer timer;
        timer.start();
        while (answer.isEmpty() && timer.elapsed() < replyMs)
            answer = line.ask("E", "OK\r\n", 500);
        QCOMPARE(answer, QByteArray("0 OK\r\n"));
        QVERIFY(receivedAt(m_vi, "E") - measureStart >= 290);

        const QByteArray after = line.ask("X 0");
        QVERIFY(isDataBlock(after, 12));
        QVERIFY(after != before);
    }

    void reportsTheStatusCharacter() {
        QVERIFY(started({QStringLiteral("--status"), QStringLiteral("1")}));
        Line line(m_vi);
        QCOMPARE(line.ask("E"), QByteArray("1 OK\r\n"));
        QVERIFY(m_vi.control("status 2"));
        QCOMPARE(line.ask("E"), QByteArray("2 OK\r\n"));
    }

    void endsRepliesWithABareOk() {
        QVERIFY(started({QStringLiteral("--bare-ok")}));
        Line line(m_vi);
        QCOMPARE(line.ask("E", "OK"), QByteArray("0 OK"));
        QCOMPARE(line.listen(), QByteArray());
        QCOMPARE(line.ask("J 2", "OK"), QByteArray("OK"));
        const QByteArray block = line.ask("X 0", "OK");
        QCOMPARE(block.size(), blockSize(2) - 2);
        QVERIFY(isDataBlock(block, 2, "OK"));
        QCOMPARE(line.listen(), QByteArray());

        QVERIFY(m_vi.control("bare off"));
        QCOMPARE(line.ask("E"), QByteArray("0 OK\r\n"));
    }

    void canBeSilent() {
        QVERIFY(started({QStringLiteral("--silent")}));
        Line line(m_vi);
        line.send("E");
        QVERIFY(m_vi.waitForReceived("E\r\n", replyMs));
        QCOMPARE(line.listen(), QByteArray());
        QVERIFY(m_vi.control("silent off"));
        QCOMPARE(line.ask("E"), QByteArray("0 OK\r\n"));
        QVERIFY(m_vi.control("silent on"));
        line.send("E");
        QCOMPARE(line.listen(), QByteArray());
    }

    void answersInLowerCase() {
        QVERIFY(started());
        Line line(m_vi);
        QVERIFY(m_vi.control("lower on"));
        QCOMPARE(line.ask("E", "ok\r\n"), QByteArray("0 ok\r\n"));
        QCOMPARE(line.ask("J 3", "ok\r\n"), QByteArray("ok\r\n"));
        QVERIFY(isDataBlock(line.ask("X 0", "ok\r\n"), 3, "ok\r\n"));
        QVERIFY(m_vi.control("lower off"));
        QCOMPARE(line.ask("E"), QByteArray("0 OK\r\n"));
    }

    void mixesGarbageIntoReplies() {
        QVERIFY(started());
        Line line(m_vi);
        line.ask("J 3");
        const QByteArray clean = line.ask("X 0");
        QVERIFY(m_vi.control("garbage on"));

        auto garbled = [&](const QByteArray &command) {
            line.buffer().clear();
            line.send(command);
            line.readUntil([](const QByteArray &b) {
                return b.endsWith('\n') && onlyDigitsAndCapitals(b).endsWith("OK");
            });
            return line.buffer();
        };
        const QByteArray status = garbled("E");
        QCOMPARE(onlyDigitsAndCapitals(status), QByteArray("0OK"));
        QVERIFY(status.size() > 6);
        const QByteArray block = garbled("X 0");
        QCOMPARE(onlyDigitsAndCapitals(block), onlyDigitsAndCapitals(clean));
        QVERIFY(block.size() > clean.size());
        QVERIFY(block.contains('\xff') || block.contains('\xd0') || block.contains('\x80'));

        QVERIFY(m_vi.control("garbage off"));
        QCOMPARE(line.ask("X 0"), clean);
    }

    void stallsInTheMiddleOfAReply() {
        QVERIFY(started());
        Line line(m_vi);
        QVERIFY(m_vi.control("stall 3"));
        line.send("E");
        QCOMPARE(line.listen(), QByteArray("0 O"));
        QCOMPARE(line.ask("E"), QByteArray("0 OK\r\n"));
        QVERIFY(!m_vi.control("stall many"));
    }

    void sendsRawBytesOnRequest() {
        QVERIFY(started());
        Line line(m_vi);
        QVERIFY(m_vi.control("send 1 OK\\r\\n\\xff"));
        QVERIFY(line.readUntil([](const QByteArray &b) { return b.size() >= 7; }));
        QCOMPARE(line.buffer(), QByteArray("1 OK\r\n\xff"));
        QVERIFY(!m_vi.control("no such control"));
    }

    void floodsTheLineAndStillListens() {
        QVERIFY(started());
        Line line(m_vi);
        QVERIFY(m_vi.control("flood on"));
        QVERIFY(line.readUntil([](const QByteArray &b) { return b.size() >= 4000; }));
        static const QRegularExpression floodBytes(QStringLiteral("^[0-9A-N]+$"));
        QVERIFY(floodBytes.match(QString::fromLatin1(line.buffer())).hasMatch());

        line.send("E");
        QVERIFY(m_vi.waitForReceived("E\r\n", replyMs));
        QVERIFY(line.readUntil([](const QByteArray &b) { return b.contains("0 OK\r\n"); }));

        QVERIFY(m_vi.control("flood off"));
        line.listen(); // what was already on its way
        QCOMPARE(line.listen(), QByteArray());
        QCOMPARE(line.ask("E"), QByteArray("0 OK\r\n"));
    }

    void closingMakesThePortVanish() {
        QVERIFY(started());
        Line line(m_vi);
        QCOMPARE(line.ask("E"), QByteArray("0 OK\r\n"));
        QList<QSerialPort::SerialPortError> errors;
        connect(&line.port(), &QSerialPort::errorOccurred, this,
                [&](QSerialPort::SerialPortError error) {
                    errors << error;
                    line.port().close(); // a port left open keeps reporting the error
                });
        QVERIFY(m_vi.control("close"));
        QVERIFY(m_vi.waitForExit(replyMs));
        QVERIFY(line.readUntil([&](const QByteArray &) { return !errors.isEmpty(); }));
        QVERIFY(errors.first() == QSerialPort::ReadError ||
                errors.first() == QSerialPort::ResourceError);
        QVERIFY(!QFileInfo::exists(m_vi.portName()));
    }

    void pacesRepliesAtNineThousandSixHundredBaud() {
        QVERIFY(started({QStringLiteral("--pace")}));
        Line line(m_vi);
        QCOMPARE(line.ask("J 12"), QByteArray("OK\r\n"));
        const qsizetype txBefore = 4;
        QVERIFY(m_vi.waitFor([this] { return m_vi.transmitted().size() == 4; }, replyMs));
        QElapsedTimer timer;
        timer.start();
        const QByteArray block = line.ask("X 0");
        const qint64 elapsed = timer.elapsed();
        QVERIFY(isDataBlock(block, 12));

        const double wireMs = double(blockSize(12)) * byteMs;
        QVERIFY2(double(elapsed) >= 0.7 * wireMs, qPrintable(QString::number(elapsed)));

        // The instrument's own log shows the bytes going out spread over that time.
        QList<VirtualInstrument::Event> sent;
        qsizetype offset = 0;
        for (const auto &event : m_vi.events()) {
            if (!event.rx && (offset += event.bytes.size()) > txBefore)
                sent << event;
        }
        QVERIFY(sent.size() > blockSize(12) / 2);
        QVERIFY(sent.constLast().ms - sent.constFirst().ms >= 0.7 * (blockSize(12) - 1) * byteMs);
    }

    // The pieces of the instrument, without a pseudo-terminal.

    void photometerRepliesToCommands_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("E") << QByteArray("E") << QByteArray("0 OK\r\n");
        QTest::newRow("J 5") << QByteArray("J 5") << QByteArray("OK\r\n");
        QTest::newRow("J5") << QByteArray("J5") << QByteArray("OK\r\n");
        QTest::newRow("J 13 is acknowledged") << QByteArray("J 13") << QByteArray("OK\r\n");
        QTest::newRow("J -1 is acknowledged") << QByteArray("J -1") << QByteArray("OK\r\n");
        QTest::newRow("Z") << QByteArray("Z") << QByteArray("OK\r\n");
        for (const char *unknown : {"e", "EE", "E 1", "Q", "J", "J x", "J 5x", "J+5", "X", "x0",
                                    "X 1", "X 00", "X 0 0", "Z 1", "z"})
            QTest::newRow(unknown) << QByteArray(unknown) << noAnswer;
    }

    void photometerRepliesToCommands() {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        instrument::Photometer photometer(1, 0);
        QCOMPARE(shown(photometer.answer(command.toStdString(), 0, '0')), reply);
        QCOMPARE(shown(photometer.answer("E", 0, '4')), QByteArray("4 OK\r\n"));
    }

    void photometerSendsTheDataBlock() {
        instrument::Photometer photometer(1, 0);
        const QByteArray full = shown(photometer.answer("X 0", 0, '0'));
        QCOMPARE(full.size(), blockSize(12));
        QVERIFY2(isDataBlock(full, 12), full.constData());
        QVERIFY(full.startsWith(seedOneStrips));

        QCOMPARE(shown(photometer.answer("J 2", 0, '0')), QByteArray("OK\r\n"));
        QCOMPARE(shown(photometer.answer("X 0", 0, '0')), seedOneStrips + "OK\r\n");
        QCOMPARE(shown(photometer.answer("X0", 0, '0')), seedOneStrips + "OK\r\n");
        QCOMPARE(shown(photometer.answer("X   0", 0, '0')), seedOneStrips + "OK\r\n");
        // Out of range: acknowledged, the strip count stays.
        QCOMPARE(shown(photometer.answer("J 13", 0, '0')), QByteArray("OK\r\n"));
        QCOMPARE(shown(photometer.answer("J 0", 0, '0')), QByteArray("OK\r\n"));
        QCOMPARE(shown(photometer.answer("X 0", 0, '0')), seedOneStrips + "OK\r\n");
        QCOMPARE(shown(photometer.answer("J 1", 0, '0')), QByteArray("OK\r\n"));
        QCOMPARE(shown(photometer.answer("X 0", 0, '0')), seedOneStrips.left(41) + "OK\r\n");

        instrument::Photometer seven(7, 0);
        seven.answer("J 1", 0, '0');
        QCOMPARE(shown(seven.answer("X 0", 0, '0')), seedSevenStrip + "OK\r\n");
    }

    void photometerIsDeafWhileMeasuring() {
        instrument::Photometer photometer(1, 300);
        photometer.answer("J 2", 1000, '0');
        QCOMPARE(shown(photometer.answer("Z", 1000, '0')), QByteArray("OK\r\n"));
        for (const double ms : {1000.0, 1100.0, 1299.9}) {
            QCOMPARE(shown(photometer.answer("E", ms, '0')), noAnswer);
            QCOMPARE(shown(photometer.answer("X 0", ms, '0')), noAnswer);
        }
        QCOMPARE(shown(photometer.answer("J 1", 1200, '0')), noAnswer); // not carried out
        QCOMPARE(shown(photometer.answer("E", 1300, '0')), QByteArray("0 OK\r\n"));
        // The first measurement's values, on both strips.
        QCOMPARE(shown(photometer.answer("X 0", 1300, '0')), seedOneMeasured + "OK\r\n");
        QCOMPARE(shown(photometer.answer("Z", 5000, '0')), QByteArray("OK\r\n"));
        const QByteArray second = shown(photometer.answer("X 0", 5300, '0'));
        QVERIFY(isDataBlock(second, 2));
        QVERIFY(second != seedOneMeasured + "OK\r\n");
    }

    void commandLinesEndAtCrOrLf() {
        instrument::CommandLines lines;
        using Lines = std::vector<std::string>;
        QVERIFY(lines.feed("\r\n\n  E  \r") == Lines{"E"});
        QVERIFY(lines.feed("J 5\rX 0\nZ") == (Lines{"J 5", "X 0"}));
        QVERIFY(lines.feed("") == Lines{});
        QVERIFY(lines.feed("\n") == Lines{"Z"}); // the rest of a line waits for its end
        QVERIFY(lines.feed(" J  2 \n") == Lines{"J  2"});
        const Lines longLine = lines.feed(std::string(300, 'X') + "\r");
        QCOMPARE(longLine.size(), std::size_t{1});
        QCOMPARE(longLine[0], std::string(256, 'X'));
    }

    void faultModesChangeReplies() {
        instrument::Modes modes;
        instrument::Responder responder(1, 0);
        auto reply = [&](const char *line) { return shown(responder.respond(line, 0, modes)); };
        QCOMPARE(reply("E"), QByteArray("0 OK\r\n"));
        QCOMPARE(reply("Q"), noAnswer);
        QCOMPARE(reply("J 2"), QByteArray("OK\r\n"));

        modes.bare = true;
        QCOMPARE(reply("E"), QByteArray("0 OK"));
        QCOMPARE(reply("X 0"), seedOneStrips + "OK");
        modes.lower = true;
        modes.status = 'A';
        QCOMPARE(reply("E"), QByteArray("a ok"));
        modes.bare = false;
        QCOMPARE(reply("X 0"), seedOneStrips + "ok\r\n");
        modes.lower = false;

        modes.stallAfter = 3;
        QCOMPARE(reply("E"), QByteArray("A O"));
        QCOMPARE(modes.stallAfter, -1L);
        QCOMPARE(reply("E"), QByteArray("A OK\r\n"));
        modes.stallAfter = 0;
        QCOMPARE(reply("E"), QByteArray(""));

        modes.silent = true;
        QCOMPARE(reply("E"), noAnswer);
        QCOMPARE(reply("X 0"), noAnswer);
    }

    void garbageLeavesTheReplyReadable() {
        instrument::Modes modes;
        modes.garbage = true;
        instrument::Responder responder(1, 0);
        // What --seed 1 mixes into its first two replies.
        QCOMPARE(shown(responder.respond("E", 0, modes)),
                 raw("0\xfe- \x01\x01O-aK\x00+\r\xc3\x00\n"));
        QCOMPARE(shown(responder.respond("J 2", 0, modes)), raw("O\xfe#K,\t\rz\n"));

        // Junk is one or two pieces between every two bytes, never in '0'..'Z' nor CR or LF.
        const QByteArray clean = seedOneStrips + "OK\r\n";
        const QByteArray garbled = shown(responder.respond("X 0", 0, modes));
        QVERIFY(garbled.size() >= 2 * clean.size() - 1);
        QCOMPARE(garbled.front(), clean.front());
        QCOMPARE(garbled.back(), clean.back());
        auto signal = [](const QByteArray &bytes) {
            QByteArray out;
            for (const char c : bytes) {
                if ((c >= '0' && c <= 'Z') || c == '\r' || c == '\n')
                    out += c;
            }
            return out;
        };
        QCOMPARE(signal(garbled), signal(clean));
    }

    void controlLinesSetTheModes() {
        using Action = instrument::ControlRequest::Action;
        instrument::Modes modes;
        QVERIFY(instrument::applyControl("lower on", modes).error.empty());
        QVERIFY(modes.lower);
        QCOMPARE(instrument::applyControl("pace on", modes).action, Action::RestartClock);
        QCOMPARE(instrument::applyControl("flood off", modes).action, Action::RestartClock);
        QVERIFY(modes.pace && !modes.flood);
        QVERIFY(instrument::applyControl("status 5", modes).error.empty());
        QCOMPARE(modes.status, '5');
        QVERIFY(instrument::applyControl("stall 4", modes).error.empty());
        QCOMPARE(modes.stallAfter, 4L);

        const auto send = instrument::applyControl("send 1 OK\\r\\n\\xff", modes);
        QCOMPARE(send.action, Action::Send);
        QCOMPARE(QByteArray::fromStdString(send.bytes), QByteArray("1 OK\r\n\xff"));
        QCOMPARE(instrument::applyControl("close", modes).action, Action::Close);
        QCOMPARE(instrument::applyControl("quit", modes).action, Action::Quit);

        // A refused line changes nothing.
        const instrument::Modes before = modes;
        for (const char *refused : {"lower yes", "lower", "pace maybe", "status 55", "status",
                                    "stall -1", "stall 3x", "stall", "garbage", "", "jam on"}) {
            const auto request = instrument::applyControl(refused, modes);
            QVERIFY2(!request.error.empty(), refused);
            QCOMPARE(request.action, Action::None);
            QVERIFY2(modes.lower == before.lower && modes.pace == before.pace &&
                         modes.status == before.status && modes.stallAfter == before.stallAfter &&
                         modes.garbage == before.garbage,
                     refused);
        }
    }

    void wireLogEscapesEveryByte() {
        QCOMPARE(QByteArray::fromStdString(
                     instrument::escape(std::string_view("A\\\r\n\t \x01\x7f\xff~\0", 11))),
                 QByteArray(R"(A\\\r\n\t \x01\x7F\xFF~\x00)"));
        std::string all;
        for (int b = 0; b < 256; ++b)
            all += static_cast<char>(b);
        const std::string escaped = instrument::escape(all);
        for (const char c : escaped)
            QVERIFY(c >= 0x20 && c < 0x7f);
        QVERIFY(instrument::unescape(escaped) == all);

        // What "send" makes of text that is not escape()'s.
        QCOMPARE(QByteArray::fromStdString(instrument::unescape(R"(\x4\q\xZZ\x41\)")),
                 QByteArray(R"(x4qxZZA\)"));
    }

    void wireLogLines() {
        using instrument::Direction;
        QCOMPARE(instrument::startLine(81234.5), std::string("# start 81234.500\n"));
        QCOMPARE(instrument::recordLine({Direction::Transmitted, 12.3456, "0 OK\r\n"}),
                 std::string(R"(TX 12.346 0 OK\r\n)"
                             "\n"));
        QCOMPARE(instrument::recordLine({Direction::Received, 0, "E\r\n"}),
                 std::string(R"(RX 0.000 E\r\n)"
                             "\n"));

        QCOMPARE(instrument::parseStartLine("# start 81234.500").value_or(-1), 81234.5);
        const auto record = instrument::parseRecordLine(R"(TX 7.250 1 OK  \x00)");
        QVERIFY(record);
        QVERIFY(record->direction == Direction::Transmitted);
        QCOMPARE(record->ms, 7.25);
        QCOMPARE(QByteArray::fromStdString(record->bytes), raw("1 OK  \0"));
        QVERIFY(instrument::parseRecordLine("RX 0.5 E")->direction == Direction::Received);
        for (const char *bad :
             {"# start 1.000", "XX 1.000 E", "RX 1.000", "RX x E", "RX  E", "rx 1 E"})
            QVERIFY2(!instrument::parseRecordLine(bad), bad);
        QVERIFY(!instrument::parseStartLine("# start soon"));
    }

    void wireLogIsReadAsItIsWritten() {
        QTemporaryDir dir;
        const std::string path =
            QFile::encodeName(dir.filePath(QStringLiteral("wire.log"))).toStdString();
        instrument::WireLogReader reader(path);
        QVERIFY(reader.readNew().empty()); // no file yet
        QVERIFY(!reader.startMs());

        const double start = instrument::monotonicMs() - 1000;
        {
            instrument::WireLogWriter writer;
            QVERIFY(writer.open(path, start));
            const double before = instrument::monotonicMs();
            writer.write(instrument::Direction::Received, "E\r\n");
            writer.write(instrument::Direction::Transmitted, ""); // nothing to log
            const double after = instrument::monotonicMs();

            const auto records = reader.readNew();
            QCOMPARE(records.size(), std::size_t{1});
            QVERIFY(records[0].direction == instrument::Direction::Received);
            QCOMPARE(records[0].bytes, std::string("E\r\n"));
            QVERIFY(records[0].ms >= before - start - 0.001 &&
                    records[0].ms <= after - start + 0.001);
            QVERIFY(reader.startMs() && std::abs(*reader.startMs() - start) < 0.001);
        }

        QFile file(dir.filePath(QStringLiteral("wire.log")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        static const QRegularExpression written(
            QStringLiteral(R"(^# start \d+\.\d{3}\nRX \d+\.\d{3} E\\r\\n\n$)"));
        QVERIFY2(written.match(QString::fromLatin1(text)).hasMatch(), text.constData());
        file.close();
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Append));
        file.write("junk\nTX 5.000 par");
        file.flush();
        QVERIFY(reader.readNew().empty()); // a line still being written waits
        file.write("tial\\xFF\n");
        file.flush();
        const auto records = reader.readNew();
        QCOMPARE(records.size(), std::size_t{1});
        QCOMPARE(QByteArray::fromStdString(records[0].bytes), QByteArray("partial\xff"));
        QCOMPARE(records[0].ms, 5.0);
    }

    void wireLogClockIsTheMonotonicClock() {
        using namespace std::chrono;
        const double before = instrument::monotonicMs();
        const double steady =
            duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
        const double after = instrument::monotonicMs();
        QVERIFY(before <= steady + 0.001 && steady <= after + 0.001);
    }
};

QTEST_GUILESS_MAIN(TestInstrument)
#include "test_instrument.moc"
