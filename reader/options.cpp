// SPDX-License-Identifier: GPL-3.0-or-later
#include "options.h"

#include "reader_text.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cmath>
#include <optional>

namespace {
const QString program = QStringLiteral("telkaro-read");
constexpr int maxRepeat = 1000000;
constexpr double maxSeconds = 7 * 24 * 3600; // a week

QString helpText() {
    return ReaderText::tr(
        "Usage: telkaro-read [options] status\n"
        "       telkaro-read [options] measure\n"
        "       telkaro-read [options] read-plate\n"
        "       telkaro-read [options] convert FILE.dat\n"
        "       telkaro-read [options] analyze --assay KIT.assay.json PLATE\n"
        "\n"
        "Reads 96-well plates from the photometer without a window, for scripts.\n"
        "\n"
        "Commands:\n"
        "  status              poll the instrument and print ready, or error and its code\n"
        "  measure             measure the plate, as Measurement in the window does\n"
        "  read-plate          read the plate the instrument holds, as Read plate does\n"
        "  convert FILE.dat    write a .dat file saved by the window in another format\n"
        "  analyze PLATE       the kit's answer for a plate: a .dat file, or the JSON\n"
        "                      telkaro-read writes\n"
        "\n"
        "Options:\n"
        "  --port NAME         the instrument's port (else TELKARO_PORT, the Port\n"
        "                      setting, the likeliest port)\n"
        "  --strips N          strips to measure, 1 to 12 (default 12)\n"
        "  -o, --output FILE   where the plates go (default, or -: standard output)\n"
        "  --format FORMAT     dat, csv or json (default from the output's suffix, else dat)\n"
        "  --repeat N          a series of N plates (default 1); dat: FILE-001.dat, ...\n"
        "  --interval SECONDS  plate k starts k x SECONDS after the first (default 0)\n"
        "  --timeout SECONDS   the longest wait for an answer of the instrument\n"
        "                      (default 30)\n"
        "  --assay KIT         analyse each plate by this kit file (measure, read-plate,\n"
        "                      analyze); measure then measures the strips the kit uses\n"
        "  --plate N           analyze: the plate of a JSON file (default 1)\n"
        "  --report FILE.html  with --assay: the printable report\n"
        "  -q, --quiet         no progress on standard error\n"
        "  -h, --help          show this help and exit\n"
        "  --version           show the version and exit\n"
        "\n"
        "Exit status:\n"
        "  0    done\n"
        "  2    usage: an unknown option or a bad value\n"
        "  3    the port cannot be opened\n"
        "  4    the instrument did not answer within the timeout\n"
        "  5    the instrument reported an error, or sent no plate\n"
        "  6    the port was lost during the run\n"
        "  7    the output cannot be written\n"
        "  8    the file to convert or analyse cannot be read or is not a plate file\n"
        "  9    the kit file is wrong, or the plate lacks strips its layout uses\n"
        "  10   the plate was analysed but the kit's validity rules fail (the results\n"
        "       and the report are written, marked invalid)\n"
        "  130  interrupted (Ctrl-C); the complete plates are kept\n");
}

ReaderCommandLine failure(const QString &why) {
    ReaderCommandLine result;
    result.action = ReaderCommandLine::Action::Error;
    result.text = QStringLiteral("%1: %2\n").arg(program, why) +
                  ReaderText::tr("Try: %1 --help\n").arg(program);
    return result;
}

std::optional<int> wholeNumber(const QString &text, int low, int high) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<qint64> milliseconds(const QString &text, bool zeroAllowed) {
    bool ok = false;
    const double seconds = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds > maxSeconds ||
        (!zeroAllowed && seconds <= 0))
        return std::nullopt;
    return static_cast<qint64>(std::llround(seconds * 1000));
}

std::optional<OutputFormat> formatNamed(const QString &name) {
    const QString lower = name.trimmed().toLower();
    if (lower == QLatin1String("dat"))
        return OutputFormat::Dat;
    if (lower == QLatin1String("csv"))
        return OutputFormat::Csv;
    if (lower == QLatin1String("json"))
        return OutputFormat::Json;
    return std::nullopt;
}
} // namespace

ReaderCommandLine parseReaderCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version(QStringLiteral("version"), QString());
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("name"));
    const QCommandLineOption strips(QStringLiteral("strips"), QString(), QStringLiteral("n"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")}, QString(),
                                    QStringLiteral("file"));
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("format"));
    const QCommandLineOption repeat(QStringLiteral("repeat"), QString(), QStringLiteral("n"));
    const QCommandLineOption interval(QStringLiteral("interval"), QString(),
                                      QStringLiteral("seconds"));
    const QCommandLineOption timeout(QStringLiteral("timeout"), QString(),
                                     QStringLiteral("seconds"));
    const QCommandLineOption quiet({QStringLiteral("q"), QStringLiteral("quiet")}, QString());
    const QCommandLineOption assay(QStringLiteral("assay"), QString(), QStringLiteral("file"));
    const QCommandLineOption plate(QStringLiteral("plate"), QString(), QStringLiteral("n"));
    const QCommandLineOption report(QStringLiteral("report"), QString(), QStringLiteral("file"));
    parser.addOptions({help, version, port, strips, output, format, repeat, interval, timeout,
                       quiet, assay, plate, report});

    if (!parser.parse(arguments))
        return failure(parser.errorText());
    ReaderCommandLine result;
    if (parser.isSet(help)) {
        result.action = ReaderCommandLine::Action::Help;
        result.text = helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = ReaderCommandLine::Action::Version;
        result.text =
            QStringLiteral("%1 %2\n").arg(program, QCoreApplication::applicationVersion());
        return result;
    }
    for (const QCommandLineOption *once : {&port, &strips, &output, &format, &repeat, &interval,
                                           &timeout, &assay, &plate, &report}) {
        if (parser.values(*once).size() > 1)
            return failure(
                ReaderText::tr("--%1 is given more than once").arg(once->names().last()));
    }

    ReaderOptions &o = result.options;
    QStringList words = parser.positionalArguments();
    if (words.isEmpty())
        return failure(
            ReaderText::tr("no command: status, measure, read-plate, convert or analyze"));
    const QString command = words.takeFirst();
    if (command == QLatin1String("status"))
        o.command = ReaderCommand::Status;
    else if (command == QLatin1String("measure"))
        o.command = ReaderCommand::Measure;
    else if (command == QLatin1String("read-plate"))
        o.command = ReaderCommand::ReadPlate;
    else if (command == QLatin1String("convert"))
        o.command = ReaderCommand::Convert;
    else if (command == QLatin1String("analyze"))
        o.command = ReaderCommand::Analyze;
    else
        return failure(ReaderText::tr("unknown command: %1").arg(command));
    if (o.command == ReaderCommand::Convert) {
        if (words.isEmpty())
            return failure(ReaderText::tr("convert: no file named"));
        o.file = words.takeFirst();
    }
    if (o.command == ReaderCommand::Analyze) {
        if (words.isEmpty())
            return failure(ReaderText::tr("analyze: no plate file named"));
        o.file = words.takeFirst();
    }
    if (!words.isEmpty())
        return failure(ReaderText::tr("unexpected argument: %1").arg(words.first()));

    const bool series =
        o.command == ReaderCommand::Measure || o.command == ReaderCommand::ReadPlate;
    if (parser.isSet(port)) {
        if (o.command == ReaderCommand::Convert || o.command == ReaderCommand::Analyze)
            return failure(ReaderText::tr("--port: convert and analyze use no port"));
        o.port = parser.value(port).trimmed();
        if (o.port.isEmpty())
            return failure(ReaderText::tr("--port: the port name is empty"));
    }
    if (parser.isSet(strips)) {
        const auto n = wholeNumber(parser.value(strips), 1, 12);
        if (!n)
            return failure(ReaderText::tr("--strips: %1 is not a number from 1 to 12")
                               .arg(parser.value(strips)));
        o.strips = *n;
        o.stripsGiven = true;
    }
    if (parser.isSet(assay)) {
        if (o.command == ReaderCommand::Status || o.command == ReaderCommand::Convert)
            return failure(ReaderText::tr("--assay goes with measure, read-plate and analyze"));
        o.assay = parser.value(assay);
        if (o.assay.isEmpty())
            return failure(ReaderText::tr("--assay: the file name is empty"));
    } else if (o.command == ReaderCommand::Analyze) {
        return failure(ReaderText::tr("analyze: no kit file named (--assay)"));
    }
    if (parser.isSet(plate)) {
        const auto n = wholeNumber(parser.value(plate), 1, maxRepeat);
        if (!n || o.command != ReaderCommand::Analyze)
            return failure(ReaderText::tr("--plate: %1 is not a plate number of analyze")
                               .arg(parser.value(plate)));
        o.plate = *n;
    }
    if (parser.isSet(report)) {
        if (o.assay.isEmpty())
            return failure(ReaderText::tr("--report goes with --assay"));
        o.report = parser.value(report);
        if (o.report.isEmpty())
            return failure(ReaderText::tr("--report: the file name is empty"));
    }
    if (parser.isSet(repeat)) {
        const auto n = wholeNumber(parser.value(repeat), 1, maxRepeat);
        if (!n)
            return failure(ReaderText::tr("--repeat: %1 is not a number from 1 to %2")
                               .arg(parser.value(repeat))
                               .arg(maxRepeat));
        o.repeat = *n;
    }
    if (parser.isSet(interval)) {
        const auto ms = milliseconds(parser.value(interval), true);
        if (!ms)
            return failure(ReaderText::tr("--interval: %1 is not a number of seconds from 0 to "
                                          "604800")
                               .arg(parser.value(interval)));
        o.intervalMs = *ms;
    }
    if ((parser.isSet(repeat) || parser.isSet(interval)) && !series)
        return failure(ReaderText::tr("--repeat and --interval go with measure and read-plate"));
    if (parser.isSet(timeout)) {
        const auto ms = milliseconds(parser.value(timeout), false);
        if (!ms || *ms == 0)
            return failure(ReaderText::tr("--timeout: %1 is not a number of seconds above 0 and "
                                          "up to 604800")
                               .arg(parser.value(timeout)));
        o.timeoutMs = *ms;
    }
    o.quiet = parser.isSet(quiet);

    if (parser.isSet(output) && parser.value(output) != QLatin1String("-")) {
        o.output = parser.value(output);
        if (o.output.isEmpty())
            return failure(ReaderText::tr("--output: the file name is empty"));
    }
    if (parser.isSet(format)) {
        const auto f = formatNamed(parser.value(format));
        if (!f)
            return failure(
                ReaderText::tr("--format: %1 is not dat, csv or json").arg(parser.value(format)));
        o.format = *f;
    } else {
        o.format = formatNamed(QFileInfo(o.output).suffix())
                       .value_or(o.assay.isEmpty() ? OutputFormat::Dat : OutputFormat::Json);
    }
    if (!o.assay.isEmpty() && o.format == OutputFormat::Dat)
        return failure(ReaderText::tr("--format: an analysis is written as json or csv"));
    if (o.command == ReaderCommand::Status && (parser.isSet(output) || parser.isSet(format)))
        return failure(ReaderText::tr("--output and --format go with measure, read-plate and "
                                      "convert"));
    return result;
}

QString seriesFileName(const QString &path, int k) {
    const QFileInfo info(path);
    const QString number = QStringLiteral("-%1").arg(k, 3, 10, QLatin1Char('0'));
    const QString suffix = info.suffix();
    if (suffix.isEmpty() || info.completeBaseName().isEmpty())
        return path + number;
    return path.left(path.size() - suffix.size() - 1) + number + QLatin1Char('.') + suffix;
}
