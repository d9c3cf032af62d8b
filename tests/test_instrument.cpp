// Checks the virtual instrument itself: what it answers on the line, and its faults.

#include "virtual_instrument.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kReplyMs = 5000; // generous: an answer normally takes a millisecond
constexpr int kQuietMs = 300;  // how long "no answer" is watched for
constexpr double kByteMs = 10.0 * 1000.0 / 9600.0;

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
    bool readUntil(const std::function<bool(const QByteArray &)> &done, int timeoutMs = kReplyMs) {
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
                   int timeoutMs = kReplyMs) {
        m_buffer.clear();
        send(command);
        readUntil([&](const QByteArray &b) { return b.endsWith(end); }, timeoutMs);
        return m_buffer;
    }

    // Collects whatever arrives within kQuietMs.
    QByteArray listen() {
        m_buffer.clear();
        readUntil([](const QByteArray &) { return false; }, kQuietMs);
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
        QVERIFY(m_vi.waitFor([this] { return m_vi.events().size() == 2; }, kReplyMs));
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
        QVERIFY(m_vi.waitForReceived("Z\r\nE\r\n", kReplyMs));
        const double polled = receivedAt(m_vi, "E");
        const QByteArray quiet = line.listen();
        if (polled - measureStart < 300)
            QCOMPARE(quiet, QByteArray());

        // Keep polling until the instrument answers again, as the program does.
        QByteArray answer;
        QElapsedTimer timer;
        timer.start();
        while (answer.isEmpty() && timer.elapsed() < kReplyMs)
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
        QVERIFY(m_vi.waitForReceived("E\r\n", kReplyMs));
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
        QVERIFY(m_vi.waitForReceived("E\r\n", kReplyMs));
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
        QVERIFY(m_vi.waitForExit(kReplyMs));
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
        QVERIFY(m_vi.waitFor([this] { return m_vi.transmitted().size() == 4; }, kReplyMs));
        QElapsedTimer timer;
        timer.start();
        const QByteArray block = line.ask("X 0");
        const qint64 elapsed = timer.elapsed();
        QVERIFY(isDataBlock(block, 12));

        const double wireMs = double(blockSize(12)) * kByteMs;
        QVERIFY2(double(elapsed) >= 0.7 * wireMs, qPrintable(QString::number(elapsed)));

        // The instrument's own log shows the bytes going out spread over that time.
        QList<VirtualInstrument::Event> sent;
        qsizetype offset = 0;
        for (const auto &event : m_vi.events()) {
            if (!event.rx && (offset += event.bytes.size()) > txBefore)
                sent << event;
        }
        QVERIFY(sent.size() > blockSize(12) / 2);
        QVERIFY(sent.constLast().ms - sent.constFirst().ms >= 0.7 * (blockSize(12) - 1) * kByteMs);
    }
};

QTEST_GUILESS_MAIN(TestInstrument)
#include "test_instrument.moc"
