// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyze.h"

#include "analysis_output.h"
#include "console.h"
#include "convert.h"
#include "options.h"
#include "reader_text.h"

#include "plate/dat_file.h"
#include "plate/plate_export.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
int unreadable(const QString &path, const QString &reason) {
    writeStandardError(ReaderText::tr("telkaro-read: cannot analyse %1: %2")
                           .arg(QDir::toNativeSeparators(path), reason));
    return exitCode::inputUnreadable;
}

// The plate of a .dat file or of telkaro-read's JSON, told apart by content.
int readPlate(const ReaderOptions &options, Plate &plate) {
    const QString &path = options.file;
    const DatFileLoad load = loadDatFile(path);
    if (load.problem != DatFileLoad::Problem::None)
        return unreadable(path, loadProblemText(load));
    QString why;
    if (load.content.trimmed().startsWith('{')) {
        plate = plateFromJson(load.content, options.plate, &why);
    } else {
        const QByteArray block = blockFromDat(load.content, &why);
        if (!block.isEmpty())
            plate = Plate::fromBlock(block, QFileInfo(path).lastModified().toUTC());
    }
    return plate.isNull() ? unreadable(path, why) : exitCode::done;
}
} // namespace

int analyzeFile(const ReaderOptions &options) {
    const RunKit kit = loadRunKit(options.assay, QDir::toNativeSeparators(options.file));
    if (!kit.kit) {
        writeStandardError(QStringLiteral("telkaro-read: ") + kit.error);
        return exitCode::kitWrong;
    }
    Plate plate;
    if (const int code = readPlate(options, plate); code != exitCode::done)
        return code;
    AnalysisOutput output(options, *kit.kit, kit.run);
    QString failure = output.check();
    if (failure.isEmpty())
        failure = output.add(plate);
    if (!failure.isEmpty()) {
        writeStandardError(QStringLiteral("telkaro-read: ") + failure);
        return output.failureCode();
    }
    if (output.anyInvalid()) {
        writeStandardError(ReaderText::tr("telkaro-read: %1: the run is invalid by the kit's rules")
                               .arg(QDir::toNativeSeparators(options.file)));
        return exitCode::runInvalid;
    }
    return exitCode::done;
}
