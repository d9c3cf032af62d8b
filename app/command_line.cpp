// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "core/qt_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

CommandLine parseCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "ТЕЛКАРО: измерение 96-луночных плашек на фотометре, подключённом к "
        "последовательному порту.\n\n"
        "Порт прибора берётся из --port, иначе из переменной окружения "
        "TELKARO_PORT, иначе из параметра Port в настройках (его сохраняет "
        "--choose-port), иначе первый порт системы (переходники USB раньше встроенных портов)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Открыть этот порт, только в этот раз: ttyUSB0, COM3, /dev/pts/3, "
                       "/dev/serial/by-id/..."),
        QStringLiteral("имя"));
    const QCommandLineOption listPorts(QStringLiteral("list-ports"),
                                       QStringLiteral("Показать найденные последовательные порты "
                                                      "и выйти."));
    const QCommandLineOption choosePort(
        QStringLiteral("choose-port"),
        QStringLiteral("Сначала выбрать порт прибора в окне и сохранить выбор, затем работать "
                       "как обычно."));
    const QCommandLineOption printPort(
        QStringLiteral("print-port"),
        QStringLiteral("Показать порт, который программа откроет, и выйти: имя порта, на второй "
                       "строке configured (порт задан) или default (не задан, взят первый "
                       "подходящий порт системы)."));
    parser.addOptions({port, listPorts, choosePort, printPort});
    addQtOptions(parser);

    CommandLine result;
    const QString program = QStringLiteral("telkaro");
    if (!parser.parse(arguments)) {
        result.action = CommandLine::Action::Error;
        result.text =
            QStringLiteral("%1: %2\nСправка: %1 --help\n").arg(program, parser.errorText());
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.action = CommandLine::Action::Error;
        result.text = QStringLiteral("%1: лишний аргумент: %2\nСправка: %1 --help\n")
                          .arg(program, parser.positionalArguments().first());
        return result;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.action = CommandLine::Action::Help;
        // Qt names the program in the usage line as it was started (a full
        // path; on Windows a Windows path): the operator types telkaro.
        result.text = parser.helpText();
        const QString started = QCoreApplication::arguments().value(0);
        const qsizetype at = started.isEmpty() ? -1 : result.text.indexOf(started);
        if (at >= 0 && at < result.text.indexOf(QLatin1Char('\n')))
            result.text.replace(at, started.size(), program);
    } else if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
        result.text =
            QStringLiteral("%1 %2\n").arg(program, QCoreApplication::applicationVersion());
    } else if (parser.isSet(listPorts)) {
        result.action = CommandLine::Action::ListPorts;
    } else if (parser.isSet(printPort)) {
        result.action = CommandLine::Action::PrintPort;
    }
    if (parser.isSet(port)) {
        result.port = parser.value(port).trimmed();
        if (result.port.isEmpty() && result.action == CommandLine::Action::Run) {
            result.action = CommandLine::Action::Error;
            result.text =
                QStringLiteral("%1: --port: имя порта пустое\nСправка: %1 --help\n").arg(program);
        }
    }
    result.choosePort = parser.isSet(choosePort);
    return result;
}

QString portListText(const QList<PortEntry> &ports) {
    if (ports.isEmpty())
        return QStringLiteral("Последовательные порты не найдены.\n");
    QString text;
    for (const PortEntry &entry : ports) {
        QStringList parts{entry.name};
        parts << (entry.description.isEmpty() ? QStringLiteral("без описания") : entry.description);
        if (!entry.manufacturer.isEmpty())
            parts << QStringLiteral("изготовитель: ") + entry.manufacturer;
        if (!entry.serialNumber.isEmpty())
            parts << QStringLiteral("серийный номер: ") + entry.serialNumber;
        text += parts.join(QStringLiteral("; ")) + QLatin1Char('\n');
    }
    return text;
}
