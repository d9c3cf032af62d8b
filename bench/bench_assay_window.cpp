// SPDX-License-Identifier: GPL-3.0-or-later
// bench_assay_window: how soon the assay window has the kit's answer on
// screen once a measured plate has come, offscreen (QT_QPA_PLATFORM=offscreen),
// for the two example kits (ferritin, 6 strips and a 4PL curve; anti-HCV, 4
// strips and a cut-off) and a full plate (12 strips, 8 standards in duplicate
// and 80 samples, a 4PL curve). Run by bench/run.sh, which turns the figures
// into table rows (bench/qtest_rows.awk).
//
// The real path, with nothing standing in: the window (AssayWindow, its
// AssayRunner, the InstrumentLink with its SerialLink and Session) measures
// the kit's strips on the virtual instrument (telkaro-instrument --plate
// FILE.dat --measure-ms 300), which serves the plate from the file. Each
// repetition is the operator's Measure: the strip count (once), "Z", the poll,
// the 500 ms pause, "X 0" and the block. Nothing of the program is called to
// hand it the plate; the benchmark only watches:
//
//   - from: the socket-notifier activation of the serial port whose read
//     brought the block's last characters (an event filter on the
//     application sees every QEvent::SockAct; only the port's own notifier,
//     a child of its QSerialPort, counts). The session's plateReceived comes
//     out of that same call, after the read, the receive step over the
//     characters read and the plate made: microseconds (bench_reply), so the
//     figure is at most that much longer than from the signal itself. A slot
//     of the benchmark on plateReceived cannot start the clock: the runner
//     connected first, so its slot (analysis, widgets set) runs before any
//     slot connected later;
//   - to: the end of the last paint of the window after the plate (paint
//     events of the window's widgets, the time taken once control is back in
//     the event loop, that is after the backing store was flushed), once
//     nothing more has been painted for 200 ms. The event loop runs
//     throughout (QEventLoop::exec, no waits that sleep), so whatever the
//     window defers (layouts, the table's delayed layout, the update request)
//     is in the figure as the operator would see it.
//
// The benchmark's slot on plateReceived, which runs after the runner's, also
// notes when the window had been given the answer, which splits the figure
// into the handling of the plate (analysis, widgets set) and the painting;
// both are printed (qInfo) for every repetition.
//
// Each call times TELKARO_BENCH_REPETITIONS measurements (default 3) and
// reports their median; a kit's first call begins with an untimed one that
// also sends the strip count. QtTest's -median 5 makes the figure the median
// of five such calls, after one more of its own to warm up. A measurement
// takes about 1.3 s: the protocol's two 500 ms waits, the 200 ms of stillness.
#include "assaywin/assay_window.h"
#include "core/qt_translations.h"
#include "link/serial_link.h"
#include "link/session.h"
#include "tests/support/virtual_instrument.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSet>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <memory>
#include <vector>

namespace {

const QString examples = QStringLiteral(TELKARO_SOURCE_DIR "/examples");

double nowMs() {
    const auto t = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(t).count();
}

// CPU time of the whole process (every thread), for telling work from waits.
double cpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

bool writeFile(const QString &path, const QByteArray &content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// The full plate's densities: a 4PL (bottom 0.05, top 3.0, midpoint 30, slope
// 1.3) of the concentration.
double density(double concentration) {
    return 3.0 + (0.05 - 3.0) / (1 + std::pow(concentration / 30, 1.3));
}
constexpr double standardLevels[8] = {0, 2, 5, 10, 25, 50, 100, 200};
// Sample n (1 to 80) holds 2.4 n нг/мл: 2.4 to 192, within the standards.
constexpr double sampleStep = 2.4;

// A kit on all twelve strips: S1 to S8 in duplicate down strips 1 and 2,
// U1 to U80 in single wells down strips 3 to 12.
QByteArray fullPlateKit() {
    QByteArray layout;
    for (int r = 0; r < 8; ++r) {
        QByteArray row = "S" + QByteArray::number(r + 1) + " S" + QByteArray::number(r + 1);
        for (int s = 2; s < 12; ++s)
            row += " U" + QByteArray::number((s - 2) * 8 + r + 1);
        layout += QByteArray(r ? ",\n" : "") + "    \"" + row + "\"";
    }
    QByteArray standards;
    for (int i = 0; i < 8; ++i)
        standards += QByteArray(i ? ", " : "") + "\"S" + QByteArray::number(i + 1) +
                     "\": " + QByteArray::number(standardLevels[i]);
    return "{\n  \"format\": \"telkaro-assay/1\",\n"
           "  \"name\": \"Полная плашка, 4PL (бенчмарк)\",\n"
           "  \"units\": \"нг/мл\",\n"
           "  \"layout\": [\n" +
           layout +
           "\n  ],\n"
           "  \"standards\": {" +
           standards +
           "},\n"
           "  \"samples\": {\"U1\": \"Образец 1\", \"U80\": \"Образец 80\"},\n"
           "  \"blank\": \"none\",\n"
           "  \"curve\": {\"model\": \"4pl\", \"weighting\": \"none\"},\n"
           "  \"validity\": [\"mean(S1) < 0.200\", \"mean(S8) >= 1.500\", \"cv(S8) <= 15\"],\n"
           "  \"cv_limit\": 15\n}\n";
}

// The same plate as a .dat file (8 lines, "d,ddd" and TAB per strip, CR LF),
// as the instrument serves it: the duplicates of a standard 1 % below and
// above its curve density.
QByteArray fullPlateDat() {
    QByteArray dat;
    for (int r = 0; r < 8; ++r) {
        for (int s = 0; s < 12; ++s) {
            const double od = s < 2 ? density(standardLevels[r]) * (s == 0 ? 0.99 : 1.01)
                                    : density(sampleStep * ((s - 2) * 8 + r + 1));
            const QByteArray digits =
                QByteArray::number(std::lround(od * 1000)).rightJustified(4, '0');
            dat += digits.left(1) + ',' + digits.mid(1) + '\t';
        }
        dat += "\r\n";
    }
    return dat;
}

// The results table (the plate map is a table too).
const QTableView *resultsTable(const AssayWindow &window) {
    for (const QTableView *table : window.findChildren<QTableView *>())
        if (!qobject_cast<const QTableWidget *>(table))
            return table;
    return nullptr;
}

// Watches the window for one measurement: when the block's last read began,
// when the window had the answer, and when its last paint after that ended.
class AnswerWatch : public QObject {
public:
    AnswerWatch(AssayWindow &window)
        : m_window(window) {
        m_settle.setSingleShot(true);
        m_settle.setInterval(200);
        connect(&m_settle, &QTimer::timeout, &loop, [this] { loop.quit(); });
        m_guard.setSingleShot(true);
        m_guard.setInterval(20000);
        connect(&m_guard, &QTimer::timeout, &loop, [this] { loop.exit(1); });
        // After the runner's slot: the answer has been given to the widgets.
        connect(&window.runner().link().session(), &Session::plateReceived, this, [this] {
            if (!m_armed || m_handedOverAt > 0)
                return;
            m_handedOverAt = nowMs();
            m_arrivalAt = m_lastReadAt;
            m_arrivalCpu = m_lastReadCpu;
        });
        qApp->installEventFilter(this);
    }
    ~AnswerWatch() override { qApp->removeEventFilter(this); }

    // One measurement: the loop runs until the window has been still for
    // 200 ms after the answer; false when it never came.
    bool measure() {
        // Measure is offered once the line has been quiet after the last
        // exchange (AssayRunner::settleMs): not part of the figure.
        if (!QTest::qWaitFor([this] { return m_window.runner().canMeasure(); }, 10000))
            return false;
        m_armed = true;
        m_lastReadAt = m_arrivalAt = m_handedOverAt = m_paintedAt = 0;
        m_paintBatches = 0;
        m_painted.clear();
        m_window.measure();
        if (!m_window.runner().isMeasuring())
            return false;
        m_guard.start();
        const int failed = loop.exec();
        m_guard.stop();
        m_armed = false;
        return !failed && m_arrivalAt > 0 && m_paintedAt > 0;
    }

    double arrivalToPainted() const { return m_paintedAt - m_arrivalAt; }
    double arrivalToHandedOver() const { return m_handedOverAt - m_arrivalAt; }
    int paintBatches() const { return m_paintBatches; }
    double cpuArrivalToPainted() const { return m_paintedCpu - m_arrivalCpu; }
    // Whether the widget was painted after the plate had come.
    bool painted(const QObject *widget) const { return m_painted.contains(widget); }

    QEventLoop loop;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (!m_armed)
            return false;
        if (event->type() == QEvent::SockAct && m_handedOverAt == 0 && watched->parent() &&
            watched->parent()->parent() == &m_window.runner().link().MSComm1()) {
            m_lastReadAt = nowMs();
            m_lastReadCpu = cpuMs();
        } else if (event->type() == QEvent::Paint && m_handedOverAt > 0 &&
                   watched->isWidgetType() &&
                   static_cast<QWidget *>(watched)->window() == &m_window) {
            m_painted.insert(watched);
            if (m_paintPending)
                return false;
            // Runs once the paint, and the flush that follows it, are done.
            m_paintPending = true;
            QTimer::singleShot(0, this, [this] {
                m_paintPending = false;
                m_paintedAt = nowMs();
                m_paintedCpu = cpuMs();
                ++m_paintBatches;
                m_settle.start();
            });
        }
        return false;
    }

private:
    AssayWindow &m_window;
    QTimer m_settle;
    QTimer m_guard;
    bool m_armed = false;
    bool m_paintPending = false;
    double m_lastReadAt = 0;
    double m_lastReadCpu = 0;
    double m_arrivalCpu = 0;
    double m_paintedCpu = 0;
    double m_arrivalAt = 0;
    double m_handedOverAt = 0;
    double m_paintedAt = 0;
    int m_paintBatches = 0;
    QSet<const QObject *> m_painted;
};

// A window measuring one kit on its own instrument, linked.
struct Stand {
    QString kitPath;
    QTemporaryDir own;
    VirtualInstrument instrument;
    AssayWindow window;
    std::unique_ptr<AnswerWatch> watch;

    bool start(const QString &kit, const QString &plate, QString *why) {
        kitPath = kit;
        if (!instrument.start({"--plate", plate, "--measure-ms", "300"})) {
            *why = instrument.lastError();
            return false;
        }
        window.setKitFolders({{QFileInfo(kit).absolutePath()}, own.path()});
        window.ask = [](const QString &) { return true; }; // "not saved: measure anew?"
        window.warn = [](const QString &) {};
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            *why = QStringLiteral("the window was not exposed");
            return false;
        }
        window.start(instrument.portName(), false, kit);
        // Linked, and the strip count the session sends on its own once
        // linked acknowledged: a measurement asked for while that is on its
        // way takes its "OK" for its own and ends in an instrument error.
        const Session &session = window.runner().link().session();
        if (!QTest::qWaitFor(
                [&] {
                    return window.runner().canMeasure() &&
                           session.state() == SessionState::StateDone;
                },
                10000)) {
            *why = QStringLiteral("no link to the instrument, or the kit cannot measure");
            return false;
        }
        watch = std::make_unique<AnswerWatch>(window);
        // The first measurement also sends the strip count: not timed.
        if (!watch->measure()) {
            *why = QStringLiteral("the first measurement gave no answer");
            return false;
        }
        qInfo("%s: first measurement of the window (untimed): %.2f ms (answer given to the "
              "window %.2f ms)",
              QTest::currentDataTag(), watch->arrivalToPainted(), watch->arrivalToHandedOver());
        return true;
    }
};

} // namespace

class BenchAssayWindow : public QObject {
    Q_OBJECT

    QTranslator m_russian;
    QTemporaryDir m_dir;
    QString m_fullKit;
    QString m_fullPlate;
    std::unique_ptr<Stand> m_stand;

private slots:
    void initTestCase() {
        // The window in Russian, as telkaro-assay shows it.
        QVERIFY(m_russian.load(QStringLiteral(":/i18n/telkaro-assay_ru.qm")));
        QCoreApplication::installTranslator(&m_russian);
        installQtTranslations(*QCoreApplication::instance());
        QVERIFY(m_dir.isValid());
        m_fullKit = m_dir.filePath(QStringLiteral("full-plate.assay.json"));
        m_fullPlate = m_dir.filePath(QStringLiteral("full-plate.dat"));
        QVERIFY(writeFile(m_fullKit, fullPlateKit()));
        QVERIFY(writeFile(m_fullPlate, fullPlateDat()));
        QCOMPARE(QFileInfo(m_fullPlate).size(), 8 * (12 * 6 + 2));
    }

    void cleanupTestCase() { m_stand.reset(); }

    void measuredToPainted_data() {
        QTest::addColumn<QString>("kit");
        QTest::addColumn<QString>("plate");
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("strips");
        QTest::newRow("ferritin") << examples + QStringLiteral("/ferritin-4pl.assay.json")
                                  << examples + QStringLiteral("/ferritin-4pl.dat") << 16 << 6;
        QTest::newRow("hcv") << examples + QStringLiteral("/hcv-screen.assay.json")
                             << examples + QStringLiteral("/hcv-screen.dat") << 26 << 4;
        QTest::newRow("full plate") << m_fullKit << m_fullPlate << 80 << 12;
    }

    // A plate measured by its kit, from the read that brought the block's
    // last characters to the end of the window's last paint of the answer.
    void measuredToPainted() {
        QFETCH(QString, kit);
        QFETCH(QString, plate);
        QFETCH(int, samples);
        QFETCH(int, strips);
        if (!m_stand || m_stand->kitPath != kit) {
            m_stand.reset();
            auto stand = std::make_unique<Stand>();
            QString why;
            QVERIFY2(stand->start(kit, plate, &why), qPrintable(why));
            m_stand = std::move(stand);
        }
        const int repetitions = qEnvironmentVariableIntValue("TELKARO_BENCH_REPETITIONS") > 0
                                    ? qEnvironmentVariableIntValue("TELKARO_BENCH_REPETITIONS")
                                    : 3;
        AssayWindow &window = m_stand->window;
        AnswerWatch &watch = *m_stand->watch;
        const QTableView *table = resultsTable(window);
        QVERIFY(table);
        std::vector<double> ms;
        for (int i = 0; i < repetitions; ++i) {
            QVERIFY2(watch.measure(), "no answer painted after a measurement");
            ms.push_back(watch.arrivalToPainted());
            // The answer was painted: the verdict, the plate map and the table.
            const QLabel *verdict = nullptr;
            for (const QLabel *label : window.findChildren<QLabel *>())
                if (label->text().startsWith(QStringLiteral("Постановка действительна")))
                    verdict = label;
            QVERIFY(verdict);
            QVERIFY(watch.painted(verdict));
            QVERIFY(watch.painted(window.findChild<QTableWidget *>()->viewport()));
            QVERIFY(watch.painted(table->viewport()));
            qInfo("%s: block's last read to answer painted %.2f ms (answer given to the window "
                  "%.2f ms, paints %.2f ms in %d batches; CPU %.2f ms)",
                  QTest::currentDataTag(), watch.arrivalToPainted(), watch.arrivalToHandedOver(),
                  watch.arrivalToPainted() - watch.arrivalToHandedOver(), watch.paintBatches(),
                  watch.cpuArrivalToPainted());
        }
        QTest::setBenchmarkResult(median(ms) * 1e6, QTest::WalltimeNanoseconds);

        // It was this plate, measured, and its answer.
        QVERIFY(window.result().has_value());
        QVERIFY(window.result()->measured);
        QCOMPARE(window.result()->plate.strips(), strips);
        QVERIFY(window.result()->analysis.valid);
        QCOMPARE(window.result()->analysis.samples.size(), samples);
        QCOMPARE(table->model()->rowCount(), samples);
        if (kit == m_fullKit) {
            // Samples read back from the curve the densities were made on:
            // U10 holds 24, U50 120 нг/мл.
            for (int n : {10, 50}) {
                const auto &result = window.result()->analysis.samples[n - 1];
                QCOMPARE(result.token, QStringLiteral("U%1").arg(n));
                QVERIFY(result.concentration.has_value());
                QVERIFY2(std::abs(*result.concentration / (sampleStep * n) - 1) < 0.03,
                         qPrintable(QString::number(*result.concentration)));
            }
            QVERIFY(window.result()->analysis.curve.has_value());
        }
    }
};

QTEST_MAIN(BenchAssayWindow)
#include "bench_assay_window.moc"
