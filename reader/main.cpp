// SPDX-License-Identifier: GPL-3.0-or-later
// telkaro-read: plates from the photometer for scripts, without a window.
#include "analysis_output.h"
#include "analyze.h"
#include "console.h"
#include "convert.h"
#include "options.h"
#include "output.h"
#include "plate_reader.h"
#include "reader_text.h"

#include "core/qt_translations.h"
#include "core/settings_store.h"
#include "link/port_choice.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <csignal>
#include <cstdio>

namespace {
volatile std::sig_atomic_t interruptedBySignal = 0;

extern "C" void onInterrupt(int) {
    interruptedBySignal = 1;
}

// Russian under a Russian locale, English otherwise: the reader's own
// messages and Qt's.
void installTranslations(QCoreApplication &app) {
    if (QLocale().language() != QLocale::Russian)
        return;
    auto *own = new QTranslator(&app);
    if (own->load(QStringLiteral(":/i18n/telkaro-read_ru.qm")))
        QCoreApplication::installTranslator(own);
    installQtTranslations(app);
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("TELKARO"));
    QCoreApplication::setOrganizationName(QStringLiteral("TELKARO"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TELKARO_VERSION));
    QCoreApplication app(argc, argv);
    installTranslations(app);
    useBinaryStandardOutput();

    const ReaderCommandLine line = parseReaderCommandLine(QCoreApplication::arguments());
    switch (line.action) {
    case ReaderCommandLine::Action::Help:
    case ReaderCommandLine::Action::Version:
        writeStandardOutput(line.text.toUtf8());
        return exitCode::done;
    case ReaderCommandLine::Action::Error:
        std::fputs(line.text.toUtf8().constData(), stderr);
        return exitCode::usage;
    case ReaderCommandLine::Action::Run:
        break;
    }
    ReaderOptions options = line.options;
    if (options.command == ReaderCommand::Convert)
        return convertFile(options);
    if (options.command == ReaderCommand::Analyze)
        return analyzeFile(options);

    SettingsStore store;
    const PortChoice port = choosePort(store, options.port);
    std::unique_ptr<RunOutput> output;
    if (!options.assay.isEmpty()) {
        // The kit first: a kit that is wrong measures nothing.
        const RunKit kit = loadRunKit(options.assay, port.name);
        if (!kit.kit) {
            writeStandardError(QStringLiteral("telkaro-read: ") + kit.error);
            return exitCode::kitWrong;
        }
        const int used = kit.kit->stripsUsed();
        if (!options.stripsGiven) {
            options.strips = std::max(used, 1);
        } else if (options.strips < used && options.command == ReaderCommand::Measure) {
            writeStandardError(
                ReaderText::tr("telkaro-read: --strips %1: the kit's layout uses %2 strips")
                    .arg(options.strips)
                    .arg(used));
            return exitCode::usage;
        }
        output = std::make_unique<AnalysisOutput>(options, *kit.kit, kit.run);
    } else {
        // A plate read back has the strips it has: known with the first plate.
        output = std::make_unique<PlateOutput>(
            options,
            runFacts(port.name, options.command == ReaderCommand::Measure ? options.strips : 0));
    }
    if (const QString failure = output->check(); !failure.isEmpty()) {
        writeStandardError(QStringLiteral("telkaro-read: ") + failure);
        return exitCode::outputFailed;
    }

    PlateReader reader(options, std::move(output));
    QObject::connect(&reader, &PlateReader::told, &reader, &writeStandardError);
    if (!options.quiet && standardErrorIsTerminal())
        QObject::connect(&reader, &PlateReader::progressed, &reader, &writeStandardError);
    QObject::connect(&reader, &PlateReader::answered, &reader, [](const QString &text) {
        writeStandardOutput((text + QLatin1Char('\n')).toUtf8());
    });
    QObject::connect(&reader, &PlateReader::finished, &reader,
                     [](int code) { QCoreApplication::exit(code); });

    // Ctrl-C: the run ends between two events, with what is complete kept.
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
#ifdef SIGPIPE
    // A reader of standard output that went away is a write that failed
    // (exit 7), not the end of the program.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QTimer signalWatch;
    QObject::connect(&signalWatch, &QTimer::timeout, &signalWatch, [&reader] {
        if (interruptedBySignal)
            reader.interrupt();
    });
    signalWatch.start(50);

    reader.start(port.name);
    return app.exec();
}
