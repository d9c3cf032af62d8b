// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert.h"

#include "console.h"
#include "options.h"
#include "output.h"
#include "reader_text.h"

#include "plate/dat_file.h"
#include "plate/plate_block.h"
#include "plate/plate_export.h"
#include "plate/plate_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
int unreadable(const QString &path, const QString &reason) {
    writeStandardError(ReaderText::tr("telkaro-read: cannot convert %1: %2")
                           .arg(QDir::toNativeSeparators(path), reason));
    return exitCode::inputUnreadable;
}
} // namespace

int convertFile(const ReaderOptions &options) {
    const QString &path = options.file;
    // As View file reads it: only an ordinary file, and no more than a plate
    // file can be.
    const DatFileLoad load = loadDatFile(path);
    if (load.problem != DatFileLoad::Problem::None)
        return unreadable(path, loadProblemText(load));
    QString why;
    const QByteArray block = blockFromDat(load.content, &why);
    if (block.isEmpty())
        return unreadable(path, why);

    PlateOutput output(options,
                       runFacts(std::nullopt, static_cast<int>(block.size() / stripBlockSize)));
    QString failure = output.check();
    if (failure.isEmpty())
        failure = output.add(Plate::fromBlock(block, QFileInfo(path).lastModified().toUTC()));
    if (failure.isEmpty())
        failure = output.finish();
    if (!failure.isEmpty()) {
        writeStandardError(QStringLiteral("telkaro-read: ") + failure);
        return exitCode::outputFailed;
    }
    return exitCode::done;
}
