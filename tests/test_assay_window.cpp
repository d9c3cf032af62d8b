// SPDX-License-Identifier: GPL-3.0-or-later
// The assay window, offscreen: a plate measured by its kit on the virtual
// instrument, the answer's texts, the files it writes, and the faults it
// must survive.
#include "support/virtual_instrument.h"

#include "assaywin/assay_window.h"
#include "assaywin/command_line.h"
#include "assaywin/report_document.h"
#include "core/settings_store.h"
#include "link/serial_link.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTranslator>

namespace {
const QString examples = QStringLiteral(TELKARO_SOURCE_DIR "/examples");
const QString hcvKit = examples + QStringLiteral("/hcv-screen.assay.json");
const QString hcvPlate = examples + QStringLiteral("/hcv-screen.dat");
const QString ferritinKit = examples + QStringLiteral("/ferritin-4pl.assay.json");
const QString ferritinPlate = examples + QStringLiteral("/ferritin-4pl.dat");

QByteArray fileContent(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <typename T> T *named(QWidget &window, const QString &accessibleName) {
    for (T *widget : window.findChildren<T *>())
        if (widget->accessibleName() == accessibleName)
            return widget;
    return nullptr;
}

QString cell(const QAbstractItemModel &model, int row, int column) {
    return model.data(model.index(row, column)).toString();
}

// A window that lists the example kits as installed and asks nothing of
// the operator: questions are answered by the test, warnings kept.
struct Rig {
    QTemporaryDir own;
    AssayWindow window;
    QStringList warnings;
    bool answer = true;
    int asked = 0;
    Rig() {
        window.setKitFolders({{examples}, own.path()});
        window.warn = [this](const QString &text) { warnings << text; };
        window.ask = [this](const QString &) {
            ++asked;
            return answer;
        };
    }
    QLabel *verdict() {
        for (QLabel *label : window.findChildren<QLabel *>())
            if (label->text().startsWith(QStringLiteral("Постановка")))
                return label;
        return nullptr;
    }
};
} // namespace

class TestAssayWindow : public QObject {
    Q_OBJECT
    QTranslator m_russian;

private slots:
    void initTestCase() {
        QVERIFY(m_russian.load(QStringLiteral(":/i18n/telkaro-assay_ru.qm")));
        QCoreApplication::installTranslator(&m_russian);
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("kit");
        QTest::addColumn<QString>("plate");
        using A = AssayCommandLine::Action;
        QTest::newRow("nothing") << QStringList{} << int(A::Run) << ""
                                 << ""
                                 << "";
        QTest::newRow("all") << QStringList{"--port", "ttyUSB1", "--assay", "k.assay.json", "p.dat"}
                             << int(A::Run) << "ttyUSB1"
                             << "k.assay.json"
                             << "p.dat";
        QTest::newRow("Qt's own") << QStringList{"-platform", "offscreen", "p.json"} << int(A::Run)
                                  << ""
                                  << ""
                                  << "p.json";
        QTest::newRow("two plates") << QStringList{"a.dat", "b.dat"} << int(A::Error) << ""
                                    << ""
                                    << "";
        QTest::newRow("blank port") << QStringList{"--port", " "} << int(A::Error) << ""
                                    << ""
                                    << "";
        QTest::newRow("unknown") << QStringList{"--measure"} << int(A::Error) << ""
                                 << ""
                                 << "";
        QTest::newRow("version") << QStringList{"--version"} << int(A::Version) << ""
                                 << ""
                                 << "";
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        const AssayCommandLine line =
            parseAssayCommandLine(QStringList{QStringLiteral("telkaro-assay")} + arguments);
        QFETCH(int, action);
        QCOMPARE(int(line.action), action);
        if (line.action != AssayCommandLine::Action::Run)
            return;
        QTEST(line.port, "port");
        QTEST(line.kit, "kit");
        QTEST(line.plate, "plate");
    }

    // The kit's four strips measured on the instrument, byte for byte, and
    // the answer in the operator's words.
    void measuresTheKitsStripsAndShowsTheAnswer() {
        VirtualInstrument instrument;
        QVERIFY2(instrument.start({"--plate", hcvPlate, "--measure-ms", "300"}),
                 qPrintable(instrument.lastError()));
        Rig rig;
        rig.window.show();
        rig.window.start(instrument.portName(), false, hcvKit);
        auto *measure = named<QPushButton>(rig.window, QStringLiteral("Измерить"));
        QVERIFY(measure);
        QTRY_VERIFY_WITH_TIMEOUT(measure->isEnabled(), 10000);
        auto *status = named<QLabel>(rig.window, QStringLiteral("Состояние прибора"));
        QCOMPARE(status->text(), QStringLiteral("Связь с прибором установлена"));

        // A further reply of the idle link: the session sends a strip count
        // of its own, and Measure waits until that exchange is over, so that
        // its reply is not taken for the measurement's.
        QVERIFY(instrument.control("send 0 OK\\r\\n"));
        QTRY_VERIFY_WITH_TIMEOUT(!measure->isEnabled(), 5000);
        QVERIFY(instrument.waitForReceived("J 12\r\n", 5000));
        QTRY_VERIFY_WITH_TIMEOUT(measure->isEnabled(), 5000);

        QTest::mouseClick(measure, Qt::LeftButton);
        // While it runs the kit stays as it is.
        QVERIFY(rig.window.runner().isMeasuring());
        QVERIFY(!named<QListWidget>(rig.window, QStringLiteral("Наборы"))->isEnabled());
        QVERIFY(!named<QPushButton>(rig.window, QStringLiteral("Изменить набор"))->isEnabled());
        QVERIFY(!measure->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(rig.window.result().has_value(), 15000);
        QVERIFY(instrument.received().contains("J 4\r\n"));
        QVERIFY(instrument.received().contains("Z\r\n"));

        QLabel *verdict = rig.verdict();
        QVERIFY(verdict);
        QVERIFY2(verdict->text().startsWith(QStringLiteral("Постановка действительна")),
                 qPrintable(verdict->text()));
        auto *table = named<QTableView>(rig.window, QStringLiteral("Результаты"));
        QVERIFY(table);
        const QAbstractItemModel &model = *table->model();
        QStringList headings;
        for (int c = 0; c < model.columnCount(); ++c)
            headings << model.headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headings,
                 (QStringList{"Образец", "Лунки", "ОП", "КВ, %", "S/CO", "Заключение", "Отметки"}));
        QCOMPARE(model.rowCount(), 26);
        // By hand: the blank 0.045; NC 0.106, 0.121, 0.103, less the blank,
        // mean 0.065; the cut-off 0.215. U1 in G1: 0.072 - 0.045 = 0.027,
        // S/CO 0.13; U4 in B2: 1.638, S/CO 7.62.
        QCOMPARE(cell(model, 0, 0), QStringLiteral("Иванов И. И. (U1)"));
        QCOMPARE(cell(model, 0, 1), QStringLiteral("G1"));
        QCOMPARE(cell(model, 0, 2), QStringLiteral("0.027"));
        QCOMPARE(cell(model, 0, 4), QStringLiteral("0.13"));
        QCOMPARE(cell(model, 0, 5), QStringLiteral("отрицательный"));
        QCOMPARE(cell(model, 3, 4), QStringLiteral("7.62"));
        QCOMPARE(cell(model, 3, 5), QStringLiteral("положительный"));
        // Copied as a spreadsheet pastes it.
        table->setFocus();
        table->selectAll();
        QTest::keySequence(table, QKeySequence::Copy);
        const QString copied = QApplication::clipboard()->text();
        QVERIFY2(copied.startsWith(
                     QStringLiteral("Образец\tЛунки\tОП\tКВ, %\tS/CO\tЗаключение\tОтметки\r\n"
                                    "Иванов И. И. (U1)\tG1\t0.027\t—\t0.13\tотрицательный\t\r\n")),
                 qPrintable(copied.left(200)));
        QCOMPARE(copied.count(QStringLiteral("\r\n")), 27);
        // Sorted by S/CO, the highest last: U23 in E4, 2.333 - 0.045 = 2.288.
        table->sortByColumn(4, Qt::AscendingOrder);
        QCOMPARE(cell(model, 25, 0), QStringLiteral("U23"));
        QCOMPARE(cell(model, 25, 4), QStringLiteral("10.64"));
    }

    // The adapter pulled mid-measurement: said, and nothing half-measured
    // shown as a result.
    void thePortLostMidMeasurementLeavesNoResult() {
        VirtualInstrument instrument;
        QVERIFY2(instrument.start({"--plate", hcvPlate, "--measure-ms", "4000"}),
                 qPrintable(instrument.lastError()));
        Rig rig;
        rig.window.start(instrument.portName(), false, hcvKit);
        QVERIFY(rig.window.openPlate(hcvPlate)); // a result of before
        QTRY_VERIFY_WITH_TIMEOUT(rig.window.runner().canMeasure(), 10000);
        QSignalSpy failed(&rig.window.runner(), &AssayRunner::measurementFailed);
        rig.window.measure();
        QVERIFY(instrument.waitForReceived("Z\r\n", 10000));
        QVERIFY(!rig.window.result());
        QVERIFY(instrument.control("close"));
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 10000);
        QVERIFY(!rig.window.runner().isMeasuring());
        QVERIFY(!rig.window.result());
        QCOMPARE(named<QTableView>(rig.window, QStringLiteral("Результаты"))->model()->rowCount(),
                 0);
        QVERIFY(!named<QPushButton>(rig.window, QStringLiteral("Измерить"))->isEnabled());
        QVERIFY2(failed.first().first().toString().contains(QStringLiteral("отключён")),
                 qPrintable(failed.first().first().toString()));
    }

    // The classic window holds the port: the window says so, and a plate
    // file is still analysed.
    void aPortInUseStillAnalysesFiles() {
        VirtualInstrument instrument;
        QVERIFY2(instrument.start(), qPrintable(instrument.lastError()));
        SerialLink other;
        QVERIFY(other.open(instrument.portName()));
        Rig rig;
        QSignalSpy said(&rig.window.runner(), &AssayRunner::status);
        rig.window.start(instrument.portName(), false, ferritinKit);
        QVERIFY(!said.isEmpty());
        const QString text = said.last().first().toString();
        QVERIFY2(text.contains(QStringLiteral("занят другой программой")), qPrintable(text));
        QVERIFY(rig.window.openPlate(ferritinPlate));
        QVERIFY(rig.window.result()->analysis.valid);
    }

    // The report as a PDF of one page with the kit's name in it, the
    // results, and the raw plate beside them; nothing replaced unasked.
    void savesTheReportTheResultsAndThePlate() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QFAIL("pdftotext (poppler-utils) is needed to read the PDF back");
        Rig rig;
        rig.window.start(QStringLiteral("/nonexistent/port"), false, ferritinKit);
        QVERIFY(rig.window.openPlate(ferritinPlate));
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("ferritin.pdf"));
        QVERIFY(rig.window.saveReport(pdf));
        QVERIFY(fileContent(pdf).startsWith("%PDF-"));
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(words.contains(QStringLiteral("Ферритин ИФА, 4PL (пример)")), qPrintable(words));
        QVERIFY(words.contains(QStringLiteral("Постановка действительна")));
        QCOMPARE(words.count(QLatin1Char('\f')), 1); // one page
        // The plate beside it, as the file it came from.
        QCOMPARE(fileContent(out.filePath(QStringLiteral("ferritin.dat"))),
                 fileContent(ferritinPlate));

        const QString csv = out.filePath(QStringLiteral("ferritin.csv"));
        QVERIFY(rig.window.saveResults(csv));
        // The same lines as telkaro-read writes: U1 in A3 and A4, a mean of
        // 0.192 and 3.289 on the curve.
        const QList<QByteArray> lines = fileContent(csv).split('\n');
        QCOMPARE(lines.value(0), QByteArray("token,name,wells,mean,cv,s_co_or_concentration,"
                                            "verdict_or_range,flags\r"));
        QVERIFY2(lines.value(1).startsWith("U1,") &&
                     lines.value(1).endsWith(",A3 A4,0.192,1.5,3.289,,\r"),
                 lines.value(1).constData());
        QCOMPARE(rig.asked, 0); // the .dat beside is the same plate: nothing to ask

        // Another plate's .dat is there: asked, and kept when the answer is no.
        QFile other(out.filePath(QStringLiteral("ferritin-2.dat")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("not this plate");
        other.close();
        rig.answer = false;
        QVERIFY(rig.window.saveResults(out.filePath(QStringLiteral("ferritin-2.json"))));
        QCOMPARE(rig.asked, 1);
        QCOMPARE(fileContent(out.filePath(QStringLiteral("ferritin-2.dat"))),
                 QByteArray("not this plate"));
        QVERIFY(fileContent(out.filePath(QStringLiteral("ferritin-2.json"))).startsWith("{"));

        // A printer that cannot take the pages is a failure, not a success.
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("/proc/telkaro/printed.pdf"));
        QVERIFY(!paintReport(*reportDocument(*rig.window.result()), printer));

        // A folder that cannot be written: a message, the result stays.
        QVERIFY(!rig.window.saveReport(QStringLiteral("/proc/telkaro/report.pdf")));
        QCOMPARE(rig.warnings.size(), 1);
        QVERIFY(rig.window.result().has_value());
    }

    // The last kit and the window's place come back at the next start, from
    // the section of their own.
    void theKitAndThePlaceAreRemembered() {
        {
            Rig rig;
            rig.window.start(QStringLiteral("/nonexistent/port"), false, ferritinKit);
            rig.window.setGeometry(120, 90, 1000, 700);
            QVERIFY(rig.window.close());
        }
        SettingsStore store;
        QCOMPARE(QFileInfo(store.value(QStringLiteral("Assay/Kit")).toString()).fileName(),
                 QStringLiteral("ferritin-4pl.assay.json"));
        QVERIFY(!store.value(QStringLiteral("Assay/Geometry")).toByteArray().isEmpty());
        QVERIFY(!store.contains(QStringLiteral("Settings/Kit")));
        Rig again;
        again.window.start(QStringLiteral("/nonexistent/port"), false, QString());
        QCOMPARE(again.window.runner().kit().kit->name,
                 QStringLiteral("Ферритин ИФА, 4PL (пример)"));
        QCOMPARE(again.window.size(), QSize(1000, 700));
    }

    void badInputIsRefusedWithItsReason() {
        QTemporaryDir dir;
        const QString wrongKit = dir.filePath(QStringLiteral("wrong.assay.json"));
        QFile kit(wrongKit);
        QVERIFY(kit.open(QIODevice::WriteOnly));
        kit.write("{\"format\": \"telkaro-assay/1\", \"name\": \"x\"}");
        kit.close();
        Rig rig;
        rig.window.start(QStringLiteral("/nonexistent/port"), false, QString());
        QVERIFY(!rig.window.chooseKit(wrongKit));
        auto *problem = named<QLabel>(rig.window, QStringLiteral("Ошибка в файле набора"));
        QVERIFY(problem && !problem->text().isEmpty());
        QVERIFY(!rig.window.runner().canMeasure());
        QVERIFY(!rig.window.openPlate(hcvPlate));

        QVERIFY(rig.window.chooseKit(ferritinKit));
        QVERIFY(!rig.window.openPlate(hcvKit)); // a kit file is not a plate
        // The HCV plate has four strips; the ferritin kit uses six.
        QVERIFY(!rig.window.openPlate(hcvPlate));
        QCOMPARE(rig.warnings.size(), 3);
        QVERIFY(!rig.window.result());
    }
};

QTEST_MAIN(TestAssayWindow)
#include "test_assay_window.moc"
