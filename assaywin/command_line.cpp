// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "window_text.h"

#include "core/qt_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

AssayCommandLine parseAssayCommandLine(const QStringList &arguments) {
    const QString program = QStringLiteral("telkaro-assay");
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(WindowText::tr(
        "TELKARO Analysis: a plate measured by its kit, and the kit's answer shown, printed "
        "and saved.\n\n"
        "The instrument's port is --port, else the environment variable TELKARO_PORT, else "
        "the Port setting (stored by telkaro --choose-port), else the system's first port "
        "(USB adapters before built-in ports)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  WindowText::tr("Open this port, for this run only: ttyUSB0, "
                                                 "COM3, /dev/pts/3, /dev/serial/by-id/..."),
                                  WindowText::tr("name"));
    const QCommandLineOption kit(QStringLiteral("assay"),
                                 WindowText::tr("Choose this kit file at start."),
                                 WindowText::tr("kit.assay.json"));
    parser.addOptions({port, kit});
    parser.addPositionalArgument(
        WindowText::tr("plate"),
        WindowText::tr("A plate file (.dat, or telkaro-read's JSON) to analyse instead of "
                       "measuring."),
        WindowText::tr("[plate]"));
    addQtOptions(parser);

    AssayCommandLine result;
    const auto error = [&result, &program](const QString &what) {
        result.action = AssayCommandLine::Action::Error;
        result.text = WindowText::tr("%1: %2\nHelp: %1 --help\n").arg(program, what);
        return result;
    };
    if (!parser.parse(arguments))
        return error(parser.errorText());
    if (parser.positionalArguments().size() > 1)
        return error(
            WindowText::tr("one plate file at most: %1").arg(parser.positionalArguments().at(1)));
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.action = AssayCommandLine::Action::Help;
        // Qt names the program as it was started (a full path): the operator
        // types telkaro-assay.
        result.text = parser.helpText();
        const QString started = QCoreApplication::arguments().value(0);
        const qsizetype at = started.isEmpty() ? -1 : result.text.indexOf(started);
        if (at >= 0 && at < result.text.indexOf(QLatin1Char('\n')))
            result.text.replace(at, started.size(), program);
        return result;
    }
    if (parser.isSet(version)) {
        result.action = AssayCommandLine::Action::Version;
        result.text =
            QStringLiteral("%1 %2\n").arg(program, QCoreApplication::applicationVersion());
        return result;
    }
    if (parser.isSet(port)) {
        result.port = parser.value(port).trimmed();
        if (result.port.isEmpty())
            return error(WindowText::tr("--port: the port's name is empty"));
    }
    if (parser.isSet(kit)) {
        result.kit = parser.value(kit);
        if (result.kit.isEmpty())
            return error(WindowText::tr("--assay: the kit file's name is empty"));
    }
    result.plate = parser.positionalArguments().value(0);
    return result;
}
