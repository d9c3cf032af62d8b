// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: what it asks for, the port order, and the real program
// in a terminal with no display at all.
#include "app/command_line.h"
#include "app/window_position.h"
#include "core/settings_store.h"
#include "link/port_choice.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <QTest>

namespace {
CommandLine parse(const QStringList &options) {
    return parseCommandLine(QStringList{QStringLiteral("telkaro")} + options);
}

struct Run {
    int code = -1;
    QString out;
    QString err;
};

// The program as a terminal starts it: no display, no platform chosen.
Run run(const QStringList &options, int timeoutMs = 20000) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TELKARO_EXECUTABLE), options);
    Run result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    // Windows ends its lines with CR LF.
    result.out = QString::fromUtf8(process.readAllStandardOutput()).remove(QLatin1Char('\r'));
    result.err = QString::fromUtf8(process.readAllStandardError()).remove(QLatin1Char('\r'));
    return result;
}
} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void whatItAsksFor() {
        QCOMPARE(parse({}).action, CommandLine::Action::Run);
        QCOMPARE(parse({"--help"}).action, CommandLine::Action::Help);
        QCOMPARE(parse({"-h"}).action, CommandLine::Action::Help);
        QCOMPARE(parse({"--version"}).action, CommandLine::Action::Version);
        QCOMPARE(parse({"--list-ports"}).action, CommandLine::Action::ListPorts);

        const CommandLine port = parse({"--port", "/dev/serial/by-id/usb-FTDI-if00"});
        QCOMPARE(port.action, CommandLine::Action::Run);
        QCOMPARE(port.port, QStringLiteral("/dev/serial/by-id/usb-FTDI-if00"));
        QVERIFY(!port.choosePort);
        QCOMPARE(parse({"--port=COM3", "--choose-port"}).port, QStringLiteral("COM3"));
        QVERIFY(parse({"--port=COM3", "--choose-port"}).choosePort);

        // The window system's own options are left to it.
        const CommandLine qt = parse({"-platform", "offscreen", "-style", "fusion", "-reverse"});
        QCOMPARE(qt.action, CommandLine::Action::Run);
        QVERIFY(qt.port.isEmpty());
    }

    void whatItDoesNotUnderstand_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("named");
        QTest::newRow("unknown option") << QStringList{"--bogus"} << "bogus";
        QTest::newRow("missing value") << QStringList{"--port"} << "--port";
        QTest::newRow("empty port") << QStringList{"--port", "  "} << "--port";
        QTest::newRow("stray argument") << QStringList{"ttyUSB0"} << "ttyUSB0";
    }
    void whatItDoesNotUnderstand() {
        QFETCH(QStringList, options);
        QFETCH(QString, named);
        const CommandLine result = parse(options);
        QCOMPARE(result.action, CommandLine::Action::Error);
        QVERIFY2(result.text.contains(named), qPrintable(result.text));
        QVERIFY(result.text.contains(QStringLiteral("--help")));
    }

    void thePortOrder() {
        QCOMPARE(portOrder("cli", "env", "stored"), QStringLiteral("cli"));
        QCOMPARE(portOrder("", "env", "stored"), QStringLiteral("env"));
        QCOMPARE(portOrder(" ", " ", "stored"), QStringLiteral("stored"));
        QCOMPARE(portOrder("", "", ""), QString());
        QCOMPARE(portOrder(" /dev/pts/4 ", "", ""), QStringLiteral("/dev/pts/4"));

        // Nothing named: the likeliest port, USB adapters before built-in ones.
        auto port = [](const char *name, bool usb) { return PortEntry{name, {}, {}, {}, usb}; };
        QCOMPARE(defaultPort({port("ttyS0", false), port("ttyS1", false), port("ttyUSB0", true)}),
                 QStringLiteral("ttyUSB0"));
        QCOMPARE(defaultPort({port("COM1", false), port("COM3", true), port("COM4", true)}),
                 QStringLiteral("COM3"));
        QCOMPARE(defaultPort({port("ttyS0", false), port("ttyS1", false)}),
                 QStringLiteral("ttyS0"));
#ifdef Q_OS_WIN
        QCOMPARE(defaultPort({}), QStringLiteral("COM1"));
#else
        QCOMPARE(defaultPort({}), QStringLiteral("/dev/ttyS0"));
#endif

        // With the real sources: the stored setting, the environment, the command line.
        SettingsStore store;
        store.clear();
        qunsetenv("TELKARO_PORT");
        storePort(store, QStringLiteral("/dev/ttyUSB7"));
        QCOMPARE(choosePort(store).name, QStringLiteral("/dev/ttyUSB7"));
        QVERIFY(!choosePort(store).byDefault);
        qputenv("TELKARO_PORT", "/dev/pts/9");
        QCOMPARE(choosePort(store).name, QStringLiteral("/dev/pts/9"));
        QCOMPARE(choosePort(store, QStringLiteral("COM4")).name, QStringLiteral("COM4"));
        qputenv("TELKARO_PORT", "");
        store.clear();
    }

    void theListOfPorts() {
        QCOMPARE(portListText({}), QStringLiteral("Последовательные порты не найдены.\n"));
        const QString text =
            portListText({PortEntry{"ttyUSB0", "FT232R USB UART", "FTDI", "A10K3XYZ", true},
                          PortEntry{"ttyS0", "", "", "", false}});
        QCOMPARE(text, QStringLiteral("ttyUSB0; FT232R USB UART; изготовитель: FTDI; "
                                      "серийный номер: A10K3XYZ\n"
                                      "ttyS0; без описания\n"));
    }

    void inATerminalWithoutADisplay() {
        const Run help = run({"--help"});
        QCOMPARE(help.code, 0);
        for (const char *option :
             {"--port", "--list-ports", "--choose-port", "--print-port", "--version"})
            QVERIFY2(help.out.contains(QLatin1String(option)), qPrintable(help.out));
        QVERIFY(help.out.contains(QStringLiteral("TELKARO_PORT")));

        const Run version = run({"--version"});
        QCOMPARE(version.code, 0);
        QCOMPARE(version.out, QStringLiteral("telkaro %1\n").arg(QStringLiteral(TELKARO_VERSION)));

        // Whatever ports this machine has, each is a line of its own, or
        // the one line says there are none.
        const Run ports = run({"--list-ports"});
        QCOMPARE(ports.code, 0);
        QVERIFY(ports.out.endsWith(QLatin1Char('\n')));
        QVERIFY(ports.err.isEmpty() || !ports.err.contains(QStringLiteral("display")));

        // The port it would open, and whether anything named it.
        const Run named = run({"--port", "COM7", "--print-port"});
        QCOMPARE(named.code, 0);
        QCOMPARE(named.out, QStringLiteral("COM7\nconfigured\n"));
        const Run chosen = run({"--print-port"});
        QCOMPARE(chosen.code, 0);
        QVERIFY2(chosen.out.endsWith(QStringLiteral("\ndefault\n")), qPrintable(chosen.out));

        const Run unknown = run({"--bogus"});
        QCOMPARE(unknown.code, commandLineErrorCode);
        QVERIFY2(unknown.err.contains(QStringLiteral("bogus")), qPrintable(unknown.err));
        QVERIFY(unknown.out.isEmpty());

        const Run missing = run({"--port"});
        QCOMPARE(missing.code, commandLineErrorCode);
        QVERIFY2(missing.err.contains(QStringLiteral("--port")), qPrintable(missing.err));
    }

    void aPortThatFailsSaysWhyOnStandardError() {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setReadChannel(QProcess::StandardError);
        process.start(QStringLiteral(TELKARO_EXECUTABLE),
                      {QStringLiteral("--port"), QStringLiteral("/dev/telkaro-no-such-port")});
        QVERIFY(process.waitForStarted());
        QByteArray err;
        QDeadlineTimer deadline(20000);
        while (!err.contains("no such port\n") && !deadline.hasExpired()) {
            process.waitForReadyRead(500);
            err += process.readAllStandardError();
            err.replace("\r\n", "\n"); // as Windows ends its lines
        }
        process.kill();
        process.waitForFinished();
        // Qt's own warnings may come first; the diagnosis is one line of its own.
        QVERIFY2(err.contains("telkaro: cannot open port \"/dev/telkaro-no-such-port\": "
                              "no such port\n"),
                 err.constData());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
