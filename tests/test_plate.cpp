// SPDX-License-Identifier: GPL-3.0-or-later
// Plate results: decoding the data block, the plate text, the clipboard,
// and .dat files written and viewed again through the file commands.
#include "app/common_dialog.h"
#include "app/plate_commands.h"
#include "app/session_presenter.h"
#include "plate/dat_file.h"
#include "plate/plate.h"
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

// The File menu's plate commands on the window's presenter, with a dialog
// that answers from a list.
struct Rig {
    SessionPresenter presenter;
    CommonDialog1 dialog;
    QStringList answers;
    QList<FileDialogRequest> requests;
    QStringList warnings;

    Rig() {
        dialog.setPresenter([this](QWidget *, const FileDialogRequest &request) {
            requests.append(request);
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
    }
    PaneModel &pane() { return presenter.ОкноПечати(); }
    MenuFlags &menus() { return presenter.menus(); }
    const QString &plateText() const { return presenter.PlateText(); }
    // A reply to the data request, as the session hands it on.
    void received(const QByteArray &reply) { presenter.showPlate(Plate(reply, {})); }
    void warned(const QString &text) {
        if (!text.isEmpty())
            warnings.append(text);
    }
    void save(const QString &path) {
        answers = {path};
        warned(saveShownPlate(dialog, presenter.shownPlate()));
    }
    void view(const QString &path) {
        answers = {path};
        viewAgain();
    }
    void viewAgain() { warned(viewDatFile(dialog, presenter)); }
};

QStringList shown(const QByteArray &reply) {
    SessionPresenter presenter;
    presenter.showPlate(Plate(reply, {}));
    return presenter.ОкноПечати().readingOrder();
}
} // namespace

class TestPlate : public QObject {
    Q_OBJECT
private slots:
    void decodingTheBlock() {
        const QByteArray first = "12340567089010000001000200030004";
        QCOMPARE(shown(first + "OK"), (QStringList{"1,234", "0,567", "0,890", "1,000", "0,001",
                                                   "0,002", "0,003", "0,004"}));

        Rig rig;
        const QByteArray full = plateBlock(12);
        QCOMPARE(full.size(), 386);
        rig.received(full);
        QCOMPARE(rig.pane().readingOrder().size(), 96);
        QCOMPARE(rig.pane().textAt(0, 7), QStringLiteral("1,007"));
        QCOMPARE(rig.pane().textAt(11, 7), QStringLiteral("2,107"));
        QCOMPARE(rig.pane().items().at(1).text, QStringLiteral("1,000"));

        QCOMPARE(shown(plateBlock(3).chopped(2) + "12OK").size(), 24); // 100 characters
        QVERIFY(shown(QByteArray(31, '1') + "OK").isEmpty());
        QCOMPARE(shown("12AB" + QByteArray(28, '0') + "OK").first(), QStringLiteral("1,2AB"));
        const Plate plate("0056" + QByteArray(28, '0') + "OK", {});
        QCOMPARE(plate.valueText(0, 0), QStringLiteral("0,056"));
        QCOMPARE(plate.field(0, 0), QByteArray("0056"));
        QVERIFY(plate.hasNumber(0, 0));
        QCOMPARE(plate.number(0, 0), 0.056);
        QVERIFY(!Plate("12AB" + QByteArray(28, '0') + "OK", {}).hasNumber(0, 0));
        QVERIFY(!plate.hasNumber(1, 0)); // no such strip
    }

    // Save writes a block only when it is exactly whole strips and the first
    // "OK" at a strip boundary ends it.
    void theStripsOfACompleteBlock_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("strips");
        QTest::addColumn<bool>("complete");
        const QByteArray strip = QByteArray("1234").repeated(8);
        QTest::newRow("OK alone") << QByteArray("OK") << 0 << true;
        QTest::newRow("one strip") << strip + "OK" << 1 << true;
        QTest::newRow("a plate") << strip.repeated(12) + "OK" << 12 << true;
        QTest::newRow("more than a plate") << strip.repeated(13) + "OK" << 13 << false;
        QTest::newRow("cut short") << strip + "O" << 0 << false;
        QTest::newRow("not at the end") << strip + "OK\r\n" << 1 << false;
        // An "OK" at an earlier strip boundary ends the block there.
        QTest::newRow("OK at a boundary") << "OK" + strip.mid(2) + "OK" << 1 << false;
        // One inside a strip does not.
        QTest::newRow("OK inside") << strip.left(3) + "OK" + strip.mid(5) + "OK" << 1 << true;
    }

    void theStripsOfACompleteBlock() {
        QFETCH(QByteArray, reply);
        QFETCH(int, strips);
        QFETCH(bool, complete);
        const Plate plate(reply, {});
        QCOMPARE(plate.strips(), strips);
        QCOMPARE(plate.isComplete(), complete);
    }

    void plateTextLayout() {
        const QString full = Plate(plateBlock(12), {}).text();
        QCOMPARE(full.size(), 592);
        const QStringList lines = full.split("\r\n");
        QCOMPARE(lines.size(), 9);
        QVERIFY(lines.last().isEmpty());
        QCOMPARE(lines.first().count('\t'), 12);
        QCOMPARE(lines.at(7), QStringLiteral("1,007\t1,107\t1,207\t1,307\t1,407\t1,507\t1,607\t"
                                             "1,707\t1,807\t1,907\t2,007\t2,107\t"));
        QCOMPARE(Plate(plateBlock(3), {}).text().split("\r\n").first().size() + 2, 20);
        QCOMPARE(Plate("OK", {}).text(), QString("\r\n").repeated(8));
        QCOMPARE(Plate().text(), QString("\r\n").repeated(8));
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
        const QStringList shown = rig.pane().readingOrder();
        const QString plateText = rig.plateText();

        rig.save(path);
        QVERIFY(rig.warnings.isEmpty());
        QCOMPARE(readFile(path), plateText.toLatin1());
        QCOMPARE(readFile(path).size(), bytes);
        QCOMPARE(rig.plateText(), plateText); // Save changes nothing else
        QVERIFY(rig.menus().isEnabled(Menu::менюФайлЗапись));

        rig.received(plateBlock(strips == 1 ? 2 : 1)); // another plate, another text
        rig.view(path);
        QCOMPARE(rig.pane().readingOrder(), shown);
        QCOMPARE(rig.plateText(), plateText);
        QVERIFY(!rig.menus().isEnabled(Menu::менюФайлЗапись));
        QVERIFY(rig.presenter.shownPlate().isNull()); // the grid shows the file
    }

    void viewingOddFiles() {
        QTemporaryDir dir;
        Rig rig;
        rig.received(plateBlock(2));
        const QString before = rig.plateText();

        // Empty: the pane is cleared and nothing else changes.
        writeFile(dir.filePath("empty.dat"), "");
        rig.view(dir.filePath("empty.dat"));
        QVERIFY(rig.pane().items().isEmpty());
        QCOMPARE(rig.plateText(), before);
        QVERIFY(rig.menus().isEnabled(Menu::менюФайлЗапись));

        // 100 bytes: one field a line, by the counts, whatever the bytes are.
        QByteArray hundred;
        for (int i = 0; i < 100; ++i)
            hundred += char('A' + i % 26);
        writeFile(dir.filePath("100.dat"), hundred);
        rig.view(dir.filePath("100.dat"));
        QCOMPARE(rig.pane().readingOrder().size(), 8);
        QCOMPARE(rig.pane().textAt(0, 1), QStringLiteral("IJKLMN"));
        QCOMPARE(rig.plateText(), QString::fromLatin1(hundred));

        // Shorter than eight line ends: the counts run out, the plate text
        // and Save stay as they were.
        rig.received(plateBlock(2));
        writeFile(dir.filePath("short.dat"), "\r\n\r\n\r\n\r\n\r\n");
        rig.view(dir.filePath("short.dat"));
        QVERIFY(rig.pane().items().isEmpty());
        QCOMPARE(rig.plateText(), before);
        QVERIFY(rig.menus().isEnabled(Menu::менюФайлЗапись));

        // Missing: silently nothing.
        rig.view(dir.filePath("missing.dat"));
        QVERIFY(rig.pane().items().isEmpty());
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
            rig.pane().PSet(1, 1);
            rig.pane().Print("old");
            rig.view(path);
            QVERIFY2(rig.pane().items().isEmpty(), qPrintable(path));
            QCOMPARE(rig.plateText(), before);
            QVERIFY(rig.menus().isEnabled(Menu::менюФайлЗапись));
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
        rig.viewAgain();
        QVERIFY(QFileInfo(swapped).exists() && !QFileInfo(swapped).isFile());
        QVERIFY(rig.pane().items().isEmpty());
        QCOMPARE(rig.plateText(), before);
        rig.dialog.setPresenter([&](QWidget *, const FileDialogRequest &) {
            return rig.answers.isEmpty() ? QString() : rig.answers.takeFirst();
        });
#endif

        // Far too large for a plate file: refused before anything changes.
        rig.pane().PSet(1, 1);
        rig.pane().Print("kept");
        QFile big(dir.filePath("big.dat"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(maxDatFileSize + 1));
        big.close();
        rig.view(big.fileName());
        QCOMPARE(rig.warnings.size(), 1);
        QCOMPARE(rig.pane().readingOrder(), QStringList{"kept"});

        // Cancelled: nothing at all.
        rig.answers.clear();
        rig.viewAgain();
        QCOMPARE(rig.pane().readingOrder(), QStringList{"kept"});
    }

    void saveRefusesAndReportsInsteadOfLosingData() {
        QTemporaryDir dir;
        const QString path = dir.filePath("plate.dat");
        writeFile(path, "earlier plate");
        Rig rig;

        // Nothing in the grid yet, or a reply that is no complete block (a
        // status reply, a cut block): nothing written.
        rig.save(path);
        QCOMPARE(rig.warnings.size(), 1);
        QCOMPARE(readFile(path), QByteArray("earlier plate"));
        rig.received("0OK");
        rig.save(path);
        QCOMPARE(rig.warnings.size(), 2);
        rig.received(plateBlock(12).left(300) + "OK");
        rig.save(path);
        QCOMPARE(rig.warnings.size(), 3);
        QCOMPARE(readFile(path), QByteArray("earlier plate"));
        rig.warnings.removeFirst();

        // A folder that does not exist.
        rig.received(plateBlock(12));
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

        // The grid no longer shows the plate (a plate is being read): what
        // Save would write is not what the operator sees, so it refuses.
        rig.presenter.showReading();
        rig.save(dir.filePath("reading.dat"));
        QCOMPARE(rig.warnings.size(), warned + 1);
        QVERIFY(!QFileInfo::exists(dir.filePath("reading.dat")));
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
        QCOMPARE(save.initDir, dataFolder());
        QCOMPARE(view.title, QStringLiteral("Open"));
        QCOMPARE(view.filters, (QStringList{"Файлы данных (*.dat)", "Все файлы (*.*)"}));
        QCOMPARE(view.initDir, save.initDir); // set by Save, kept for View
        QCOMPARE(view.fileName, dir.filePath("a.dat"));
    }

    void copyToTheClipboard() {
        Rig rig;
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText("something else");
        copyPlateText(rig.plateText());
        QCOMPARE(clipboard->text(), QString()); // nothing measured yet: emptied
        rig.received(plateBlock(2));
        copyPlateText(rig.plateText());
        QCOMPARE(clipboard->text(),
                 QStringLiteral("1,000\t1,100\t\r\n1,001\t1,101\t\r\n1,002\t1,102\t\r\n"
                                "1,003\t1,103\t\r\n1,004\t1,104\t\r\n1,005\t1,105\t\r\n"
                                "1,006\t1,106\t\r\n1,007\t1,107\t\r\n"));
    }
};

QTEST_MAIN(TestPlate)
#include "test_plate.moc"
