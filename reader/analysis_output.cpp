// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis_output.h"

#include "console.h"
#include "reader_text.h"

#include "assay/analysis.h"
#include "assay/report.h"

#include <QCoreApplication>
#include <QFileInfo>

RunKit loadRunKit(const QString &path, const QString &source) {
    RunKit loaded;
    const KitRead read = loadKit(path);
    if (!read.kit) {
        loaded.error = read.error;
        return loaded;
    }
    loaded.kit = read.kit;
    loaded.run.kitSha256 = read.sha256;
    loaded.run.program = QStringLiteral("telkaro-read");
    loaded.run.version = QCoreApplication::applicationVersion();
    loaded.run.kitFile = QFileInfo(path).fileName();
    loaded.run.source = source;
    return loaded;
}

AnalysisOutput::AnalysisOutput(const ReaderOptions &options, Kit kit, AnalysisRun run)
    : m_format(options.format)
    , m_path(options.output)
    , m_report(options.report)
    , m_repeat(options.repeat)
    , m_kit(std::move(kit))
    , m_run(std::move(run)) {}

QString AnalysisOutput::pathOf(const QString &path, int number) const {
    return m_repeat > 1 ? seriesFileName(path, number) : path;
}

QString AnalysisOutput::check() const {
    for (const QString &path : {m_path, m_report}) {
        if (path.isEmpty())
            continue;
        const QString failure = checkWritable(pathOf(path, 1));
        if (!failure.isEmpty())
            return failure;
    }
    return QString();
}

QString AnalysisOutput::add(const Plate &plate) {
    const int number = ++m_plates;
    if (const QString lacking = layoutFits(m_kit, plate); !lacking.isEmpty()) {
        m_failureCode = exitCode::kitWrong;
        return QCoreApplication::translate("Assay", "%1: %2").arg(m_run.kitFile, lacking);
    }
    AnalysisRun run = m_run;
    run.time = QDateTime::currentDateTimeUtc();
    const Analysis analysis = analyse(m_kit, plate);
    m_invalid = m_invalid || !analysis.valid;
    m_failureCode = exitCode::outputFailed;
    // The report first: a result on file stands for a finished analysis.
    if (!m_report.isEmpty()) {
        const QString failure =
            writeWholeFile(pathOf(m_report, number), analysisReport(m_kit, analysis, plate, run));
        if (!failure.isEmpty())
            return failure;
    }
    QByteArray content = m_format == OutputFormat::Csv ? analysisCsv(m_kit, analysis)
                                                       : analysisJson(m_kit, analysis, plate, run);
    if (m_format == OutputFormat::Csv && (!m_path.isEmpty() || number == 1))
        content = analysisCsvHeader() + content;
    if (m_path.isEmpty())
        return writeStandardOutput(content) ? QString()
                                            : ReaderText::tr("cannot write to standard output");
    return writeWholeFile(pathOf(m_path, number), content);
}
