// SPDX-License-Identifier: GPL-3.0-or-later
// telkaro-read as a script runs it, against the virtual instrument on a
// pseudo-terminal: the wire, every format read back by Python's csv and json
// modules, the series, and each exit code from its real cause. Expected values
// are built here from the bytes the instrument sent.
#include "link/serial_link.h"
#include "reader/options.h"
#include "virtual_instrument.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>

namespace {
const QString reader = QStringLiteral(TELKARO_READ_EXECUTABLE);

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
    qint64 ms = 0;
};

// Starts telkaro-read; what happens meanwhile is up to the caller.
std::unique_ptr<QProcess> startReader(const QStringList &args) {
    auto process = std::make_unique<QProcess>();
    process->start(reader, args);
    process->waitForStarted();
    return process;
}

Run finish(QProcess &process, VirtualInstrument *instrument = nullptr, int timeoutMs = 60000) {
    QElapsedTimer clock;
    clock.start();
    if (instrument)
        instrument->waitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
    process.waitForFinished(timeoutMs);
    Run run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    run.ms = clock.elapsed();
    return run;
}

Run runReader(const QStringList &args, VirtualInstrument *instrument = nullptr) {
    QElapsedTimer clock;
    clock.start();
    auto process = startReader(args);
    Run run = finish(*process, instrument);
    run.ms = clock.elapsed();
    return run;
}

// The plates the instrument sent: the replies of 32 characters or more, with
// everything outside "0".."Z" (blanks, line ends, line noise) left out.
QList<QByteArray> blocksSent(const VirtualInstrument &instrument) {
    QList<QByteArray> blocks;
    for (const QByteArray &reply : instrument.transmitted().split('K')) {
        QByteArray kept;
        for (const char c : reply) {
            if (c >= '0' && c <= 'Z')
                kept += c;
        }
        if (kept.endsWith('O'))
            kept.chop(1);
        if (kept.size() >= 32)
            blocks << kept;
    }
    return blocks;
}

QString value(const QByteArray &block, int s, int r, char point) {
    const QByteArray field = block.mid(32 * s + 4 * r, 4);
    return QString::fromLatin1(field.left(1) + point + field.mid(1));
}

QString well(int s, int r) {
    return QChar(u'A' + r) + QString::number(s + 1);
}

// The rows a CSV reader must see for a plate, the time left out.
QStringList csvRows(int plate, const QByteArray &block) {
    QStringList rows;
    for (int s = 0; s < block.size() / 32; ++s) {
        for (int r = 0; r < 8; ++r) {
            rows << QStringLiteral("%1|%2|%3|%4|%5|%6")
                        .arg(plate)
                        .arg(well(s, r), QString(QChar(u'A' + r)))
                        .arg(s + 1)
                        .arg(value(block, s, r, '.'), value(block, s, r, ','));
        }
    }
    return rows;
}

// What Python's json module sees, in the same form.
QStringList jsonRows(int plate, const QByteArray &block) {
    QStringList rows{QStringLiteral("plate %1 %2")
                         .arg(plate)
                         .arg(QString::fromLatin1(
                             QCryptographicHash::hash(block, QCryptographicHash::Sha256).toHex()))};
    for (int s = 0; s < block.size() / 32; ++s) {
        for (int r = 0; r < 8; ++r)
            rows << QStringLiteral("%1 %2 %3")
                        .arg(well(s, r), value(block, s, r, '.'), value(block, s, r, ','));
    }
    return rows;
}

QByteArray datBytes(const QByteArray &block) {
    QByteArray bytes;
    for (int r = 0; r < 8; ++r) {
        for (int s = 0; s < block.size() / 32; ++s)
            bytes += value(block, s, r, ',').toLatin1() + '\t';
        bytes += "\r\n";
    }
    return bytes;
}

// Python's own readers: CSV rows with the time checked and left out; JSON
// plates with their block's hash, then well, number, text in order.
const char *csvScript = R"(
import csv, re, sys
rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))
assert rows[0] == ['plate','time','well','row','strip','value','text'], rows[0]
for row in rows[1:]:
    assert re.fullmatch(r'\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z', row[1]), row[1]
    print('|'.join(row[:1] + row[2:]))
)";
const char *jsonScript = R"(
import json, sys
doc = json.load(open(sys.argv[1], encoding='utf-8'))
assert doc['program'] == 'telkaro-read' and doc['started'].endswith('Z'), doc
print('strips', doc['strips'])
for p in doc['plates']:
    print('plate', p['plate'], p['block_sha256'])
    assert list(p['values']) == list(p['text'])
    for w, v in p['values'].items():
        print(w, '%.3f' % v if v is not None else 'null', p['text'][w])
)";

QStringList python(const char *script, const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral("python3"),
            QStringList{QStringLiteral("-c"), QString::fromLatin1(script)} + args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        qWarning() << "python3:" << p.errorString() << p.readAllStandardError();
        return {QStringLiteral("python3 failed")};
    }
    return QString::fromUtf8(p.readAllStandardOutput())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList python(const char *script, const QString &path) {
    return python(script, QStringList{path});
}

QByteArray contentOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

bool wireMatches(const VirtualInstrument &instrument, const char *pattern) {
    const QString wire = QString::fromLatin1(instrument.received())
                             .replace(QStringLiteral("\r\n"), QStringLiteral(";"));
    const bool ok = QRegularExpression(QStringLiteral("^(%1)$").arg(QLatin1String(pattern)))
                        .match(wire)
                        .hasMatch();
    if (!ok)
        qWarning() << "wire:" << wire;
    return ok;
}
// The example kits and their plates.
QString example(const char *name) {
    return QStringLiteral(TELKARO_SOURCE_DIR "/examples/") + QLatin1String(name);
}

// What Python sees of an analysis (its json module) and of its report (its
// html.parser: every element closed, the SVGs, anything from outside).
const char *const analysisScript = R"(
import json, sys
from html.parser import HTMLParser
d = json.load(open(sys.argv[1], encoding='utf-8'))
print('valid', d['valid'], 'model', (d.get('curve') or {}).get('model'))
if 'cutoff' in d: print('cutoff %.3f' % d['cutoff'])
for verdict in ('positive', 'doubtful'):
    print(verdict, ' '.join(sorted(s['token'] for s in d['samples'] if s.get('verdict') == verdict)))
print('above', ' '.join(s['token'] for s in d['samples'] if s.get('range') == 'above'))
rec = [g['recovery'] for g in d['groups'] if g.get('recovery') is not None]
print('recovery', len(rec), all(95 < r < 105 for r in rec))
print('keys', all(k in d for k in ('assay', 'assay_sha256', 'block_sha256', 'valid', 'blank',
                                   'rules', 'groups', 'samples')))
class Check(HTMLParser):
    void = {'meta', 'br', 'rect', 'circle', 'line', 'path', 'polyline'}
    def __init__(self):
        super().__init__(); self.open = []; self.svgs = 0; self.outside = 0; self.bad = 0
    def handle_starttag(self, tag, attrs):
        self.svgs += tag == 'svg'
        self.outside += tag in ('script', 'img', 'link', 'iframe') or any(
            k in ('src', 'href') for k, v in attrs)
        if tag not in self.void: self.open.append(tag)
    def handle_startendtag(self, tag, attrs): self.svgs += tag == 'svg'
    def handle_endtag(self, tag):
        if tag in self.void: return
        if not self.open or self.open.pop() != tag: self.bad += 1
c = Check(); c.feed(open(sys.argv[2], encoding='utf-8').read())
print('report svgs', c.svgs, 'outside', c.outside, 'unclosed', len(c.open) + c.bad)
)";
} // namespace

class TestReader : public QObject {
    Q_OBJECT
private slots:
    void measureInEveryFormat_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("toFile");
        QTest::addColumn<bool>("bareOk"); // no CR LF after the final OK of a reply
        QTest::newRow("csv file") << "csv" << true << false;
        QTest::newRow("json file") << "json" << true << false;
        QTest::newRow("dat file") << "dat" << true << false;
        QTest::newRow("csv out") << "csv" << false << false;
        QTest::newRow("json out") << "json" << false << false;
        QTest::newRow("dat out") << "dat" << false << false;
        QTest::newRow("dat file, bare OK") << "dat" << true << true;
    }
    void measureInEveryFormat() {
        QFETCH(QString, format);
        QFETCH(bool, toFile);
        QFETCH(bool, bareOk);
        VirtualInstrument instrument;
        QStringList options{"--measure-ms", "200"};
        if (bareOk)
            options << "--bare-ok";
        QVERIFY2(instrument.start(options), qPrintable(instrument.lastError()));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("plate.") + format);
        QStringList args{"--port", instrument.portName(), "--strips", "5", "measure"};
        if (toFile)
            args << "-o" << path; // the format from the suffix
        else
            args << "--format" << format;
        const Run run = runReader(args, &instrument);
        QCOMPARE(run.code, 0);
        QVERIFY2(!run.err.contains("telkaro-read"),
                 run.err.constData()); // no terminal: no progress
        // The window's own sequence: the strip count (sent by the session on
        // the line end after the link's OK, or by Measurement when there is
        // none), the measurement, polls until it is done, the data request.
        QVERIFY(wireMatches(instrument, "(E;)+J 5;Z;(E;)+X 0;"));
        const QList<QByteArray> blocks = blocksSent(instrument);
        QCOMPARE(blocks.size(), 1);
        QCOMPARE(blocks[0].size(), 5 * 32);
        if (!toFile) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(run.out);
        }
        if (format == QLatin1String("dat"))
            QCOMPARE(contentOf(path), datBytes(blocks[0]));
        else if (format == QLatin1String("csv"))
            QCOMPARE(python(csvScript, path), csvRows(1, blocks[0]));
        else
            QCOMPARE(python(jsonScript, path), QStringList{"strips 5"} + jsonRows(1, blocks[0]));
    }

    void readPlateAndStatus() {
        VirtualInstrument instrument;
        QVERIFY(instrument.start({"--bare-ok"}));
        const QString port = instrument.portName();
        Run run = runReader({"--port", port, "status"}, &instrument);
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, QByteArray("ready\n"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("held.json"));
        run = runReader({"--port", port, "read-plate", "-o", path}, &instrument);
        QCOMPARE(run.code, 0);
        QVERIFY(wireMatches(instrument, "(E;)+X0;"));
        const QList<QByteArray> blocks = blocksSent(instrument);
        QCOMPARE(blocks.size(), 1);
        QCOMPARE(python(jsonScript, path),
                 QStringList{QStringLiteral("strips %1").arg(blocks[0].size() / 32)} +
                     jsonRows(1, blocks[0]));

        QVERIFY(instrument.control("status 3"));
        run = runReader({"--port", port, "status"}, &instrument);
        QCOMPARE(run.code, 5);
        QCOMPARE(run.out, QByteArray("error 3\n"));
        QVERIFY(run.err.contains("error 3"));
    }

    void aSeriesWhoseValuesChange() {
        VirtualInstrument instrument;
        QVERIFY(instrument.start({"--measure-ms", "100", "--seed", "7"}));
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("kinetics.csv"));
        Run run = runReader({"--port", instrument.portName(), "--strips", "2", "--repeat", "3",
                             "--interval", "0", "measure", "-o", csv},
                            &instrument);
        QCOMPARE(run.code, 0);
        QVERIFY(wireMatches(instrument, "(E;)+J 2;(Z;(E;)+X 0;){3}"));
        QList<QByteArray> blocks = blocksSent(instrument);
        QCOMPARE(blocks.size(), 3);
        QVERIFY(blocks[0] != blocks[1] && blocks[1] != blocks[2]);
        QCOMPARE(python(csvScript, csv),
                 csvRows(1, blocks[0]) + csvRows(2, blocks[1]) + csvRows(3, blocks[2]));

        // .dat: one file a plate; the next plate waits for its start.
        const QString dat = dir.filePath(QStringLiteral("run.dat"));
        run = runReader({"--port", instrument.portName(), "--strips", "2", "--repeat", "2",
                         "--interval", "2.5", "measure", "-o", dat},
                        &instrument);
        QCOMPARE(run.code, 0);
        QVERIFY(run.ms >= 2500);
        blocks = blocksSent(instrument).mid(3);
        QCOMPARE(blocks.size(), 2);
        QCOMPARE(contentOf(dir.filePath(QStringLiteral("run-001.dat"))), datBytes(blocks[0]));
        QCOMPARE(contentOf(dir.filePath(QStringLiteral("run-002.dat"))), datBytes(blocks[1]));
        QVERIFY(!QFile::exists(dat));
    }

    void lineNoiseBetweenTheBytes() {
        VirtualInstrument instrument;
        QVERIFY(instrument.start({"--measure-ms", "100"}));
        QVERIFY(instrument.control("garbage on"));
        QTemporaryDir dir;
        const QString dat = dir.filePath(QStringLiteral("noisy.dat"));
        const Run run =
            runReader({"--port", instrument.portName(), "measure", "-o", dat}, &instrument);
        QCOMPARE(run.code, 0);
        const QList<QByteArray> blocks = blocksSent(instrument);
        QCOMPARE(blocks.size(), 1);
        QCOMPARE(blocks[0].size(), 12 * 32);
        QCOMPARE(contentOf(dat), datBytes(blocks[0]));
    }

    void badCommandLines_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("strips 0") << QStringList{"--strips", "0", "measure"};
        QTest::newRow("strips 13") << QStringList{"--strips", "13", "measure"};
        QTest::newRow("strips abc") << QStringList{"--strips", "abc", "measure"};
        QTest::newRow("repeat 0") << QStringList{"--repeat", "0", "measure"};
        QTest::newRow("interval -1") << QStringList{"--interval", "-1", "--repeat", "2", "measure"};
        QTest::newRow("timeout 0") << QStringList{"--timeout", "0", "status"};
        QTest::newRow("format xls") << QStringList{"--format", "xls", "measure"};
        QTest::newRow("unknown option") << QStringList{"--colour", "measure"};
        QTest::newRow("unknown command") << QStringList{"calibrate"};
        QTest::newRow("convert, no file") << QStringList{"convert"};
        QTest::newRow("strips twice") << QStringList{"--strips", "3", "--strips", "4", "measure"};
    }
    void badCommandLines() {
        QFETCH(QStringList, args);
        const ReaderCommandLine line = parseReaderCommandLine(QStringList{"telkaro-read"} + args);
        QCOMPARE(line.action, ReaderCommandLine::Action::Error);
        QVERIFY2(line.text.startsWith("telkaro-read: ") && line.text.contains("--help"),
                 qPrintable(line.text));
    }
    // What the program does with a bad line: exit 2, the reason on standard error.
    void aBadCommandLineEndsWithTwo() {
        const Run run = runReader({"--strips", "13", "measure"});
        QCOMPARE(run.code, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.startsWith("telkaro-read: ") && run.err.contains("--help"), run.err);
    }

    void goodCommandLines_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("strips");
        QTest::addColumn<int>("repeat");
        QTest::addColumn<qint64>("intervalMs");
        QTest::addColumn<qint64>("timeoutMs");
        const int dat = int(OutputFormat::Dat), csv = int(OutputFormat::Csv);
        const int json = int(OutputFormat::Json);
        QTest::newRow("status") << QStringList{"status"} << int(ReaderCommand::Status) << dat
                                << QString() << 12 << 1 << qint64(0) << qint64(30000);
        QTest::newRow("format from the suffix")
            << QStringList{"measure", "--strips", "5", "-o", "run.CSV"}
            << int(ReaderCommand::Measure) << csv << "run.CSV" << 5 << 1 << qint64(0)
            << qint64(30000);
        QTest::newRow("a series") << QStringList{"--repeat",   "3",         "--interval",
                                                 "2.5",        "--timeout", "0.25",
                                                 "read-plate", "--output",  "p.json"}
                                  << int(ReaderCommand::ReadPlate) << json << "p.json" << 12 << 3
                                  << qint64(2500) << qint64(250);
        QTest::newRow("format beats the suffix")
            << QStringList{"measure", "--format", "dat", "-o", "x.json"}
            << int(ReaderCommand::Measure) << dat << "x.json" << 12 << 1 << qint64(0)
            << qint64(30000);
    }
    void goodCommandLines() {
        QFETCH(QStringList, args);
        QFETCH(int, command);
        QFETCH(int, format);
        QFETCH(QString, output);
        QFETCH(int, strips);
        QFETCH(int, repeat);
        QFETCH(qint64, intervalMs);
        QFETCH(qint64, timeoutMs);
        const ReaderCommandLine line = parseReaderCommandLine(QStringList{"telkaro-read"} + args);
        QCOMPARE(line.action, ReaderCommandLine::Action::Run);
        const ReaderOptions &o = line.options;
        QCOMPARE(int(o.command), command);
        QCOMPARE(int(o.format), format);
        QCOMPARE(o.output, output);
        QCOMPARE(o.strips, strips);
        QCOMPARE(o.repeat, repeat);
        QCOMPARE(o.intervalMs, intervalMs);
        QCOMPARE(o.timeoutMs, timeoutMs);
    }

    void russianUnderARussianLocale() {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
        process.setProcessEnvironment(env);
        process.start(reader, {"--help"});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        const QString help = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(help.startsWith(QStringLiteral("Использование: telkaro-read")), qPrintable(help));
        QVERIFY(help.contains(QStringLiteral("130  прервано")));
        process.start(reader, {"--strips", "13", "measure"});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 2);
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()),
                 QStringLiteral("telkaro-read: --strips: 13 — не число от 1 до 12\n"
                                "Справка: telkaro-read --help\n"));
    }

    void thePortCannotBeOpened() {
        Run run = runReader({"--port", "/dev/ttyNoSuchPort9", "measure"});
        QCOMPARE(run.code, 3);
        QVERIFY2(run.err.contains("\"/dev/ttyNoSuchPort9\": no such port"), run.err);

        // Held by the window's link.
        VirtualInstrument instrument;
        QVERIFY(instrument.start());
        SerialLink window;
        QVERIFY(window.open(instrument.portName()));
        run = runReader({"--port", instrument.portName(), "status"});
        QCOMPARE(run.code, 3);
        QVERIFY2(run.err.contains("in use by another program"), run.err);
        QVERIFY(run.out.isEmpty());
    }

    void aSilentInstrumentTimesOut() {
        VirtualInstrument instrument;
        QVERIFY(instrument.start({"--silent"}));
        const Run run = runReader({"--port", instrument.portName(), "--timeout", "1.5", "measure"},
                                  &instrument);
        QCOMPARE(run.code, 4);
        QVERIFY(run.ms >= 1500); // never before the timeout
        QVERIFY2(run.err.contains("did not answer within 2 s"), run.err);
        QVERIFY(run.out.isEmpty());
        QVERIFY(instrument.received().startsWith("E\r\n"));
    }

    void anErrorAtCompletion() {
        VirtualInstrument instrument;
        QVERIFY(instrument.start({"--measure-ms", "1000"}));
        auto process = startReader({"--port", instrument.portName(), "--format", "csv", "measure"});
        QVERIFY(instrument.waitForReceived("Z\r\n", 15000));
        QVERIFY(instrument.control("status 4"));
        const Run run = finish(*process, &instrument);
        QCOMPARE(run.code, 5);
        QVERIFY2(run.err.contains("error 4"), run.err);
        QVERIFY(run.out.isEmpty());
        QVERIFY(!instrument.received().contains("X")); // no data request after an error
    }

    void unpluggedInTheMiddleOfASeries() {
        VirtualInstrument instrument;
        QVERIFY(instrument.start({"--measure-ms", "1000"}));
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("series.csv"));
        auto process = startReader({"--port", instrument.portName(), "--strips", "3", "--repeat",
                                    "3", "measure", "-o", csv});
        QVERIFY(
            instrument.waitFor([&] { return instrument.received().count("Z\r\n") == 2; }, 20000));
        instrument.control("close", 0);
        const Run run = finish(*process, &instrument); // the event loop delivers the close
        QCOMPARE(run.code, 6);
        QVERIFY2(run.err.contains("was lost"), run.err);
        const QList<QByteArray> blocks = blocksSent(instrument);
        QCOMPARE(blocks.size(), 1);
        QCOMPARE(python(csvScript, csv), csvRows(1, blocks[0]));
    }

    void interruptedWhileTheBlockComes() {
        VirtualInstrument instrument;
        QVERIFY(instrument.start({"--pace", "--measure-ms", "100"}));
        QTemporaryDir dir;
        const QString json = dir.filePath(QStringLiteral("series.json"));
        auto process =
            startReader({"--port", instrument.portName(), "--repeat", "2", "measure", "-o", json});
        QVERIFY(
            instrument.waitFor([&] { return instrument.received().count("X 0\r\n") == 2; }, 20000));
        ::kill(static_cast<pid_t>(process->processId()), SIGINT);
        const Run run = finish(*process);
        QCOMPARE(run.code, 130);
        QVERIFY2(run.err.contains("interrupted"), run.err);
        const QList<QByteArray> blocks = blocksSent(instrument);
        QVERIFY(!blocks.isEmpty());
        QCOMPARE(python(jsonScript, json), QStringList{"strips 12"} + jsonRows(1, blocks[0]));
    }

    void outputThatCannotBeWritten_data() {
        QTest::addColumn<QString>("output");
        QTest::newRow("missing folder") << "missing/plate.csv";
        QTest::newRow("a folder") << ".";
        QTest::newRow("read-only file") << "/proc/version";
        QTest::newRow("dat series, missing folder") << "missing/run.dat";
    }
    void outputThatCannotBeWritten() {
        QFETCH(QString, output);
        VirtualInstrument instrument;
        QVERIFY(instrument.start());
        QTemporaryDir dir;
        const QString path = output.startsWith(QLatin1Char('/')) ? output : dir.filePath(output);
        const QByteArray before = contentOf(path);
        const Run run = runReader(
            {"--port", instrument.portName(), "--repeat", "2", "measure", "-o", path}, &instrument);
        QCOMPARE(run.code, 7);
        QVERIFY2(run.err.contains("cannot write"), run.err);
        QCOMPARE(contentOf(path), before);
        QVERIFY(instrument.received().isEmpty()); // nothing measured that could not be kept
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }

    void convertingDataFiles_data() {
        const QByteArray plate = "1,234\t0,056\t\r\n0,001\t2,000\t\r\n0,002\t0,003\t\r\n0,004\t"
                                 "0,005\t\r\n0,006\t0,007\t\r\n0,008\t0,009\t\r\n0,010\t0,011\t\r\n"
                                 "0,012\tA,BCD\t\r\n";
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("plate") << plate << 0 << "";
        QTest::newRow("empty") << QByteArray() << 8 << "empty";
        QTest::newRow("over-large") << QByteArray(1024 * 1024 + 1, '0') << 8 << "too large";
        QTest::newRow("truncated") << plate.left(100) << 8 << "cut short";
        QByteArray binary(plate.size(), '\0');
        for (qsizetype i = 0; i < binary.size(); ++i)
            binary[i] = static_cast<char>(i * 37 + 11);
        QTest::newRow("binary") << binary << 8 << "not a plate file";
    }
    void convertingDataFiles() {
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString dat = dir.filePath(QStringLiteral("plate.dat"));
        QFile file(dat);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        const QString json = dir.filePath(QStringLiteral("plate.json"));
        const Run run = runReader({"convert", dat, "-o", json});
        QCOMPARE(run.code, code);
        if (code != 0) {
            QVERIFY2(run.err.contains(message.toUtf8()), run.err);
            QVERIFY(!QFile::exists(json));
            return;
        }
        // Strip 1 holds 1.234 and 0.001 … 0.012 by rows; strip 2's last well is not a number.
        const QStringList rows = python(jsonScript, json);
        QCOMPARE(rows.size(), 2 + 16);
        QCOMPARE(rows[0], QStringLiteral("strips 2"));
        QCOMPARE(rows[2], QStringLiteral("A1 1.234 1,234"));
        QCOMPARE(rows[9], QStringLiteral("H1 0.012 0,012"));
        QCOMPARE(rows[10], QStringLiteral("A2 0.056 0,056"));
        QCOMPARE(rows[17], QStringLiteral("H2 null A,BCD"));
        // Back to .dat: the same bytes.
        const Run back = runReader({"convert", dat, "--format", "dat"});
        QCOMPARE(back.code, 0);
        QCOMPARE(back.out, content);
    }

    // Both example kits analysed from their plate files, the results and the
    // reports read back by Python. The expected calls are worked by hand from
    // the plates: HCV's negative controls read 0,106 0,121 0,103 over a blank
    // of 0,045, so the cut-off is 0,065 + 0,150 = 0,215 and its grey zone
    // 0,1935 … 0,2365 holds U9 (0,270 - 0,045 = 0,225); ferritin's U15 reads
    // 2,994 and 2,995, above its top standard (2,634 and 2,567).
    void analysingTheExamples_data() {
        QTest::addColumn<QString>("kit");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("qualitative") << "hcv-screen"
                                     << QStringList{"valid True model None",
                                                    "cutoff 0.215",
                                                    "positive U11 U17 U23 U4",
                                                    "doubtful U9",
                                                    "above ",
                                                    "recovery 0 True",
                                                    "keys True",
                                                    "report svgs 1 outside 0 unclosed 0"};
        QTest::newRow("4PL") << "ferritin-4pl"
                             << QStringList{"valid True model 4pl",
                                            "positive ",
                                            "doubtful ",
                                            "above U15",
                                            "recovery 5 True",
                                            "keys True",
                                            "report svgs 2 outside 0 unclosed 0"};
    }
    void analysingTheExamples() {
        QFETCH(QString, kit);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString json = dir.filePath("results.json"), html = dir.filePath("report.html");
        const QByteArray name = kit.toLatin1();
        const Run run = runReader({"analyze", "--assay", example(name + ".assay.json"),
                                   example(name + ".dat"), "-o", json, "--report", html});
        QCOMPARE(run.code, 0);
        QVERIFY2(run.err.isEmpty(), run.err);
        QCOMPARE(python(analysisScript, {json, html}), expected);
    }

    // A measurement by a kit: the strips its layout uses, and the results of
    // the plate measured the same as of the plate file analysed.
    void measuringByAKit() {
        VirtualInstrument instrument;
        QVERIFY(instrument.start({"--measure-ms", "200", "--plate", example("ferritin-4pl.dat")}));
        QTemporaryDir dir;
        const QString measured = dir.filePath("measured.csv");
        const Run run = runReader({"--port", instrument.portName(), "measure", "--assay",
                                   example("ferritin-4pl.assay.json"), "-o", measured},
                                  &instrument);
        QCOMPARE(run.code, 0);
        QVERIFY(instrument.received().contains("J 6\r\n"));
        const Run analysed = runReader({"analyze", "--assay", example("ferritin-4pl.assay.json"),
                                        example("ferritin-4pl.dat"), "--format", "csv"});
        QCOMPARE(contentOf(measured), analysed.out);
        QCOMPARE(analysed.out.count("\r\n"), 17);
        // The same plate as telkaro-read's JSON gives the same results.
        const QString json = dir.filePath("plate.json");
        QCOMPARE(runReader({"convert", example("ferritin-4pl.dat"), "-o", json}).code, 0);
        const Run fromJson = runReader(
            {"analyze", "--assay", example("ferritin-4pl.assay.json"), json, "--format", "csv"});
        QCOMPARE(fromJson.out, analysed.out);
        const Run noSecond = runReader(
            {"analyze", "--assay", example("ferritin-4pl.assay.json"), json, "--plate", "2"});
        QCOMPARE(noSecond.code, 8);
    }

    // Each way a kit or a plate can be wrong ends with its code and says why;
    // nothing is written.
    void kitsAndPlatesThatAreWrong_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        const QString ferritin = example("ferritin-4pl.assay.json");
        const QString hcvPlate = example("hcv-screen.dat");
        QTest::newRow("no kit file")
            << QStringList{"analyze", "--assay", "/nonexistent.assay.json", hcvPlate} << 9
            << "no such file";
        QTest::newRow("a plate file as kit")
            << QStringList{"analyze", "--assay", hcvPlate, hcvPlate} << 9 << "not JSON";
        QTest::newRow("no plate file")
            << QStringList{"analyze", "--assay", ferritin, "/nonexistent.dat"} << 8
            << "no such file";
        QTest::newRow("a plate with too few strips")
            << QStringList{"analyze", "--assay", ferritin, hcvPlate} << 9
            << "uses 6 strips; the plate has 4";
        QTest::newRow("fewer strips than the layout")
            << QStringList{"--port", "/dev/null", "measure", "--assay", ferritin, "--strips", "3"}
            << 2 << "uses 6 strips";
    }
    void kitsAndPlatesThatAreWrong() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const Run run = runReader(args + QStringList{"-o", dir.filePath("out.json")});
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(says.toUtf8()), run.err);
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    // The rules fail: exit 10, and the results and the report are written,
    // marked invalid. The positive controls here read 0,500 and 0,600.
    void aRunThatFailsItsRules() {
        QTemporaryDir dir;
        const QByteArray plate = contentOf(example("hcv-screen.dat"));
        const QString path = dir.filePath("low-pc.dat");
        QList<QByteArray> lines = plate.split('\n');
        lines[4].replace(0, 5, "0,500");
        lines[5].replace(0, 5, "0,600");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(lines.join('\n'));
        file.close();
        const QString json = dir.filePath("r.json"), html = dir.filePath("r.html");
        const Run run = runReader({"analyze", "--assay", example("hcv-screen.assay.json"), path,
                                   "-o", json, "--report", html});
        QCOMPARE(run.code, 10);
        QVERIFY2(run.err.contains("invalid"), run.err);
        QVERIFY(contentOf(json).contains("\"valid\": false"));
        QVERIFY(contentOf(html).contains("The run is invalid"));
        QVERIFY(contentOf(html).contains("mean(PC) &gt;= 1.000"));
    }
};

QTEST_GUILESS_MAIN(TestReader)
#include "test_reader.moc"
