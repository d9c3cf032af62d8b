// SPDX-License-Identifier: GPL-3.0-or-later
#include "output.h"

#include "console.h"
#include "reader_text.h"

#include "plate/dat_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

RunFacts runFacts(const std::optional<QString> &port, int strips) {
    RunFacts facts;
    facts.program = QStringLiteral("telkaro-read");
    facts.version = QCoreApplication::applicationVersion();
    facts.port = port;
    facts.strips = strips;
    facts.started = QDateTime::currentDateTimeUtc();
    return facts;
}

namespace {
QString failed(const QString &path, const QString &reason) {
    return ReaderText::tr("cannot write %1: %2").arg(QDir::toNativeSeparators(path), reason);
}
} // namespace

int RunOutput::failureCode() const {
    return exitCode::outputFailed;
}

QString checkWritable(const QString &path) {
    if (QFileInfo(path).isDir())
        return failed(path, ReaderText::tr("it is a folder"));
    // Opening makes a temporary file beside the target and leaves the target
    // alone; cancelling removes it again.
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return failed(path, probe.errorString());
    probe.cancelWriting();
    return QString();
}

QString writeWholeFile(const QString &path, const QByteArray &content) {
    const QString failure =
        writeDatFile(path, content, ReaderText::tr("the file was not written in full"));
    return failure.isEmpty() ? failure : failed(path, failure);
}

PlateOutput::PlateOutput(const ReaderOptions &options, const RunFacts &facts)
    : m_format(options.format)
    , m_path(options.output)
    , m_repeat(options.repeat)
    , m_facts(facts) {}

QString PlateOutput::check() const {
    if (m_path.isEmpty())
        return QString();
    if (QFileInfo(m_path).isDir())
        return failed(m_path, ReaderText::tr("it is a folder"));
    return checkWritable(m_format == OutputFormat::Dat && m_repeat > 1 ? seriesFileName(m_path, 1)
                                                                       : m_path);
}

QString PlateOutput::appendCsv(const QByteArray &lines) {
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return failed(m_path, file.errorString());
    const qint64 before = file.size();
    if (file.write(lines) != lines.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.resize(before); // no half plate behind
        return failed(m_path, reason);
    }
    return QString();
}

QString PlateOutput::add(const Plate &plate) {
    if (m_facts.strips == 0)
        m_facts.strips = static_cast<int>(plate.strips());
    m_plates.append(plate);
    const int number = static_cast<int>(m_plates.size());
    QString failure;
    switch (m_format) {
    case OutputFormat::Dat:
        if (m_path.isEmpty()) {
            if (!writeStandardOutput(datContent(plate)))
                failure = ReaderText::tr("cannot write to standard output");
        } else {
            failure = writeWholeFile(m_repeat > 1 ? seriesFileName(m_path, number) : m_path,
                                     datContent(plate));
        }
        break;
    case OutputFormat::Csv: {
        const bool first = m_plates.size() == 1;
        const QByteArray lines = (first ? csvHeader() : QByteArray()) + csvLines(plate, number);
        if (m_path.isEmpty()) {
            if (!writeStandardOutput(lines))
                failure = ReaderText::tr("cannot write to standard output");
        } else {
            failure = first ? writeWholeFile(m_path, lines) : appendCsv(lines);
        }
        break;
    }
    case OutputFormat::Json:
        if (!m_path.isEmpty())
            failure = writeWholeFile(m_path, jsonDocument(m_facts, m_plates));
        break;
    }
    if (!failure.isEmpty())
        m_plates.removeLast(); // not written: not kept
    return failure;
}

QString PlateOutput::finish() {
    if (m_finished)
        return QString();
    m_finished = true;
    if (m_format == OutputFormat::Json && m_path.isEmpty() && !m_plates.isEmpty() &&
        !writeStandardOutput(jsonDocument(m_facts, m_plates)))
        return ReaderText::tr("cannot write to standard output");
    return QString();
}
