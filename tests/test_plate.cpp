// SPDX-License-Identifier: GPL-3.0-or-later
// Plate results: decoding the data block, the plate text, the clipboard,
// and .dat files written and viewed again through the file commands.
#include "app/common_dialog.h"
#include "app/plate_commands.h"
#include "core/menu_flags.h"
#include "core/module1.h"
#include "core/pane_model.h"
#include "plate/dat_file.h"
#include "plate/plate_block.h"
#include "sample_block.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <csignal>
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif
#endif

namespace {
QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// The File menu's plate commands with a dialog that answers from a list.
struct Rig {
    Модуль1 moduleState;
    PaneModel pane{0, 0, 12, 8};
    MenuFlags menus;
    CommonDialog1 dialog;
    PlateCommands commands{moduleState, pane, menus, dialog};
    QStringList answers;
    QList<FileDialogRequest> requests;
    QStringList warnings;

    Rig() {
        dialog.setPresenter([this](QWidget *, const FileDialogRequest &request) {
            requests.append(request);
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
        commands.setWarning([this](const QString &text) { warnings.append(text); });
    }
    void received(const QByteArray &block) {
        moduleState.RxBuffer = block;
        showBlock(pane, block);
        moduleState.PlateText = buildPlateText(block);
        menus.setEnabled(Menu::менюФайлЗапись, true);
    }
    void save(const QString &path) {
        answers = {path};
        commands.менюФайлЗапись_Click();
    }
    void view(const QString &path) {
        answers = {path};
        commands.менюФайлПросмотр_Click();
    }
};
} // namespace

class TestPlate : public QObject {
    Q_OBJECT
private slots:
    void decodingTheBlock() {
        PaneModel pane(0, 0, 12, 8);
        const QByteArray first = "12340567089010000001000200030004";
        showBlock(pane, first + "OK");
        QCOMPARE(pane.readingOrder(), (QStringList{"1,234", "0,567", "0,890", "1,000", "0,001",
                                                   "0,002", "0,003", "0,004"}));
        QCOMPARE(pane.textAt(0, 7), QStringLiteral("0,004"));

        const QByteArray full = plateBlock(12);
        QCOMPARE(full.size(), 386);
        QCOMPARE(wholeStrips(full.size()), 12);
        showBlock(pane, full);
        QCOMPARE(pane.readingOrder().size(), 96);
        QCOMPARE(pane.textAt(11, 7),
                 QString::fromLatin1(full.mid(380, 1) + "," + full.mid(381, 3)));
        QCOMPARE(pane.items().at(1).text, QString::fromLatin1(full.left(1) + "," + full.mid(1, 3)));

        showBlock(pane, plateBlock(3).chopped(2) + "12OK"); // 100 characters
        QCOMPARE(pane.readingOrder().size(), 24);
        showBlock(pane, QByteArray(31, '1') + "OK");
        QVERIFY(pane.items().isEmpty());
        showBlock(pane, "12AB" + QByteArray(28, '0') + "OK");
        QCOMPARE(pane.textAt(0, 0), QStringLiteral("1,2AB"));
        QCOMPARE(wellValueText("0056", 0, 0), QStringLiteral("0,056"));
    }

    // Save writes a block only when the buffer is exactly whole strips and
    // the first "OK" at a strip boundary ends it.
    void theStripsOfACompleteBlock() {
        const QByteArray strip = QByteArray("1234").repeated(8);
        QCOMPARE(stripsToSave("OK"), 0);
        QCOMPARE(stripsToSave(strip + "OK"), 1);
        QCOMPARE(stripsToSave(strip.repeated(12) + "OK"), 12);
        QCOMPARE(stripsToSave(strip.repeated(13) + "OK"), -1); // more than a plate
        QCOMPARE(stripsToSave(""), -1);
        QCOMPARE(stripsToSave("K"), -1);
        QCOMPARE(stripsToSave(strip + "O"), -1);      // cut short
        QCOMPARE(stripsToSave(strip + "OK\r\n"), -1); // not at the end
        QCOMPARE(stripsToSave(strip + "XY"), -1);
        // An "OK" at an earlier strip boundary ends the block there.
        QCOMPARE(stripsToSave("OK" + strip.mid(2) + "OK"), -1);
        // One inside a strip does not.
        QCOMPARE(stripsToSave(strip.left(3) + "OK" + strip.mid(5) + "OK"), 1);
    }

    void plateTextLayout() {
        const QString full = buildPlateText(plateBlock(12));
        QCOMPARE(full.size(), 592);
        const QStringList lines = full.split("\r\n");
        QCOMPARE(lines.size(), 9);
        QVERIFY(lines.last().isEmpty());
        QCOMPARE(lines.first().count('\t'), 12);
        QVERIFY(lines.first().endsWith('\t'));
        QCOMPARE(buildPlateText(plateBlock(3)).split("\r\n").first().size() + 2, 20);
        QCOMPARE(buildPlateText("OK"), QString("\r\n").repeated(8));
        QCOMPARE(buildPlateText(""), QString("\r\n").repeated(8));
    }

    void saveAndViewRoundTrip_data() {
        QTest::addColumn<int>("strips");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<QString>("name");
        QTest::newRow("full plate") << 12 << 592 << QStringLiteral("plate.dat");
        QTest::newRow("3 strips") << 3 << 160 << QStringLiteral("plate.dat");
        QTest::newRow("OK alone") << 0 << 16 << QStringLiteral("plate.dat");
        QTest::newRow("Cyrillic name")
            << 2 << 112 << QStringLiteral("Плашка 2 стрипа, опыт №5.dat");
    }

    void saveAndViewRoundTrip() {
        QFETCH(int, strips);
        QFETCH(int, bytes);
        QFETCH(QString, name);
        QTemporaryDir dir(QDir::temp().filePath(QStringLiteral("данные-XXXXXX")));
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(name);
        Rig rig;
        rig.received(plateBlock(strips));
        const QStringList shown = rig.pane.readingOrder();
        const QString plateText = rig.moduleState.PlateText;

        rig.save(path);
        QVERIFY(rig.warnings.isEmpty());
        QCOMPARE(readFile(path), plateText.toLatin1());
        QCOMPARE(readFile(path).size(), bytes);
        QCOMPARE(rig.moduleState.PlateText, plateText); // Save changes nothing else
        QVERIFY(rig.menus.isEnabled(Menu::менюФайлЗапись));

        rig.moduleState.PlateText.clear();
        rig.pane.PSet(3, 3);
        rig.pane.Print("old");
        rig.view(path);
        QCOMPARE(rig.pane.readingOrder(), shown);
        QCOMPARE(rig.moduleState.PlateText, plateText);
        QVERIFY(!rig.menus.isEnabled(Menu::менюФайлЗапись));
        QCOMPARE(rig.moduleState.RxBuffer, plateBlock(strips)); // untouched by View
    }

    void viewingOddFiles() {
        QTemporaryDir dir;
        Rig rig;
        rig.received(plateBlock(2));
        const QString before = rig.moduleState.PlateText;

        // Empty: the pane is cleared and nothing else changes.
        writeFile(dir.filePath("empty.dat"), "");
        rig.view(dir.filePath("empty.dat"));
        QVERIFY(rig.pane.items().isEmpty());
        QCOMPARE(rig.moduleState.PlateText, before);
        QVERIFY(rig.menus.isEnabled(Menu::менюФайлЗапись));

        // 100 bytes: one field a line, by the counts, whatever the bytes are.
        QByteArray hundred;
        for (int i = 0; i < 100; ++i)
            hundred += char('A' + i % 26);
        writeFile(dir.filePath("100.dat"), hundred);
        rig.view(dir.filePath("100.dat"));
        QCOMPARE(rig.pane.readingOrder().size(), 8);
        QCOMPARE(rig.pane.textAt(0, 1), QStringLiteral("IJKLMN"));
        QCOMPARE(rig.moduleState.PlateText, QString::fromLatin1(hundred));

        // Shorter than eight line ends: the counts run out, the plate text
        // and Save stay as they were.
        rig.moduleState.PlateText = before;
        rig.menus.setEnabled(Menu::менюФайлЗапись, true);
        writeFile(dir.filePath("short.dat"), "\r\n\r\n\r\n\r\n\r\n");
        rig.view(dir.filePath("short.dat"));
        QVERIFY(rig.pane.items().isEmpty());
        QCOMPARE(rig.moduleState.PlateText, before);
        QVERIFY(rig.menus.isEnabled(Menu::менюФайлЗапись));

        // Missing: silently nothing.
        rig.view(dir.filePath("missing.dat"));
        QVERIFY(rig.pane.items().isEmpty());
        QVERIFY(rig.warnings.isEmpty());

#ifdef Q_OS_UNIX
        // Not an ordinary file: ended as a file that cannot be read, without
        // being opened. A FIFO with no writer would hold open() for good,
        // /dev/zero a read, a terminal the keyboard.
        const QString fifo = dir.filePath("fifo.dat");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const QString socketPath = dir.filePath("s");
        const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(socketPath).constData(),
                 sizeof address.sun_path);
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
        const QString special[] = {fifo, QStringLiteral("/dev/zero"), QStringLiteral("/dev/tty"),
                                   dir.path(), socketPath};
        for (const QString &path : special) {
            rig.pane.PSet(1, 1);
            rig.pane.Print("old");
            rig.view(path);
            QVERIFY2(rig.pane.items().isEmpty(), qPrintable(path));
            QCOMPARE(rig.moduleState.PlateText, before);
            QVERIFY(rig.menus.isEnabled(Menu::менюФайлЗапись));
        }
        ::close(listener);
        QVERIFY(rig.warnings.isEmpty());

        // A plate file that turns into a FIFO after the dialog has closed.
        const QString swapped = dir.filePath("swapped.dat");
        writeFile(swapped, QByteArray("1,000\t\r\n").repeated(8));
        rig.dialog.setPresenter([&](QWidget *, const FileDialogRequest &) {
            QFile::remove(swapped);
            ::mkfifo(QFile::encodeName(swapped).constData(), 0600);
            return swapped;
        });
        rig.commands.менюФайлПросмотр_Click();
        QVERIFY(QFileInfo(swapped).exists() && !QFileInfo(swapped).isFile());
        QVERIFY(rig.pane.items().isEmpty());
        QCOMPARE(rig.moduleState.PlateText, before);
        rig.dialog.setPresenter([&](QWidget *, const FileDialogRequest &) {
            return rig.answers.isEmpty() ? QString() : rig.answers.takeFirst();
        });
#endif

        // Far too large for a plate file: refused before anything changes.
        rig.pane.PSet(1, 1);
        rig.pane.Print("kept");
        QFile big(dir.filePath("big.dat"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(maxDatFileSize + 1));
        big.close();
        rig.view(big.fileName());
        QCOMPARE(rig.warnings.size(), 1);
        QCOMPARE(rig.pane.readingOrder(), QStringList{"kept"});

        // Cancelled: nothing at all.
        rig.answers.clear();
        rig.commands.менюФайлПросмотр_Click();
        QCOMPARE(rig.pane.readingOrder(), QStringList{"kept"});
    }

    void saveRefusesAndReportsInsteadOfLosingData() {
        QTemporaryDir dir;
        const QString path = dir.filePath("plate.dat");
        writeFile(path, "earlier plate");
        Rig rig;

        // No complete block in the buffer (a status reply): nothing written.
        rig.moduleState.RxBuffer = "0OK";
        rig.save(path);
        QCOMPARE(rig.warnings.size(), 1);
        QCOMPARE(readFile(path), QByteArray("earlier plate"));
        rig.moduleState.RxBuffer = plateBlock(12).left(300) + "OK";
        rig.save(path);
        QCOMPARE(rig.warnings.size(), 2);

        // A folder that does not exist.
        rig.moduleState.RxBuffer = plateBlock(12);
        rig.save(dir.filePath("no/such/folder/plate.dat"));
        QCOMPARE(rig.warnings.size(), 3);
        QVERIFY(rig.warnings.last().contains("plate.dat"));

#ifdef Q_OS_LINUX
        // The write itself fails half way (the file size limit stands in for
        // a full disk): the earlier file is left as it was.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        rig.save(path);
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(rig.warnings.size(), 4);
        QCOMPARE(readFile(path), QByteArray("earlier plate"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plate.dat"});
#endif
        const qsizetype warned = rig.warnings.size();
        rig.save(path);
        QCOMPARE(rig.warnings.size(), warned);
        QCOMPARE(readFile(path).size(), 592);
    }

    void theDialogRemembersWhatItWasSet() {
        QTemporaryDir dir;
        Rig rig;
        rig.received(plateBlock(1));
        rig.save(dir.filePath("a.dat"));
        rig.view(dir.filePath("a.dat"));
        QCOMPARE(rig.requests.size(), 2);
        const FileDialogRequest save = rig.requests.at(0);
        const FileDialogRequest view = rig.requests.at(1);
        QVERIFY(save.save && !view.save);
        QCOMPARE(save.title, QStringLiteral("Запись файла"));
        QCOMPARE(save.filters, QStringList{"Файлы данных (*.dat)"});
        QCOMPARE(save.initDir, PlateCommands::dataFolder());
        QCOMPARE(view.title, QStringLiteral("Open"));
        QCOMPARE(view.filters, (QStringList{"Файлы данных (*.dat)", "Все файлы (*.*)"}));
        QCOMPARE(view.initDir, save.initDir); // set by Save, kept for View
        QCOMPARE(view.fileName, dir.filePath("a.dat"));
    }

    void copyToTheClipboard() {
        Rig rig;
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText("something else");
        rig.commands.менюФайлClip_Click();
        QCOMPARE(clipboard->text(), QString()); // nothing measured yet: emptied
        rig.received(plateBlock(12));
        rig.commands.менюФайлClip_Click();
        QCOMPARE(clipboard->text(), rig.moduleState.PlateText);
        QCOMPARE(clipboard->text().size(), 592);
    }
};

QTEST_MAIN(TestPlate)
#include "test_plate.moc"
